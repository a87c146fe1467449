// Taking over the monitor's window: stripping its close button, shrinking
// it, hiding and showing it, and remembering where it was.
#pragma once

#include <cstdint>
#include <string_view>

#include "monitor/monitor_pixels.h"
#include "platform/platform.h"

namespace calorix {
class App;
}

namespace calorix::monitor {

// Pattern matching as the window walk uses it: case-sensitive; "*" any run
// of characters, "?" any one character, "#" any one digit, "[...]" any one
// listed character ("a-z" ranges, "!" first to negate); everything else,
// "&" included, matches itself.
bool MatchesPattern(std::string_view text, std::string_view pattern);

class WindowControl {
 public:
  explicit WindowControl(App& app);

  // Appends every window below `start` (0: the whole desktop) whose text and
  // class match to the text table, descendants before their parent. Returns
  // the last match among `start`'s direct children.
  platform::WindowHandle CollectMatchingWindows(platform::WindowHandle start,
                                                std::string_view textPattern,
                                                std::string_view classPattern);
  // Adjusts the monitor window once after it is found.
  void RemoveCloseButton();
  // Removes the Close item of the program's own main window.
  void RemoveMeMenu();
  void HideVia();
  void ShowVia();
  // Menu items and poll interval follow MonitorShown.
  void MenuFlip();
  // Click of "Save Window Positions".
  void RemHwmPosClick();
  // The monitor window's rectangle and minimised state, in its own pixels.
  platform::Rect MonitorRect();
  bool MonitorMinimized();

 private:
  // The first handle of slots first..last that is a descendant of the monitor.
  platform::WindowHandle FirstMonitorDescendant(int first, int last);
  void CloseButtonPass();
  void MinimizeButtonPass(MonitorPixels& pixels);
  void ShiftPass(MonitorPixels& pixels, const platform::Rect& monitorRect);
  void TitleLabelPass(MonitorPixels& pixels);

  App& app_;
  std::int16_t walkDepth_ = 0;
};

}  // namespace calorix::monitor
