// Puts the running Calorix through its paces for the demo run: the options
// window, recording at the shortest interval, the dashboard and the data
// viewer, so that a screenshot shows them all. Prints what it did.
//
//   demo_driver [--start-monitor CONTROL-FILE] [--start-calorix EXE]
//               [--pictures FOLDER] [--alarm CONTROL-FILE]
//   demo_driver --chart-day FOLDER --start-calorix EXE
//
// --start-monitor starts the installed stand-in monitor with that control
// file and waits for its window; --start-calorix then starts Calorix in the
// current folder.
// --pictures saves each window, as it is on screen, as a BMP file in FOLDER
// (options, dashboard, viewer, countdown). --alarm does nothing else: it
// raises the CPU temperature alarm through the stand-in monitor's control
// file, so the shutdown countdown comes up; it is pictured and cancelled,
// which ends Calorix.
// --chart-day writes a day of records in the current folder (a warm
// afternoon, a case fan that slows), starts Calorix as a returning user
// that does not record, and pictures the chart of that day in FOLDER as
// chart-day; then it closes Calorix.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>

#include "tests/wine/drivers/desktop_driver.h"
#include "platform/win32/win32_internal.h"
#include "platform/win32/win32_platform.h"
#include "tests/wine/drivers/window_picture.h"

namespace drive = calorix::platform::win32::driver;
using calorix::platform::WindowHandle;

namespace {

struct Options {
  std::string monitorControlFile;
  std::string calorixExe;
  std::string pictures;  // a folder, or empty
  std::string alarmControlFile;
  std::string chartDayPictures;
};

Options ReadOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--start-monitor") == 0) options.monitorControlFile = argv[i + 1];
    if (std::strcmp(argv[i], "--start-calorix") == 0) options.calorixExe = argv[i + 1];
    if (std::strcmp(argv[i], "--pictures") == 0) options.pictures = argv[i + 1];
    if (std::strcmp(argv[i], "--alarm") == 0) options.alarmControlFile = argv[i + 1];
    if (std::strcmp(argv[i], "--chart-day") == 0) options.chartDayPictures = argv[i + 1];
  }
  return options;
}

void Picture(const Options& options, WindowHandle window, const char* name) {
  if (options.pictures.empty() || window == 0) return;
  drive::Pause(500);  // the last repaint of what was just shown or moved
  const std::string path = options.pictures + "\\" + name + ".bmp";
  std::printf("%s %s\n", drive::SaveWindowPicture(window, path) ? "pictured" : "could not picture",
              name);
}

void SetCheck(WindowHandle form1, const char* caption, bool checked) {
  const WindowHandle box = drive::FindChild(form1, caption, "Button");
  if (box == 0 || drive::Checked(box) == checked) return;
  drive::Click(box);
  drive::WaitUntil([box, checked] { return drive::Checked(box) == checked; }, 2000);
}

// The countdown with its reason, its count and its button.
WindowHandle RaiseAlarm(WindowHandle form1, const std::string& controlFile) {
  SetCheck(form1, "Alarm Buzzer Sound", false);
  SetCheck(form1, "CPU Over Heat", true);
  std::ofstream(controlFile, std::ios::app) << "alarm open CPU Tempture Alarm !\n";
  const WindowHandle countdown = drive::WaitForWindow("ALARM SHUT DOWN!", 20'000);
  if (countdown == 0) return 0;
  drive::WaitUntil([countdown] { return drive::Children(countdown).size() >= 3; }, 3000);
  return countdown;
}

// 8 December 2026 minute by minute: the CPU warms to about 60 degrees in the
// afternoon and its fan speeds up with it; the case fan loses a fifth of its
// speed over the day. A little noise, the same every run.
std::string RecordsOfADay() {
  std::string records;
  unsigned noise = 12345;
  const auto jitter = [&noise](int spread) {
    noise = noise * 1103515245u + 12345u;
    return static_cast<int>((noise >> 16) % (2 * spread + 1)) - spread;
  };
  char line[128];
  for (int minute = 0; minute < 24 * 60; ++minute) {
    const double hour = minute / 60.0;
    const double warmth = std::exp(-std::pow((hour - 15) / 3, 2));
    const int cpu = static_cast<int>(std::lround(40 + 19 * warmth + 0.7 * std::sin(minute / 9.0)));
    const int sys = static_cast<int>(std::lround(31 + 8 * warmth));
    const int cpuFan = static_cast<int>(std::lround(3200 + 1300 * warmth)) + 10 * jitter(3);
    const int sysFan = static_cast<int>(std::lround(2600 - 520 * hour / 24)) + 10 * jitter(2);
    std::snprintf(line, sizeof line, "08/12/26 %02d:%02d, %d , %d, %d , %d, 1.5%d, 3.3%d, 5.0%d,  12.1%d \r\n",
                  minute / 60, minute % 60, cpu, cpuFan, sys, sysFan, 2 + jitter(1), 1 + jitter(1),
                  2 + jitter(1), 6 + jitter(1));
    records += line;
  }
  return records;
}

int PictureADay(Options options) {
  std::ofstream("Calorix_Rec.txt", std::ios::binary) << RecordsOfADay();
  calorix::platform::win32::Win32SettingsBackend settings;
  drive::SetReturningUser(settings);
  // Twips: 960 by 600 pixels at 100 %.
  for (const auto& [key, value] : {std::pair{"ChartLeft", "300"}, {"ChartTop", "300"},
                                   {"ChartWidth", "14400"}, {"ChartHeight", "9000"}})
    settings.Write("Startup", key, value);
  drive::Start("\"" + options.calorixExe + "\"", "");
  const auto form1 = drive::WaitForWindow("Calorix", 60'000);
  const auto monitor = drive::WaitForWindow("VIA HWM", 60'000);
  if (form1 == 0 || monitor == 0 || !drive::WaitForTakeOver(monitor, 60'000)) {
    std::puts("Calorix or the monitor did not start");
    return 1;
  }
  SetCursorPos(0, 0);  // a pointer over the chart would show its cross-hair
  drive::ChooseFromTrayMenu(form1, drive::kViewChart, 5000);
  const auto chart = drive::WaitForWindow("HWM Data Chart", 5000);
  const bool drawn =
      chart != 0 && drive::WaitUntil([chart] { return drive::FindChild(chart, "1440 records") != 0; }, 10'000);
  std::puts(drawn ? "chart of a day drawn" : "the chart of a day did not come");
  options.pictures = options.chartDayPictures;
  if (drawn) Picture(options, chart, "chart-day");
  drive::CloseAll("Calorix");
  return drawn ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ReadOptions(argc, argv);
  if (!options.chartDayPictures.empty()) return PictureADay(options);
  if (!options.monitorControlFile.empty()) {
    if (!drive::StartScriptableMonitor(options.monitorControlFile, 60'000))
      std::puts("the monitor did not start");
  }
  if (!options.calorixExe.empty()) drive::Start("\"" + options.calorixExe + "\"", "");
  const auto form1 = drive::WaitForWindow("Calorix", 60'000);
  const auto monitor = drive::WaitForWindow("VIA HWM", 60'000);
  if (form1 == 0 || monitor == 0) {
    std::puts("Calorix or the monitor did not start");
    return 1;
  }
  drive::WaitUntil([monitor] { return !drive::Visible(monitor); }, 10'000);
  if (!options.alarmControlFile.empty()) {
    const WindowHandle countdown = RaiseAlarm(form1, options.alarmControlFile);
    Picture(options, countdown, "countdown");
    if (const WindowHandle cancel = drive::FindChild(countdown, "CANCEL", "Button")) drive::Click(cancel);
    std::puts(countdown != 0 ? "countdown shown and cancelled" : "the countdown did not come");
    return countdown != 0 ? 0 : 1;
  }

  if (!drive::Visible(form1)) drive::ChooseFromTrayMenu(form1, drive::kOptions, 5000);
  drive::WaitUntil([form1] { return drive::Visible(form1); }, 5000);
  drive::Move(form1, 20, 20);
  Picture(options, form1, "options");

  // Recording at ".1" writes a line every 6 seconds.
  const auto combo = drive::FindChild(form1, "5", "ComboBox");
  if (combo != 0) drive::SetComboText(combo, ".1");
  SetCheck(form1, "Record Data", true);

  drive::ChooseFromTrayMenu(form1, drive::kViewDashBoard, 5000);
  const WindowHandle dashboard = drive::WaitForWindow("DashBoard", 5000);
  // At the right edge, beside the others rather than on top of them.
  if (const auto rect = dashboard != 0 ? drive::WindowRect(dashboard) : std::nullopt) {
    const int screenWidth = calorix::platform::win32::Win32WindowManager().ScreenWidthPixels();
    drive::Move(dashboard, screenWidth - rect->Width() - 10, 60);
  }
  std::puts(dashboard != 0 ? "dashboard opened" : "dashboard did not open");
  // Its readings come with the next reading cycle.
  drive::WaitUntil(
      [dashboard] {
        for (const WindowHandle label : drive::Children(dashboard))
          if (drive::Text(label).find('\xB0') != std::string::npos) return true;
        return false;
      },
      5000);
  Picture(options, dashboard, "dashboard");

  // Two records, then the viewer.
  drive::Pause(13'000);
  drive::ChooseFromTrayMenu(form1, drive::kViewData, 5000);
  const auto viewer = drive::WaitForWindow(" HWM Data Records", 5000);
  if (viewer != 0) {
    drive::Move(viewer, 10, 10);
    const WindowHandle text = drive::FindChildOfClass(viewer, "Edit");
    drive::WaitUntil([text] { return text != 0 && !drive::Text(text).empty(); }, 10'000);
  }
  std::puts(viewer != 0 ? "data viewer opened" : "data viewer did not open");
  Picture(options, viewer, "viewer");

  // The same records as a chart.
  drive::ChooseFromTrayMenu(form1, drive::kViewChart, 5000);
  const auto chart = drive::WaitForWindow("HWM Data Chart", 5000);
  std::puts(chart != 0 ? "chart opened" : "chart did not open");
  if (chart != 0) {
    drive::Move(chart, 40, 120);
    drive::Pause(500);
    Picture(options, chart, "chart");
  }
  // The options window at the bottom right, clear of the viewer.
  if (const auto rect = drive::WindowRect(form1)) {
    calorix::platform::win32::Win32WindowManager screen;
    const int width = screen.ScreenWidthPixels(), height = screen.ScreenHeightPixels();
    drive::Move(form1, width - rect->Width() - 10, height - rect->Height() - 40 * height / 768);
  }
  drive::Pause(500);
  return 0;
}
