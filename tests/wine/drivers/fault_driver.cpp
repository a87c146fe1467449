#include "tests/wine/drivers/fault_driver.h"

#include "platform/win32/win32_internal.h"
// After windows.h, which they need.
#include <commctrl.h>

#include <chrono>

namespace calorix::platform::win32::fault {

namespace {

constexpr char kSettingsRoot[] = "Software\\Calorix";
// The shell's window of one tray icon, and the tooltip it owns.
constexpr char kTrayIconClass[] = "__wine_tray_icon";
constexpr char kTooltipClass[] = "tooltips_class32";
constexpr char kTaskbarClass[] = "Shell_TrayWnd";
constexpr int kTipChars = 1024;

std::string ClassOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND top, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(top);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

bool WriteSetting(std::string_view section, std::string_view key, DWORD type, const void* data,
                  DWORD size) {
  const std::string path = std::string(kSettingsRoot) + "\\" + Z(section);
  HKEY created = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE, nullptr, &created, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG status = RegSetValueExA(created, Z(key).c_str(), 0, type,
                                     static_cast<const BYTE*>(data), size);
  RegCloseKey(created);
  return status == ERROR_SUCCESS;
}

// The texts of the tools of another process's tooltip window that cover a
// place on the screen, read through memory lent in that process. (The
// shell leaves the tooltip of a removed icon behind, its place emptied.)
std::vector<std::string> RemoteToolTexts(HWND tooltip) {
  std::vector<std::string> texts;
  DWORD owner = 0;
  GetWindowThreadProcessId(tooltip, &owner);
  UniqueHandle process(
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, owner));
  if (!process) return texts;
  DWORD_PTR tools = 0;
  if (!SendMessageTimeoutW(tooltip, TTM_GETTOOLCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &tools))
    return texts;
  const SIZE_T size = sizeof(TTTOOLINFOW) + kTipChars * sizeof(WCHAR);
  void* remote = VirtualAllocEx(process.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  if (remote == nullptr) return texts;
  auto* remoteText = reinterpret_cast<WCHAR*>(static_cast<char*>(remote) + sizeof(TTTOOLINFOW));
  for (DWORD_PTR index = 0; index < tools; ++index) {
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.lpszText = remoteText;
    const WCHAR nothing = 0;
    DWORD_PTR found = 0;
    std::wstring wide(kTipChars, L'\0');
    if (!WriteProcessMemory(process.get(), remote, &info, sizeof info, nullptr) ||
        !WriteProcessMemory(process.get(), remoteText, &nothing, sizeof nothing, nullptr) ||
        !SendMessageTimeoutW(tooltip, TTM_ENUMTOOLSW, index, reinterpret_cast<LPARAM>(remote),
                             SMTO_ABORTIFHUNG, 2000, &found) ||
        !found ||
        !ReadProcessMemory(process.get(), remoteText, wide.data(), kTipChars * sizeof(WCHAR),
                           nullptr))
      continue;
    TTTOOLINFOW filled{};
    if (!ReadProcessMemory(process.get(), remote, &filled, sizeof filled, nullptr) ||
        IsRectEmpty(&filled.rect))
      continue;
    wide.resize(wcsnlen(wide.c_str(), kTipChars));
    std::string text(wide.size() * 2 + 1, '\0');
    const int got = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()),
                                        text.data(), static_cast<int>(text.size()), nullptr,
                                        nullptr);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    texts.push_back(text);
  }
  VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
  return texts;
}

// The shell's tooltip windows of the tray: owned by the taskbar (one tool
// per icon) or by the window of one icon.
std::vector<HWND> TrayTooltips() {
  std::vector<HWND> tooltips;
  for (HWND window : TopLevelWindows()) {
    if (ClassOf(window) != kTooltipClass) continue;
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner == nullptr) continue;
    const std::string ownerClass = ClassOf(owner);
    if (ownerClass == kTrayIconClass || ownerClass == kTaskbarClass) tooltips.push_back(window);
  }
  return tooltips;
}

}  // namespace

Process::~Process() {
  if (handle_ != nullptr) CloseHandle(handle_);
}

Process::Process(Process&& other) noexcept : handle_(other.handle_), id_(other.id_) {
  other.handle_ = nullptr;
  other.id_ = 0;
}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    if (handle_ != nullptr) CloseHandle(handle_);
    handle_ = other.handle_;
    id_ = other.id_;
    other.handle_ = nullptr;
    other.id_ = 0;
  }
  return *this;
}

Process Process::Start(std::string_view commandLine, std::string_view folder) {
  std::string line(commandLine);
  const std::string directory(folder);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  Process process;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startup, &started))
    return process;
  CloseHandle(started.hThread);
  process.handle_ = started.hProcess;
  process.id_ = started.dwProcessId;
  return process;
}

Process Process::Open(std::uint32_t processId) {
  Process process;
  if (processId == 0) return process;
  process.handle_ = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION,
                                FALSE, processId);
  if (process.handle_ != nullptr) process.id_ = processId;
  return process;
}

bool Process::Running() const {
  return handle_ != nullptr && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

bool Process::WaitForExit(int timeoutMs) const {
  if (handle_ == nullptr) return true;
  // In slices, handling this program's messages: windows of other programs
  // may send to ours while we wait.
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  for (;;) {
    const DWORD left = static_cast<DWORD>(
        std::min<ULONGLONG>(50, until > GetTickCount64() ? until - GetTickCount64() : 0));
    if (MsgWaitForMultipleObjects(1, &handle_, FALSE, left, QS_ALLINPUT) == WAIT_OBJECT_0)
      return true;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (GetTickCount64() >= until) return WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0;
  }
}

std::optional<std::uint32_t> Process::ExitCode() const {
  if (handle_ == nullptr || Running()) return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(handle_, &code)) return std::nullopt;
  return code;
}

bool Process::Kill() const {
  return handle_ != nullptr && TerminateProcess(handle_, 1) != FALSE;
}

std::uint32_t OwnerProcess(WindowHandle window) {
  DWORD owner = 0;
  if (window == 0 || GetWindowThreadProcessId(ToHwnd(window), &owner) == 0) return 0;
  return owner;
}

bool CrashDialogShown() { return FindWindowA(nullptr, "Program Error") != nullptr; }

std::vector<std::string> DialogTitles(std::uint32_t processId) {
  std::vector<std::string> titles;
  for (HWND window : TopLevelWindows()) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != processId || ClassOf(window) != "#32770") continue;
    char title[512] = "";
    GetWindowTextA(window, title, sizeof title);
    titles.emplace_back(title);
  }
  return titles;
}

ExclusiveFile::ExclusiveFile(std::string_view name) {
  HANDLE file = CreateFileA(Z(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) handle_ = file;
}

ExclusiveFile::~ExclusiveFile() { Release(); }

std::string ExclusiveFile::Contents() const {
  std::string content;
  if (handle_ == nullptr || SetFilePointer(handle_, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
    return content;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(handle_, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
  return content;
}

void ExclusiveFile::Release() {
  if (handle_ != nullptr) CloseHandle(handle_);
  handle_ = nullptr;
}

bool WriteDwordSetting(std::string_view section, std::string_view key, std::uint32_t value) {
  const DWORD data = value;
  return WriteSetting(section, key, REG_DWORD, &data, sizeof data);
}

bool WriteBinarySetting(std::string_view section, std::string_view key, std::string_view bytes) {
  return WriteSetting(section, key, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

bool WriteMultiStringSetting(std::string_view section, std::string_view key,
                             const std::vector<std::string>& parts) {
  std::string data;
  for (const std::string& part : parts) data += part + '\0';
  data += '\0';
  return WriteSetting(section, key, REG_MULTI_SZ, data.data(), static_cast<DWORD>(data.size()));
}

bool SetWindowTextOf(WindowHandle window, std::string_view text) {
  const std::string value(text);
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(ToHwnd(window), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()),
                             SMTO_ABORTIFHUNG, 2000, &answer) != 0 &&
         answer == TRUE;
}

int TrayIconCount() { return static_cast<int>(TrayTips().size()); }

std::vector<std::string> TrayTips() {
  std::vector<std::string> tips;
  for (HWND tooltip : TrayTooltips())
    for (std::string& text : RemoteToolTexts(tooltip)) tips.push_back(std::move(text));
  return tips;
}

void SetEnvironment(std::string_view name, std::optional<std::string_view> value) {
  const std::string key(name);
  SetEnvironmentVariableA(key.c_str(), value ? std::string(*value).c_str() : nullptr);
}

std::uint64_t NowMs() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

}  // namespace calorix::platform::win32::fault
