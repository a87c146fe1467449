// Finding the monitor's folder and window, and starting it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace calorix::monitor {

// The install folder cut out of an uninstall string: quotes removed, the
// text behind the first "-f" (or all but the first character without one),
// every "Uninst.isu" removed, blanks trimmed.
std::string InstallFolderFromUninstallString(std::string uninstallString);

// Reads the uninstall entry and returns the install folder; shows "VIA HWM
// not found!" when it comes out empty. Start-up goes on either way.
std::string GetPath(platform::Platform& platform);

// The monitor's main window, or 0 when it is not running.
platform::WindowHandle FindMonitorWindow(platform::WindowManager& windows);

// How long the descendant count of a launched monitor's window must stay
// unchanged before the window counts as complete.
inline constexpr std::uint64_t kControlsSettleMs = 500;

// Decides when a launched monitor's window holds its controls: as soon as it
// has as many descendants as the text table has slots, or once it has some
// and their count has not changed for kControlsSettleMs. Counting only to
// the 42 readings would not do: the buttons the take-over hides and moves
// come after them. A window without any control is not complete: a monitor
// may show its window before it builds the rest. A different window starts
// the watch anew.
class ControlsSettled {
 public:
  bool Check(platform::WindowHandle window, int descendants, std::uint64_t nowMs);

 private:
  platform::WindowHandle window_ = 0;
  int count_ = -1;
  std::uint64_t sinceMs_ = 0;
};

struct LaunchOutcome {
  enum class Result {
    kFound,         // the window appeared; `window` holds it
    kNotFound,      // no window within the time limit, or the launch call failed
    kWaitFailed,    // something unexpected went wrong while waiting
  };
  Result result = Result::kNotFound;
  platform::WindowHandle window = 0;
  std::string failure;  // the description for kWaitFailed
};

// Starts viahm.exe in `installFolder` and waits up to 60 seconds for its
// window and its controls, handling window events meanwhile (tray clicks
// stay alive). Between look-ups it sleeps briefly rather than spinning a
// processor core.
LaunchOutcome LaunchAndWait(platform::Platform& platform, platform::WindowHandle owner,
                            std::string_view installFolder);

// The message boxes of a failed launch.
void ShowMonitorNotFound(platform::Dialogs& dialogs);
void ShowWaitFailure(platform::Dialogs& dialogs, std::string_view description);

}  // namespace calorix::monitor
