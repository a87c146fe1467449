// The chart of a big record file in the real calorix.exe: from the tray
// menu's "View Chart" to the chart drawn, how the window answers meanwhile,
// and what the records cost in memory. Figures to read, not a test.
//
// For each size (1,000,000 records; 100,000 with a bad line in every ten)
// it writes the record file in the current folder, starts Calorix as a
// returning user that does not record, opens the chart and prints:
// - the time from the menu click to the status line counting every record
//   and the records' line drawn in the canvas;
// - the longest the chart window took to answer a message while loading;
// - the working set before and after, per record.
// calorix.exe is named by CALORIX_EXE (a Windows path).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "platform/win32/win32_internal.h"
#include "platform/win32/win32_platform.h"
#include "tests/wine/drivers/desktop_driver.h"

namespace {

namespace drive = calorix::platform::win32::driver;
using calorix::platform::WindowHandle;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool ChildStartingWith(WindowHandle window, const std::string& prefix) {
  for (const WindowHandle child : drive::Children(window))
    if (drive::Text(child).rfind(prefix, 0) == 0) return true;
  return false;
}

// `count` records a minute apart from 1 January 2026, and a line that is not
// a record after every `badEvery` (0: none).
void WriteRecords(long count, int badEvery) {
  std::ofstream file("Calorix_Rec.txt", std::ios::binary | std::ios::trunc);
  std::string chunk;
  char line[128];
  long minute = 0;
  for (long i = 0; i < count; ++i, ++minute) {
    // Months of 28 days keep the dates simple.
    const long day = minute / (24 * 60), hourMinute = minute % (24 * 60);
    const int month = static_cast<int>(day / 28 % 12) + 1, year = static_cast<int>(26 + day / (28 * 12));
    std::snprintf(line, sizeof line, "%02d/%02d/%02d %02d:%02d, %d , %d, %d , %d, 1.52, 3.31, 5.02,  12.16 \r\n",
                  static_cast<int>(day % 28) + 1, month, year % 100, static_cast<int>(hourMinute / 60),
                  static_cast<int>(hourMinute % 60), 40 + static_cast<int>(i % 20), 3000 + static_cast<int>(i % 500),
                  35, 2500);
    chunk += line;
    if (badEvery > 0 && i % badEvery == badEvery - 1) chunk += "no record here, only text\r\n";
    if (chunk.size() > (1 << 20)) {
      file << chunk;
      chunk.clear();
    }
  }
  file << chunk;
}

// The working set the chart added, or nothing when it was not drawn.
std::optional<double> Measure(const char* exe, long records, int badEvery) {
  WriteRecords(records, badEvery);
  calorix::platform::win32::Win32SettingsBackend settings;
  drive::SetReturningUser(settings);
  std::string command = "\"";
  command += exe;
  command += '"';
  const std::uint32_t pid = drive::StartProcess(command, "");
  const WindowHandle form1 = drive::WaitForWindow("Calorix", 60'000);
  const WindowHandle monitor = drive::WaitForWindow("VIA HWM", 60'000);
  if (pid == 0 || form1 == 0 || monitor == 0 || !drive::WaitForTakeOver(monitor, 60'000)) {
    std::printf("Calorix did not start\n");
    return std::nullopt;
  }
  drive::Pause(1000);
  const auto before = drive::Figures(pid);
  SetCursorPos(0, 0);
  const std::string counted = std::to_string(records) + " records";
  const auto clicked = Clock::now();
  drive::ChooseFromTrayMenu(form1, drive::kViewChart, 5000);
  const WindowHandle chart = drive::WaitForWindow("HWM Data Chart", 10'000);
  double slowestAnswerMs = 0;
  const bool drawn = chart != 0 && drive::WaitUntil(
                                       [&] {
                                         const auto asked = Clock::now();
                                         DWORD_PTR result = 0;
                                         SendMessageTimeoutA(calorix::platform::win32::ToHwnd(chart), WM_NULL, 0,
                                                             0, SMTO_NORMAL, 10'000, &result);
                                         slowestAnswerMs = std::max(slowestAnswerMs, MsSince(asked));
                                         return ChildStartingWith(chart, counted);
                                       },
                                       60'000);
  const double openMs = MsSince(clicked);
  std::optional<double> added;
  drive::Pause(1000);
  const auto after = drive::Figures(pid);
  if (drawn && before && after) {
    added = static_cast<double>(after->workingSetBytes) - static_cast<double>(before->workingSetBytes);
    const double perRecord = *added / records;
    std::printf("%8ld records%s: menu click to chart drawn %.0f ms; slowest answer while loading %.0f ms; "
                "working set %llu KiB before, %llu KiB after: %.1f bytes per record\n",
                records, badEvery > 0 ? " (bad lines mixed in)" : "", openMs, slowestAnswerMs,
                static_cast<unsigned long long>(before->workingSetBytes / 1024),
                static_cast<unsigned long long>(after->workingSetBytes / 1024), perRecord);
  } else {
    std::printf("%8ld records: the chart was not drawn within a minute\n", records);
  }
  drive::CloseAll("HWM Data Chart");
  drive::CloseAll("Calorix");
  drive::CloseAll("VIA HWM");
  drive::WaitForWindowGone("Calorix", 10'000);
  drive::WaitForWindowGone("VIA HWM", 10'000);
  return added;
}

}  // namespace

int main() {
  const char* exe = std::getenv("CALORIX_EXE");
  if (exe == nullptr) {
    std::printf("CALORIX_EXE is not set\n");
    return 2;
  }
  const auto million = Measure(exe, 1'000'000, 0);
  const auto hundredThousand = Measure(exe, 100'000, 10);
  std::remove("Calorix_Rec.txt");
  if (!million || !hundredThousand) return 1;
  // What the window costs whatever the file, and what each record adds.
  const double perRecord = (*million - *hundredThousand) / 900'000;
  std::printf("from the two: %.1f bytes per record, plus %.0f KiB for the window\n", perRecord,
              (*million - perRecord * 1'000'000) / 1024);
  return 0;
}
