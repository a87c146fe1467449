// The real calorix.exe driven from outside, as a user and the shell would,
// next to the stand-in monitor installed in the Wine prefix. Only what a
// user or another program can see is checked: windows, files and the
// program's settings in the registry.
//
// The environment variable CALORIX_EXE names the program (a Windows path).
// Each test starts from no settings and no files in the current directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/win32_internal.h"
#include "recorder/chart_drawing.h"
#include "recorder/chart_window.h"
#include "tests/wine/drivers/desktop_driver.h"
#include "standin/monitor_layout.h"
#include "standin/script.h"

namespace calorix {
namespace {

namespace drive = platform::win32::driver;
using platform::WindowHandle;

constexpr char kControlFile[] = "viahm-control.txt";
constexpr int kLong = 20'000;

using drive::kMonitorExe;
using drive::kMonitorFolder;
using drive::WaitForTakeOver;
using drive::WaitUntil;

std::string ReadFile(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

int CountLines(const std::string& text) {
  int lines = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
    ++lines;
  return lines;
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(separator, from)) != std::string::npos;
       from = at + separator.size())
    parts.push_back(text.substr(from, at - from));
  parts.push_back(text.substr(from));
  return parts;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The child of `window` whose text starts with `prefix`, or 0.
WindowHandle ChildStartingWith(WindowHandle window, const std::string& prefix) {
  for (const WindowHandle child : drive::Children(window))
    if (drive::Text(child).rfind(prefix, 0) == 0) return child;
  return 0;
}

// The stand-in started by the test, scriptable through its control file in
// the current folder; true once its window is up.
bool StartScriptableMonitor() {
  return drive::StartScriptableMonitor(
      platform::win32::Win32Files().CurrentDirectory() + "\\" + kControlFile, kLong);
}

void Script(const std::string& command) {
  std::ofstream(kControlFile, std::ios::app) << command << "\n";
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* exe = std::getenv("CALORIX_EXE");
    ASSERT_NE(exe, nullptr) << "CALORIX_EXE is not set";
    calorixExe_ = exe;
    StopEverything();
    settings_.DeleteAll();
    for (const char* name : {"Calorix_Rec.txt", "Calorix_ShutDown.txt", kControlFile})
      std::remove(name);
  }
  void TearDown() override {
    drive::SetEnvironment(standin::kSlowBuildVariable, std::nullopt);
    StopEverything();
  }

  void StopEverything() {
    drive::CloseAll("ALARM SHUT DOWN!");
    drive::CloseAll("Calorix");
    drive::CloseAll("VIA HWM");
    drive::WaitForWindowGone("Calorix", 5000);
    drive::WaitForWindowGone("VIA HWM", 5000);
  }

  void Set(const char* key, const char* value, const char* section = "Startup") {
    settings_.Write(section, key, value);
  }
  std::optional<std::string> Setting(const char* key, const char* section = "Startup") {
    return settings_.Read(section, key);
  }
  // A returning user: no first-run options window, no recorder question.
  void ReturningUser() { drive::SetReturningUser(settings_); }

  // Starts Calorix and waits until it has taken the monitor over.
  WindowHandle StartCalorix() {
    EXPECT_TRUE(drive::Start("\"" + calorixExe_ + "\"", ""));
    const WindowHandle form1 = drive::WaitForWindow("Calorix", kLong);
    EXPECT_NE(form1, 0);
    const WindowHandle monitor = drive::WaitForWindow("VIA HWM", kLong);
    EXPECT_NE(monitor, 0);
    EXPECT_TRUE(WaitForTakeOver(monitor, kLong)) << "the monitor was not taken over";
    return form1;
  }

  std::string calorixExe_;
  platform::win32::Win32SettingsBackend settings_;
};

TEST_F(EndToEnd, FirstRunShowsTheOptionsAndTakesTheMonitorOver) {
  ASSERT_TRUE(drive::Start("\"" + calorixExe_ + "\"", ""));
  const WindowHandle monitor = drive::WaitForWindow("VIA HWM", kLong);
  ASSERT_NE(monitor, 0);
  const WindowHandle form1 = drive::WaitForWindow("Calorix", kLong);
  ASSERT_NE(form1, 0);
  ASSERT_TRUE(WaitForTakeOver(monitor, kLong));
  // The options window comes up at the very end of the start.
  EXPECT_TRUE(drive::WaitForVisible(form1, true, 5000));

  EXPECT_EQ(Setting("Version"), "44");
  EXPECT_TRUE(drive::Visible(form1));
  for (const char* caption :
       {"Shut Down PC on Alarm", "HWM Data", "Tray Icon", "CPU Fan Low", "CPU Over Heat",
        "System Fan Low", "System Over Heat ", "Voltage Abnormal", "Force Shutdown",
        "Fast Shutdown", "Test", "Skip Msg on Load", "Alarm Buzzer Sound", "Record Data",
        "Recorder Reminder", "Edit", "F\xB0", "CPU Temp", "System Temp", "CPU && System Temp",
        "VIA Logo", "Hide HWM on Load", "DashBoard on Load", "Save Window Positions"})
    EXPECT_NE(drive::FindChild(form1, caption), 0) << caption;
  EXPECT_TRUE(drive::Checked(drive::FindChild(form1, "Alarm Buzzer Sound")));
  EXPECT_TRUE(drive::Checked(drive::FindChild(form1, "CPU Temp")));

  // The monitor's system menu lost one item (the third from its end), as
  // the monitor itself tells, where the system lets another program change
  // that menu at all (Wine does not: its menu stays as it was).
  const auto menu = drive::AskRegistered(monitor, standin::kSystemMenuMessage);
  ASSERT_TRUE(menu);
  const long long items = *menu & 0xFF;
  const long long itemsAtStart = (*menu >> 8) & 0xFF;
  if (drive::CanReadSystemMenu(monitor)) {
    EXPECT_EQ(items, itemsAtStart - 1);
  } else {
    std::printf("note: this system does not let one program change another's system menu "
                "(%lld items, %lld at the start)\n", items, itemsAtStart);
    EXPECT_EQ(items, itemsAtStart);
  }
  EXPECT_NE(*menu & standin::kSystemMenuHasClose, 0) << "only the third item from the end goes";

  // The monitor: its Close button hidden, the window 10 by 60 smaller, hidden.
  const WindowHandle close = drive::FindChild(monitor, "&Close", "Button");
  ASSERT_NE(close, 0);
  EXPECT_FALSE(drive::Visible(close));
  const auto adjusted = drive::WindowRect(monitor);
  ASSERT_TRUE(adjusted);
  EXPECT_EQ(adjusted->Width(), standin::kMainWidth - 10);
  EXPECT_EQ(adjusted->Height(), standin::kMainHeight - 60);
  EXPECT_FALSE(drive::Visible(monitor));
}

TEST_F(EndToEnd, TrayClicksToggleTheMonitorAndTheDashboardShowsTheReadings) {
  ReturningUser();
  const WindowHandle form1 = StartCalorix();
  const WindowHandle monitor = drive::FindTopLevel("VIA HWM");
  drive::PostTrayEvent(form1, 0x202);
  EXPECT_TRUE(drive::WaitForVisible(monitor, true, 5000));
  drive::PostTrayEvent(form1, 0x202);
  EXPECT_TRUE(drive::WaitForVisible(monitor, false, 5000));

  ASSERT_TRUE(drive::ChooseFromTrayMenu(form1, drive::kViewDashBoard, 5000));
  const WindowHandle dashboard = drive::WaitForWindow("DashBoard", 5000);
  ASSERT_NE(dashboard, 0);
  EXPECT_EQ(drive::Text(dashboard), "DashBoard");
  // The next reading cycle fills the value labels.
  const auto degrees = [dashboard] {
    int count = 0;
    for (const WindowHandle label : drive::Children(dashboard)) {
      const std::string text = drive::Text(label);
      if (!text.empty() && text.back() == '\xB0') ++count;
    }
    return count;
  };
  EXPECT_TRUE(WaitUntil([&] { return degrees() == 2; }, 10'000)) << degrees();

  // Every label is one of the eight row captions, each shown once, or a value.
  const std::vector<std::string> rows = {"Case Temp", "CPU Temp", "System Fan", "CPU Fan",
                                         "+12v",      "+5v",      "+3.3v",      "Vcore"};
  std::vector<int> seen(rows.size(), 0);
  const std::vector<WindowHandle> labels = drive::Children(dashboard);
  EXPECT_EQ(labels.size(), 16u);
  for (const WindowHandle label : labels) {
    const std::string text = drive::Text(label);
    const auto row = std::find(rows.begin(), rows.end(), text);
    if (row != rows.end()) {
      ++seen[row - rows.begin()];
      continue;
    }
    const std::string value = Trimmed(text);
    EXPECT_TRUE(!value.empty() && value.front() >= '0' && value.front() <= '9')
        << "neither a row caption nor a reading: [" << text << "]";
  }
  for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(seen[i], 1) << rows[i];
  drive::CloseAll("DashBoard");
  ASSERT_TRUE(drive::WaitForWindowGone("DashBoard", 5000));
  EXPECT_TRUE(Setting("DBLeft").has_value());
  EXPECT_TRUE(Setting("DBTop").has_value());
}

TEST_F(EndToEnd, RecordingWritesLinesThatTheViewerShows) {
  ReturningUser();
  const WindowHandle form1 = StartCalorix();
  // As the user would: the shortest interval typed in, then "Record Data".
  const WindowHandle interval = drive::FindChildOfClass(form1, "ComboBox");
  ASSERT_NE(interval, 0);
  // Both are posted, so the box holds ".1" before the click is handled.
  drive::SetComboText(interval, ".1");
  drive::Click(drive::FindChild(form1, "Record Data", "Button"));
  const auto lines = [] { return CountLines(ReadFile("Calorix_Rec.txt")); };
  ASSERT_TRUE(WaitUntil([&] { return lines() >= 1; }, kLong));
  const long long first = NowMs();
  ASSERT_TRUE(WaitUntil([&] { return lines() >= 2; }, kLong));
  // ".1" minutes: two recorder steps of three seconds apart.
  EXPECT_GE(NowMs() - first, 5000);
  EXPECT_EQ(Setting("Record"), "1");
  const std::string records = ReadFile("Calorix_Rec.txt");

  ASSERT_TRUE(drive::ChooseFromTrayMenu(form1, drive::kViewData, 5000));
  // The viewer is loaded hidden at the start: wait for it shown and filled.
  const WindowHandle viewer = drive::WaitForWindow(" HWM Data Records", 5000);
  ASSERT_NE(viewer, 0);
  EXPECT_TRUE(drive::WaitForVisible(viewer, true, 5000));
  EXPECT_TRUE(WaitUntil(
      [&] {
        const WindowHandle text = drive::FindChildOfClass(viewer, "Edit");
        return text != 0 && drive::Text(text).find(records.substr(0, 20)) != std::string::npos;
      },
      5000));

  // The title and the two column headings, exactly as the user reads them.
  EXPECT_EQ(drive::Text(viewer), " HWM Data Records");
  EXPECT_NE(drive::FindChild(viewer, "   Date            CPU   CPU   Sys   Sys"), 0);
  EXPECT_NE(drive::FindChild(
                viewer, "D / M / Y   Time   Temp  Fan   Temp  Fan   Vcore  3.3v    5v    12v"),
            0);

  // The user minimises the viewer and goes on typing in another program;
  // the next record brings the viewer back without taking the keyboard.
  const WindowHandle text = drive::FindChildOfClass(viewer, "Edit");
  ASSERT_NE(text, 0);
  // Just after a refresh, so that all this is done before the next one.
  const int firstShown = CountLines(drive::Text(text));
  ASSERT_TRUE(WaitUntil([&] { return CountLines(drive::Text(text)) > firstShown; }, kLong));
  drive::Minimize(viewer);
  ASSERT_TRUE(WaitUntil([&] { return drive::Minimized(viewer); }, 5000));
  const WindowHandle editor = drive::OpenForegroundWindow("Calorix test - typing here");
  ASSERT_NE(editor, 0);
  ASSERT_TRUE(WaitUntil([&] { return drive::ForegroundWindow() == editor; }, 5000));
  const int shownLines = CountLines(drive::Text(text));
  ASSERT_TRUE(drive::Minimized(viewer));
  ASSERT_TRUE(WaitUntil(
      [&] { return !drive::Minimized(viewer) && CountLines(drive::Text(text)) > shownLines; },
      kLong));
  EXPECT_EQ(drive::ForegroundWindow(), editor);
  EXPECT_TRUE(drive::Visible(viewer));

  // Each record is one row under the headings: the box scrolls sideways
  // rather than wrap it (the last row is the empty one after the final
  // line break).
  const std::string shown = drive::Text(text);
  EXPECT_EQ(drive::EditRowCount(text), CountLines(shown) + 1) << shown;
  // Read from their start, under the headings, though a row is wider than the box.
  EXPECT_EQ(drive::FirstVisibleColumn(text), 0);

  drive::CloseAll("Calorix test - typing here");
  EXPECT_TRUE(drive::WaitForWindowGone("Calorix test - typing here", 5000));
}

// The rows of a screen pixel column, from `top` to `bottom`, in `colour`.
std::vector<int> RowsInColour(int x, int top, int bottom, COLORREF colour) {
  std::vector<int> rows;
  HDC screen = GetDC(nullptr);
  for (int y = top; y < bottom; ++y)
    if (GetPixel(screen, x, y) == colour) rows.push_back(y);
  ReleaseDC(nullptr, screen);
  return rows;
}

// What the clipboard holds: its text, and the size and pixels of its
// picture (a 24-bit DIB, as the chart copies it).
struct Clipboard {
  std::string text;
  int width = 0, height = 0;
  std::vector<unsigned char> pixels;  // bottom-up rows of blue, green, red, padded to 4 bytes
  bool HasColour(int red, int green, int blue) const {
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    for (std::size_t row = 0; row + stride <= pixels.size(); row += stride)
      for (std::size_t at = row; at + 3 <= row + static_cast<std::size_t>(width) * 3; at += 3)
        if (pixels[at] == blue && pixels[at + 1] == green && pixels[at + 2] == red) return true;
    return false;
  }
};

std::optional<Clipboard> ReadClipboard() {
  // The program that copied may still hold it open for a moment.
  if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 5000)) return std::nullopt;
  Clipboard held;
  if (HANDLE text = GetClipboardData(CF_TEXT)) {
    if (const auto* chars = static_cast<const char*>(GlobalLock(text))) {
      held.text = chars;
      GlobalUnlock(text);
    }
  }
  if (HANDLE dib = GetClipboardData(CF_DIB)) {
    if (const auto* info = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib))) {
      held.width = info->biWidth;
      held.height = std::abs(info->biHeight);
      if (info->biBitCount == 24) {
        const auto* bits = reinterpret_cast<const unsigned char*>(info) + info->biSize;
        held.pixels.assign(bits, bits + ((held.width * 3 + 3) & ~3) * held.height);
      }
      GlobalUnlock(dib);
    }
  }
  CloseClipboard();
  return held;
}

// Two hours of records of a CPU at a steady 45 degrees, from 08:00 on 8
// December 2026; the case temperature, drawn over it, is left out.
std::string SteadyRecords() {
  std::string records;
  char line[96];
  for (int minute = 0; minute < 120; ++minute) {
    std::snprintf(line, sizeof line, "08/12/26 %02d:%02d, 45 , 4500, , 3200, 1.52, 3.31, 5.02,  12.16 \r\n",
                  8 + minute / 60, minute % 60);
    records += line;
  }
  return records;
}

TEST_F(EndToEnd, TheChartDrawsReadsOutZoomsFollowsTheRecorderAndCopies) {
  ReturningUser();
  const std::string records = SteadyRecords();
  std::ofstream("Calorix_Rec.txt", std::ios::binary) << records;
  const WindowHandle form1 = StartCalorix();
  SetCursorPos(0, 0);  // not over the chart: hovering is tried below
  const long long clicked = NowMs();
  ASSERT_TRUE(drive::ChooseFromTrayMenu(form1, drive::kViewChart, 5000));
  const WindowHandle chart = drive::WaitForWindow("HWM Data Chart", 5000);
  ASSERT_NE(chart, 0);
  ASSERT_TRUE(WaitUntil([&] { return drive::FindChild(chart, "120 records") != 0; }, 5000)) << [&] {
    std::string texts;
    for (const WindowHandle child : drive::Children(chart)) texts += "[" + drive::Text(child) + "]";
    return texts;
  }();
  std::printf("note: the chart showed its 120 records %lld ms after the menu click\n", NowMs() - clicked);
  const WindowHandle status = drive::FindChild(chart, "120 records");

  // The steady line sits halfway down the upper panel, as laid out for the
  // canvas's size at the display's scale.
  const WindowHandle canvas = drive::FindChildOfClass(chart, "CalorixCanvas");
  ASSERT_NE(canvas, 0);
  const auto area = drive::ClientRectOnScreen(canvas);
  ASSERT_TRUE(area);
  recorder::ShownSeries shown{};
  shown.fill(false);
  shown[0] = shown[1] = shown[2] = shown[3] = true;
  const double scale = drive::SystemDpi() / 96.0;
  const ui::PixelRect plot = recorder::LayOutChart(area->Width(), area->Height(), scale, shown).front().plot;
  const int row = plot.top + plot.Height() / 2;
  const auto [red, green, blue] = recorder::kSeriesColours[0];
  const COLORREF cpuTemp = RGB(red, green, blue);
  const int middle = plot.left + plot.Width() / 2;
  // A wider pen (2 pixels at 144 dpi) covers the rows above too.
  const int penWidth = std::max(1, static_cast<int>(std::lround(scale)));
  EXPECT_TRUE(WaitUntil(
      [&] {
        const auto rows = RowsInColour(area->left + middle, area->top + plot.top, area->top + plot.bottom, cpuTemp);
        return static_cast<int>(rows.size()) == penWidth && rows.back() == area->top + row;
      },
      5000))
      << "expected at row " << row << " of the canvas, found at " << [&] {
           std::string found;
           for (const int y : RowsInColour(area->left + middle, area->top, area->bottom, cpuTemp))
             found += std::to_string(y - area->top) + " ";
           HDC screen = GetDC(nullptr);
           found += "; the pixel there: " + std::to_string(GetPixel(screen, area->left + middle, area->top + row));
           ReleaseDC(nullptr, screen);
           return found;
         }();

  // Hovering reads the nearest record out as the file has it.
  const auto hover = [&](int x) {
    PostMessageA(platform::win32::ToHwnd(canvas), WM_MOUSEMOVE, 0, MAKELPARAM(x, row));
    drive::Pause(50);
    std::string line;
    WaitUntil([&] { return (line = drive::Text(status)).rfind("08/12/26 ", 0) == 0; }, 5000);
    return line;
  };
  const int nearLeft = plot.left + plot.Width() / 20;
  const std::string farLine = hover(nearLeft);
  EXPECT_NE(records.find(farLine + "\r\n"), std::string::npos) << farLine;
  // The wheel, turned while a button has the focus, zooms the canvas under
  // the pointer: the same column then shows a record nearer the middle.
  const WindowHandle all = drive::FindChild(chart, "All", "Button");
  ASSERT_NE(all, 0);
  PostMessageA(platform::win32::ToHwnd(all), WM_MOUSEWHEEL, MAKEWPARAM(0, 5 * WHEEL_DELTA),
               MAKELPARAM(area->left + middle, area->top + row));
  EXPECT_TRUE(WaitUntil([&] { return hover(nearLeft) != farLine; }, 5000)) << "the wheel did not zoom";
  EXPECT_NE(records.find(hover(nearLeft) + "\r\n"), std::string::npos);

  // Recording: each new record appears.
  drive::Click(all);
  drive::SetComboText(drive::FindChildOfClass(form1, "ComboBox"), ".1");
  drive::Click(drive::FindChild(form1, "Record Data", "Button"));
  PostMessageA(platform::win32::ToHwnd(canvas), WM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return drive::Text(status) == "121 records"; }, kLong)) << drive::Text(status);

  // "Copy": the chart as a picture of the canvas's size, and the records in
  // view (all of them) as the file has them.
  drive::Click(drive::FindChild(chart, "Copy", "Button"));
  ASSERT_TRUE(WaitUntil([&] { return drive::Text(status).rfind("Copied the chart and ", 0) == 0; }, 5000))
      << drive::Text(status);
  const int copied = std::atoi(drive::Text(status).c_str() + std::strlen("Copied the chart and "));
  EXPECT_GE(copied, 121);
  const auto clipboard = ReadClipboard();
  ASSERT_TRUE(clipboard);
  const std::string file = ReadFile("Calorix_Rec.txt");
  EXPECT_EQ(CountLines(clipboard->text), copied);
  EXPECT_EQ(file.substr(0, clipboard->text.size()), clipboard->text);
  EXPECT_EQ(clipboard->width, area->Width());
  EXPECT_EQ(clipboard->height, area->Height());
  EXPECT_TRUE(clipboard->HasColour(red, green, blue)) << "no CPU temperature line in the picture";

  drive::CloseAll("HWM Data Chart");
  EXPECT_TRUE(drive::WaitForWindowGone("HWM Data Chart", 5000));
  EXPECT_TRUE(Setting("ChartWidth").has_value());
}

// A monitor that shows its titled window at once and builds its controls
// over the next two seconds, started by Calorix itself: the take-over waits
// for the controls, so the Close button is hidden and every record line has
// all its readings.
TEST_F(EndToEnd, ASlowlyBuiltMonitorIsTakenOverWholeAndRecordedInFull) {
  ReturningUser();
  Set("Record", "1");
  Set("RecDelay", ".1");
  // Calorix starts the monitor without arguments: it inherits the variable.
  drive::SetEnvironment(standin::kSlowBuildVariable, "2");
  ASSERT_TRUE(drive::Start("\"" + calorixExe_ + "\"", ""));
  const WindowHandle monitor = drive::WaitForWindow("VIA HWM", kLong);
  drive::SetEnvironment(standin::kSlowBuildVariable, std::nullopt);
  ASSERT_NE(monitor, 0);
  // The monitor Calorix started did get the variable.
  EXPECT_EQ(drive::AskRegistered(monitor, standin::kSlowBuildMessage), 2000);
  ASSERT_TRUE(WaitForTakeOver(monitor, kLong)) << "the monitor's Close button was not hidden";
  const auto adjusted = drive::WindowRect(monitor);
  ASSERT_TRUE(adjusted);
  EXPECT_EQ(adjusted->Width(), standin::kMainWidth - 10);
  EXPECT_EQ(adjusted->Height(), standin::kMainHeight - 60);

  ASSERT_TRUE(WaitUntil([] { return CountLines(ReadFile("Calorix_Rec.txt")) >= 3; }, kLong));
  const std::string records = ReadFile("Calorix_Rec.txt");
  for (const std::string& line : Split(records.substr(0, records.rfind("\r\n")), "\r\n")) {
    const std::vector<std::string> fields = Split(line, ", ");
    ASSERT_EQ(fields.size(), 9u) << line;
    for (std::size_t field = 1; field < fields.size(); ++field)
      EXPECT_NE(Trimmed(fields[field]), "") << "field " << field + 1 << " of [" << line << "]";
  }
}

// The monitor is not DPI-aware: it lays its window out in 96-dpi pixels and
// Windows maps them at any other display scale. This program is not
// DPI-aware either, so it reads the monitor's own pixels, and the take-over
// must land on the same numbers at every scale (the suite runs at 96 and at
// 144 dpi; CALORIX_E2E_DPI names the scale a run expects). Wine 8 starts
// every program per-monitor DPI-aware, the monitor included, so there no
// mapping takes place between the two programs: this check passes under
// Wine with or without Calorix's switch of its thread to the monitor's DPI
// context. The simulated desktop's tests at four DPIs, which map as Windows
// does, are the only guard of that switch; keep them.
TEST_F(EndToEnd, TheMonitorIsTakenOverInItsOwnPixelsAtTheDisplayScale) {
  if (const char* expected = std::getenv("CALORIX_E2E_DPI"); expected != nullptr && *expected != 0) {
    ASSERT_EQ(drive::SystemDpi(), std::atoi(expected)) << "the prefix runs at another scale";
  }
  ReturningUser();
  ASSERT_TRUE(StartScriptableMonitor());
  const WindowHandle monitor = drive::FindTopLevel("VIA HWM");
  const auto before = drive::WindowRect(monitor);
  ASSERT_TRUE(before);
  StartCalorix();

  const auto after = drive::WindowRect(monitor);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->left, before->left);
  EXPECT_EQ(after->top, before->top);
  EXPECT_EQ(after->Width(), before->Width() - 10);
  EXPECT_EQ(after->Height(), before->Height() - 60);
  EXPECT_FALSE(drive::Visible(drive::FindChild(monitor, "&Close", "Button")));
  // "&Minimize" went to 390, 200 first; the shift that follows moves every
  // control by its offset from the window's outer corner less 10 and 80.
  const auto client = drive::ClientRectOnScreen(monitor);
  ASSERT_TRUE(client);
  const int frameX = client->left - after->left, frameY = client->top - after->top;
  EXPECT_EQ(drive::RectInParent(drive::FindChild(monitor, "&Minimize", "Button")),
            (platform::Rect{390 + frameX - 10, 200 + frameY - 80, 390 + frameX - 10 + 112,
                            200 + frameY - 80 + 38}));
  EXPECT_EQ(drive::RectInParent(ChildStartingWith(monitor, "VIA Hardware Monitor System ")),
            (platform::Rect{314, 188, 314 + 180, 188 + 16}));
}

TEST_F(EndToEnd, AnEnabledAlarmLogsClosesTheMonitorAndCountsDownUntilCancel) {
  ReturningUser();
  Set("Temp", "1");
  Set("AlrmBuzz", "0");
  ASSERT_TRUE(StartScriptableMonitor());
  StartCalorix();
  Script("alarm open CPU Tempture Alarm !");
  const WindowHandle dialog = drive::WaitForWindow("ALARM SHUT DOWN!", kLong);
  ASSERT_NE(dialog, 0);
  // The reason and the countdown are put in once the dialog is up; the
  // countdown then runs five seconds, so look and press CANCEL at once.
  const std::string countdownStart = "This PC will shut down in ";
  WindowHandle reason = 0;
  WindowHandle countdown = 0;
  EXPECT_TRUE(WaitUntil(
      [&] {
        reason = drive::FindChild(dialog, "CPU Temp Alarm !");
        countdown = ChildStartingWith(dialog, countdownStart);
        return reason != 0 && countdown != 0;
      },
      3000));
  const WindowHandle cancel = drive::FindChild(dialog, "CANCEL", "Button");
  const std::string title = drive::Text(dialog);
  const std::string counted = countdown != 0 ? drive::Text(countdown) : "";
  drive::Click(cancel);
  EXPECT_NE(cancel, 0);
  EXPECT_EQ(title, "ALARM SHUT DOWN!");
  bool countdownMatches = false;
  for (const char* seconds : {"5", "4", "3", "2", "1"})
    countdownMatches |= counted == countdownStart + seconds +
                                       " seconds!\r\n\r\nPRESS CANCEL NOW TO ABORT!!!";
  EXPECT_TRUE(countdownMatches) << "[" << counted << "]";
  EXPECT_NE(reason, 0);
  // The reason, the countdown and the button: nothing else is shown.
  EXPECT_EQ(drive::Children(dialog).size(), 3u);

  EXPECT_TRUE(drive::WaitForWindowGone("Calorix", 10'000));
  EXPECT_TRUE(drive::WaitForWindowGone("VIA HWM", 5000));
  const std::string log = ReadFile("Calorix_ShutDown.txt");
  EXPECT_EQ(log.substr(0, 3), "\r\n<");
  EXPECT_NE(log.find("> Shuting down on CPU Temp Alarm !\r\nCPU="), std::string::npos) << log;
  const std::string after = ReadFile("Calorix_ShutDown.txt");
  EXPECT_EQ(after.substr(after.size() - 30), "PC Shutdown aborted by user.\r\n");
  EXPECT_FALSE(Setting("Alarm").value_or("").size());
}

TEST_F(EndToEnd, ASecondCopySaysSoAndLeavesTheFirstAlone) {
  ReturningUser();
  const WindowHandle form1 = StartCalorix();
  const std::uint32_t second = drive::StartProcess("\"" + calorixExe_ + "\"", "");
  ASSERT_NE(second, 0u);
  const auto text = drive::MessageBoxText("Calorix", kLong);
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, "A copy of Calorix is already loaded!");
  EXPECT_TRUE(drive::AnswerMessageBox("Calorix", 1, 5000));
  EXPECT_TRUE(WaitUntil([second] { return !drive::Running(second); }, kLong));
  EXPECT_EQ(drive::FindTopLevel("Calorix"), form1);
  EXPECT_NE(drive::FindTopLevel("VIA HWM"), 0);
}

TEST_F(EndToEnd, CloseHwmEndsTheProgramAndTheMonitorAndSavesTheInterval) {
  ReturningUser();
  Set("RecDelay", "7");
  const WindowHandle form1 = StartCalorix();
  ASSERT_TRUE(drive::ChooseFromTrayMenu(form1, drive::kCloseHwm, 5000));
  EXPECT_TRUE(drive::WaitForWindowGone("Calorix", 10'000));
  EXPECT_TRUE(drive::WaitForWindowGone("VIA HWM", 10'000));
  EXPECT_EQ(Setting("RecDelay"), "7");
}

// The working folder named with letters outside the ANSI code page, as a
// Documents folder is for a user called Łukasz on an English Windows: every
// command that reaches a file by its path works there. The script runs this
// in such a folder; the test first makes sure of it.
class FolderOutsideTheCodePage : public EndToEnd {
 protected:
  // The options window's button with this caption in the alarm frame (on
  // the left) or in the data frame (on the right).
  static WindowHandle Button(WindowHandle form1, const std::string& caption, bool dataFrame) {
    WindowHandle found = 0;
    int foundLeft = 0;
    for (const WindowHandle child : drive::Children(form1)) {
      const auto rect = drive::RectInParent(child);
      if (drive::Text(child) != caption || !rect) continue;
      if (found == 0 || (dataFrame ? rect->left > foundLeft : rect->left < foundLeft)) {
        found = child;
        foundLeft = rect->left;
      }
    }
    return found;
  }
  // Notepad showing `file`, once its text holds `expected`.
  static bool EditorShows(const std::string& file, const std::string& expected) {
    return WaitUntil(
        [&] {
          const WindowHandle editor = drive::FindTopLevel(file + " - Notepad");
          const WindowHandle text = editor != 0 ? drive::FindChildOfClass(editor, "Edit") : 0;
          return text != 0 && drive::Text(text).find(expected) != std::string::npos;
        },
        kLong);
  }
};

TEST_F(FolderOutsideTheCodePage, RecordsTheLogAndEveryFileCommandWork) {
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  BOOL lossy = FALSE;
  WideCharToMultiByte(CP_ACP, 0, folder, -1, nullptr, 0, nullptr, &lossy);
  ASSERT_TRUE(lossy) << "the working folder's name fits the ANSI code page";

  ReturningUser();
  Set("Temp", "1");
  Set("AlrmBuzz", "0");
  // The monitor's script lies outside this folder: the stand-in reads its
  // command line in the ANSI code page.
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::string control = platform::win32::Utf8(temp) + "calorix-unicode-control.txt";
  std::remove(control.c_str());
  ASSERT_TRUE(drive::StartScriptableMonitor(control, kLong));
  WindowHandle form1 = StartCalorix();

  // Recording, and the viewer.
  drive::SetComboText(drive::FindChildOfClass(form1, "ComboBox"), ".1");
  drive::Click(drive::FindChild(form1, "Record Data", "Button"));
  ASSERT_TRUE(WaitUntil([] { return CountLines(ReadFile("Calorix_Rec.txt")) >= 1; }, kLong));
  const std::string firstRecord = ReadFile("Calorix_Rec.txt").substr(0, 20);
  ASSERT_TRUE(drive::ChooseFromTrayMenu(form1, drive::kViewData, 5000));
  const WindowHandle viewer = drive::WaitForWindow(" HWM Data Records", 5000);
  ASSERT_NE(viewer, 0);
  EXPECT_TRUE(WaitUntil(
      [&] {
        const WindowHandle text = drive::FindChildOfClass(viewer, "Edit");
        return text != 0 && drive::Text(text).find(firstRecord) != std::string::npos;
      },
      5000));

  // "Edit" opens the record file by its full path.
  drive::Click(Button(form1, "Edit", true));
  EXPECT_TRUE(EditorShows("Calorix_Rec.txt", firstRecord));
  drive::CloseAll("Calorix_Rec.txt - Notepad");

  // An alarm writes the log here.
  std::ofstream(control, std::ios::app) << "alarm open CPU Tempture Alarm !\n";
  const WindowHandle dialog = drive::WaitForWindow("ALARM SHUT DOWN!", kLong);
  ASSERT_NE(dialog, 0);
  drive::Click(drive::FindChild(dialog, "CANCEL", "Button"));
  ASSERT_TRUE(drive::WaitForWindowGone("Calorix", 10'000));
  // The monitor closes after Calorix: a Calorix started while its window is
  // still there would take over a window about to go.
  ASSERT_TRUE(drive::WaitForWindowGone("VIA HWM", kLong));
  EXPECT_NE(ReadFile("Calorix_ShutDown.txt").find("> Shuting down on CPU Temp Alarm !"),
            std::string::npos);

  // The log's "View" and "Clear", then the records' "Clear".
  form1 = StartCalorix();
  drive::Click(Button(form1, "View", false));
  EXPECT_TRUE(EditorShows("Calorix_ShutDown.txt", "Shuting down on CPU Temp Alarm !"));
  drive::Click(Button(form1, "Clear", false));
  EXPECT_TRUE(drive::AnswerMessageBox("Calorix", IDYES, 5000));
  EXPECT_TRUE(WaitUntil([] { return !std::ifstream("Calorix_ShutDown.txt"); }, 5000));
  EXPECT_TRUE(drive::WaitForWindowGone("Calorix_ShutDown.txt - Notepad", 5000));
  drive::Click(Button(form1, "Clear", true));
  EXPECT_TRUE(drive::AnswerMessageBox("Calorix", IDYES, 5000));
  EXPECT_TRUE(WaitUntil([] { return !std::ifstream("Calorix_Rec.txt"); }, 5000));
  std::remove(control.c_str());
}

// The power-off path ends the whole Wine session of the prefix, this test
// program included; the script runs Trigger, then Verify in a new session.
TEST(PowerOff, Trigger) {
  platform::win32::Win32SettingsBackend settings;
  drive::SetReturningUser(settings);
  settings.Write("Startup", "Temp", "1");
  settings.Write("Startup", "FastSD", "1");
  settings.Write("Startup", "AlrmBuzz", "0");
  ASSERT_TRUE(StartScriptableMonitor());
  ASSERT_TRUE(drive::Start("\"" + std::string(std::getenv("CALORIX_EXE")) + "\"", ""));
  ASSERT_NE(drive::WaitForWindow("Calorix", kLong), 0);
  ASSERT_TRUE(WaitForTakeOver(drive::FindTopLevel("VIA HWM"), kLong));
  Script("alarm open CPU       Tempture Alarm !");
  // A program without windows outlives the session's end under Wine, so
  // this waits for Calorix to go rather than for its own end.
  drive::WaitForWindowGone("Calorix", 30'000);
}

TEST(PowerOff, Verify) {
  platform::win32::Win32SettingsBackend settings;
  EXPECT_EQ(settings.Read("Startup", "Alarm"), "CPU Temp Alarm !");
  EXPECT_NE(ReadFile("Calorix_ShutDown.txt").find("Shuting down on CPU Temp Alarm !"),
            std::string::npos);
  EXPECT_EQ(drive::FindTopLevel("Calorix"), 0);
}

}  // namespace
}  // namespace calorix

namespace calorix {
namespace {

namespace drive = platform::win32::driver;

// Logging off ends the session: the exit sequence must run in full. Trigger
// and Verify run as separate programs, as the session may take the first.
TEST(LogOff, Trigger) {
  platform::win32::Win32SettingsBackend settings;
  drive::SetReturningUser(settings);
  settings.Write("Startup", "RecDelay", "3");
  ASSERT_TRUE(drive::Start("\"" + std::string(std::getenv("CALORIX_EXE")) + "\"", ""));
  ASSERT_NE(drive::WaitForWindow("Calorix", kLong), 0);
  const WindowHandle monitor = drive::WaitForWindow("VIA HWM", kLong);
  ASSERT_NE(monitor, 0);
  // The start has read "RecDelay" once the monitor is taken over.
  ASSERT_TRUE(WaitForTakeOver(monitor, kLong));
  // Only the exit sequence writes this back from the interval box.
  settings.Write("Startup", "RecDelay", "99");
  ASSERT_TRUE(drive::Start("wineboot.exe --end-session", ""));
  drive::Pause(5000);
}

TEST(LogOff, Verify) {
  platform::win32::Win32SettingsBackend settings;
  EXPECT_EQ(settings.Read("Startup", "RecDelay"), "3");
  EXPECT_EQ(drive::FindTopLevel("Calorix"), 0);
  EXPECT_EQ(drive::FindTopLevel("VIA HWM"), 0);
}

}  // namespace
}  // namespace calorix
