#include "tray/layouts.h"

namespace calorix::tray {

namespace {

using ui::ControlKind;

constexpr ui::MenuItemDecl kMenuItems[] = {
    {"MenuShow", "Show HWM"},  {"MenuHide", "Hide HWM"},
    {"zpase", "-"},            {"MnuOptions", "Options"},
    {"zpase1", "-"},           {"MnuVwDat", "View Data"},
    {"MnuViewChart", "View Chart"},
    {"MnuViewDashBrd", "View Dash Board"},
    {"zpase2", "-"},           {"zpase3", "Cancel"},
    {"MenuClose", "Close HWM"},
};

constexpr ui::Rgb kValueBack{224, 224, 224};
constexpr ui::Rgb kVoltColour{0, 128, 0};
constexpr ui::Rgb kTempColour{192, 64, 0};
constexpr ui::Rgb kFanColour{0, 0, 192};
constexpr ui::FontSpec kValueFont{"MS Sans Serif", 8.25, true};

constexpr ui::ControlDecl Value(int index, int left, int top) {
  return {.name = "Label1", .index = index, .kind = ControlKind::kLabel, .left = left, .top = top,
          .width = 600, .height = 255, .background = kValueBack, .font = kValueFont,
          .border = true};
}

constexpr ui::ControlDecl Caption(int index, std::string_view text, int left, int top, int width,
                                  ui::Rgb colour) {
  return {.name = "Label1", .index = index, .kind = ControlKind::kLabel, .caption = text,
          .left = left, .top = top, .width = width, .height = 195, .foreground = colour,
          .align = ui::Align::kRight};
}

// clang-format off
constexpr ui::ControlDecl kDashboardControls[] = {
  Caption(15, "Case Temp", 0, 15, 810, kTempColour),     Value(3, 900, 0),
  Caption(13, "CPU Temp", 45, 270, 780, kTempColour),    Value(1, 900, 255),
  Caption(14, "System Fan", 0, 600, 825, kFanColour),    Value(2, 900, 585),
  Caption(12, "CPU Fan", 45, 855, 780, kFanColour),      Value(0, 900, 840),
  Caption(8, "+12v", 465, 1200, 360, kVoltColour),       Value(4, 900, 1170),
  Caption(9, "+5v", 555, 1455, 270, kVoltColour),        Value(5, 900, 1425),
  Caption(10, "+3.3v", 420, 1710, 405, kVoltColour),     Value(6, 900, 1680),
  Caption(11, "Vcore", 420, 1965, 420, kVoltColour),     Value(7, 900, 1935),
};
// clang-format on

}  // namespace

const ui::FormDecl kDashboardForm{
    .name = "Form3",
    .caption = "DashBoard",
    .clientWidth = 1560,
    .clientHeight = 2205,
    .border = ui::BorderStyle::kFixedToolWindow,
    .showInTaskbar = false,
    .background = ui::Rgb{192, 192, 192},
    .controls = kDashboardControls,
};

const std::span<const ui::MenuItemDecl> kPopupMenu = kMenuItems;

}  // namespace calorix::tray
