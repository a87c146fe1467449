// A simulated desktop for tests: windows, tray, registry, settings, files,
// a virtual clock with timers, locale, message boxes, sound and power.
//
// Every interface of platform.h is implemented here on plain data that a
// test can inspect and change at any moment, also from inside a callback
// the program is running. Time passes only when the test advances the clock
// (or the program waits for events); timers and scheduled actions then fire
// in time order.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/recent_log.h"

namespace calorix::sim {

using platform::WindowHandle;

// Thrown by EndProgram so a test can see the program end at once. It does
// not derive from std::exception, so the program's own handlers cannot
// swallow it.
struct ProgramEnded {
  int exitCode = 0;
};

struct SimWindow {
  WindowHandle handle = 0;
  WindowHandle parent = 0;  // the desktop window for top-level windows
  std::string title;
  std::string className;
  platform::Rect rect;      // screen pixels
  int clientOffsetX = 0;    // client area origin relative to rect's top-left
  int clientOffsetY = 0;
  bool visible = true;
  bool minimized = false;
  bool topmost = false;
  int processId = 0;
  std::optional<std::vector<std::string>> systemMenu;
  std::vector<WindowHandle> children;  // creation order
  int moveCount = 0;
  // A DPI-unaware window keeps its geometry in 96-dpi pixels; the window
  // manager maps it for a DPI-aware caller (see SimDesktop::SetDisplayDpi).
  bool dpiAware = false;
  // What a posted WM_CLOSE does; by default the window is destroyed.
  std::function<void()> onClose;
};

struct ShellExecuteCall {
  WindowHandle owner = 0;
  std::string verb, file, parameters, directory;
  platform::ShowCommand show = platform::ShowCommand::ShowNormal;
};

struct TrayRequest {
  platform::TrayOperation operation;
  platform::TrayRecord record;
  bool accepted = false;
};

class SimDesktop final : public platform::WindowManager,
                         public platform::Shell,
                         public platform::Registry,
                         public platform::SettingsBackend,
                         public platform::Files,
                         public platform::Clock,
                         public platform::Locale,
                         public platform::Dialogs,
                         public platform::System,
                         public platform::Process {
 public:
  SimDesktop();
  ~SimDesktop() override;
  SimDesktop(const SimDesktop&) = delete;
  SimDesktop& operator=(const SimDesktop&) = delete;

  platform::Platform& Platform() { return platform_; }

  // ---- Windows, as a test arranges them ---------------------------------
  static constexpr int kCalorixProcess = 1;
  // A window; `rect` is relative to the parent's client area (screen pixels
  // for top-level windows). Top-level windows get a caption and a system menu.
  WindowHandle CreateWindow(WindowHandle parent, std::string className, std::string title,
                            platform::Rect rect, int processId = 100);
  WindowHandle CreateTopLevel(std::string title, platform::Rect rect = {100, 100, 400, 300},
                              int processId = 100);
  // Destroys the window and all its descendants.
  void DestroyWindow(WindowHandle window);
  void SetWindowTitle(WindowHandle window, std::string title);
  void SetMinimized(WindowHandle window, bool minimized);
  // The window that has the keyboard: a test puts it on another program's
  // window, as a user typing there; a window brought up with activation
  // (or by ActivateByTitle) takes it. 0 when none has it.
  void SetForegroundWindow(WindowHandle window) { foreground_ = window; }
  WindowHandle ForegroundWindow() const { return foreground_; }
  SimWindow* Find(WindowHandle window);
  const SimWindow& Window(WindowHandle window) const;  // the window must exist
  // The value the next window will get as its handle (to test handle
  // values such as negative or large ones). Later handles count on from it.
  void SetNextHandle(WindowHandle handle) { nextHandle_ = handle; }
  std::size_t WindowCount() const { return windows_.size(); }
  void SetScreenPixels(int width, int height);
  // The display scale, as Windows sets it: 96 dpi is 100 %. DPI-aware
  // windows then have physical pixels, and a DPI-unaware program's windows
  // keep 96-dpi pixels that the window manager maps, edge by edge and
  // rounded as MulDiv rounds, for a DPI-aware caller. Calorix's own process
  // is DPI-aware, like the real program; other processes are not.
  void SetDisplayDpi(int dpi) { displayDpi_ = dpi; }
  // Whether the system has per-window DPI awareness calls (Windows 10 1607
  // and later); without them AdoptWindowDpiAwareness changes nothing.
  void SetPerWindowDpiCalls(bool available) { perWindowDpiCalls_ = available; }
  // Whether the system has the calls that convert points between physical
  // pixels and a window's own (Windows Vista and later).
  void SetDpiConversionCalls(bool available) { dpiConversionCalls_ = available; }
  // Whether the system maps a DPI-unaware window's pixels at all; Windows XP
  // does not: every program sees physical pixels there.
  void SetDpiVirtualisation(bool on) { dpiVirtualisation_ = on; }
  // Whether the program's thread is DPI-aware right now.
  bool ThreadDpiAware() const { return threadDpiAware_; }
  void SetTwipsPerPixel(double x, double y);

  // ---- Time -------------------------------------------------------------
  // Lets `ms` of virtual time pass, firing timers and scheduled actions in
  // time order (each sees the clock at its own moment).
  void Advance(std::uint64_t ms);
  // Runs `action` when the virtual clock reaches `atMs` (absolute).
  void At(std::uint64_t atMs, std::function<void()> action);
  void After(std::uint64_t ms, std::function<void()> action) { At(nowMs_ + ms, std::move(action)); }
  void SetLocalTime(const platform::LocalDateTime& when) { localBase_ = when; localBaseMs_ = nowMs_; }
  int EnabledTimerInterval(platform::TimerId timer) const;  // 0 when disabled

  // Queues an input event (a click, a key) handled at the next event pump.
  void Post(std::function<void()> event) { pending_.push_back(std::move(event)); }

  // ---- Background work --------------------------------------------------
  // Work handed to RunInBackground runs at once on a worker thread that the
  // call waits for, and its `done` at the next event pump: deterministic,
  // yet on another thread. Held, the work waits until FinishBackgroundWork,
  // so a test can look at the program while it works.
  void HoldBackgroundWork(bool hold) { holdBackgroundWork_ = hold; }
  // Runs every waiting piece of work, in order; each `done` follows at the
  // next event pump.
  void FinishBackgroundWork();
  std::size_t BackgroundWorkWaiting() const { return backgroundWork_.size(); }

  // ---- Locale -----------------------------------------------------------
  void SetDecimalSeparator(std::string separator) { decimal_ = std::move(separator); }
  void SetDateTimeSeparators(std::string date, std::string time) {
    dateSep_ = std::move(date);
    timeSep_ = std::move(time);
  }

  // ---- Message boxes ----------------------------------------------------
  // Answers the next boxes in order; when none is queued, OK boxes answer Ok
  // and Yes/No boxes answer No.
  void QueueAnswer(platform::MessageAnswer answer) { answers_.push_back(answer); }
  // Called for every box before it is answered (may run actions).
  void OnMessageBox(std::function<void(const platform::MessageBoxRequest&)> hook) {
    messageHook_ = std::move(hook);
  }
  // The most recent boxes (RecentLog::kKept of them) and, by Total(), how many in all.
  const RecentLog<platform::MessageBoxRequest>& MessageBoxes() const { return messageBoxes_; }

  // ---- Shell and tray ---------------------------------------------------
  // What starting `file` does (for example: create the monitor's windows).
  void OnLaunch(std::string file, std::function<void(const ShellExecuteCall&)> launch);
  // Each of these keeps the most recent calls and counts them all, so that
  // a long run does not grow them.
  const RecentLog<ShellExecuteCall>& ShellExecutes() const { return shellExecutes_; }
  const RecentLog<std::string>& CommandLinesStarted() const { return commandLines_; }
  const RecentLog<TrayRequest>& TrayRequests() const { return trayRequests_; }
  // Every tray request of this kind since the start.
  std::uint64_t TrayRequestCount(platform::TrayOperation operation) const {
    return trayRequestCounts_[static_cast<std::size_t>(operation)];
  }
  // The icons in the tray now, by (owner window, id).
  const std::map<std::pair<WindowHandle, std::uint32_t>, platform::TrayRecord>& TrayIcons() const {
    return trayIcons_;
  }

  // ---- Registry ---------------------------------------------------------
  void PutRegistryValue(platform::RegistryRoot root, std::string path, std::string name,
                        std::int32_t type, std::string bytes);
  void RemoveRegistryKey(platform::RegistryRoot root, const std::string& path);
  // The next query of any value fails with this status (once).
  void FailNextRegistryQuery(std::int32_t status) { failNextQuery_ = status; }
  void FailRegistryClose(bool fail) { failClose_ = fail; }
  // Runs once, right after the next query that only asks for a value's size
  // (to change the value between the program's two queries).
  void AfterNextSizeQuery(std::function<void()> action) { afterSizeQuery_ = std::move(action); }
  int OpenRegistryKeys() const { return static_cast<int>(openKeys_.size()); }

  // ---- Settings store ---------------------------------------------------
  std::map<std::string, std::map<std::string, std::string>>& SettingsData() { return settings_; }
  std::optional<std::string> Setting(const std::string& section, const std::string& key) const;
  // Writes fail (and change nothing) while set.
  void FailSettingsWrites(bool fail) { failSettingsWrites_ = fail; }
  int SettingsWriteCount() const { return settingsWrites_; }

  // ---- Files ------------------------------------------------------------
  std::filesystem::path CurrentDirectoryPath() const { return cwd_; }
  void SetCurrentDirectoryPath(std::filesystem::path folder) { cwd_ = std::move(folder); }
  std::filesystem::path ProgramFolderPath() const { return programFolder_; }
  // Makes every write to `name` (as the program names it) fail while set.
  void LockFile(const std::string& name, bool locked);
  // Bytes the program has read from files so far (whole files and ranges).
  std::uint64_t BytesRead() const { return bytesRead_; }

  // ---- Sound, power, process --------------------------------------------
  int Beeps() const { return beeps_; }
  int AlarmSoundsPlayed() const { return alarmSounds_; }
  const RecentLog<std::uint32_t>& ExitWindowsRequests() const { return exitWindows_; }
  int PrivilegeRequests() const { return privilegeRequests_; }
  void SetVersion(std::uint32_t version) { version_ = version; }
  void SetAnotherInstanceRunning(bool running) { anotherInstance_ = running; }
  void SetCommandLine(std::string commandLine) { commandLine_ = std::move(commandLine); }
  std::int64_t EventPumps() const { return eventPumps_; }
  // Window text and class-name reads since the start (a cost measure).
  std::int64_t WindowReads() const { return windowReads_; }

  // ---- platform::WindowManager ------------------------------------------
  WindowHandle FindTopLevelWindow(std::string_view title) override;
  void EnumerateDescendants(WindowHandle parent,
                            const std::function<bool(WindowHandle)>& visit) override;
  std::string WindowText(WindowHandle window, int bufferChars) override;
  std::string ClassName(WindowHandle window, int bufferChars) override;
  WindowHandle DesktopWindow() override { return desktop_; }
  WindowHandle FirstChild(WindowHandle window) override;
  WindowHandle NextSibling(WindowHandle window) override;
  bool IsChild(WindowHandle parent, WindowHandle window) override;
  bool IsWindow(WindowHandle window) override { return Find(window) != nullptr; }
  bool IsIconic(WindowHandle window) override;
  bool IsVisible(WindowHandle window) override;
  bool ShowWindow(WindowHandle window, platform::ShowCommand command) override;
  bool MoveWindow(WindowHandle window, int left, int top, int width, int height,
                  bool repaint) override;
  std::optional<platform::Rect> GetWindowRect(WindowHandle window) override;
  bool SetTopmost(WindowHandle window, platform::ZOrder insertAfter) override;
  bool PostCloseRequest(WindowHandle window) override;
  platform::DpiAwarenessToken AdoptWindowDpiAwareness(WindowHandle window) override;
  void RestoreThreadDpiAwareness(platform::DpiAwarenessToken previous) override;
  std::optional<platform::Point> PhysicalToLogicalPoint(WindowHandle window,
                                                        platform::Point physical) override;
  std::optional<platform::Point> LogicalToPhysicalPoint(WindowHandle window,
                                                        platform::Point logical) override;
  std::optional<int> SystemMenuItemCount(WindowHandle window) override;
  bool RemoveSystemMenuItem(WindowHandle window, int position) override;
  bool DrawMenuBar(WindowHandle window) override;
  bool ActivateByTitle(std::string_view title) override;
  int ScreenWidthPixels() override { return screenWidth_; }
  int ScreenHeightPixels() override { return screenHeight_; }
  double TwipsPerPixelX() override { return twipsX_; }
  double TwipsPerPixelY() override { return twipsY_; }

  // ---- platform::Shell --------------------------------------------------
  bool NotifyIcon(platform::TrayOperation operation, const platform::TrayRecord& record) override;
  std::int64_t ExecuteFile(WindowHandle owner, std::string_view verb, std::string_view file,
                            std::string_view parameters, std::string_view directory,
                            platform::ShowCommand show) override;
  bool StartCommandLine(std::string_view commandLine) override;
  std::string SystemProgramPath(std::string_view exeName) override;

  // ---- platform::Registry -----------------------------------------------
  std::optional<Key> OpenKey(platform::RegistryRoot root, std::string_view path) override;
  platform::RegistryQuery QueryValue(Key key, std::string_view valueName,
                                     std::uint32_t bufferSize) override;
  bool CloseKey(Key key) override;
  std::string ErrorDescription(std::int32_t status) override;

  // ---- platform::SettingsBackend ----------------------------------------
  std::optional<std::string> Read(std::string_view section, std::string_view key) override;
  bool Write(std::string_view section, std::string_view key, std::string_view value) override;
  bool DeleteAll() override;

  // ---- platform::Files --------------------------------------------------
  bool Append(std::string_view name, std::string_view text) override;
  std::optional<std::string> ReadAll(std::string_view name) override;
  std::optional<std::string> ReadRange(std::string_view name, std::uint64_t offset,
                                       std::size_t maxBytes) override;
  bool CanOpenForReading(std::string_view name) override;
  std::optional<std::uint64_t> Size(std::string_view name) override;
  bool Exists(std::string_view name) override;
  bool Delete(std::string_view name) override;
  std::string CurrentDirectory() override { return cwd_.string(); }
  std::string ProgramFolder() override { return programFolder_.string(); }

  // ---- platform::Clock and platform::Locale -----------------------------
  std::uint64_t MonotonicMs() override { return nowMs_; }
  platform::LocalDateTime Now() override;
  std::string DecimalSeparator() override { return decimal_; }
  std::string DateSeparator() override { return dateSep_; }
  std::string TimeSeparator() override { return timeSep_; }
  std::string FormatGeneralDate(const platform::LocalDateTime& when) override;

  // ---- platform::Dialogs and platform::System ---------------------------
  platform::MessageAnswer ShowMessage(const platform::MessageBoxRequest& request) override;
  void Beep() override { ++beeps_; }
  void PlayAlarmSound() override { ++alarmSounds_; }
  std::uint32_t GetVersion() override { return version_; }
  void EnableShutdownPrivilege() override { ++privilegeRequests_; }
  bool ExitSession(std::uint32_t flags) override;

  // ---- platform::Process ------------------------------------------------
  void ProcessPendingEvents() override;
  void WaitForEvents(int timeoutMs) override;
  platform::TimerId CreateTimer(std::function<void()> onTick) override;
  void SetTimer(platform::TimerId timer, int intervalMs, bool enabled) override;
  void DestroyTimer(platform::TimerId timer) override;
  void RunInBackground(std::function<void()> work, std::function<void()> done) override;
  bool IsAnotherInstanceRunning() override { return anotherInstance_; }
  std::string CommandLine() override { return commandLine_; }
  [[noreturn]] void EndProgram(int exitCode) override;

 private:
  struct Timer {
    std::function<void()> onTick;
    int intervalMs = 0;
    bool enabled = false;
    std::uint64_t dueMs = 0;
  };
  struct Scheduled {
    std::uint64_t atMs;
    std::uint64_t order;
    std::function<void()> action;
  };
  struct RegistryValue {
    std::int32_t type;
    std::string bytes;
  };
  using RegistryPath = std::pair<platform::RegistryRoot, std::string>;

  std::filesystem::path Resolve(std::string_view name) const;
  bool IsLocked(const std::filesystem::path& path) const;
  void CollectDescendants(const SimWindow& window, std::vector<WindowHandle>& out) const;
  // A coordinate as `window` keeps it, seen by the calling thread, and back.
  std::int64_t ToCaller(const SimWindow& window, std::int64_t value) const;
  std::int64_t FromCaller(const SimWindow& window, std::int64_t value) const;
  // A point between physical pixels and `window`'s own, as the system's
  // conversion calls give it.
  std::optional<platform::Point> ConvertedPoint(WindowHandle window, platform::Point point,
                                                int fromDpi, int toDpi);
  bool RunNextDue(std::uint64_t untilMs);

  platform::Platform platform_;

  std::map<WindowHandle, SimWindow> windows_;
  WindowHandle desktop_ = 0;
  WindowHandle nextHandle_ = 0x10010;
  WindowHandle foreground_ = 0;
  int displayDpi_ = 96;
  bool perWindowDpiCalls_ = true;
  bool dpiConversionCalls_ = true;
  bool dpiVirtualisation_ = true;
  bool threadDpiAware_ = true;
  int screenWidth_ = 1024;
  int screenHeight_ = 768;
  double twipsX_ = 15;
  double twipsY_ = 15;

  std::uint64_t nowMs_ = 0;
  platform::LocalDateTime localBase_{2026, 12, 8, 9, 0, 0};
  std::uint64_t localBaseMs_ = 0;
  std::map<platform::TimerId, Timer> timers_;
  platform::TimerId nextTimer_ = 1;
  std::vector<Scheduled> scheduled_;
  std::uint64_t scheduleOrder_ = 0;
  std::deque<std::function<void()>> pending_;
  struct BackgroundWork {
    std::function<void()> work;
    std::function<void()> done;
  };
  std::deque<BackgroundWork> backgroundWork_;
  bool holdBackgroundWork_ = false;
  std::int64_t eventPumps_ = 0;
  std::int64_t windowReads_ = 0;

  std::string decimal_ = ".";
  std::string dateSep_ = "/";
  std::string timeSep_ = ":";

  std::deque<platform::MessageAnswer> answers_;
  std::function<void(const platform::MessageBoxRequest&)> messageHook_;
  RecentLog<platform::MessageBoxRequest> messageBoxes_;

  std::map<std::string, std::function<void(const ShellExecuteCall&)>> launchers_;
  RecentLog<ShellExecuteCall> shellExecutes_;
  RecentLog<std::string> commandLines_;
  RecentLog<TrayRequest> trayRequests_;
  std::array<std::uint64_t, 3> trayRequestCounts_{};  // by TrayOperation
  std::map<std::pair<WindowHandle, std::uint32_t>, platform::TrayRecord> trayIcons_;

  std::map<RegistryPath, std::map<std::string, RegistryValue>> registry_;
  std::map<Key, RegistryPath> openKeys_;
  Key nextKey_ = 1;
  std::optional<std::int32_t> failNextQuery_;
  bool failClose_ = false;
  std::function<void()> afterSizeQuery_;

  std::map<std::string, std::map<std::string, std::string>> settings_;
  bool failSettingsWrites_ = false;
  int settingsWrites_ = 0;

  std::filesystem::path root_;
  std::filesystem::path cwd_;
  std::filesystem::path programFolder_;
  // Guarded: ReadRange may be called from a worker thread.
  mutable std::mutex lockedFilesMutex_;
  std::atomic<std::uint64_t> bytesRead_ = 0;
  std::set<std::filesystem::path> lockedFiles_;

  int beeps_ = 0;
  int alarmSounds_ = 0;
  int privilegeRequests_ = 0;
  RecentLog<std::uint32_t> exitWindows_;
  std::uint32_t version_ = 0x1DB10106;  // 6.1.7601, NT family
  bool anotherInstance_ = false;
  std::string commandLine_;
};

}  // namespace calorix::sim
