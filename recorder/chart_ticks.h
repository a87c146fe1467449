// Axis ticks a reader takes in at a glance: values at whole multiples of 1,
// 2 or 5 times a power of ten, times at round minutes, hours, days, weeks,
// months or years. Each chooser takes the axis length in pixels and the
// least spacing wanted between ticks, and picks the finest step that keeps
// ticks at least that far apart. At most kMostTicks ticks are made.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace calorix::recorder {

inline constexpr int kMostTicks = 1000;

struct ValueTicks {
  double step = 0;  // 0 when there are no ticks
  std::vector<double> values;
};

// Ticks within [low, high]. `smallestStep` keeps steps to whole units where
// finer ones mean nothing: 1 for degrees and rpm, 0.01 for volts.
ValueTicks ChooseValueTicks(double low, double high, double pixels, double leastSpacing,
                            double smallestStep);

// A tick value as text with as many decimals as the step needs ("45", "2.5", "3.35").
std::string ValueTickLabel(double value, double step);

enum class TimeUnit { kMinute, kHour, kDay, kWeek, kMonth, kYear };

struct TimeStep {
  TimeUnit unit = TimeUnit::kMinute;
  int count = 1;
};

struct TimeTick {
  double time = 0;  // minutes since 2000-01-01 00:00
  // By step: minutes and hours "14:30" (the date "09/12" at midnight), days
  // and weeks "09/12", months "Dec 2026", years "2026"; with the separators
  // given.
  std::string label;
};

struct TimeTicks {
  TimeStep step;
  std::vector<TimeTick> ticks;
};

// Ticks within [from, to] (minutes since 2000-01-01, see chart_time.h), none
// before 2000. Steps are 1, 5, 10, 15 or 30 minutes, 1, 3, 6 or 12 hours, a
// day, a week (from Monday), 1 or 3 months, 1, 2, 5, 10, 20 or 50 years.
TimeTicks ChooseTimeTicks(double from, double to, double pixels, double leastSpacing,
                          std::string_view dateSeparator, std::string_view timeSeparator);

}  // namespace calorix::recorder
