#include "recorder/chart_records.h"

#include <algorithm>

#include "core/numbers.h"
#include "monitor/leading_number.h"
#include "recorder/chart_time.h"

namespace calorix::recorder {

namespace {

constexpr std::string_view kFieldSeparator = ", ";
constexpr std::size_t kLongestSeparator = 4;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSeparatorByte(char c) { return !IsDigit(c) && c != ' ' && c != ','; }

// Reads the timestamp's pieces off the front of a line.
class TimestampReader {
 public:
  explicit TimestampReader(std::string_view text) : text_(text) {}

  bool TwoDigits(int& value) {
    if (text_.size() < 2 || !IsDigit(text_[0]) || !IsDigit(text_[1])) return false;
    value = (text_[0] - '0') * 10 + (text_[1] - '0');
    text_.remove_prefix(2);
    return true;
  }
  bool Separator(std::string_view& separator) {
    std::size_t length = 0;
    while (length < text_.size() && length < kLongestSeparator && IsSeparatorByte(text_[length]))
      ++length;
    if (length == 0) return false;
    separator = text_.substr(0, length);
    text_.remove_prefix(length);
    return true;
  }
  bool Exactly(std::string_view expected) {
    if (!text_.starts_with(expected)) return false;
    text_.remove_prefix(expected.size());
    return true;
  }
  std::string_view Rest() const { return text_; }

 private:
  std::string_view text_;
};

std::optional<std::uint32_t> ReadTimestamp(TimestampReader& reader) {
  int day = 0, month = 0, year = 0, hour = 0, minute = 0;
  std::string_view dateSeparator, secondDateSeparator, timeSeparator;
  const bool read = reader.TwoDigits(day) && reader.Separator(dateSeparator) &&
                    reader.TwoDigits(month) && reader.Separator(secondDateSeparator) &&
                    reader.TwoDigits(year) && reader.Exactly(" ") && reader.TwoDigits(hour) &&
                    reader.Separator(timeSeparator) && reader.TwoDigits(minute);
  if (!read || dateSeparator != secondDateSeparator) return std::nullopt;
  return MinuteOf(2000 + year, month, day, hour, minute);
}

// True when the text starts, after blanks, with a number as the monitor
// writes one: an optional sign, then a digit or a point and a digit.
bool StartsWithNumber(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  text.remove_prefix(first);
  if (text.front() == '+' || text.front() == '-') text.remove_prefix(1);
  if (!text.empty() && text.front() == '.') text.remove_prefix(1);
  return !text.empty() && IsDigit(text.front());
}

constexpr int DecimalsIn(int unitsPerValue) {
  int decimals = 0;
  for (int units = unitsPerValue; units >= 10; units /= 10) ++decimals;
  return decimals;
}

// Most readings ("45 ", "3125", "1.52") have no more decimals than their
// units hold. Read as whole units at once they give exactly what reading
// the number as a double and scaling it gives, several times faster; that
// matters for a file of a million lines. nullopt for any other number.
std::optional<std::int32_t> WholeUnits(std::string_view text, int decimalsInUnits) {
  constexpr int kMostDigits = 7;  // times 100 still fits 32 bits
  text.remove_prefix(text.find_first_not_of(' '));
  const bool negative = text.front() == '-';
  if (text.front() == '-' || text.front() == '+') text.remove_prefix(1);
  std::int32_t units = 0;
  int digits = 0;
  int decimals = -1;  // -1: no point yet
  for (const char c : text) {
    if (IsDigit(c)) {
      if (++digits > kMostDigits) return std::nullopt;
      units = units * 10 + (c - '0');
      if (decimals >= 0) ++decimals;
    } else if (c == '.' && decimals < 0) {
      decimals = 0;
    } else {
      break;
    }
  }
  if (decimals > decimalsInUnits) return std::nullopt;
  for (int scaled = std::max(decimals, 0); scaled < decimalsInUnits; ++scaled) units *= 10;
  return negative ? -units : units;
}

}  // namespace

std::int16_t ChartReading(std::string_view text, ChartSeries series) {
  if (!StartsWithNumber(text)) return kNoReading;
  const int unitsPerValue = kChartUnitsPerValue[static_cast<int>(series)];
  std::int32_t units = 0;
  if (const auto whole = WholeUnits(text, DecimalsIn(unitsPerValue)))
    units = *whole;
  else
    units = RoundHalfEven(monitor::ParseLeadingNumber(text) * unitsPerValue);
  constexpr std::int32_t kLargest = std::numeric_limits<std::int16_t>::max();
  return static_cast<std::int16_t>(std::clamp(units, -kLargest, kLargest));
}


std::optional<ChartRecord> ParseChartRecord(std::string_view line) {
  TimestampReader reader(line);
  const auto minute = ReadTimestamp(reader);
  if (!minute || !reader.Exactly(kFieldSeparator)) return std::nullopt;

  ChartRecord record;
  record.minute = *minute;
  std::string_view rest = reader.Rest();
  for (int series = 0; series < kChartSeriesCount; ++series) {
    const auto end = rest.find(kFieldSeparator);
    const bool last = series == kChartSeriesCount - 1;
    // The last reading runs to the line end; a further ", " means a line that
    // ran into another one.
    if (last != (end == std::string_view::npos)) return std::nullopt;
    record.readings[series] = ChartReading(rest.substr(0, end), static_cast<ChartSeries>(series));
    if (!last) rest.remove_prefix(end + kFieldSeparator.size());
  }
  return record;
}

}  // namespace calorix::recorder
