#include "recorder/chart_ticks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "recorder/chart_time.h"

namespace calorix::recorder {

namespace {

bool AllFinite(std::initializer_list<double> values) {
  return std::all_of(values.begin(), values.end(), [](double value) { return std::isfinite(value); });
}

// The least step that keeps ticks `leastSpacing` pixels apart on an axis of
// `span` over `pixels`, and never more than kMostTicks of them.
double LeastStep(double span, double pixels, double leastSpacing) {
  return std::max(span * std::max(leastSpacing, 1.0) / pixels, span / kMostTicks);
}

// ---- Values ----------------------------------------------------------------

double OneTwoFiveAtLeast(double least) {
  const double power = std::pow(10.0, std::floor(std::log10(least)));
  for (const double multiple : {1.0, 2.0, 5.0})
    if (multiple * power >= least * (1 - 1e-9)) return multiple * power;
  return 10 * power;
}

int DecimalsFor(double step) {
  return std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
}

// ---- Times -----------------------------------------------------------------

constexpr double kMinutesPerHour = 60;
constexpr double kMinutesPerDay = 24 * kMinutesPerHour;
constexpr double kMinutesPerWeek = 7 * kMinutesPerDay;
constexpr double kFirstMonday = 2 * kMinutesPerDay;  // 2000-01-03
constexpr double kLastTickMinute = std::numeric_limits<std::uint32_t>::max();

struct StepChoice {
  TimeStep step;
  double minutes;  // about; months and years vary
};

constexpr StepChoice kTimeSteps[] = {
    {{TimeUnit::kMinute, 1}, 1},        {{TimeUnit::kMinute, 5}, 5},
    {{TimeUnit::kMinute, 10}, 10},      {{TimeUnit::kMinute, 15}, 15},
    {{TimeUnit::kMinute, 30}, 30},      {{TimeUnit::kHour, 1}, 60},
    {{TimeUnit::kHour, 3}, 180},        {{TimeUnit::kHour, 6}, 360},
    {{TimeUnit::kHour, 12}, 720},       {{TimeUnit::kDay, 1}, kMinutesPerDay},
    {{TimeUnit::kWeek, 1}, kMinutesPerWeek}, {{TimeUnit::kMonth, 1}, 43'830},
    {{TimeUnit::kMonth, 3}, 131'490},   {{TimeUnit::kYear, 1}, 525'960},
    {{TimeUnit::kYear, 2}, 2 * 525'960.0},   {{TimeUnit::kYear, 5}, 5 * 525'960.0},
    {{TimeUnit::kYear, 10}, 10 * 525'960.0}, {{TimeUnit::kYear, 20}, 20 * 525'960.0},
    {{TimeUnit::kYear, 50}, 50 * 525'960.0},
};

std::string TwoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

std::string TimeLabel(double time, TimeUnit unit, std::string_view dateSeparator,
                      std::string_view timeSeparator) {
  static const char* const kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const CalendarMinute when = CalendarOf(static_cast<std::uint32_t>(time));
  const std::string date = TwoDigits(when.day) + std::string(dateSeparator) + TwoDigits(when.month);
  switch (unit) {
    case TimeUnit::kMinute:
    case TimeUnit::kHour:
      if (when.hour == 0 && when.minute == 0) return date;
      return TwoDigits(when.hour) + std::string(timeSeparator) + TwoDigits(when.minute);
    case TimeUnit::kDay:
    case TimeUnit::kWeek:
      return date;
    case TimeUnit::kMonth:
      return std::string(kMonthNames[when.month - 1]) + " " + std::to_string(when.year);
    case TimeUnit::kYear:
      return std::to_string(when.year);
  }
  return date;
}

// The tick times of a step in [from, to], from 0 up.
std::vector<double> TickTimes(TimeStep step, double stepMinutes, double from, double to) {
  std::vector<double> times;
  const auto add = [&](double time) {
    if (time >= from && time <= to) times.push_back(time);
    return time <= to && times.size() < static_cast<std::size_t>(kMostTicks);
  };
  if (step.unit == TimeUnit::kMonth || step.unit == TimeUnit::kYear) {
    // Calendar steps from a month or year boundary that the step divides.
    const int months = step.unit == TimeUnit::kMonth ? step.count : 12 * step.count;
    const CalendarMinute start = CalendarOf(static_cast<std::uint32_t>(from));
    int month = start.year * 12 + start.month - 1;
    month -= month % months;
    while (add(static_cast<double>(MinuteOfMonthStart(month / 12, month % 12 + 1)))) month += months;
    return times;
  }
  const double anchor = step.unit == TimeUnit::kWeek ? kFirstMonday : 0;
  for (double k = std::ceil((from - anchor) / stepMinutes); add(anchor + k * stepMinutes); ++k) {
  }
  return times;
}

}  // namespace

ValueTicks ChooseValueTicks(double low, double high, double pixels, double leastSpacing,
                            double smallestStep) {
  ValueTicks ticks;
  if (!AllFinite({low, high, pixels, leastSpacing, smallestStep, high - low}) || !(high > low) ||
      !(pixels > 0) || !(smallestStep > 0))
    return ticks;
  const double least = std::max(LeastStep(high - low, pixels, leastSpacing), smallestStep);
  ticks.step = OneTwoFiveAtLeast(least);
  for (double k = std::ceil(low / ticks.step);
       k * ticks.step <= high && ticks.values.size() < static_cast<std::size_t>(kMostTicks); ++k)
    ticks.values.push_back(k * ticks.step);
  return ticks;
}

std::string ValueTickLabel(double value, double step) {
  if (!AllFinite({value, step}) || !(step > 0)) return {};
  const int decimals = DecimalsFor(step);
  double shown = std::round(value / step) * step;
  if (shown == 0) shown = 0;  // no "-0"
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, shown);
  return text;
}

TimeTicks ChooseTimeTicks(double from, double to, double pixels, double leastSpacing,
                          std::string_view dateSeparator, std::string_view timeSeparator) {
  TimeTicks ticks;
  if (!AllFinite({from, to, pixels, leastSpacing}) || !(to > from) || !(pixels > 0)) return ticks;
  const double least = LeastStep(to - from, pixels, leastSpacing);
  const StepChoice* choice = std::find_if(std::begin(kTimeSteps), std::end(kTimeSteps),
                                          [least](const StepChoice& c) { return c.minutes >= least; });
  if (choice == std::end(kTimeSteps)) --choice;
  ticks.step = choice->step;
  from = std::max(from, 0.0);
  to = std::min(to, kLastTickMinute);
  if (!(to >= from)) return ticks;
  for (const double time : TickTimes(choice->step, choice->minutes, from, to))
    ticks.ticks.push_back({time, TimeLabel(time, choice->step.unit, dateSeparator, timeSeparator)});
  return ticks;
}

}  // namespace calorix::recorder
