#include <algorithm>
#include <cstring>

#include "platform/win32/win32_internal.h"

namespace calorix::platform::win32 {

bool Win32Shell::NotifyIcon(TrayOperation operation, const TrayRecord& record) {
  NOTIFYICONDATAA data{};
  // The record's cbSize is the 32-bit layout's; the shell wants this build's
  // size of the same (version 1) fields. Every Windows takes that size;
  // XP would refuse the larger record of Vista's headers.
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = ToHwnd(record.hWnd);
  data.uID = record.uID;
  data.uFlags = record.uFlags;
  data.uCallbackMessage = record.uCallbackMessage;
  data.hIcon = reinterpret_cast<HICON>(static_cast<std::intptr_t>(record.hIcon));
  constexpr std::size_t kTip = TrayRecord::kTipChars;
  static_assert(sizeof(data.szTip) >= kTip);
  const std::size_t n = std::min(record.szTip.size(), kTip - 1);
  std::memcpy(data.szTip, record.szTip.data(), n);
  data.szTip[kTip - 1] = '\0';

  DWORD message = NIM_ADD;
  switch (operation) {
    case TrayOperation::Add: message = NIM_ADD; break;
    case TrayOperation::Modify: message = NIM_MODIFY; break;
    case TrayOperation::Delete: message = NIM_DELETE; break;
  }
  return Shell_NotifyIconA(message, &data) != FALSE;
}

std::int64_t Win32Shell::ExecuteFile(WindowHandle owner, std::string_view verb,
                                      std::string_view file, std::string_view parameters,
                                      std::string_view directory, ShowCommand show) {
  const std::wstring verbZ = Wide(verb), fileZ = Wide(file), paramsZ = Wide(parameters),
                     dirZ = Wide(directory);
  HINSTANCE result = ShellExecuteW(ToHwnd(owner), OrNull(verbZ), fileZ.c_str(), OrNull(paramsZ),
                                   OrNull(dirZ), static_cast<int>(show));
  // Not a real instance: an integer result in a handle's clothing.
  return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(result));
}

bool Win32Shell::StartCommandLine(std::string_view commandLine) {
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::wstring line = Wide(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return false;
  }
  UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);
  return true;
}

std::string Win32Shell::SystemProgramPath(std::string_view exeName) {
  std::wstring folder(MAX_PATH, L'\0');
  UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
  if (length >= folder.size()) {
    // Too small: the answer is the size needed, terminator included.
    folder.assign(length, L'\0');
    length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
  }
  // Without the folder the bare name still lets CreateProcess search the path.
  if (length == 0 || length >= folder.size()) return Z(exeName);
  folder.resize(length);
  return Utf8(folder) + "\\" + Z(exeName);
}

}  // namespace calorix::platform::win32
