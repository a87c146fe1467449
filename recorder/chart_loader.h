// Reading a whole record file into a store of its own, streaming, in pieces
// of about a megabyte: what the chart reads on a worker thread. It touches
// only its ChartLoad and Files::ReadRange.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "recorder/chart_store.h"

namespace calorix::recorder {

// Bytes the file is read in; the appends the recorder makes are far smaller.
inline constexpr std::size_t kChartChunkBytes = 1 << 20;

// The first and the last bytes fed from a file, kept to notice the file
// changing under the records read from it, instead of a digest of every byte.
struct ChartSamples {
  static constexpr std::size_t kBytes = 4096;
  std::string head;  // the file's first bytes, up to kBytes
  std::string tail;  // the last bytes fed, up to kBytes
  // Notes the bytes that follow those noted so far.
  void Note(std::string_view bytes);
};

// One load: set up by the user-interface thread, then the worker's alone
// until its `done` hands it back. Only the counters are shared meanwhile.
struct ChartLoad {
  std::string name;
  std::uint64_t size = 0;  // the bytes to read: the file's size when the load began

  std::atomic<std::uint64_t> bytesRead = 0;  // the progress
  std::atomic<bool> cancelled = false;       // the result is no longer wanted

  ChartStore store;
  ChartSamples samples;
  std::uint64_t fed = 0;
  bool failed = false;  // the file could not be read (locked, gone)
};

// Reads `load.size` bytes of the file (fewer when it got shorter meanwhile)
// into `load.store`, noting the samples and the progress; stops early when
// cancelled. The store's arrays are sized from the first piece's lines and
// trimmed at the end, so they hold kBytesPerRecord per record and a constant.
void LoadChartFile(platform::Files& files, ChartLoad& load);

}  // namespace calorix::recorder
