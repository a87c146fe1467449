// The chart window, declared once: the range buttons and the legend above,
// the chart's canvas filling the rest but for the status line below it.
#pragma once

#include "platform/forms.h"

namespace calorix::recorder {

// Where the canvas starts and how tall the status line is, twips.
inline constexpr int kChartTopTwips = 750;
inline constexpr int kStatusHeightTwips = 300;

// The range buttons' order: the last hour, day, week, month, or all records.
enum class ChartRange { kHour, kDay, kWeek, kMonth, kAll };
inline constexpr int kChartRangeCount = 5;

extern const ui::FormDecl kChartForm;

}  // namespace calorix::recorder
