// A long run of the real calorix.exe against the stand-in monitor, with the
// recorder on at ".1" (a line every 6 s) and the dashboard open, printing
// what the process holds once a minute: working set, GDI and USER objects,
// kernel handles and its windows. Where GetGuiResources counts nothing (as
// under Wine), the GDI figure is read from the process's GDI handle table. Figures to read, not a test; a leak shows
// as a column that keeps climbing.
//
// calorix.exe is named by CALORIX_EXE (a Windows path); the run lasts
// CALORIX_SOAK_SECONDS (default 600) and prints every CALORIX_SOAK_EVERY
// seconds (default 60). Calorix runs in this program's current folder, where
// its record file grows.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/wine/drivers/desktop_driver.h"
#include "platform/win32/win32_platform.h"

namespace {

namespace drive = calorix::platform::win32::driver;

int EnvSeconds(const char* name, int fallback) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return fallback;
  const int value = std::atoi(text);
  return value > 0 ? value : fallback;
}

int RecordLines() {
  std::ifstream file("Calorix_Rec.txt", std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  int lines = 0;
  for (const char c : text.str()) lines += c == '\n';
  return lines;
}

void PrintRow(int seconds, const drive::ProcessFigures& f) {
  std::printf("%4d:%02d  %8llu  %8llu  %5u  %5u  %7u  %7u  %7d\n", seconds / 60, seconds % 60,
              static_cast<unsigned long long>(f.workingSetBytes / 1024),
              static_cast<unsigned long long>(f.peakWorkingSetBytes / 1024), f.gdiObjects,
              f.userObjects, f.handles, f.windows, RecordLines());
  std::fflush(stdout);
}

}  // namespace

int main() {
  const char* exe = std::getenv("CALORIX_EXE");
  if (exe == nullptr) {
    std::printf("CALORIX_EXE is not set\n");
    return 2;
  }
  const int total = EnvSeconds("CALORIX_SOAK_SECONDS", 600);
  const int every = EnvSeconds("CALORIX_SOAK_EVERY", 60);

  // A returning user who records at ".1" and opens the dashboard at start.
  calorix::platform::win32::Win32SettingsBackend settings;
  settings.DeleteAll();
  settings.Write("Startup", "Version", "44");
  settings.Write("Startup", "ChkDatRec", "0");
  settings.Write("Startup", "Record", "1");
  settings.Write("Startup", "RecDelay", ".1");
  settings.Write("Startup", "DashOn", "1");
  std::remove("Calorix_Rec.txt");

  std::string commandLine = "\"";
  commandLine.append(exe).append("\"");
  const std::uint32_t pid = drive::StartProcess(commandLine, "");
  if (pid == 0) {
    std::printf("calorix.exe did not start\n");
    return 1;
  }
  if (drive::WaitForWindow("DashBoard", 60'000) == 0) {
    std::printf("the dashboard did not open\n");
    return 1;
  }
  // The run is counted from the moment the dashboard is up.
  std::printf("soak of calorix.exe (process %u) for %d s, recording at .1, dashboard open\n", pid,
              total);
  std::printf("  time  work KiB  peak KiB    GDI   USER  handles  windows  records\n");
  int failures = 0;
  for (int elapsed = 0;; elapsed += every) {
    if (elapsed > 0) drive::Pause(every * 1000);
    const auto figures = drive::Figures(pid);
    if (!figures) {
      std::printf("calorix.exe ended after about %d s\n", elapsed);
      return 1;
    }
    if (elapsed == 0) {
      std::printf("  (GDI: %s; USER: GetGuiResources, which counts nothing under Wine)\n",
                  figures->gdiFromHandleTable ? "used entries of its GDI handle table"
                                              : "GetGuiResources");
    }
    PrintRow(elapsed, *figures);
    if (drive::FindTopLevel("DashBoard") == 0 || drive::FindTopLevel("VIA HWM") == 0) ++failures;
    if (elapsed + every > total) break;
  }
  if (failures != 0) std::printf("the dashboard or the monitor window was missing %d times\n", failures);

  drive::CloseAll("Calorix");
  drive::CloseAll("VIA HWM");
  drive::WaitForWindowGone("Calorix", 10'000);
  return failures == 0 ? 0 : 1;
}
