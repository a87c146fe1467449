// The chart's clock: whole minutes counted from 2000-01-01 00:00, so that
// midnight, month ends and year changes are plain steps of one. The record
// file writes two-digit years, read as 2000-2099.
#pragma once

#include <cstdint>
#include <optional>

namespace calorix::recorder {

// Minutes in the years a record can carry: 2000-01-01 00:00 to 2099-12-31 23:59.
inline constexpr std::uint32_t kMinutesInRecordYears = 36'525u * 24 * 60;

struct CalendarMinute {
  int year = 2000;  // 2000-2099
  int month = 1;    // 1-12
  int day = 1;      // 1-31
  int hour = 0;
  int minute = 0;
  int weekday = 6;  // 0 is Sunday; 2000-01-01 was a Saturday
};

// The minute count of a date and time; nullopt for a date or time that does
// not exist (month 13, 31 April, 29 February 2027, 24:00, 12:60).
std::optional<std::uint32_t> MinuteOf(int year, int month, int day, int hour, int minute);

// The minute count of midnight on the first of a month, for any year
// (negative before 2000); month 13 is January of the next year.
std::int64_t MinuteOfMonthStart(int year, int month);

// The date and time of a minute count (beyond 2099 the calendar goes on).
CalendarMinute CalendarOf(std::uint32_t minute);

}  // namespace calorix::recorder
