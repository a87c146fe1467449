// The monitor reading spine against the real stand-in monitor, installed in
// the Wine prefix the way its installer would: found through its uninstall
// entry, launched, waited for and read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/leading_number.h"
#include "monitor/monitor_locator.h"
#include "monitor/monitor_text_table.h"
#include "monitor/text_scraper.h"
#include "tests/wine/drivers/desktop_driver.h"
#include "platform/win32/win32_platform.h"
#include "standin/monitor_layout.h"
#include "standin/script.h"

namespace calorix {
namespace {

using platform::WindowHandle;
namespace drive = platform::win32::driver;

using drive::kMonitorExe;
using drive::kMonitorFolder;

// Message boxes would block an unattended run: record them instead.
class RecordingDialogs final : public platform::Dialogs {
 public:
  platform::MessageAnswer ShowMessage(const platform::MessageBoxRequest& request) override {
    shown.push_back(request.text);
    return platform::MessageAnswer::Ok;
  }
  std::vector<std::string> shown;
};

class MonitorUnderWine : public ::testing::Test {
 protected:
  MonitorUnderWine()
      : real_({.settingsRoot = "Software\\CalorixWineTest",
               .instanceMutexName = "Local\\CalorixWineTest"}),
        platform_{real_.Get().windows, real_.Get().shell,  real_.Get().registry,
                  real_.Get().settings, real_.Get().files, real_.Get().clock,
                  real_.Get().locale,   dialogs_,          real_.Get().system,
                  real_.Get().process} {}

  void TearDown() override {
    const WindowHandle window = monitor::FindMonitorWindow(platform_.windows);
    if (window == 0) return;
    platform_.windows.PostCloseRequest(window);
    const auto start = platform_.clock.MonotonicMs();
    while (monitor::FindMonitorWindow(platform_.windows) != 0 &&
           platform_.clock.MonotonicMs() - start < 10'000)
      platform_.process.WaitForEvents(50);
  }

  int CountDescendants(WindowHandle window) {
    int count = 0;
    platform_.windows.EnumerateDescendants(window, [&count](WindowHandle) {
      ++count;
      return true;
    });
    return count;
  }

  RecordingDialogs dialogs_;
  platform::win32::Win32Platform real_;
  platform::Platform platform_;
};

TEST_F(MonitorUnderWine, FindsLaunchesWaitsForAndReadsTheInstalledMonitor) {
  ASSERT_EQ(monitor::FindMonitorWindow(platform_.windows), 0) << "the monitor already runs";

  const std::string folder = monitor::GetPath(platform_);
  EXPECT_EQ(folder, std::string(kMonitorFolder) + "\\");
  EXPECT_TRUE(dialogs_.shown.empty());

  const auto outcome = monitor::LaunchAndWait(platform_, 0, folder);
  ASSERT_EQ(outcome.result, monitor::LaunchOutcome::Result::kFound);
  ASSERT_NE(outcome.window, 0);

  monitor::MonitorTextTable table;
  monitor::ScrapeMonitorTexts(platform_.windows, table, outcome.window);
  ASSERT_EQ(table.Counter(), 42);
  for (int slot = 0; slot < 42; ++slot) {
    const standin::ControlSpec& control = standin::kControls[slot];
    if (control.reading == standin::Reading::None) {
      EXPECT_EQ(table.Slot(slot), control.text) << "slot " << slot;
    }
  }
  // The monitor runs in its install folder (its hidden last control says where).
  std::string startedIn;
  platform_.windows.EnumerateDescendants(outcome.window, [&](WindowHandle child) {
    startedIn = platform_.windows.WindowText(child, 255);
    return true;
  });
  EXPECT_EQ(startedIn + "\\", folder);

  // The readings drift, so check their form rather than their values.
  for (const int slot : {monitor::slots::kCpuTemp, monitor::slots::kSysTemp}) {
    const int celsius = monitor::ParseLeadingWholeNumber(table.Slot(slot));
    EXPECT_GT(celsius, 10) << table.Slot(slot);
    EXPECT_LT(celsius, 100) << table.Slot(slot);
  }
  for (const int slot : {monitor::slots::kCpuFan, monitor::slots::kSysFan})
    EXPECT_GT(monitor::ParseLeadingWholeNumber(table.Slot(slot)), 500) << table.Slot(slot);
  for (const int slot : {monitor::slots::kVcore, monitor::slots::kVolts33, monitor::slots::kVolts5,
                         monitor::slots::kVolts12}) {
    const std::string& text = table.Slot(slot);
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(text.front(), ' ');
    EXPECT_EQ(text.back(), ' ');
    EXPECT_GT(monitor::ParseLeadingNumber(text), 0.5) << text;
  }
}

// A program that finds the monitor by its title, however soon, finds all of
// its controls there: the window gets its title last.
TEST_F(MonitorUnderWine, TheMonitorWindowIsCompleteOnceItHasItsTitle) {
  ASSERT_EQ(monitor::FindMonitorWindow(platform_.windows), 0) << "the monitor already runs";
  ASSERT_TRUE(drive::Start(std::string("\"") + kMonitorExe + "\"", kMonitorFolder));
  // As fast as a look-up goes, to catch the window between title and controls.
  const auto start = platform_.clock.MonotonicMs();
  WindowHandle window = 0;
  while (window == 0 && platform_.clock.MonotonicMs() - start < 30'000)
    window = monitor::FindMonitorWindow(platform_.windows);
  ASSERT_NE(window, 0);
  EXPECT_EQ(CountDescendants(window), standin::kControlCount);
}

// A monitor that shows its titled window first and builds its controls over
// two seconds: the launch waits for them before it hands the window over.
TEST_F(MonitorUnderWine, ALaunchWaitsForASlowlyBuiltWindowsControls) {
  ASSERT_EQ(monitor::FindMonitorWindow(platform_.windows), 0) << "the monitor already runs";
  drive::SetEnvironment(standin::kSlowBuildVariable, "2");
  const auto outcome = monitor::LaunchAndWait(platform_, 0, monitor::GetPath(platform_));
  drive::SetEnvironment(standin::kSlowBuildVariable, std::nullopt);
  ASSERT_EQ(outcome.result, monitor::LaunchOutcome::Result::kFound);
  EXPECT_EQ(CountDescendants(outcome.window), standin::kControlCount);
  monitor::MonitorTextTable table;
  monitor::ScrapeMonitorTexts(platform_.windows, table, outcome.window);
  EXPECT_EQ(table.Counter(), 42);
  EXPECT_GT(monitor::ParseLeadingWholeNumber(table.Slot(monitor::slots::kCpuFan)), 500);
}

}  // namespace
}  // namespace calorix
