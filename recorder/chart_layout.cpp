#include "recorder/chart_layout.h"

#include "recorder/chart_drawing.h"

namespace calorix::recorder {

namespace {

using ui::ControlKind;

constexpr int kRowTop = 60;
constexpr int kLegendTop = 435;

// The buttons of the top row, at the given place from the left.
constexpr ui::ControlDecl RowButton(std::string_view name, int index, std::string_view caption, int place) {
  return {.name = name, .index = index, .kind = ControlKind::kButton, .caption = caption,
          .left = 60 + place * 720, .top = kRowTop, .width = 660, .height = 315, .tabIndex = place};
}

constexpr ui::ControlDecl Range(int index, std::string_view caption) {
  return RowButton("Range", index, caption, index);
}

// A reading's legend: its check box, in its colour, at the given place in the row.
constexpr ui::ControlDecl Legend(ChartSeries series, std::string_view caption, int place) {
  const int index = static_cast<int>(series);
  return {.name = "Legend", .index = index, .kind = ControlKind::kCheckBox, .caption = caption,
          .left = 60 + place * 1260, .top = kLegendTop, .width = 1200, .height = 255,
          .tabIndex = 6 + place, .settingsKey = "ChartSeries", .foreground = kSeriesColours[index]};
}

// clang-format off
constexpr ui::ControlDecl kControls[] = {
    Range(0, "Hour"), Range(1, "Day"), Range(2, "Week"), Range(3, "Month"), Range(4, "All"),
    RowButton("Copy", -1, "Copy", 5),
    Legend(ChartSeries::kCpuTemp, "CPU Temp", 0),  Legend(ChartSeries::kSysTemp, "Case Temp", 1),
    Legend(ChartSeries::kCpuFan, "CPU Fan", 2),    Legend(ChartSeries::kSysFan, "System Fan", 3),
    Legend(ChartSeries::kVcore, "Vcore", 4),       Legend(ChartSeries::kVolts33, "+3.3v", 5),
    Legend(ChartSeries::kVolts5, "+5v", 6),        Legend(ChartSeries::kVolts12, "+12v", 7),
    {.name = "Chart", .kind = ControlKind::kCanvas, .left = 0, .top = kChartTopTwips, .width = 10800,
     .height = 7200 - kChartTopTwips - kStatusHeightTwips, .font = kChartFont},
    {.name = "Status", .kind = ControlKind::kLabel, .left = 60, .top = 7200 - kStatusHeightTwips + 15,
     .width = 10680, .height = 255},
};
// clang-format on

}  // namespace

const ui::FormDecl kChartForm{
    .name = "ChartForm",
    .caption = "HWM Data Chart",
    .clientWidth = 10800,
    .clientHeight = 7200,
    .border = ui::BorderStyle::kSizable,
    .minButton = true,
    .maxButton = true,
    .iconId = 1,
    .controls = kControls,
};

}  // namespace calorix::recorder
