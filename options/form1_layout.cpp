#include "options/form1_layout.h"

namespace calorix::options {

namespace {

using ui::ControlKind;

constexpr ControlKind kCheck = ControlKind::kCheckBox;
constexpr ControlKind kOption = ControlKind::kOptionButton;
constexpr ControlKind kButton = ControlKind::kButton;

// Positions are in twips, in the window's client area (controls inside a
// frame are given in window coordinates too).
// clang-format off
constexpr ui::ControlDecl kControls[] = {
  {.name = "Frame1", .kind = ControlKind::kFrame, .caption = "Shut Down PC on Alarm", .left = 30, .top = 0, .width = 2295, .height = 3390, .tabIndex = 21},
  {.name = "Frame2", .kind = ControlKind::kFrame, .caption = "HWM Data", .left = 2385, .top = 0, .width = 2295, .height = 1245, .tabIndex = 22},
  {.name = "Frame3", .kind = ControlKind::kFrame, .caption = "Tray Icon", .left = 2370, .top = 1245, .width = 2295, .height = 1425, .tabIndex = 23},

  {.name = "MenuShtDwnFan", .kind = kCheck, .caption = "CPU Fan Low", .left = 230, .top = 240, .width = 1290, .height = 195, .tabIndex = 0, .container = "Frame1", .settingsKey = "Fan"},
  {.name = "MenuShtDwnTemp", .kind = kCheck, .caption = "CPU Over Heat", .left = 230, .top = 495, .width = 1410, .height = 195, .tabIndex = 1, .container = "Frame1", .settingsKey = "Temp"},
  {.name = "ShtDwnSysFan", .kind = kCheck, .caption = "System Fan Low", .left = 230, .top = 750, .width = 1470, .height = 195, .tabIndex = 2, .container = "Frame1", .settingsKey = "SysFan"},
  {.name = "MenuShtDwnSys", .kind = kCheck, .caption = "System Over Heat ", .left = 230, .top = 1005, .width = 1590, .height = 195, .tabIndex = 3, .container = "Frame1", .settingsKey = "Sys"},
  {.name = "MenuShtDwnVolts", .kind = kCheck, .caption = "Voltage Abnormal", .left = 230, .top = 1260, .width = 1545, .height = 195, .tabIndex = 4, .container = "Frame1", .settingsKey = "Volts"},
  {.name = "MnuForceSD", .kind = kCheck, .caption = "Force Shutdown", .left = 230, .top = 1635, .width = 1470, .height = 195, .tabIndex = 5, .container = "Frame1", .settingsKey = "ForceSD"},
  {.name = "MnuFastSD", .kind = kCheck, .caption = "Fast Shutdown", .left = 230, .top = 1905, .width = 1365, .height = 195, .tabIndex = 6, .container = "Frame1", .settingsKey = "FastSD"},
  {.name = "Command5", .kind = kButton, .caption = "Test", .tooltip = "Test PC Shut Down!", .left = 1740, .top = 1740, .width = 480, .height = 315, .tabIndex = 7, .container = "Frame1"},
  {.name = "Command1", .kind = kButton, .caption = "View", .left = 135, .top = 2895, .width = 915, .height = 360, .tabIndex = 8, .container = "Frame1"},
  {.name = "Command2", .kind = kButton, .caption = "Clear", .left = 1215, .top = 2895, .width = 960, .height = 360, .tabIndex = 9, .container = "Frame1"},
  {.name = "SDmsgs", .kind = kCheck, .caption = "Skip Msg on Load", .tooltip = "Do not display shut down message on load", .left = 210, .top = 2280, .width = 1650, .height = 195, .tabIndex = 27, .settingsKey = "SDmsgs"},
  {.name = "AlrmBuz", .kind = kCheck, .caption = "Alarm Buzzer Sound", .left = 210, .top = 2550, .width = 1725, .height = 195, .tabIndex = 26, .settingsKey = "AlrmBuzz", .initialState = 1},

  {.name = "MnuRecord", .kind = kCheck, .caption = "Record Data", .left = 2585, .top = 240, .width = 1245, .height = 240, .tabIndex = 10, .container = "Frame2", .settingsKey = "Record"},
  {.name = "Combo1", .kind = ControlKind::kComboBox, .caption = "5", .tooltip = "Set in Minutes (1-60)", .left = 4035, .top = 180, .width = 585, .height = 315, .tabIndex = 11, .container = "Frame2", .settingsKey = "RecDelay"},
  {.name = "MnuChkDatRec", .kind = kCheck, .caption = "Recorder Reminder", .tooltip = "Remind me if recorder is on at startup", .left = 2585, .top = 515, .width = 1680, .height = 195, .tabIndex = 12, .container = "Frame2", .settingsKey = "ChkDatRec", .initialState = 1},
  {.name = "Command3", .kind = kButton, .caption = "View", .left = 2445, .top = 795, .width = 680, .height = 350, .tabIndex = 13, .container = "Frame2"},
  {.name = "Command4", .kind = kButton, .caption = "Clear", .left = 3195, .top = 795, .width = 680, .height = 350, .tabIndex = 14, .container = "Frame2"},
  {.name = "Command6", .kind = kButton, .caption = "Edit", .tooltip = "Edit Recorded Data", .left = 3945, .top = 795, .width = 680, .height = 350, .tabIndex = 25, .container = "Frame2"},

  {.name = "CtoF", .kind = kCheck, .caption = "F", .tooltip = "Show ToolTip Temps in Fahrenheit", .left = 4140, .top = 1395, .width = 450, .height = 195, .tabIndex = 24, .container = "Frame3", .settingsKey = "TipAsF"},
  {.name = "CpuOnly", .kind = kOption, .caption = "CPU Temp", .left = 2550, .top = 1545, .width = 1080, .height = 195, .tabIndex = 15, .settingsKey = "CpuOnly", .initialValue = true},
  {.name = "SwapCpuSysO", .kind = kOption, .caption = "System Temp", .left = 2550, .top = 1800, .width = 1260, .height = 195, .tabIndex = 16, .settingsKey = "SwapCpuSys"},
  {.name = "CPUSysTempO", .kind = kOption, .caption = "CPU && System Temp", .left = 2550, .top = 2070, .width = 1770, .height = 195, .tabIndex = 17, .settingsKey = "CPUSysTemp"},
  {.name = "NoIconO", .kind = kOption, .caption = "VIA Logo", .left = 2550, .top = 2325, .width = 960, .height = 195, .tabIndex = 18, .settingsKey = "NoIcon"},
  {.name = "MnuHideStart", .kind = kCheck, .caption = "Hide HWM on Load", .left = 2445, .top = 2700, .width = 1725, .height = 195, .tabIndex = 19, .settingsKey = "SView", .initialState = 1},
  {.name = "DashState", .kind = kCheck, .caption = "DashBoard on Load", .left = 2445, .top = 2940, .width = 1725, .height = 195, .tabIndex = 28, .settingsKey = "DashOn"},
  {.name = "RemHwmPos", .kind = kCheck, .caption = "Save Window Positions", .left = 2445, .top = 3180, .width = 1980, .height = 210, .tabIndex = 20, .settingsKey = "Position"},

  // Picture holders for the tray icon, below the client area and hidden.
  {.name = "Image1", .kind = ControlKind::kImage, .left = 0, .top = 3600, .width = 480, .height = 480, .visible = false},
  {.name = "Image2", .kind = ControlKind::kImage, .left = 600, .top = 3600, .width = 480, .height = 480, .visible = false},
  {.name = "Image3", .kind = ControlKind::kImage, .left = 1200, .top = 3600, .width = 480, .height = 480, .visible = false},
};
// clang-format on

}  // namespace

const ui::FormDecl kForm1{
    .name = "Form1",
    .caption = "Calorix",
    .clientWidth = 4695,
    .clientHeight = 3420,
    .border = ui::BorderStyle::kFixedSingle,
    .minButton = true,
    .maxButton = false,
    .showInTaskbar = false,
    .keyPreview = true,
    .iconId = 1,
    .controls = kControls,
};

}  // namespace calorix::options
