#include "monitor/window_control.h"

#include <algorithm>
#include <cctype>

#include "core/app.h"
#include "core/numbers.h"
#include "core/text.h"
#include "monitor/monitor_contract.h"
#include "monitor/monitor_pixels.h"
#include "monitor/text_scraper.h"

namespace calorix::monitor {

namespace {

using platform::ShowCommand;
using platform::WindowHandle;

// The take-over's layout, in the monitor's own pixels. The window gives up
// a strip on the right and at the bottom; every control moves left and up
// from its place relative to the window's outer corner; "&Minimize" and the
// title label get places of their own in the room that leaves.
struct Place {
  int left, top, width, height;
};
constexpr int kWidthGivenUp = 10;
constexpr int kHeightGivenUp = 60;
constexpr int kControlShiftLeft = 10;
constexpr int kControlShiftUp = 80;
constexpr Place kMinimizeButtonPlace{390, 200, 112, 38};
constexpr Place kTitleLabelPlace{314, 188, 180, 16};

void MoveTo(MonitorPixels& pixels, WindowHandle window, const Place& place) {
  pixels.MoveControl(window, {place.left, place.top, place.left + place.width,
                              place.top + place.height});
}

bool MatchesList(char c, std::string_view list) {
  bool negate = !list.empty() && list.front() == '!';
  if (negate) list.remove_prefix(1);
  // Bytes compare as unsigned: a range such as "[a-\xFF]" takes the bytes
  // above 0x7F as the code page orders them.
  const auto byte = [](char b) { return static_cast<unsigned char>(b); };
  bool found = false;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (i + 2 < list.size() && list[i + 1] == '-') {
      found = found || (byte(c) >= byte(list[i]) && byte(c) <= byte(list[i + 2]));
      i += 2;
    } else {
      found = found || c == list[i];
    }
  }
  return found != negate;
}

bool IsNoSize(std::string_view commandLine) {
  const std::string_view trimmed = TrimmedView(commandLine);
  return std::equal(trimmed.begin(), trimmed.end(), std::string_view("nosize").begin(),
                    std::string_view("nosize").end(), [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) == b;
                    });
}

}  // namespace

bool MatchesPattern(std::string_view text, std::string_view pattern) {
  if (pattern.empty()) return text.empty();
  const char p = pattern.front();
  if (p == '*') {
    for (std::size_t skip = 0; skip <= text.size(); ++skip)
      if (MatchesPattern(text.substr(skip), pattern.substr(1))) return true;
    return false;
  }
  if (text.empty()) return false;
  const char c = text.front();
  if (p == '[') {
    const auto close = pattern.find(']', 1);
    if (close != std::string_view::npos) {
      return MatchesList(c, pattern.substr(1, close - 1)) &&
             MatchesPattern(text.substr(1), pattern.substr(close + 1));
    }
  }
  // "#" stands for a digit only, never for itself.
  const bool one =
      p == '?' || (p == '#' ? std::isdigit(static_cast<unsigned char>(c)) != 0 : p == c);
  return one && MatchesPattern(text.substr(1), pattern.substr(1));
}

WindowControl::WindowControl(App& app) : app_(app) {
  app_.form1["RemHwmPos"].onClick = [this] { RemHwmPosClick(); };
  app_.menu["MenuShow"].onClick = [this] { ShowVia(); };
  app_.menu["MenuHide"].onClick = [this] { HideVia(); };
}

WindowHandle WindowControl::CollectMatchingWindows(WindowHandle start, std::string_view textPattern,
                                                   std::string_view classPattern) {
  auto& windows = app_.platform.windows;
  if (walkDepth_ == 0 && start == 0) start = windows.DesktopWindow();
  ++walkDepth_;
  WindowHandle result = 0;
  for (WindowHandle child = windows.FirstChild(start); child != 0;
       child = windows.NextSibling(child)) {
    CollectMatchingWindows(child, textPattern, classPattern);
    const std::string text = windows.WindowText(child, kTextBufferChars);
    const std::string className = windows.ClassName(child, kTextBufferChars);
    if (MatchesPattern(className, classPattern) && MatchesPattern(text, textPattern)) {
      app_.table.AppendHandle(child);  // a full table takes no more
      result = child;
    }
  }
  --walkDepth_;
  return result;
}

WindowHandle WindowControl::FirstMonitorDescendant(int first, int last) {
  for (int slot = first; slot <= last; ++slot) {
    const WindowHandle window = app_.table.HandleAt(slot);
    if (app_.platform.windows.IsChild(app_.state.MonitorWindow, window)) return window;
  }
  return 0;
}

void WindowControl::CloseButtonPass() {
  app_.table.Clear();
  CollectMatchingWindows(0, kCloseButtonText, "Button");
  if (const WindowHandle button = FirstMonitorDescendant(0, 50))
    app_.platform.windows.ShowWindow(button, ShowCommand::Hide);
}

void WindowControl::MinimizeButtonPass(MonitorPixels& pixels) {
  app_.table.Clear();
  CollectMatchingWindows(0, kMinimizeButtonText, "Button");
  if (const WindowHandle button = FirstMonitorDescendant(0, 50))
    MoveTo(pixels, button, kMinimizeButtonPlace);
}

void WindowControl::ShiftPass(MonitorPixels& pixels, const platform::Rect& monitorRect) {
  auto& windows = app_.platform.windows;
  app_.table.Clear();
  CollectMatchingWindows(0, "*", "*");
  for (int slot = 0; slot < MonitorTextTable::kSlotCount; ++slot) {
    const WindowHandle window = app_.table.HandleAt(slot);
    if (window == 0) break;
    if (!windows.IsChild(app_.state.MonitorWindow, window)) continue;
    const auto rect = pixels.WindowRect(window);
    if (!rect) continue;
    const int left = rect->left - monitorRect.left - kControlShiftLeft;
    const int top = rect->top - monitorRect.top - kControlShiftUp;
    pixels.MoveControl(window, {left, top, left + rect->Width(), top + rect->Height()});
  }
}

void WindowControl::TitleLabelPass(MonitorPixels& pixels) {
  app_.table.Clear();
  CollectMatchingWindows(0, kTitleLabelPattern, "Static");
  for (int slot = 0; slot < MonitorTextTable::kSlotCount; ++slot) {
    const WindowHandle window = app_.table.HandleAt(slot);
    if (window == 0) break;
    if (app_.platform.windows.IsChild(app_.state.MonitorWindow, window)) {
      MoveTo(pixels, window, kTitleLabelPlace);
      break;
    }
  }
}

void WindowControl::RemoveCloseButton() {
  auto& windows = app_.platform.windows;
  const WindowHandle monitor = app_.state.MonitorWindow;
  // Every number here is in the monitor's own pixels, the ones its layout
  // was made in, whatever the display scale.
  MonitorPixels pixels(windows, monitor);
  if (const auto count = windows.SystemMenuItemCount(monitor)) {
    windows.RemoveSystemMenuItem(monitor, *count - 3);
    windows.DrawMenuBar(monitor);
  }
  // A window that went away since it was found is left alone: Calorix ends
  // at its next tick, when it finds the monitor gone.
  const auto found = pixels.WindowRect(monitor);
  if (!found) return;
  const platform::Rect rect = *found;
  int left = rect.left;
  int top = rect.top;
  int width = rect.Width();
  int height = rect.Height();
  if (!IsNoSize(app_.platform.process.CommandLine())) {
    CloseButtonPass();
    MinimizeButtonPass(pixels);
    ShiftPass(pixels, rect);
    TitleLabelPass(pixels);
    width -= kWidthGivenUp;
    height -= kHeightGivenUp;
  }
  if (app_.state.SavedMonitorLeft > -99 && app_.state.SavedMonitorTop > -99) {
    left = app_.state.SavedMonitorLeft;
    top = app_.state.SavedMonitorTop;
  }
  pixels.MoveMonitor({left, top, left + width, top + height});
  app_.table.Clear();
}

void WindowControl::RemoveMeMenu() {
  auto& windows = app_.platform.windows;
  const WindowHandle main = app_.form1.Handle();
  if (const auto count = windows.SystemMenuItemCount(main)) {
    windows.RemoveSystemMenuItem(main, *count - 1);
    windows.DrawMenuBar(main);
  }
}

void WindowControl::HideVia() {
  app_.platform.windows.ShowWindow(app_.state.MonitorWindow, ShowCommand::Hide);
  app_.state.MonitorShown = 0;
  MenuFlip();
}

void WindowControl::ShowVia() {
  app_.state.MonitorShown = 1;
  MenuFlip();
  auto& windows = app_.platform.windows;
  windows.ShowWindow(app_.state.MonitorWindow, ShowCommand::Show);
  windows.ShowWindow(app_.state.MonitorWindow, ShowCommand::ShowNormal);
  app_.platform.process.ProcessPendingEvents();
  windows.ActivateByTitle(kMonitorTitle);  // a monitor without its window is simply not activated
}

void WindowControl::MenuFlip() {
  const bool shown = app_.state.MonitorShown == 1;
  app_.menu["MenuShow"].enabled = !shown;
  app_.menu["MenuHide"].enabled = shown;
  app_.timer1.SetInterval(shown ? 500 : 1000);
}

platform::Rect WindowControl::MonitorRect() {
  MonitorPixels pixels(app_.platform.windows, app_.state.MonitorWindow);
  return pixels.WindowRect(app_.state.MonitorWindow).value_or(platform::Rect{});
}

bool WindowControl::MonitorMinimized() {
  auto& windows = app_.platform.windows;
  const platform::ScopedWindowDpiAwareness monitorPixels(windows, app_.state.MonitorWindow);
  return windows.IsIconic(app_.state.MonitorWindow);
}

void WindowControl::RemHwmPosClick() {
  ui::Control& box = app_.form1["RemHwmPos"];
  auto& settings = app_.settings;
  auto& windows = app_.platform.windows;
  if (box.State() != 1) {
    settings.WriteInteger(settings::keys::kHWMLeft, -100);
    settings.WriteInteger(settings::keys::kHWMTop, -100);
    const double screenWidth = windows.ScreenWidthPixels() * windows.TwipsPerPixelX();
    const double screenHeight = windows.ScreenHeightPixels() * windows.TwipsPerPixelY();
    settings.WriteInteger(settings::keys::kLeft, RoundHalfEven((screenWidth - app_.form1.Width()) / 2));
    settings.WriteInteger(settings::keys::kTop, RoundHalfEven((screenHeight - app_.form1.Height()) / 2));
  } else {
    if (app_.state.MonitorWindow == 0) return;
    if (app_.state.MonitorShown == 0) {
      box.SetState(0);  // runs this handler again for the cleared box
      app_.platform.system.Beep();
      return;
    }
    const auto rect = MonitorRect();
    app_.state.SavedMonitorLeft = rect.left;
    app_.state.SavedMonitorTop = rect.top;
    settings.WriteInteger(settings::keys::kHWMLeft, rect.left);
    settings.WriteInteger(settings::keys::kHWMTop, rect.top);
    if (app_.form1.State() == ui::WindowState::kNormal) {
      settings.WriteNumber(settings::keys::kLeft, app_.form1.Left());
      settings.WriteNumber(settings::keys::kTop, app_.form1.Top());
    }
  }
  settings.WriteState(settings::keys::kPosition, static_cast<std::int16_t>(box.State()));
}

}  // namespace calorix::monitor
