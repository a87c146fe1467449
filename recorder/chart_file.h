// The record file as the chart reads it: the whole file once, then only the
// bytes appended since. A file that got shorter or changed before its end
// (cleared, edited) is read again from its start; a missing one is empty.
// All of the chart's reading of the file is here.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/platform.h"
#include "recorder/chart_store.h"

namespace calorix::recorder {

class ChartFile {
 public:
  explicit ChartFile(platform::Files& files) : files_(files) {}

  enum class Change { kNone, kAppended, kReloaded };
  // Brings the store up to the file as it is now.
  Change Sync();
  // Lets go of the records (the chart closed).
  void Forget();

  const ChartStore& Store() const { return store_; }

 private:
  static constexpr std::uint64_t kDigestStart = 14695981039346656037ull;  // FNV-1a

  static std::uint64_t Digest(std::uint64_t digest, std::string_view bytes);
  void Feed(std::string_view bytes);

  platform::Files& files_;
  ChartStore store_;
  std::uint64_t fed_ = 0;               // bytes of the file read so far
  std::uint64_t digest_ = kDigestStart;  // of those bytes, to see them change
};

}  // namespace calorix::recorder
