#include "platform/win32/win32_internal.h"

namespace calorix::platform::win32 {

namespace {
constexpr int kAlarmSoundResource = 99;
}  // namespace

void Win32System::Beep() {
  // A missing sound device is not worth telling anyone about.
  MessageBeep(MB_OK);
}

void Win32System::PlayAlarmSound() {
  // Silent on any failure, by design: the alarm's box still appears.
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(kAlarmSoundResource), "SOUND");
  if (found == nullptr) return;
  // Resources are part of the mapped image: nothing to free or unlock.
  HGLOBAL loaded = LoadResource(nullptr, found);
  if (loaded == nullptr) return;
  const void* wave = LockResource(loaded);
  if (wave == nullptr) return;
  sndPlaySoundA(static_cast<LPCSTR>(wave), SND_MEMORY | SND_NODEFAULT | SND_SYNC);
}

std::uint32_t Win32System::GetVersion() { return ::GetVersion(); }

void Win32System::EnableShutdownPrivilege() {
  // Results are not reported: ExitWindowsEx fails on its own if this did.
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    return;
  }
  UniqueHandle owned(token);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
    return;
  }
  AdjustTokenPrivileges(owned.get(), FALSE, &privileges, 0, nullptr, nullptr);
}

bool Win32System::ExitSession(std::uint32_t flags) { return ExitWindowsEx(flags, 0) != FALSE; }

}  // namespace calorix::platform::win32
