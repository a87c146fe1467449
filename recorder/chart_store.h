// Every record of the record file, kept compact for the chart, read from the
// file's bytes as they come: the whole file once, then only what the
// recorder appends. Lines that are not records are skipped and counted.
//
// Time: a record stands at its minute, and the n records that share a
// minute are spread evenly inside it, the k-th (from 0) at minute + k/n. So
// 6-second records draw 6 seconds apart although the file only has minutes.
// Times are in minutes since 2000-01-01 00:00 (chart_time.h).
//
// Order: records stay in file order. Where time goes back (the clock was set
// back, summer time ended, lines were edited by hand) a new stretch starts;
// within a stretch times never decrease, so each stretch can be searched by
// time, and the line breaks where one stretch ends and the next begins.
//
// Gaps: the line breaks before a record that comes more than ten minutes
// after the one before it, or more than three times the usual spacing. The
// usual spacing is the median of the last 15 steps from one minute's
// records to the next minute's (the time between the last record of a
// minute and the first of the next), once three are known. Records within
// one minute never break. A new recording interval is learnt after about
// eight records at it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "recorder/chart_records.h"

namespace calorix::recorder {

// Decides, as the minutes of a file arrive in order, where its line breaks.
class ChartGapRule {
 public:
  // True when the line breaks over `step` minutes between one minute's last
  // record and the next one's first. The step is then remembered.
  bool BreaksOver(double step);
  void Clear() { *this = ChartGapRule(); }

 private:
  static constexpr int kRemembered = 15;
  std::array<float, kRemembered> steps_{};  // the last steps, a ring
  int next_ = 0;                            // where the next step goes
  int known_ = 0;                           // steps in the ring
};

class ChartStore {
 public:
  // Offset of a line that starts 4 GiB or more into the file.
  static constexpr std::uint32_t kOffsetUnknown = 0xFFFF'FFFF;
  // A line longer than this cannot be a record; it is not kept while it grows.
  static constexpr std::size_t kLongestLine = 4096;

  // Reads the bytes that follow those fed so far; chunks may end anywhere,
  // within a line or between CR and LF. A line ends at LF (a CR before it is
  // dropped). The last line waits until its line end arrives.
  void Feed(std::string_view bytes);
  // Forgets everything, as for an empty file: for a file cleared or
  // rewritten, which the caller then feeds again from its start.
  void Clear();
  // Room for this many records, so that a whole file is read without the
  // arrays growing on the way. Without it they grow by an eighth at a time
  // (at least kLeastGrowth records), not by doubling.
  void Reserve(std::size_t records);
  // Gives back the spare room: what is left is kBytesPerRecord per record
  // and a constant.
  void ShrinkToFit();
  static constexpr std::size_t kLeastGrowth = 1024;

  std::size_t Count() const { return minutes_.size(); }
  bool Empty() const { return minutes_.empty(); }
  std::uint32_t Minute(std::size_t index) const { return minutes_[index] & kMinuteMask; }
  std::int16_t Reading(std::size_t index, ChartSeries series) const {
    return readings_[static_cast<int>(series)][index];
  }
  std::span<const std::int16_t> Readings(ChartSeries series) const {
    return readings_[static_cast<int>(series)];
  }
  // Where the record's line starts in the file, to read it back as recorded.
  std::uint32_t LineOffset(std::size_t index) const { return offsets_[index]; }
  // True when no line joins this record to the one before it: the first
  // record, a gap, or time going back.
  bool BreaksBefore(std::size_t index) const {
    return index == 0 || (minutes_[index] & kBreakBefore) != 0;
  }
  // The record's place on the time axis, in minutes (see above).
  double Time(std::size_t index) const;

  // Index ranges [first, end) in file order within which time never goes back.
  struct Stretch {
    std::size_t first = 0;
    std::size_t end = 0;
  };
  std::size_t StretchCount() const { return stretchStarts_.size(); }
  Stretch StretchAt(std::size_t stretch) const;
  // The first record of [first, end), a part of one stretch, whose time is
  // `time` or later; `end` when there is none.
  std::size_t FirstAtOrAfter(double time, std::size_t first, std::size_t end) const;

  // Earliest and latest time of any record; nullopt for no records.
  struct TimeSpan {
    double earliest = 0;
    double latest = 0;
  };
  std::optional<TimeSpan> Span() const;
  // The record nearest to `time` (of two as near, the one earlier in the
  // file), for showing it as recorded; nullopt when there are no records.
  std::optional<std::size_t> NearestRecord(double time) const;

  // Lines that are not records, as counted so far; blank lines are not counted.
  std::uint64_t UnreadLines() const { return unreadLines_; }
  std::uint64_t BytesFed() const { return bytesFed_; }
  // Bytes of a last line still waiting for its line end.
  std::uint64_t UnfinishedLineBytes() const { return unfinishedBytes_; }

  // What one record costs: minute and flags, line offset, eight readings.
  static constexpr std::size_t kBytesPerRecord =
      2 * sizeof(std::uint32_t) + kChartSeriesCount * sizeof(std::int16_t);
  // Memory the arrays hold now, spare capacity included.
  std::size_t BytesHeld() const;

 private:
  // The minute word: the minute below bit 26 (enough for 2000-2099), flags above.
  static constexpr std::uint32_t kMinuteMask = (1u << 26) - 1;
  static constexpr std::uint32_t kBreakBefore = 1u << 31;

  void ReadLine(std::string_view line, std::uint64_t offset);
  void Append(const ChartRecord& record, std::uint64_t offset);
  std::size_t StretchOf(std::size_t index) const;
  std::size_t FirstOfMinute(std::uint32_t minute, std::size_t first, std::size_t end) const;
  std::size_t AfterMinute(std::uint32_t minute, std::size_t first, std::size_t end) const;

  std::vector<std::uint32_t> minutes_;
  std::vector<std::uint32_t> offsets_;
  std::array<std::vector<std::int16_t>, kChartSeriesCount> readings_;
  std::vector<std::size_t> stretchStarts_;  // one per stretch; only where time went back after the first
  std::size_t runStart_ = 0;                // first record of the last minute's run
  ChartGapRule gaps_;

  std::string unfinished_;  // the start of a line still waiting for its end, up to kLongestLine
  std::uint64_t unfinishedBytes_ = 0;
  std::uint64_t bytesFed_ = 0;
  std::uint64_t unreadLines_ = 0;
};

}  // namespace calorix::recorder
