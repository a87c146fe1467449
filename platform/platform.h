// The seam between Calorix's logic and the operating system.
//
// Everything the program does to the outside world goes through the
// interfaces below. Two backends implement them: `win32` (the real program)
// and `sim` (a simulated desktop for tests). The calls mirror the Windows
// services the program was designed around, one method per service, so that
// the logic reads like the steps it performs and the Win32 backend stays thin.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace calorix::platform {

// A window handle as the window manager gives it. Win32 handles are 32-bit
// values sign-extended to 64 bits, so valid handles can be negative; 0 means
// "no window".
using WindowHandle = std::int64_t;
// An icon loaded by the backend; 0 means "no icon".
using IconHandle = std::int64_t;
using TimerId = int;
// A thread's DPI awareness as the window manager hands it out; 0 means "none".
using DpiAwarenessToken = std::int64_t;

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// ShowWindow commands, numbered as Windows numbers them.
enum class ShowCommand : int {
  Hide = 0,
  ShowNormal = 1,
  ShowMinimized = 2,
  Show = 5,
};

// Insert-after values of SetWindowPos that the program uses.
enum class ZOrder : int {
  Topmost = -1,
  NoTopmost = -2,
};

// Window manager: the services of user32 the program uses on any window,
// its own or another program's.
class WindowManager {
 public:
  virtual ~WindowManager() = default;

  // FindWindowA(NULL, title): a top-level window with this exact title
  // (letter case ignored, blanks exact; hidden windows included), or 0.
  virtual WindowHandle FindTopLevelWindow(std::string_view title) = 0;
  // EnumChildWindows: every descendant of `parent`, depth first (a window
  // before its children, siblings in creation order). The visitor returns
  // false to stop. Windows created or destroyed during the walk may or may
  // not be visited, as on Windows; the walk itself never breaks.
  virtual void EnumerateDescendants(WindowHandle parent,
                                    const std::function<bool(WindowHandle)>& visit) = 0;
  // GetWindowTextA / GetClassNameA with a buffer of `bufferChars` characters:
  // at most bufferChars - 1 characters, cut at the first NUL. Empty for a
  // window that does not exist.
  virtual std::string WindowText(WindowHandle window, int bufferChars) = 0;
  virtual std::string ClassName(WindowHandle window, int bufferChars) = 0;

  // Desktop walk: GetDesktopWindow, GetWindow(GW_CHILD), GetWindow(GW_HWNDNEXT).
  virtual WindowHandle DesktopWindow() = 0;
  virtual WindowHandle FirstChild(WindowHandle window) = 0;
  virtual WindowHandle NextSibling(WindowHandle window) = 0;
  // IsChild: `window` is a descendant of `parent`.
  virtual bool IsChild(WindowHandle parent, WindowHandle window) = 0;
  virtual bool IsWindow(WindowHandle window) = 0;
  virtual bool IsIconic(WindowHandle window) = 0;
  virtual bool IsVisible(WindowHandle window) = 0;

  // ShowWindow; returns whether the window was visible before, as Windows does.
  virtual bool ShowWindow(WindowHandle window, ShowCommand command) = 0;
  // MoveWindow: top-level windows in screen pixels, child windows relative
  // to the parent's client area.
  virtual bool MoveWindow(WindowHandle window, int left, int top, int width, int height,
                          bool repaint) = 0;
  // GetWindowRect, in screen pixels; nullopt for a window that does not exist.
  virtual std::optional<Rect> GetWindowRect(WindowHandle window) = 0;
  // SetWindowPos(window, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE).
  virtual bool SetTopmost(WindowHandle window, ZOrder insertAfter) = 0;
  // PostMessageA(window, WM_CLOSE, 0, 0). Does not wait.
  virtual bool PostCloseRequest(WindowHandle window) = 0;

  // GetSystemMenu(window, FALSE) + GetMenuItemCount; nullopt without a menu.
  virtual std::optional<int> SystemMenuItemCount(WindowHandle window) = 0;
  // RemoveMenu(GetSystemMenu(window, FALSE), position, MF_BYPOSITION | MF_REMOVE).
  virtual bool RemoveSystemMenuItem(WindowHandle window, int position) = 0;
  virtual bool DrawMenuBar(WindowHandle window) = 0;

  // Per-window DPI awareness (Windows 10 1607 and later). A program that is
  // not DPI-aware lays its windows out in 96-dpi pixels, and the system maps
  // positions between its space and a DPI-aware caller's. Switching the
  // calling thread to `window`'s awareness makes geometry read from and given
  // to that window its own pixels. Returns the thread's previous awareness
  // for RestoreThreadDpiAwareness, or 0 when the system lacks these calls or
  // the window is gone: then nothing changed.
  virtual DpiAwarenessToken AdoptWindowDpiAwareness(WindowHandle window) = 0;
  virtual void RestoreThreadDpiAwareness(DpiAwarenessToken previous) = 0;

  // Screen points between physical pixels and `window`'s own (logical)
  // pixels, for systems without per-window awareness. Windows XP does not
  // virtualise a program's pixels and lacks these calls. Vista, 7 and 8 do
  // for a DPI-unaware window at higher scales (DWM scaling), and their
  // PhysicalToLogicalPoint / LogicalToPhysicalPoint convert. Windows 8.1 made
  // those two return points unchanged; there and on Windows 10 the
  // ...ForPerMonitorDPI pair converts. Windows 10 1607 and later also have
  // the per-window awareness above, which needs no conversion. nullopt when
  // the system lacks the calls or the conversion fails.
  virtual std::optional<Point> PhysicalToLogicalPoint(WindowHandle window, Point physical) = 0;
  virtual std::optional<Point> LogicalToPhysicalPoint(WindowHandle window, Point logical) = 0;

  // Bring the top-level window with this title to the foreground without
  // waiting; false when there is none.
  virtual bool ActivateByTitle(std::string_view title) = 0;

  // The primary screen in pixels, and the pixel size in twips: 1440 / dpi,
  // 15 at 96 dpi, 7.5 at 192.
  virtual int ScreenWidthPixels() = 0;
  virtual int ScreenHeightPixels() = 0;
  virtual double TwipsPerPixelX() = 0;
  virtual double TwipsPerPixelY() = 0;
};

// Runs the calling thread in a window's DPI awareness for as long as it
// lives (see WindowManager::AdoptWindowDpiAwareness).
class ScopedWindowDpiAwareness {
 public:
  ScopedWindowDpiAwareness(WindowManager& windows, WindowHandle window)
      : windows_(windows), previous_(windows.AdoptWindowDpiAwareness(window)) {}
  ~ScopedWindowDpiAwareness() {
    if (previous_ != 0) windows_.RestoreThreadDpiAwareness(previous_);
  }
  ScopedWindowDpiAwareness(const ScopedWindowDpiAwareness&) = delete;
  ScopedWindowDpiAwareness& operator=(const ScopedWindowDpiAwareness&) = delete;
  // Whether the thread runs in the window's awareness: false when the
  // system lacks the per-window calls or the window is gone.
  bool Adopted() const { return previous_ != 0; }

 private:
  WindowManager& windows_;
  DpiAwarenessToken previous_;
};

// The one NOTIFYICONDATA record the program keeps, in portable form. The
// backend converts it to the shell's layout.
struct TrayRecord {
  static constexpr int kTipChars = 64;
  std::uint32_t cbSize = 0;
  WindowHandle hWnd = 0;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  IconHandle hIcon = 0;
  std::string szTip;  // always exactly kTipChars characters
};

enum class TrayOperation : int { Add = 0, Modify = 1, Delete = 2 };

class Shell {
 public:
  virtual ~Shell() = default;
  // Shell_NotifyIconA. Returns the shell's answer (not checked by the program).
  virtual bool NotifyIcon(TrayOperation operation, const TrayRecord& record) = 0;
  // ShellExecute, with the file and folder in UTF-8. The result follows
  // ShellExecute: greater than 32 on success.
  virtual std::int64_t ExecuteFile(WindowHandle owner, std::string_view verb,
                                    std::string_view file, std::string_view parameters,
                                    std::string_view directory, ShowCommand show) = 0;
  // Starts a command line ("notepad name.txt", UTF-8) with a normal, focused
  // window.
  virtual bool StartCommandLine(std::string_view commandLine) = 0;
  // Full path, in UTF-8, of a program in the system folder (for example
  // notepad.exe).
  virtual std::string SystemProgramPath(std::string_view exeName) = 0;
};

enum class RegistryRoot { LocalMachine, CurrentUser };

// Registry value types, numbered as Windows numbers them.
enum RegistryType : std::int32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
};

// Error codes of the registry calls, numbered as Windows numbers them.
enum RegistryStatus : std::int32_t {
  kRegOk = 0,
  kRegFileNotFound = 2,
  kRegAccessDenied = 5,
  kRegMoreData = 234,
};

struct RegistryQuery {
  std::int32_t status = kRegOk;  // 0, or the error code
  std::int32_t type = kRegNone;
  std::uint32_t size = 0;        // bytes the value holds
  std::string data;              // raw bytes, at most the buffer size asked for
};

// Read-only access to the system registry (advapi32).
class Registry {
 public:
  virtual ~Registry() = default;
  using Key = std::uint64_t;
  // RegOpenKeyExA(root, path, 0, KEY_READ); nullopt when it fails.
  virtual std::optional<Key> OpenKey(RegistryRoot root, std::string_view path) = 0;
  // RegQueryValueEx into a buffer of `bufferSize` bytes (0 asks for the size).
  // String values come as UTF-8 (see platform/utf16.h): the program reads
  // only a path here, the monitor's folder.
  virtual RegistryQuery QueryValue(Key key, std::string_view valueName,
                                   std::uint32_t bufferSize) = 0;
  // RegCloseKey; false when closing fails.
  virtual bool CloseKey(Key key) = 0;
  // The system's description of an error code.
  virtual std::string ErrorDescription(std::int32_t status) = 0;
};

// The per-user store of the program's settings: text values addressed by
// section and key. The application name is fixed by the backend.
class SettingsBackend {
 public:
  virtual ~SettingsBackend() = default;
  virtual std::optional<std::string> Read(std::string_view section, std::string_view key) = 0;
  virtual bool Write(std::string_view section, std::string_view key, std::string_view value) = 0;
  // Removes every section and key of the application.
  virtual bool DeleteAll() = 0;
};

// Files by name: a bare name is in the process's current directory. Every
// path here, given or returned, is UTF-8 (see platform/utf16.h).
class Files {
 public:
  virtual ~Files() = default;
  // Opens for appending (creating the file), writes, closes.
  virtual bool Append(std::string_view name, std::string_view text) = 0;
  // Reads the whole file; nullopt when it cannot be opened or read.
  virtual std::optional<std::string> ReadAll(std::string_view name) = 0;
  // Reads at most `maxBytes` from `offset` on (fewer at the file's end, none
  // past it); nullopt when it cannot be opened or read. Safe to call from
  // any thread: it shares nothing with the other calls.
  virtual std::optional<std::string> ReadRange(std::string_view name, std::uint64_t offset,
                                               std::size_t maxBytes) = 0;
  // Opens the file for reading and closes it again.
  virtual bool CanOpenForReading(std::string_view name) = 0;
  virtual std::optional<std::uint64_t> Size(std::string_view name) = 0;
  // A file or folder of this name exists.
  virtual bool Exists(std::string_view name) = 0;
  virtual bool Delete(std::string_view name) = 0;
  virtual std::string CurrentDirectory() = 0;
  // The folder of the program's executable (without a trailing separator
  // unless it is a root).
  virtual std::string ProgramFolder() = 0;
};

struct LocalDateTime {
  int year = 2000;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  bool operator==(const LocalDateTime&) const = default;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds on a clock that never wraps and never goes back.
  virtual std::uint64_t MonotonicMs() = 0;
  virtual LocalDateTime Now() = 0;
};

// The user's regional settings.
class Locale {
 public:
  virtual ~Locale() = default;
  virtual std::string DecimalSeparator() = 0;
  virtual std::string DateSeparator() = 0;
  virtual std::string TimeSeparator() = 0;
  // The general date form: short date, a blank, long time; the time is left
  // out when it is exactly midnight.
  virtual std::string FormatGeneralDate(const LocalDateTime& when) = 0;
};

enum class MessageIcon { None, Information, Warning, Critical, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct MessageBoxRequest {
  std::string text;
  std::string title;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
  bool systemModal = false;    // MB_SYSTEMMODAL
  bool setForeground = false;  // MB_SETFOREGROUND
  bool operator==(const MessageBoxRequest&) const = default;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A modal message box; returns the button pressed.
  virtual MessageAnswer ShowMessage(const MessageBoxRequest& request) = 0;
};

// Sound and power services.
class System {
 public:
  virtual ~System() = default;
  // The system beep.
  virtual void Beep() = 0;
  // Plays the program's alarm sound once, synchronously; silent on failure.
  virtual void PlayAlarmSound() = 0;
  // GetVersion(): bit 31 clear on the NT family.
  virtual std::uint32_t GetVersion() = 0;
  // Enables SeShutdownPrivilege for the process; results are not reported.
  virtual void EnableShutdownPrivilege() = 0;
  // ExitWindowsEx(flags, 0).
  virtual bool ExitSession(std::uint32_t flags) = 0;
};

// The process itself: events, timers, instance and command line.
class Process {
 public:
  virtual ~Process() = default;
  // Handles every window message already waiting, then returns.
  virtual void ProcessPendingEvents() = 0;
  // Sleeps until a window message arrives or `timeoutMs` pass, then handles
  // what is waiting. Lets a wait loop stay responsive without spinning.
  virtual void WaitForEvents(int timeoutMs) = 0;
  // A message-driven timer: `onTick` runs on the user-interface thread every
  // `intervalMs` while enabled. An interval of 0 stops it.
  virtual TimerId CreateTimer(std::function<void()> onTick) = 0;
  virtual void SetTimer(TimerId timer, int intervalMs, bool enabled) = 0;
  virtual void DestroyTimer(TimerId timer) = 0;
  // Runs `work` on a worker thread, then `done` on the user-interface thread
  // from the event loop, as a timer's tick runs (so also inside a modal loop
  // such as a message box's), never from inside this call. `work` may touch
  // only what it owns and calls documented safe from any thread; what it
  // makes reaches the program through `done`. When the process object ends
  // first, the work is waited for and its `done` never runs, so work should
  // watch a flag of its own to stop early.
  virtual void RunInBackground(std::function<void()> work, std::function<void()> done) = 0;
  // Another copy of this program runs in the same log-on session.
  virtual bool IsAnotherInstanceRunning() = 0;
  // The program's command line, without the program's own name.
  virtual std::string CommandLine() = 0;
  // Ends the program at once, without any further handler.
  [[noreturn]] virtual void EndProgram(int exitCode) = 0;
};

// Everything in one place, handed to the program's logic.
struct Platform {
  WindowManager& windows;
  Shell& shell;
  Registry& registry;
  SettingsBackend& settings;
  Files& files;
  Clock& clock;
  Locale& locale;
  Dialogs& dialogs;
  System& system;
  Process& process;
};

}  // namespace calorix::platform
