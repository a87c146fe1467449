// The stand-in monitor's control tree, declared once as data.
//
// Array order is creation order, and it equals the depth-first order in which
// the window manager enumerates the descendants of the main window (parent
// before its children, siblings in creation order). So a control's index here
// is its enumeration index. Children of a group box follow it immediately.
//
// This header has no Windows dependency: native tests rebuild the same tree.
#pragma once

namespace standin {

enum class Reading { None, CpuTemp, SysTemp, Vcore, V33, V5, V12, CpuFan, SysFan };

inline constexpr int kStylePlain = 0;       // left-aligned Static
inline constexpr int kStyleGroupBox = 1;    // Button with BS_GROUPBOX
inline constexpr int kStylePushButton = 2;  // Button with BS_PUSHBUTTON
inline constexpr int kStyleCheckBox = 3;    // Button with BS_AUTOCHECKBOX
inline constexpr int kStyleRight = 4;       // right-aligned Static
inline constexpr int kStyleFolder = 5;      // hidden Static holding the working folder

struct ControlSpec {
  int parent;               // index of the enclosing group box, or -1 for the main window
  const char* className;    // "Static" or "Button"
  const char* text;         // initial caption (readings: their initial value)
  int style;                // one of the kStyle* values above
  int x, y, width, height;  // pixels, relative to the parent's client area
  Reading reading;
};

inline constexpr const char* kMainTitle = "VIA HWM";

// Another program may send the main window this registered message to learn
// about its system menu, which not every system lets it read: the answer
// holds the number of items now (bits 0-7) and when the window was made
// (bits 8-15), plus kSystemMenuHasClose while the Close item is there.
inline constexpr const char* kSystemMenuMessage = "ViaHmSystemMenuQuery";
inline constexpr long kSystemMenuHasClose = 0x10000;

// Sent this registered message, the main window answers how long its slow
// build takes, in milliseconds (0 when it was built at once).
inline constexpr const char* kSlowBuildMessage = "ViaHmSlowBuildQuery";
inline constexpr int kMainWidth = 520;
inline constexpr int kMainHeight = 330;

namespace layout_detail {
using R = Reading;
inline constexpr int S = kStylePlain;
inline constexpr int G = kStyleGroupBox;
inline constexpr int P = kStylePushButton;
inline constexpr int C = kStyleCheckBox;
inline constexpr int A = kStyleRight;
inline constexpr int kTemp = 2;   // index of the "Temperature" group box
inline constexpr int kVolt = 19;  // index of the "Voltage" group box
inline constexpr int kFan = 33;   // index of the "Fan" group box
}  // namespace layout_detail

// clang-format off
inline constexpr ControlSpec kControls[] = {
  // 0-1: header line
  {-1, "Static", "VIA Hardware Monitor System Ver 1.0", layout_detail::S,   8,   6, 300, 16, Reading::None},
  {-1, "Static", "Refresh: 1 s",                        layout_detail::A, 380,   6, 116, 16, Reading::None},
  // 2-18: temperatures
  {-1, "Button", "Temperature", layout_detail::G, 8, 26, 250, 96, Reading::None},
  {layout_detail::kTemp, "Static", "Sensor",             layout_detail::S,  10, 18, 118, 16, Reading::None},
  {layout_detail::kTemp, "Static", "Now",                layout_detail::A, 130, 18,  28, 16, Reading::None},
  {layout_detail::kTemp, "Static", "Limit",              layout_detail::A, 172, 18,  28, 16, Reading::None},
  {layout_detail::kTemp, "Static", "Beep",               layout_detail::S, 214, 18,  30, 16, Reading::None},
  {layout_detail::kTemp, "Static", "CPU Temperature",    layout_detail::S,  10, 42, 118, 16, Reading::None},
  {layout_detail::kTemp, "Static", "C",                  layout_detail::S, 160, 42,  10, 16, Reading::None},
  {layout_detail::kTemp, "Static", "70",                 layout_detail::A, 176, 42,  24, 16, Reading::None},
  {layout_detail::kTemp, "Static", "C",                  layout_detail::S, 202, 42,  10, 16, Reading::None},
  {layout_detail::kTemp, "Button", "",                   layout_detail::C, 222, 42,  14, 14, Reading::None},
  {layout_detail::kTemp, "Static", "45",                 layout_detail::A, 130, 42,  28, 16, Reading::CpuTemp},
  {layout_detail::kTemp, "Static", "System Temperature", layout_detail::S,  10, 66, 118, 16, Reading::None},
  {layout_detail::kTemp, "Static", "C",                  layout_detail::S, 160, 66,  10, 16, Reading::None},
  {layout_detail::kTemp, "Static", "55",                 layout_detail::A, 176, 66,  24, 16, Reading::None},
  {layout_detail::kTemp, "Static", "C",                  layout_detail::S, 202, 66,  10, 16, Reading::None},
  {layout_detail::kTemp, "Button", "",                   layout_detail::C, 222, 66,  14, 14, Reading::None},
  {layout_detail::kTemp, "Static", "36",                 layout_detail::A, 130, 66,  28, 16, Reading::SysTemp},
  // 19-32: voltages
  {-1, "Button", "Voltage", layout_detail::G, 266, 26, 230, 196, Reading::None},
  {layout_detail::kVolt, "Static", "Sensor",          layout_detail::S,  12,  18,  90, 16, Reading::None},
  {layout_detail::kVolt, "Static", "Volts",           layout_detail::A, 110,  18,  80, 16, Reading::None},
  {layout_detail::kVolt, "Static", "Vcore",           layout_detail::S,  12,  42,  90, 16, Reading::None},
  {layout_detail::kVolt, "Static", " 1.52 ",          layout_detail::A, 120,  42,  70, 16, Reading::Vcore},
  {layout_detail::kVolt, "Static", "Vcore 2",         layout_detail::S,  12,  66,  90, 16, Reading::None},
  {layout_detail::kVolt, "Static", " N/A ",           layout_detail::A, 120,  66,  70, 16, Reading::None},
  {layout_detail::kVolt, "Static", "+3.3 V",          layout_detail::S,  12,  90,  90, 16, Reading::None},
  {layout_detail::kVolt, "Static", " 3.31 ",          layout_detail::A, 120,  90,  70, 16, Reading::V33},
  {layout_detail::kVolt, "Static", "+5 V",            layout_detail::S,  12, 114,  90, 16, Reading::None},
  {layout_detail::kVolt, "Static", " 5.02 ",          layout_detail::A, 120, 114,  70, 16, Reading::V5},
  {layout_detail::kVolt, "Static", "+12 V",           layout_detail::S,  12, 138,  90, 16, Reading::None},
  {layout_detail::kVolt, "Static", " 12.16 ",         layout_detail::A, 120, 138,  70, 16, Reading::V12},
  {layout_detail::kVolt, "Static", "Tolerance: +/-10 %", layout_detail::S, 12, 168, 170, 16, Reading::None},
  // 33-42: fans
  {-1, "Button", "Fan", layout_detail::G, 8, 126, 250, 96, Reading::None},
  {layout_detail::kFan, "Static", "Sensor",     layout_detail::S,  10, 18, 90, 16, Reading::None},
  {layout_detail::kFan, "Static", "Now (RPM)",  layout_detail::A, 100, 18, 64, 16, Reading::None},
  {layout_detail::kFan, "Static", "Low Limit",  layout_detail::A, 170, 18, 64, 16, Reading::None},
  {layout_detail::kFan, "Static", "CPU Fan",    layout_detail::S,  10, 42, 90, 16, Reading::None},
  {layout_detail::kFan, "Static", "1500",       layout_detail::A, 170, 42, 64, 16, Reading::None},
  {layout_detail::kFan, "Static", "4500",       layout_detail::A, 100, 42, 64, 16, Reading::CpuFan},
  {layout_detail::kFan, "Static", "System Fan", layout_detail::S,  10, 66, 90, 16, Reading::None},
  {layout_detail::kFan, "Static", "3200",       layout_detail::A, 100, 66, 64, 16, Reading::SysFan},
  {layout_detail::kFan, "Static", "1000",       layout_detail::A, 170, 66, 64, 16, Reading::None},
  // 43-47: options and buttons
  {-1, "Button", "Start with Windows", layout_detail::C,   8, 232, 150, 18, Reading::None},
  {-1, "Button", "Always on top",      layout_detail::C,   8, 256, 150, 18, Reading::None},
  {-1, "Button", "Log readings",       layout_detail::C, 164, 232,  90, 18, Reading::None},
  {-1, "Button", "&Minimize",          layout_detail::P, 316, 244,  86, 26, Reading::None},
  {-1, "Button", "&Close",             layout_detail::P, 410, 244,  86, 26, Reading::None},
  // 48: the folder the monitor was started in (hidden), so a test can see it.
  {-1, "Static", "",                   kStyleFolder,     164, 256, 140, 14, Reading::None},
};
// clang-format on

inline constexpr int kControlCount = static_cast<int>(sizeof(kControls) / sizeof(kControls[0]));

// Index of the control that shows a reading, or -1 for Reading::None.
constexpr int readingIndex(Reading r) {
  for (int i = 0; i < kControlCount; ++i) {
    if (r != Reading::None && kControls[i].reading == r) return i;
  }
  return -1;
}

static_assert(readingIndex(Reading::CpuTemp) == 12);
static_assert(readingIndex(Reading::SysTemp) == 18);
static_assert(readingIndex(Reading::Vcore) == 23);
static_assert(readingIndex(Reading::V33) == 27);
static_assert(readingIndex(Reading::V5) == 29);
static_assert(readingIndex(Reading::V12) == 31);
static_assert(readingIndex(Reading::CpuFan) == 39);
static_assert(readingIndex(Reading::SysFan) == 41);

// Indices of the limit labels, kept in step with the limits in use.
inline constexpr int kCpuLimitIndex = 9;
inline constexpr int kSysLimitIndex = 15;
inline constexpr int kCpuFanLimitIndex = 38;
inline constexpr int kSysFanLimitIndex = 42;

}  // namespace standin
