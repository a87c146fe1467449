#include "recorder/chart_time.h"

#include <chrono>

namespace calorix::recorder {

namespace {

using std::chrono::sys_days;
using std::chrono::year_month_day;

constexpr sys_days kEpoch = sys_days{std::chrono::year{2000} / 1 / 1};
constexpr std::uint32_t kMinutesPerDay = 24 * 60;

}  // namespace

std::optional<std::uint32_t> MinuteOf(int year, int month, int day, int hour, int minute) {
  if (year < 2000 || year > 2099 || hour < 0 || hour > 23 || minute < 0 || minute > 59)
    return std::nullopt;
  if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  const year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                            std::chrono::day{static_cast<unsigned>(day)}};
  if (!date.ok()) return std::nullopt;
  const auto days = (sys_days{date} - kEpoch).count();
  return static_cast<std::uint32_t>(days) * kMinutesPerDay + static_cast<std::uint32_t>(hour * 60 + minute);
}

std::int64_t MinuteOfMonthStart(int year, int month) {
  const int months = year * 12 + (month - 1);
  const std::chrono::year_month_day date{std::chrono::year{months / 12},
                                         std::chrono::month{static_cast<unsigned>(months % 12 + 1)},
                                         std::chrono::day{1}};
  return static_cast<std::int64_t>((sys_days{date} - kEpoch).count()) * kMinutesPerDay;
}

CalendarMinute CalendarOf(std::uint32_t minute) {
  const sys_days day = kEpoch + std::chrono::days{minute / kMinutesPerDay};
  const year_month_day date{day};
  const std::uint32_t inDay = minute % kMinutesPerDay;
  CalendarMinute out;
  out.year = static_cast<int>(date.year());
  out.month = static_cast<int>(static_cast<unsigned>(date.month()));
  out.day = static_cast<int>(static_cast<unsigned>(date.day()));
  out.hour = static_cast<int>(inDay / 60);
  out.minute = static_cast<int>(inDay % 60);
  out.weekday = static_cast<int>(std::chrono::weekday{day}.c_encoding());
  return out;
}

}  // namespace calorix::recorder
