#include "recorder/chart_layout.h"

namespace calorix::recorder {

namespace {

constexpr ui::ControlDecl kControls[] = {
    {.name = "Status", .kind = ui::ControlKind::kLabel, .left = 60, .top = 6900, .width = 10680,
     .height = 255},
};

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
