#include "tray/reading_cycle.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/text.h"
#include "core/app.h"
#include "core/numbers.h"
#include "monitor/leading_number.h"
#include "monitor/text_scraper.h"

namespace calorix::tray {

namespace slots = monitor::slots;

std::string CtoF_Deg(std::string& text) {
  const std::int32_t celsius = monitor::ParseLeadingWholeNumber(text);
  // Every temperature is converted, also 68 °C and above. Computed wide and
  // clamped: a huge reading text must not overflow.
  const std::int64_t fahrenheit =
      static_cast<std::int64_t>(std::nearbyint(celsius * 9.0 / 5.0)) + 32;
  text = std::to_string(std::clamp<std::int64_t>(fahrenheit, std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
  return text;
}

std::string BuildTooltip(const monitor::MonitorTextTable& table, bool fahrenheit) {
  std::string cpu = table.Slot(slots::kCpuTemp);
  std::string sys = table.Slot(slots::kSysTemp);
  std::string unit = std::string(kDegreeSign) + "C  ";
  if (fahrenheit) {
    CtoF_Deg(cpu);
    CtoF_Deg(sys);
    unit = std::string(kDegreeSign) + "F  ";
  }
  std::string tip = "CPU:" + cpu + unit + "Sys:" + sys + unit;
  if (monitor::ParseLeadingNumber(table.Slot(slots::kCpuFan)) > 0)
    tip += "Fan1:" + table.Slot(slots::kCpuFan) + "  ";
  if (monitor::ParseLeadingNumber(table.Slot(slots::kSysFan)) > 0)
    tip += "Fan2:" + table.Slot(slots::kSysFan) + " ";
  return tip;
}

void ReadingCycle::GetTextForTray() {
  if (++RefreshTickCount < 3) return;
  RefreshTickCount = 0;

  if (RefreshCount < 8) {
    ++RefreshCount;
  } else if (RefreshCount == 8) {
    // Once per run, shortly after start, the icon is put up afresh.
    RefreshCount = 9;
    app_.trayIcon.ResetTray();
    app_.trayIcon.UpdateIcons();
  }

  monitor::ScrapeMonitorTexts(app_.platform.windows, app_.table, app_.state.MonitorWindow);
  const std::string tip = BuildTooltip(app_.table, app_.form1["CtoF"].State() == 1);
  if (app_.dashboard.IsOpen()) app_.dashboard.ShowReadings(app_.table);
  if (!app_.form1["NoIconO"].Value()) app_.trayIcon.UpdatePicture();
  app_.trayIcon.UpdateTip(tip + '\0');
  if (app_.state.MonitorShown == 0) app_.recorder.Step();
}

}  // namespace calorix::tray
