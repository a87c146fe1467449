// The simulated desktop's message boxes, system calls, shell and tray.
#include <utility>

#include "platform/sim/sim_desktop.h"

namespace calorix::sim {

platform::MessageAnswer SimDesktop::ShowMessage(const platform::MessageBoxRequest& request) {
  messageBoxes_.Add(request);
  if (messageHook_) messageHook_(request);
  if (!answers_.empty()) {
    const platform::MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  return request.buttons == platform::MessageButtons::YesNo ? platform::MessageAnswer::No
                                                            : platform::MessageAnswer::Ok;
}

bool SimDesktop::ExitSession(std::uint32_t flags) {
  exitWindows_.Add(flags);
  return true;
}

// ---- Shell and tray ----------------------------------------------------------------

void SimDesktop::OnLaunch(std::string file, std::function<void(const ShellExecuteCall&)> launch) {
  launchers_[std::move(file)] = std::move(launch);
}

bool SimDesktop::NotifyIcon(platform::TrayOperation operation, const platform::TrayRecord& record) {
  const auto id = std::make_pair(record.hWnd, record.uID);
  bool accepted = false;
  switch (operation) {
    case platform::TrayOperation::Add:
      accepted = trayIcons_.emplace(id, record).second;
      break;
    case platform::TrayOperation::Modify:
      if (auto found = trayIcons_.find(id); found != trayIcons_.end()) {
        found->second = record;
        accepted = true;
      }
      break;
    case platform::TrayOperation::Delete:
      accepted = trayIcons_.erase(id) > 0;
      break;
  }
  trayRequests_.Add({operation, record, accepted});
  ++trayRequestCounts_[static_cast<std::size_t>(operation)];
  return accepted;
}

std::int64_t SimDesktop::ExecuteFile(WindowHandle owner, std::string_view verb,
                                      std::string_view file, std::string_view parameters,
                                      std::string_view directory, platform::ShowCommand show) {
  ShellExecuteCall call{owner,           std::string(verb),      std::string(file),
                        std::string(parameters), std::string(directory), show};
  shellExecutes_.Add(call);
  const auto launcher = launchers_.find(call.file);
  if (launcher == launchers_.end()) return 2;  // SE_ERR_FNF
  auto launch = launcher->second;
  launch(call);
  return 42;
}

bool SimDesktop::StartCommandLine(std::string_view commandLine) {
  commandLines_.Add(std::string(commandLine));
  return true;
}

std::string SimDesktop::SystemProgramPath(std::string_view exeName) {
  return "C:\\Windows\\system32\\" + std::string(exeName);
}

}  // namespace calorix::sim
