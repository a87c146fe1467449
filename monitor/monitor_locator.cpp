#include "monitor/monitor_locator.h"

#include <algorithm>
#include <exception>

#include "core/message_boxes.h"
#include "core/text.h"
#include "monitor/monitor_contract.h"
#include "monitor/monitor_text_table.h"
#include "monitor/registry_text.h"

namespace calorix::monitor {

namespace {

// How long one round of the launch wait sleeps when no message arrives.
constexpr int kWaitSliceMs = 50;

int CountDescendants(platform::WindowManager& windows, platform::WindowHandle window) {
  int count = 0;
  windows.EnumerateDescendants(window, [&count](platform::WindowHandle) {
    ++count;
    return count < MonitorTextTable::kSlotCount;  // enough: no need to walk further
  });
  return count;
}

void RemoveAll(std::string& text, std::string_view what) {
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at))
    text.erase(at, what.size());
}

}  // namespace

bool ControlsSettled::Check(platform::WindowHandle window, int descendants, std::uint64_t nowMs) {
  if (window != window_ || descendants != count_) {
    window_ = window;
    count_ = descendants;
    sinceMs_ = nowMs;
  }
  if (descendants >= MonitorTextTable::kSlotCount) return true;
  return descendants > 0 && nowMs - sinceMs_ >= kControlsSettleMs;
}

std::string InstallFolderFromUninstallString(std::string uninstallString) {
  if (uninstallString.empty()) return {};
  RemoveAll(uninstallString, "\"");
  const auto flag = uninstallString.find("-f");
  std::string folder = flag != std::string::npos ? uninstallString.substr(flag + 2)
                                                 : uninstallString.substr(std::min<std::size_t>(1, uninstallString.size()));
  RemoveAll(folder, kUninstallLogName);
  return TrimBlanks(folder);
}

std::string GetPath(platform::Platform& platform) {
  std::int32_t typeCode = 0;
  const std::string uninstallString =
      ReadRegistryText(platform.registry, platform.dialogs, kUninstallRoot, kUninstallKey,
                       kUninstallValue, typeCode);
  std::string folder = InstallFolderFromUninstallString(uninstallString);
  if (folder.empty()) {
    platform.dialogs.ShowMessage(ProgramBox("VIA HWM not found!", platform::MessageIcon::Information,
                                            platform::MessageButtons::Ok, "VIA HWM Folder Check"));
  }
  return folder;
}

platform::WindowHandle FindMonitorWindow(platform::WindowManager& windows) {
  return windows.FindTopLevelWindow(kMonitorTitle);
}

LaunchOutcome LaunchAndWait(platform::Platform& platform, platform::WindowHandle owner,
                            std::string_view installFolder) {
  LaunchOutcome outcome;
  try {
    // The shell's answer is not checked: a monitor that cannot start shows
    // up as the time-out below.
    platform.shell.ExecuteFile(owner, "", kMonitorExe, "", installFolder,
                                platform::ShowCommand::ShowNormal);
  } catch (const std::exception&) {
    outcome.result = LaunchOutcome::Result::kNotFound;
    return outcome;
  }
  try {
    // A monotonic clock: a launch across midnight still times out.
    const std::uint64_t start = platform.clock.MonotonicMs();
    ControlsSettled settled;
    while (platform.clock.MonotonicMs() - start < static_cast<std::uint64_t>(kLaunchTimeoutMs)) {
      platform.process.WaitForEvents(kWaitSliceMs);
      outcome.window = FindMonitorWindow(platform.windows);
      if (outcome.window == 0) continue;
      // A freshly started monitor may show its window before its controls
      // exist; it is taken over only once they are there.
      if (settled.Check(outcome.window, CountDescendants(platform.windows, outcome.window),
                        platform.clock.MonotonicMs())) {
        outcome.result = LaunchOutcome::Result::kFound;
        return outcome;
      }
    }
    // The time is up: a window that is there but still building is taken
    // as it is, rather than reporting a monitor that did start as missing.
    outcome.result = outcome.window != 0 ? LaunchOutcome::Result::kFound
                                         : LaunchOutcome::Result::kNotFound;
  } catch (const std::exception& failure) {
    outcome.result = LaunchOutcome::Result::kWaitFailed;
    outcome.failure = failure.what();
  }
  return outcome;
}

void ShowMonitorNotFound(platform::Dialogs& dialogs) {
  dialogs.ShowMessage(ProgramBox("Error: 'viahm.exe' not found!", platform::MessageIcon::Warning));
}

void ShowWaitFailure(platform::Dialogs& dialogs, std::string_view description) {
  dialogs.ShowMessage(ProgramBox("ERROR: " + std::string(description), platform::MessageIcon::Critical));
}

}  // namespace calorix::monitor
