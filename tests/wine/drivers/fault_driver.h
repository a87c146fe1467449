// Faults a test inflicts on the running program from outside, and what it
// can see of the aftermath: processes started and killed by handle, a file
// held open without sharing, settings values of the wrong kind, the texts
// of the tray icons' tooltips, and the crash dialog.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace calorix::platform::win32::fault {

// A process started by the test and held by its handle, so that its exit
// code can be read after it has ended.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Starts a command line in a folder (empty: this program's folder).
  static Process Start(std::string_view commandLine, std::string_view folder);
  // Holds a process that is already running.
  static Process Open(std::uint32_t processId);

  bool Valid() const { return handle_ != nullptr; }
  std::uint32_t Id() const { return id_; }
  bool Running() const;
  // Waits up to `timeoutMs` for the end; true once it has ended.
  bool WaitForExit(int timeoutMs) const;
  // The exit code once the process has ended.
  std::optional<std::uint32_t> ExitCode() const;
  // Ends it at once, as the task manager would: no message, no clean-up.
  bool Kill() const;

 private:
  void* handle_ = nullptr;
  std::uint32_t id_ = 0;
};

// The process that owns a window; 0 when there is no such window.
std::uint32_t OwnerProcess(WindowHandle window);

// Exit codes of this size are exceptions (access violation, stack
// overflow and the like), not a program ending on purpose.
inline bool IsCrashCode(std::uint32_t exitCode) { return exitCode >= 0xC0000000u; }

// Whether the system's crash dialog ("Program Error") is on the screen.
bool CrashDialogShown();

// Titles of the top-level windows of dialog class (#32770: message boxes)
// that a process owns.
std::vector<std::string> DialogTitles(std::uint32_t processId);

// A file opened for reading and writing with no sharing at all: nobody else
// can open it until this object is gone.
class ExclusiveFile {
 public:
  explicit ExclusiveFile(std::string_view name);
  ~ExclusiveFile();
  ExclusiveFile(const ExclusiveFile&) = delete;
  ExclusiveFile& operator=(const ExclusiveFile&) = delete;
  bool Held() const { return handle_ != nullptr; }
  // What the file holds, read through this handle.
  std::string Contents() const;
  void Release();

 private:
  void* handle_ = nullptr;
};

// Values of the program's settings (HKCU\Software\Calorix\<section>) that
// are not text at all.
bool WriteDwordSetting(std::string_view section, std::string_view key, std::uint32_t value);
bool WriteBinarySetting(std::string_view section, std::string_view key, std::string_view bytes);
// Text with a type other than a plain string: REG_MULTI_SZ (the parts
// joined by NULs).
bool WriteMultiStringSetting(std::string_view section, std::string_view key,
                             const std::vector<std::string>& parts);

// Sets a window's text from outside, as WM_SETTEXT does.
bool SetWindowTextOf(WindowHandle window, std::string_view text);

// The tray icons shown by the shell: how many there are (one tooltip tool
// each), and the texts of their tooltips (in the ANSI code page).
int TrayIconCount();
std::vector<std::string> TrayTips();

// Sets (or, with no value, removes) a variable of this program's
// environment, which the programs it starts inherit.
void SetEnvironment(std::string_view name, std::optional<std::string_view> value);

// Milliseconds of a steady clock.
std::uint64_t NowMs();

}  // namespace calorix::platform::win32::fault
