// Every key of the settings store, declared once with its section, the form
// of its value and its default.
#pragma once

#include <string_view>

namespace calorix::settings {

inline constexpr std::string_view kStartup = "Startup";
inline constexpr std::string_view kViaHwm = "VIA HWM";

enum class Form {
  kState,    // "0" or "1": a check box
  kYesNo,    // "True" or "False": an option button
  kInteger,  // a whole number (a fractional text is rounded, halves to even)
  kNumber,   // a number in the user's number format
  kText,     // any text
};

// What a kNumber key's value must fit into where the program uses it; a
// stored number outside it reads as the default.
enum class Range {
  kAny,
  kSingle,  // a single-precision float (the recording interval)
  kInt32,   // a 32-bit integer (a window position)
  kExtent,  // above 0 and within a 32-bit integer (a window size)
};

struct Key {
  std::string_view section;
  std::string_view name;
  Form form;
  // The default as text; empty for kNumber keys whose default the caller
  // computes (the dashboard's and the chart's place, the chart's size).
  std::string_view defaultText;
  Range range = Range::kAny;
};

// The version this release writes under "Version".
inline constexpr int kSettingsVersion = 44;

namespace keys {
inline constexpr Key kVersion{kStartup, "Version", Form::kInteger, "0"};
inline constexpr Key kLeft{kStartup, "Left", Form::kInteger, "-1"};
inline constexpr Key kTop{kStartup, "Top", Form::kInteger, "-1"};
inline constexpr Key kForceSD{kStartup, "ForceSD", Form::kState, "0"};
inline constexpr Key kFastSD{kStartup, "FastSD", Form::kState, "0"};
inline constexpr Key kFan{kStartup, "Fan", Form::kState, "0"};
inline constexpr Key kSys{kStartup, "Sys", Form::kState, "0"};
inline constexpr Key kSysFan{kStartup, "SysFan", Form::kState, "0"};
inline constexpr Key kTemp{kStartup, "Temp", Form::kState, "0"};
inline constexpr Key kVolts{kStartup, "Volts", Form::kState, "0"};
inline constexpr Key kTipAsF{kStartup, "TipAsF", Form::kState, "0"};
inline constexpr Key kSDmsgs{kStartup, "SDmsgs", Form::kState, "0"};
inline constexpr Key kAlarm{kStartup, "Alarm", Form::kText, ""};
inline constexpr Key kAlrmBuzz{kStartup, "AlrmBuzz", Form::kState, "1"};
inline constexpr Key kSView{kStartup, "SView", Form::kState, "1"};
inline constexpr Key kRecord{kStartup, "Record", Form::kState, "0"};
inline constexpr Key kRecDelay{kStartup, "RecDelay", Form::kNumber, "5", Range::kSingle};
inline constexpr Key kChkDatRec{kStartup, "ChkDatRec", Form::kState, "1"};
inline constexpr Key kSwapCpuSys{kStartup, "SwapCpuSys", Form::kYesNo, "False"};
inline constexpr Key kCPUSysTemp{kStartup, "CPUSysTemp", Form::kYesNo, "False"};
inline constexpr Key kNoIcon{kStartup, "NoIcon", Form::kYesNo, "False"};
inline constexpr Key kCpuOnly{kStartup, "CpuOnly", Form::kYesNo, "True"};
inline constexpr Key kDashOn{kStartup, "DashOn", Form::kState, "0"};
inline constexpr Key kDBLeft{kStartup, "DBLeft", Form::kNumber, "", Range::kInt32};
inline constexpr Key kDBTop{kStartup, "DBTop", Form::kNumber, "", Range::kInt32};
// The chart window's outer place and size in twips, and which of the eight
// readings it draws: a "1" or "0" for each, in the record line's order.
inline constexpr Key kChartLeft{kStartup, "ChartLeft", Form::kNumber, "", Range::kInt32};
inline constexpr Key kChartTop{kStartup, "ChartTop", Form::kNumber, "", Range::kInt32};
inline constexpr Key kChartWidth{kStartup, "ChartWidth", Form::kNumber, "", Range::kExtent};
inline constexpr Key kChartHeight{kStartup, "ChartHeight", Form::kNumber, "", Range::kExtent};
inline constexpr Key kChartSeries{kStartup, "ChartSeries", Form::kText, "11110000"};
inline constexpr Key kPosition{kViaHwm, "Position", Form::kState, "0"};
inline constexpr Key kHWMLeft{kViaHwm, "HWMLeft", Form::kInteger, "-100"};
inline constexpr Key kHWMTop{kViaHwm, "HWMTop", Form::kInteger, "-100"};

inline constexpr Key kAll[] = {
    kVersion, kLeft,    kTop,      kForceSD,   kFastSD,      kFan,    kSys,
    kSysFan,  kTemp,    kVolts,    kTipAsF,    kSDmsgs,      kAlarm,  kAlrmBuzz,
    kSView,   kRecord,  kRecDelay, kChkDatRec, kSwapCpuSys,  kCPUSysTemp, kNoIcon,
    kCpuOnly, kDashOn,  kDBLeft,   kDBTop,     kChartLeft,   kChartTop, kChartWidth,
    kChartHeight, kChartSeries, kPosition, kHWMLeft, kHWMTop,
};
}  // namespace keys

}  // namespace calorix::settings
