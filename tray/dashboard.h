// The always-on-top dashboard with the eight readings.
#pragma once

#include "monitor/monitor_text_table.h"

namespace calorix {
class App;
}

namespace calorix::tray {

class Dashboard {
 public:
  explicit Dashboard(App& app);

  // The menu's check mark is the record of whether the dashboard is open.
  bool IsOpen() const;
  void Open();
  void Close();
  // Writes the value labels: Celsius with a degree sign, trimmed voltages.
  void ShowReadings(const monitor::MonitorTextTable& table);

 private:
  void MenuClick();
  void OnLoad();
  void OnQueryUnload();

  App& app_;
};

}  // namespace calorix::tray
