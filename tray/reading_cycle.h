// The reading cycle: every third poll tick the monitor's texts become the
// tooltip, the tray picture, the dashboard labels and the record line.
#pragma once

#include <cstdint>
#include <string>

#include "monitor/monitor_text_table.h"

namespace calorix {
class App;
}

namespace calorix::tray {

// Replaces a Celsius temperature text by its whole Fahrenheit value.
std::string CtoF_Deg(std::string& text);

// "CPU:45°C  Sys:38°C  Fan1:4500  Fan2:3200 " (the fan pieces only for
// speeds above 0); temperatures in Fahrenheit when asked.
std::string BuildTooltip(const monitor::MonitorTextTable& table, bool fahrenheit);

class ReadingCycle {
 public:
  explicit ReadingCycle(App& app) : app_(app) {}

  // Called by every poll tick that sees no alarm; works on every third.
  void GetTextForTray();

  std::int16_t RefreshTickCount = 0;
  std::int32_t RefreshCount = 0;

 private:
  App& app_;
};

}  // namespace calorix::tray
