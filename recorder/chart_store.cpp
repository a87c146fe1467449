#include "recorder/chart_store.h"

#include <algorithm>
#include <cmath>

namespace calorix::recorder {

namespace {

constexpr double kLongestJoinedStep = 10;  // minutes
constexpr double kUsualSpacingsPerGap = 3;
constexpr int kStepsForUsualSpacing = 3;

// The place of the k-th of n records that share a minute.
double SpreadTime(std::uint32_t minute, std::size_t k, std::size_t n) {
  return minute + static_cast<double>(k) / static_cast<double>(n);
}

bool IsBlankLine(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

}  // namespace

bool ChartGapRule::BreaksOver(double step) {
  bool breaks = step > kLongestJoinedStep;
  if (!breaks && known_ >= kStepsForUsualSpacing) {
    std::array<float, kRemembered> sorted = steps_;
    const auto middle = sorted.begin() + known_ / 2;
    std::nth_element(sorted.begin(), middle, sorted.begin() + known_);
    breaks = step > kUsualSpacingsPerGap * static_cast<double>(*middle);
  }
  steps_[next_] = static_cast<float>(step);
  next_ = (next_ + 1) % kRemembered;
  known_ = std::min(known_ + 1, kRemembered);
  return breaks;
}

void ChartStore::Feed(std::string_view bytes) {
  while (!bytes.empty()) {
    const auto end = bytes.find('\n');
    const std::string_view piece = bytes.substr(0, end);
    if (end == std::string_view::npos) {
      // The line goes on in a later chunk: keep its start, up to the longest
      // a record can be.
      if (unfinished_.size() < kLongestLine)
        unfinished_.append(piece.substr(0, kLongestLine - unfinished_.size()));
      unfinishedBytes_ += piece.size();
      bytesFed_ += piece.size();
      return;
    }
    const std::uint64_t lineStart = bytesFed_ - unfinishedBytes_;
    const std::uint64_t lineLength = unfinishedBytes_ + piece.size();
    if (lineLength > kLongestLine) {
      ++unreadLines_;
    } else if (unfinishedBytes_ == 0) {
      ReadLine(piece, lineStart);  // the common case: the whole line is in this chunk
    } else {
      unfinished_.append(piece);
      ReadLine(unfinished_, lineStart);
    }
    unfinished_.clear();
    unfinishedBytes_ = 0;
    bytesFed_ += end + 1;
    bytes.remove_prefix(end + 1);
  }
}

void ChartStore::ReadLine(std::string_view line, std::uint64_t offset) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  if (IsBlankLine(line)) return;
  if (const auto record = ParseChartRecord(line))
    Append(*record, offset);
  else
    ++unreadLines_;
}

void ChartStore::Append(const ChartRecord& record, std::uint64_t offset) {
  const std::size_t index = Count();
  bool breaks = false;
  if (index == 0) {
    stretchStarts_.assign(1, 0);
    runStart_ = 0;
  } else {
    const std::uint32_t previous = Minute(index - 1);
    if (record.minute < previous) {
      stretchStarts_.push_back(index);
      runStart_ = index;
      breaks = true;
    } else if (record.minute > previous) {
      const auto runLength = index - runStart_;
      const double lastOfRun = SpreadTime(previous, runLength - 1, runLength);
      breaks = gaps_.BreaksOver(record.minute - lastOfRun);
      runStart_ = index;
    }
  }
  if (index == minutes_.capacity()) Reserve(index + std::max(kLeastGrowth, index / 8));
  minutes_.push_back(record.minute | (breaks ? kBreakBefore : 0));
  offsets_.push_back(offset < kOffsetUnknown ? static_cast<std::uint32_t>(offset) : kOffsetUnknown);
  for (int series = 0; series < kChartSeriesCount; ++series)
    readings_[series].push_back(record.readings[series]);
}

void ChartStore::Clear() { *this = ChartStore(); }

void ChartStore::Reserve(std::size_t records) {
  minutes_.reserve(records);
  offsets_.reserve(records);
  for (auto& series : readings_) series.reserve(records);
}

void ChartStore::ShrinkToFit() {
  minutes_.shrink_to_fit();
  offsets_.shrink_to_fit();
  for (auto& series : readings_) series.shrink_to_fit();
  stretchStarts_.shrink_to_fit();
}

std::size_t ChartStore::BytesHeld() const {
  std::size_t bytes = minutes_.capacity() * sizeof(std::uint32_t) +
                      offsets_.capacity() * sizeof(std::uint32_t) +
                      stretchStarts_.capacity() * sizeof(std::size_t) + unfinished_.capacity();
  for (const auto& series : readings_) bytes += series.capacity() * sizeof(std::int16_t);
  return bytes;
}

std::size_t ChartStore::StretchOf(std::size_t index) const {
  const auto after = std::upper_bound(stretchStarts_.begin(), stretchStarts_.end(), index);
  return static_cast<std::size_t>(after - stretchStarts_.begin()) - 1;
}

ChartStore::Stretch ChartStore::StretchAt(std::size_t stretch) const {
  const std::size_t end = stretch + 1 < stretchStarts_.size() ? stretchStarts_[stretch + 1] : Count();
  return {stretchStarts_[stretch], end};
}

// Within a stretch minutes never decrease, so the records of one minute are
// found by binary search; these are the two bounds of that search.
std::size_t ChartStore::FirstOfMinute(std::uint32_t minute, std::size_t first, std::size_t end) const {
  std::size_t low = first, high = end;
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (Minute(middle) < minute)
      low = middle + 1;
    else
      high = middle;
  }
  return low;
}

std::size_t ChartStore::AfterMinute(std::uint32_t minute, std::size_t first, std::size_t end) const {
  return minute == kMinuteMask ? end : FirstOfMinute(minute + 1, first, end);
}

double ChartStore::Time(std::size_t index) const {
  const Stretch stretch = StretchAt(StretchOf(index));
  const std::uint32_t minute = Minute(index);
  const std::size_t runStart = FirstOfMinute(minute, stretch.first, index);
  const std::size_t runEnd = AfterMinute(minute, index, stretch.end);
  return SpreadTime(minute, index - runStart, runEnd - runStart);
}

std::size_t ChartStore::FirstAtOrAfter(double time, std::size_t first, std::size_t end) const {
  if (first >= end || !(time > 0)) return first;  // every time is 0 or more
  if (time > kMinuteMask) return end;
  const auto minute = static_cast<std::uint32_t>(time);  // floor: time is positive
  const std::size_t found = FirstOfMinute(minute, first, end);
  if (found == end || Minute(found) > minute) return found;
  // Records of `minute` follow from `found`: place `time` among them. Their
  // spread counts the whole run, which may begin before `first` or go on
  // past `end`.
  const Stretch stretch = StretchAt(StretchOf(first));
  const std::size_t runStart = found > first ? found : FirstOfMinute(minute, stretch.first, found);
  const std::size_t runEnd = AfterMinute(minute, found, stretch.end);
  const std::size_t n = runEnd - runStart;
  auto k = static_cast<std::size_t>(std::ceil((time - minute) * static_cast<double>(n)));
  k = std::clamp(k, found - runStart, n);
  while (k > found - runStart && SpreadTime(minute, k - 1, n) >= time) --k;
  while (k < n && SpreadTime(minute, k, n) < time) ++k;
  return std::min(runStart + k, end);
}

std::optional<ChartStore::TimeSpan> ChartStore::Span() const {
  if (Empty()) return std::nullopt;
  TimeSpan span{Time(0), Time(0)};
  for (std::size_t stretch = 0; stretch < StretchCount(); ++stretch) {
    const Stretch part = StretchAt(stretch);
    span.earliest = std::min(span.earliest, Time(part.first));
    span.latest = std::max(span.latest, Time(part.end - 1));
  }
  return span;
}

std::optional<std::size_t> ChartStore::NearestRecord(double time) const {
  std::optional<std::size_t> nearest;
  double nearestDistance = 0;
  const auto consider = [&](std::size_t index) {
    const double distance = std::abs(Time(index) - time);
    if (!nearest || distance < nearestDistance) {
      nearest = index;
      nearestDistance = distance;
    }
  };
  for (std::size_t stretch = 0; stretch < StretchCount(); ++stretch) {
    const Stretch part = StretchAt(stretch);
    const std::size_t next = FirstAtOrAfter(time, part.first, part.end);
    if (next > part.first) consider(next - 1);
    if (next < part.end) consider(next);
  }
  return nearest;
}

}  // namespace calorix::recorder
