// One line of the record file read back as numbers for the chart. The
// recorder writes
//   dd/mm/yy hh:mm, <cpu temp>, <cpu fan>, <sys temp>, <sys fan>, <vcore>, <3.3v>, <5v>, <12v>
// with the user's own date and time separators and each reading as the
// monitor showed it. Readings are kept whole, not as text: the chart draws
// them, and the line itself can always be read back from the file.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace calorix::recorder {

// The readings in the order of the record line.
enum class ChartSeries : int { kCpuTemp, kCpuFan, kSysTemp, kSysFan, kVcore, kVolts33, kVolts5, kVolts12 };
inline constexpr int kChartSeriesCount = 8;

// A reading as a whole number of these units per displayed unit: tenths of
// a degree, rpm, hundredths of a volt. Beyond 16 bits a reading is clamped.
inline constexpr std::array<int, kChartSeriesCount> kChartUnitsPerValue = {10, 1, 10, 1, 100, 100, 100, 100};

// A reading the record does not have: a blank field, or text with no number.
inline constexpr std::int16_t kNoReading = std::numeric_limits<std::int16_t>::min();

struct ChartRecord {
  std::uint32_t minute = 0;  // minutes since 2000-01-01 00:00, see chart_time.h
  std::array<std::int16_t, kChartSeriesCount> readings{};
};

// The record of one line (without its line end), or nullopt when the line is
// not one: another text, a line cut short or run into the next one, a date
// or time that does not exist. Each date and time separator may be any
// character that is not a digit, a blank or a comma (up to 4 bytes, so one
// UTF-8 character); both date separators must be the same. Fields are split
// at ", ", and there must be exactly nine.
std::optional<ChartRecord> ParseChartRecord(std::string_view line);

// A reading's text as stored for `series`: the leading number as
// monitor::ParseLeadingNumber reads it (so as the rest of the program reads
// readings), in the series' units, rounded half to even and clamped;
// kNoReading when the text does not start with a number.
std::int16_t ChartReading(std::string_view text, ChartSeries series);

// A stored reading in the units the monitor shows (degrees, rpm, volts).
inline double ChartValue(ChartSeries series, std::int16_t stored) {
  return static_cast<double>(stored) / kChartUnitsPerValue[static_cast<int>(series)];
}

}  // namespace calorix::recorder
