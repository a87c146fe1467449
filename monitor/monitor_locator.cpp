#include "monitor/monitor_locator.h"

#include <algorithm>
#include <exception>

#include "core/message_boxes.h"
#include "core/text.h"
#include "monitor/monitor_contract.h"
#include "monitor/registry_text.h"

namespace calorix::monitor {

namespace {

// How long one round of the launch wait sleeps when no message arrives.
constexpr int kWaitSliceMs = 50;

void RemoveAll(std::string& text, std::string_view what) {
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at))
    text.erase(at, what.size());
}

}  // namespace

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
    while (platform.clock.MonotonicMs() - start < static_cast<std::uint64_t>(kLaunchTimeoutMs)) {
      platform.process.WaitForEvents(kWaitSliceMs);
      outcome.window = FindMonitorWindow(platform.windows);
      if (outcome.window != 0) {
        outcome.result = LaunchOutcome::Result::kFound;
        return outcome;
      }
    }
    outcome.result = LaunchOutcome::Result::kNotFound;
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
