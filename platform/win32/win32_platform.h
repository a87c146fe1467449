// The real backend: each interface of platform.h on top of the Win32 API.
//
// This header stays free of <windows.h> so the program's entry can include it
// without the system headers; handle types are only forward-declared here.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>


#include "platform/platform.h"

// Same tag types <windows.h> declares for HKEY and HWND (STRICT handles).
struct HKEY__;
struct HWND__;
struct tagMSG;

namespace calorix::platform::win32 {

// Owns an open registry key; closes it once.
class UniqueHKey {
 public:
  UniqueHKey() = default;
  explicit UniqueHKey(HKEY__* key) : key_(key) {}
  ~UniqueHKey();
  UniqueHKey(UniqueHKey&& other) noexcept : key_(other.release()) {}
  UniqueHKey& operator=(UniqueHKey&& other) noexcept;
  UniqueHKey(const UniqueHKey&) = delete;
  UniqueHKey& operator=(const UniqueHKey&) = delete;

  HKEY__* get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }
  HKEY__* release();
  // Closes the key now; the system's status code (0 on success).
  long Close();

 private:
  HKEY__* key_ = nullptr;
};

// Owns a kernel handle; both NULL and INVALID_HANDLE_VALUE mean "none".
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(void* handle) : handle_(handle) {}
  ~UniqueHandle();
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept;
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  void* get() const { return handle_; }
  bool valid() const;
  explicit operator bool() const { return valid(); }
  void* release();
  // Closes the handle now; false when CloseHandle fails.
  bool Close();

 private:
  void* handle_ = nullptr;
};

// HWND <-> WindowHandle; exact in both directions.
WindowHandle ToWindowHandle(HWND__* hwnd);
HWND__* ToHwnd(WindowHandle window);

class Win32WindowManager final : public WindowManager {
 public:
  WindowHandle FindTopLevelWindow(std::string_view title) override;
  void EnumerateDescendants(WindowHandle parent,
                            const std::function<bool(WindowHandle)>& visit) override;
  std::string WindowText(WindowHandle window, int bufferChars) override;
  std::string ClassName(WindowHandle window, int bufferChars) override;
  WindowHandle DesktopWindow() override;
  WindowHandle FirstChild(WindowHandle window) override;
  WindowHandle NextSibling(WindowHandle window) override;
  bool IsChild(WindowHandle parent, WindowHandle window) override;
  bool IsWindow(WindowHandle window) override;
  bool IsIconic(WindowHandle window) override;
  bool IsVisible(WindowHandle window) override;
  bool ShowWindow(WindowHandle window, ShowCommand command) override;
  bool MoveWindow(WindowHandle window, int left, int top, int width, int height,
                  bool repaint) override;
  std::optional<Rect> GetWindowRect(WindowHandle window) override;
  bool SetTopmost(WindowHandle window, ZOrder insertAfter) override;
  bool PostCloseRequest(WindowHandle window) override;
  std::optional<int> SystemMenuItemCount(WindowHandle window) override;
  bool RemoveSystemMenuItem(WindowHandle window, int position) override;
  bool DrawMenuBar(WindowHandle window) override;
  DpiAwarenessToken AdoptWindowDpiAwareness(WindowHandle window) override;
  void RestoreThreadDpiAwareness(DpiAwarenessToken previous) override;
  std::optional<Point> PhysicalToLogicalPoint(WindowHandle window, Point physical) override;
  std::optional<Point> LogicalToPhysicalPoint(WindowHandle window, Point logical) override;
  bool ActivateByTitle(std::string_view title) override;
  int ScreenWidthPixels() override;
  int ScreenHeightPixels() override;
  double TwipsPerPixelX() override;
  double TwipsPerPixelY() override;
};

class Win32Shell final : public Shell {
 public:
  bool NotifyIcon(TrayOperation operation, const TrayRecord& record) override;
  std::int64_t ExecuteFile(WindowHandle owner, std::string_view verb, std::string_view file,
                            std::string_view parameters, std::string_view directory,
                            ShowCommand show) override;
  bool StartCommandLine(std::string_view commandLine) override;
  std::string SystemProgramPath(std::string_view exeName) override;
};

class Win32Registry final : public Registry {
 public:
  Win32Registry() = default;
  Win32Registry(const Win32Registry&) = delete;
  Win32Registry& operator=(const Win32Registry&) = delete;

  std::optional<Key> OpenKey(RegistryRoot root, std::string_view path) override;
  RegistryQuery QueryValue(Key key, std::string_view valueName,
                           std::uint32_t bufferSize) override;
  bool CloseKey(Key key) override;
  std::string ErrorDescription(std::int32_t status) override;

 private:
  std::map<Key, UniqueHKey> keys_;
  Key nextKey_ = 1;
};

// Settings live under HKEY_CURRENT_USER\<root>\<section> as REG_SZ values.
class Win32SettingsBackend final : public SettingsBackend {
 public:
  explicit Win32SettingsBackend(std::string root = "Software\\Calorix");

  std::optional<std::string> Read(std::string_view section, std::string_view key) override;
  bool Write(std::string_view section, std::string_view key, std::string_view value) override;
  bool DeleteAll() override;

  const std::string& Root() const { return root_; }

 private:
  std::string SectionPath(std::string_view section) const;
  std::string root_;
};

class Win32Files final : public Files {
 public:
  bool Append(std::string_view name, std::string_view text) override;
  std::optional<std::string> ReadAll(std::string_view name) override;
  std::optional<std::string> ReadRange(std::string_view name, std::uint64_t offset,
                                       std::size_t maxBytes) override;
  bool CanOpenForReading(std::string_view name) override;
  std::optional<std::uint64_t> Size(std::string_view name) override;
  bool Exists(std::string_view name) override;
  bool Delete(std::string_view name) override;
  std::string CurrentDirectory() override;
  std::string ProgramFolder() override;
};

class Win32Clock final : public Clock {
 public:
  std::uint64_t MonotonicMs() override;
  LocalDateTime Now() override;
};

class Win32Locale final : public Locale {
 public:
  std::string DecimalSeparator() override;
  std::string DateSeparator() override;
  std::string TimeSeparator() override;
  std::string FormatGeneralDate(const LocalDateTime& when) override;
};

class Win32Dialogs final : public Dialogs {
 public:
  MessageAnswer ShowMessage(const MessageBoxRequest& request) override;
};

class Win32System final : public System {
 public:
  void Beep() override;
  void PlayAlarmSound() override;
  std::uint32_t GetVersion() override;
  void EnableShutdownPrivilege() override;
  bool ExitSession(std::uint32_t flags) override;
};

class Win32Process final : public Process {
 public:
  explicit Win32Process(std::string instanceMutexName = "Local\\Calorix.SingleInstance");
  ~Win32Process() override;
  Win32Process(const Win32Process&) = delete;
  Win32Process& operator=(const Win32Process&) = delete;

  void ProcessPendingEvents() override;
  void WaitForEvents(int timeoutMs) override;
  TimerId CreateTimer(std::function<void()> onTick) override;
  void SetTimer(TimerId timer, int intervalMs, bool enabled) override;
  void DestroyTimer(TimerId timer) override;
  void RunInBackground(std::function<void()> work, std::function<void()> done) override;
  bool IsAnotherInstanceRunning() override;
  std::string CommandLine() override;
  [[noreturn]] void EndProgram(int exitCode) override;

  // The program's main loop: dispatches messages until WM_QUIT and returns
  // its exit code (-1 when GetMessage fails).
  int RunMessageLoop();

  // Sees each message the loops take from the queue before it is translated
  // and dispatched; returning true means the filter handled it.
  void SetMessageFilter(std::function<bool(tagMSG&)> filter) { filter_ = std::move(filter); }
  // Keeps an exception raised inside a window procedure; the loops rethrow
  // it once DispatchMessage has returned. The first one wins.
  void DeferException(std::exception_ptr error);

  // Used by the timer procedure; not for the program's logic.
  void OnOsTimer(std::uintptr_t osTimerId);
  // Used by the window that background work wakes: runs the `done` of each
  // finished piece.
  void OnBackgroundWorkFinished();
  // One piece of background work and its thread (win32_process.cpp).
  struct BackgroundJob;

 private:
  struct Timer {
    std::function<void()> onTick;
    std::uintptr_t osId = 0;  // 0 while not armed
    int intervalMs = 0;
  };
  void Disarm(Timer& timer);
  void RethrowPending();
  bool Filtered(tagMSG& msg);

  std::string instanceMutexName_;
  std::map<TimerId, Timer> timers_;
  TimerId nextTimer_ = 1;
  // A callback's exception cannot cross DispatchMessage; it is kept here and
  // rethrown once DispatchMessage has returned.
  std::exception_ptr pending_;
  std::function<bool(tagMSG&)> filter_;
  // Background work, each piece on a thread of its own; finished pieces wake
  // the loops through a message to a message-only window.
  std::map<std::uint64_t, std::unique_ptr<BackgroundJob>> jobs_;
  std::uint64_t nextJob_ = 1;
  HWND__* wakeWindow_ = nullptr;
};

struct Win32PlatformOptions {
  std::string settingsRoot = "Software\\Calorix";
  std::string instanceMutexName = "Local\\Calorix.SingleInstance";
};

// One of each service, handed to the logic through Get().
class Win32Platform {
 public:
  explicit Win32Platform(Win32PlatformOptions options = {});
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  Platform& Get() { return platform_; }
  Win32Process& ProcessService() { return process_; }
  Win32SettingsBackend& SettingsService() { return settings_; }
  int RunMessageLoop() { return process_.RunMessageLoop(); }

 private:
  Win32WindowManager windows_;
  Win32Shell shell_;
  Win32Registry registry_;
  Win32SettingsBackend settings_;
  Win32Files files_;
  Win32Clock clock_;
  Win32Locale locale_;
  Win32Dialogs dialogs_;
  Win32System system_;
  Win32Process process_;
  Platform platform_;
};

}  // namespace calorix::platform::win32
