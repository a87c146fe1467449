#include "tests/support/sim_monitor.h"

#include <algorithm>

namespace calorix::testing {

platform::WindowHandle SimMonitor::Start() {
  main_ = desktop_.CreateTopLevel(standin::kMainTitle,
                                  {200, 150, 200 + standin::kMainWidth, 150 + standin::kMainHeight},
                                  kMonitorProcess);
  desktop_.Find(main_)->onClose = [this] { Stop(); };
  controls_.clear();
  for (const standin::ControlSpec& spec : standin::kControls) {
    const platform::WindowHandle parent = spec.parent < 0 ? main_ : controls_.at(spec.parent);
    controls_.push_back(desktop_.CreateWindow(
        parent, spec.className, spec.text,
        {spec.x, spec.y, spec.x + spec.width, spec.y + spec.height}, kMonitorProcess));
    if (spec.style == standin::kStyleFolder) {
      desktop_.Find(controls_.back())->visible = false;
      desktop_.SetWindowTitle(controls_.back(), kMonitorFolder);
    }
  }
  return main_;
}

void SimMonitor::Stop() {
  for (const platform::WindowHandle alarm : alarms_) desktop_.DestroyWindow(alarm);
  alarms_.clear();
  desktop_.DestroyWindow(main_);
  main_ = 0;
  controls_.clear();
}

void SimMonitor::SetReading(standin::Reading reading, std::string text) {
  desktop_.SetWindowTitle(controls_.at(standin::readingIndex(reading)), std::move(text));
}

platform::WindowHandle SimMonitor::OpenAlarm(std::string caption) {
  const platform::WindowHandle alarm =
      desktop_.CreateTopLevel(std::move(caption), {300, 300, 500, 380}, kMonitorProcess);
  alarms_.push_back(alarm);
  return alarm;
}

void SimMonitor::CloseAlarm(platform::WindowHandle alarm) {
  std::erase(alarms_, alarm);
  desktop_.DestroyWindow(alarm);
}

void InstallMonitorEntry(sim::SimDesktop& desktop, const std::string& uninstallString) {
  desktop.PutRegistryValue(platform::RegistryRoot::LocalMachine,
                           "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VIAhm",
                           "UninstallString", platform::kRegSz, uninstallString + '\0');
}

void OnMonitorLaunch(sim::SimDesktop& desktop, SimMonitor& monitor, int delayMs) {
  desktop.OnLaunch("viahm.exe", [&desktop, &monitor, delayMs](const sim::ShellExecuteCall&) {
    if (delayMs >= 0) desktop.After(static_cast<std::uint64_t>(delayMs), [&monitor] { monitor.Start(); });
  });
}

}  // namespace calorix::testing
