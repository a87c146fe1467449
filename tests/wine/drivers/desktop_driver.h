// Driving the real program from outside, as a user and the shell would:
// for end-to-end tests and the demo run. Only what another program can do
// with windows: find them, read them, post them clicks, keys and the tray
// icon's callback, and answer message boxes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms.h"
#include "platform/platform.h"

namespace calorix::platform::win32::driver {

// Where the test prefixes install the stand-in monitor.
inline constexpr char kMonitorExe[] = "C:\\Program Files (x86)\\VIA\\HWM\\viahm.exe";
inline constexpr char kMonitorFolder[] = "C:\\Program Files (x86)\\VIA\\HWM";

// Items of Calorix's tray menu, separators not counted.
enum TrayMenuItem {
  kShowHwm, kHideHwm, kOptions, kViewData, kViewChart, kViewDashBoard, kCancel, kCloseHwm
};

// The top-level window with this title (and class, when given), or 0.
WindowHandle FindTopLevel(std::string_view title, std::string_view className = {});
// Waits up to `timeoutMs` for it, handling this program's messages meanwhile.
WindowHandle WaitForWindow(std::string_view title, int timeoutMs, std::string_view className = {});
// Waits until no top-level window has this title; false on time-out.
bool WaitForWindowGone(std::string_view title, int timeoutMs);
// The descendant of `parent` whose text is exactly `text` (class optional).
WindowHandle FindChild(WindowHandle parent, std::string_view text, std::string_view className = {});
// The first descendant of `parent` of this class.
WindowHandle FindChildOfClass(WindowHandle parent, std::string_view className);
std::vector<WindowHandle> Children(WindowHandle parent);
std::string Text(WindowHandle window);
bool Visible(WindowHandle window);
// Waits until the window is shown (or hidden); false on time-out.
bool WaitForVisible(WindowHandle window, bool visible, int timeoutMs);
bool Checked(WindowHandle button);
std::optional<Rect> WindowRect(WindowHandle window);
// A child window's rectangle in its parent's client area.
std::optional<Rect> RectInParent(WindowHandle child);
// A window's client area, in screen coordinates.
std::optional<Rect> ClientRectOnScreen(WindowHandle window);
// The user's click on a window's minimise button, posted.
void Minimize(WindowHandle window);
bool Minimized(WindowHandle window);
// The window that has the keyboard now, or 0.
WindowHandle ForegroundWindow();
// A top-level window of this program, shown and brought to the foreground,
// as a program the user is typing in; closed by posting WM_CLOSE (CloseAll).
WindowHandle OpenForegroundWindow(std::string_view title);
// The rows a multi-line edit control lays its text out in (EM_GETLINECOUNT):
// a wrapped line counts once for each row it takes.
int EditRowCount(WindowHandle edit);
// The column of the first character shown at the left edge of a
// multi-line edit control's top row (0 when it is not scrolled sideways).
int FirstVisibleColumn(WindowHandle edit);
// The display scale the system runs at (96 is 100 %), as a DPI-aware
// program sees it.
int SystemDpi();
// Makes this program DPI-aware, so that what it reads of other programs'
// windows and fonts is in real pixels at any display scale.
void BecomeDpiAware();

// A control's caption as its font draws it (GetTextExtentPoint32) and the
// room the control gives it, in pixels: its width, less the box of a check
// box or option button. The font is the one the forms make for `font` at
// the system's scale: a font handle the control answers WM_GETFONT with
// belongs to its own program, and this one cannot read it.
struct CaptionRoom {
  std::string shown;  // the caption without its "&" prefixes
  int needed = 0;
  int room = 0;
};
// Nothing for controls whose captions wrap by design (multi-line labels)
// or hold no caption (edit fields, combo boxes).
std::optional<CaptionRoom> MeasureCaption(WindowHandle control, const ui::FontSpec& font);
// A child window's id.
int ControlId(WindowHandle control);

// The shell's callback for the tray icon (id 2, message 512).
void PostTrayEvent(WindowHandle owner, int mouseMessage);
// Types a text into an editable combo box, as the user would, and lets its
// owner know.
void SetComboText(WindowHandle combo, std::string_view text);
// Moves a window as a user dragging it would.
void Move(WindowHandle window, int left, int top);
// A click on a button, posted so that a message box it opens cannot block us.
void Click(WindowHandle button);
// Chooses the n-th item (0 first, separators not counted) of the open popup
// menu; false when no menu opened within `timeoutMs`.
bool ChooseMenuItem(int index, int timeoutMs);
// Escape pressed in a window.
void PressEscape(WindowHandle window);
// The text of a message box titled `title`, waiting up to `timeoutMs` for
// the box to be on screen with its text.
std::optional<std::string> MessageBoxText(std::string_view title, int timeoutMs);
// Presses a message box's button (1 OK, 6 Yes, 7 No) once the box is on
// screen with it.
bool AnswerMessageBox(std::string_view title, int buttonId, int timeoutMs);
// Sends a window the message registered under `name` and returns its
// answer, or nothing when it does not answer within two seconds.
std::optional<long long> AskRegistered(WindowHandle window, std::string_view name);
// Whether this program can get at the system menu of another program's
// window (Wine answers no).
bool CanReadSystemMenu(WindowHandle window);
// Posts WM_CLOSE to every top-level window with this title.
void CloseAll(std::string_view title);
// Starts a program with a command line in a folder; false when it cannot.
bool Start(std::string_view commandLine, std::string_view folder);
// Starts the installed stand-in monitor, scriptable through `controlFile`
// (a Windows path; created empty when missing), and waits up to
// `timeoutMs` for its window, which gets its title once it is complete.
bool StartScriptableMonitor(std::string_view controlFile, int timeoutMs);
// Opens the tray menu of Calorix's main window and chooses an item; false
// when no menu opened within `timeoutMs`.
bool ChooseFromTrayMenu(WindowHandle form1, TrayMenuItem item, int timeoutMs);
// Lets `ms` pass while handling this program's messages.
void Pause(int ms);
// Waits until `ready()` holds, handling this program's messages meanwhile;
// false when `timeoutMs` passed first.
bool WaitUntil(const std::function<bool()>& ready, int timeoutMs);

// Sets (or, with no value, removes) a variable of this program's
// environment, which the programs it starts inherit.
void SetEnvironment(std::string_view name, std::optional<std::string_view> value);

// Starts a program like Start and returns its process id, or 0.
std::uint32_t StartProcess(std::string_view commandLine, std::string_view folder);
// Starts a program like Start and waits up to `timeoutMs` for its end,
// handling this program's messages meanwhile; its exit code, or nothing
// when it could not start or did not end in time.
std::optional<std::uint32_t> RunToEnd(std::string_view commandLine, std::string_view folder,
                                      int timeoutMs);

// Calorix has taken the monitor over once the monitor's Close button is
// hidden (the first thing the take-over changes inside it) and the window
// itself is hidden (the last step of the start that shows from outside; the
// start goes on without handling events, so whatever is posted next is
// handled after the start).
bool WaitForTakeOver(WindowHandle monitor, int timeoutMs);
// Settings of a returning user, who is neither shown the options at the
// start nor asked about the recorder: every other setting is removed.
void SetReturningUser(SettingsBackend& settings);

// What a running process holds, as another program can see it.
struct ProcessFigures {
  std::uint64_t workingSetBytes = 0;
  std::uint64_t peakWorkingSetBytes = 0;
  std::uint32_t gdiObjects = 0;   // GetGuiResources, or where it counts nothing (Wine),
                                  // the used entries of the GDI handle table
  bool gdiFromHandleTable = false;
  std::uint32_t userObjects = 0;  // the same
  std::uint32_t handles = 0;      // kernel handles, 0 where not counted
  std::uint32_t windows = 0;      // its windows, top-level and child, counted one by one
};
// Figures of a running process; nothing once it has ended.
std::optional<ProcessFigures> Figures(std::uint32_t processId);
// Whether the process still runs.
bool Running(std::uint32_t processId);

}  // namespace calorix::platform::win32::driver
