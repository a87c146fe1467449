// The entry of calorix.exe: the real platform under the program's logic.
// (MinGW's start-up code calls main for GUI programs as well.)
#include "core/program.h"
#include "platform/win32/win32_platform.h"

int main() {
  calorix::platform::win32::Win32Platform platform;
  if (!calorix::StartCalorix(platform.Get())) return 0;
  return platform.RunMessageLoop();
}
