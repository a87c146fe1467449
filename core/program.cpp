#include "core/program.h"

#include "core/message_boxes.h"
#include "core/settings_store.h"
#include "core/settings_version.h"
#include "monitor/monitor_locator.h"

namespace calorix {

namespace {

// How often the monitor is looked for while it is hidden.
constexpr int kWatchIntervalMs = 1000;

void ShowAlreadyLoaded(platform::Dialogs& dialogs) {
  dialogs.ShowMessage(ProgramBox("A copy of Calorix is already loaded!", platform::MessageIcon::Information));
}

}  // namespace

bool StartCalorix(platform::Platform& platform) {
  if (platform.process.IsAnotherInstanceRunning()) {
    ShowAlreadyLoaded(platform.dialogs);
    return false;
  }
  SettingsStore store(platform.settings, platform.locale);
  ApplySettingsVersionRule(store, platform);
  const std::string installFolder = monitor::GetPath(platform);

  if (monitor::FindMonitorWindow(platform.windows) == 0) {
    const auto outcome = monitor::LaunchAndWait(platform, 0, installFolder);
    if (outcome.result == monitor::LaunchOutcome::Result::kNotFound) {
      monitor::ShowMonitorNotFound(platform.dialogs);
      return false;
    }
    if (outcome.result == monitor::LaunchOutcome::Result::kWaitFailed) {
      monitor::ShowWaitFailure(platform.dialogs, outcome.failure);
      return false;
    }
  }

  // Calorix lives as long as the monitor does.
  const platform::TimerId watch = platform.process.CreateTimer([&platform] {
    if (monitor::FindMonitorWindow(platform.windows) == 0) platform.process.EndProgram(0);
  });
  platform.process.SetTimer(watch, kWatchIntervalMs, true);
  return true;
}

}  // namespace calorix
