// The entry of calorix.exe: the real platform and real windows under the
// program's logic. (MinGW's start-up code calls main for GUI programs too.)
#include <exception>
#include <string>

#include "core/app.h"
#include "platform/win32/win32_forms.h"
#include "platform/win32/win32_platform.h"

int main() {
  using namespace calorix::platform;
  win32::Win32Platform platform;
  try {
    win32::Win32FormHost host(platform.ProcessService());
    calorix::App app(platform.Get(), host);
    host.onTaskbarCreated = [&app] { app.trayIcon.OnTaskbarCreated(); };
    try {
      // The main window's load handler is the whole start; from then on the
      // program runs in its window and timer events, and ends itself.
      app.Start();
      return platform.RunMessageLoop();
    } catch (...) {
      app.trayIcon.Remove();  // no icon left behind in the tray
      throw;
    }
  } catch (const std::exception& error) {
    // A fault in the program itself: say what it was rather than vanish.
    platform.Get().dialogs.ShowMessage({.text = std::string("Calorix stopped: ") + error.what(),
                                        .title = "Calorix",
                                        .icon = MessageIcon::Critical});
    return 1;
  }
}
