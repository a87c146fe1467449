// The entry of calorix.exe: the real platform under the program's logic.
#include <windows.h>

#include "core/program.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  calorix::platform::win32::Win32Platform platform;
  if (!calorix::StartCalorix(platform.Get())) return 0;
  return platform.RunMessageLoop();
}
