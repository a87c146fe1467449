#include "alarm/countdown_layout.h"

namespace calorix::alarm {

namespace {

constexpr ui::FontSpec kBold12{"MS Sans Serif", 12, true};

constexpr ui::ControlDecl kControls[] = {
    {.name = "Label2", .kind = ui::ControlKind::kLabel, .caption = "WARNING! WARNING!", .left = 0,
     .top = 0, .width = 5055, .height = 375, .background = ui::Rgb{255, 255, 0}, .font = kBold12},
    {.name = "Label1", .kind = ui::ControlKind::kLabel, .caption = "ShutDown PC !!!!!", .left = 0,
     .top = 360, .width = 4935, .height = 1110, .background = ui::Rgb{255, 255, 255},
     .foreground = ui::Rgb{255, 0, 0}, .font = kBold12},
    {.name = "Command1", .kind = ui::ControlKind::kButton, .caption = "CANCEL", .left = 195,
     .top = 1680, .width = 4680, .height = 495, .tabIndex = 0},
};

}  // namespace

const ui::FormDecl kCountdownForm{
    .name = "Form2",
    .caption = "ALARM SHUT DOWN!",
    .clientWidth = 5010,
    .clientHeight = 2295,
    .border = ui::BorderStyle::kFixedDialog,
    .background = ui::Rgb{255, 255, 255},
    .iconId = kHazardIconId,
    .controls = kControls,
};

}  // namespace calorix::alarm
