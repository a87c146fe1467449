#include "recorder/data_form_layout.h"

namespace calorix::recorder {

namespace {

constexpr ui::FontSpec kHeadingFont{"Courier New", 9, true};

constexpr ui::ControlDecl kControls[] = {
    {.name = "Label1", .index = 0, .kind = ui::ControlKind::kLabel,
     .caption = "   Date            CPU   CPU   Sys   Sys", .left = 45, .top = 45, .width = 4200,
     .height = 240, .font = kHeadingFont},
    {.name = "Label1", .index = 1, .kind = ui::ControlKind::kLabel,
     .caption = "D / M / Y   Time   Temp  Fan   Temp  Fan   Vcore  3.3v    5v    12v", .left = 30,
     .top = 240, .width = 7035, .height = 240, .font = kHeadingFont},
    {.name = "Text1", .kind = ui::ControlKind::kTextBox, .left = 15, .top = 450, .width = 7935,
     .height = 4785, .tabIndex = 0, .font = {"Courier New", 9.75, false}, .multiLine = true,
     .readOnly = true, .verticalScroll = true, .horizontalScroll = true},
};

}  // namespace

const ui::FormDecl kDataForm{
    .name = "DataForm",
    .caption = " HWM Data Records",
    .clientWidth = 8010,
    .clientHeight = 5280,
    .border = ui::BorderStyle::kSizable,
    .minButton = true,
    .maxButton = false,
    .iconId = 1,
    .controls = kControls,
};

}  // namespace calorix::recorder
