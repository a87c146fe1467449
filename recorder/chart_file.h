// The record file as the chart reads it: the whole file once, on a worker
// thread, then only the bytes appended since. A file that got shorter or
// changed where it was read (cleared, edited) is read again from its start;
// a missing one is empty. All of the chart's reading of the file is here.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/platform.h"
#include "recorder/chart_loader.h"
#include "recorder/chart_store.h"

namespace calorix::recorder {

class ChartFile {
 public:
  ChartFile(platform::Files& files, platform::Process& process) : files_(files), process_(process) {}
  // A load still running is cancelled; its result is dropped.
  ~ChartFile();
  ChartFile(const ChartFile&) = delete;
  ChartFile& operator=(const ChartFile&) = delete;

  enum class Change {
    kNone,
    kAppended,  // records were added to the store
    kEmptied,   // the file is gone: so are the records
    kLoading,   // the file is being read from its start; the store is empty until then
  };
  // Brings the store up to the file as it is now, or starts a load that does.
  // While a load runs it does nothing: the load is followed by a sync anyway.
  Change Sync();
  // Lets go of the records (the chart closed) and drops a running load.
  void Forget();

  // Runs on the user-interface thread when a load has ended and its records
  // (none, for a file that could not be read) are in the store.
  std::function<void()> onLoaded;

  bool Loading() const { return load_ != nullptr; }
  // The share of the file a running load has read, 0 to 1; nullopt when no
  // load runs.
  std::optional<double> LoadProgress() const;

  const ChartStore& Store() const { return store_; }

 private:
  enum class Check { kSame, kChanged, kUnreadable };

  void StartLoad(std::uint64_t size);
  void Loaded(const std::shared_ptr<ChartLoad>& load);
  Check ReadOn(std::uint64_t size);
  void Feed(std::string_view bytes);

  platform::Files& files_;
  platform::Process& process_;
  ChartStore store_;
  ChartSamples samples_;                 // of the bytes fed, to notice edits
  std::uint64_t fed_ = 0;                // bytes of the file read so far
  std::shared_ptr<ChartLoad> load_;      // the load running, if any
};

}  // namespace calorix::recorder
