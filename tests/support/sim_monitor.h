// The stand-in hardware monitor on the simulated desktop: the same control
// tree the real stand-in creates, its uninstall entry, and its launch.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/sim_desktop.h"
#include "standin/monitor_layout.h"

namespace calorix::testing {

inline constexpr int kMonitorProcess = 200;
inline constexpr char kMonitorFolder[] = "C:\\Program Files\\VIA\\HWM\\";
inline constexpr char kUninstallString[] =
    "C:\\WINDOWS\\IsUninst.exe -f\"C:\\Program Files\\VIA\\HWM\\Uninst.isu\"";

class SimMonitor {
 public:
  explicit SimMonitor(sim::SimDesktop& desktop) : desktop_(desktop) {}

  // Creates the main window "VIA HWM" and its controls.
  platform::WindowHandle Start();
  // Closes every window of the monitor, as WM_CLOSE does.
  void Stop();
  bool Running() const { return main_ != 0; }
  platform::WindowHandle MainWindow() const { return main_; }
  // Control i in enumeration order.
  platform::WindowHandle Control(int index) const { return controls_.at(index); }
  void SetReading(standin::Reading reading, std::string text);
  // An alarm window with this exact caption, owned by the monitor.
  platform::WindowHandle OpenAlarm(std::string caption);
  void CloseAlarm(platform::WindowHandle alarm);

 private:
  sim::SimDesktop& desktop_;
  platform::WindowHandle main_ = 0;
  std::vector<platform::WindowHandle> controls_;
  std::vector<platform::WindowHandle> alarms_;
};

// Writes the monitor's uninstall entry into the simulated registry.
void InstallMonitorEntry(sim::SimDesktop& desktop, const std::string& uninstallString = kUninstallString);

// Makes starting "viahm.exe" open the monitor's window after `delayMs`
// (never, when `delayMs` is negative).
void OnMonitorLaunch(sim::SimDesktop& desktop, SimMonitor& monitor, int delayMs);

}  // namespace calorix::testing
