// The simulated desktop itself, where the program's tests lean on it: a
// window far off every screen keeps sane edges, and what the desktop notes
// per event stays small however long the program runs.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/forms.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_forms.h"
#include "tests/support/app_fixture.h"

namespace calorix::testing {
namespace {

constexpr int kMax = std::numeric_limits<int>::max();
constexpr int kMin = std::numeric_limits<int>::min();

constexpr ui::FormDecl kPlainForm{.name = "Plain", .caption = "Plain", .clientWidth = 3000,
                                  .clientHeight = 2000};

class FarPlaces : public ::testing::Test {
 protected:
  const platform::Rect& RectOf(platform::WindowHandle window) { return desktop.Window(window).rect; }

  sim::SimDesktop desktop;
  sim::SimFormHost host{desktop};
};

TEST_F(FarPlaces, AFormMovedToAHugePositionKeepsItsEdgesInOrder) {
  ui::Form form(kPlainForm, host);
  form.Load();
  // Width 3000 + 120 and height 2000 + 450 twips: 208 by 163 pixels.
  form.Move(15.0 * (kMax - 10), 15.0 * (kMax - 1000));
  platform::Rect rect = RectOf(form.Handle());
  EXPECT_EQ(rect.left, kMax - 10);
  EXPECT_EQ(rect.right, kMax);  // would be kMax + 198 pixels
  EXPECT_EQ(rect.top, kMax - 1000);
  EXPECT_EQ(rect.bottom, kMax - 1000 + 163);

  form.Move(-15.0 * 2'000'000'000.0, 1e300);
  rect = RectOf(form.Handle());
  EXPECT_EQ(rect.left, -2'000'000'000);
  EXPECT_EQ(rect.right, -2'000'000'000 + 208);
  EXPECT_EQ(rect.top, kMax);
  EXPECT_EQ(rect.bottom, kMax);

  form.Move(-1e300, std::nan(""));
  rect = RectOf(form.Handle());
  EXPECT_EQ(rect.left, kMin);
  EXPECT_EQ(rect.right, kMin);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.bottom, 163);

  // Back on the screen, the window is where the form says.
  form.Move(1500, 750);
  EXPECT_EQ(RectOf(form.Handle()), (platform::Rect{100, 50, 308, 213}));
}

TEST_F(FarPlaces, AWindowMovedToAHugePositionTakesItsChildrenAlongWithoutWrapping) {
  const auto main = desktop.CreateTopLevel("Main", {100, 100, 500, 400});
  const auto child = desktop.CreateWindow(main, "Button", "&Close", {10, 20, 110, 60});
  ASSERT_EQ(RectOf(child), (platform::Rect{114, 143, 214, 183}));

  ASSERT_TRUE(desktop.MoveWindow(main, kMax - 50, kMin + 5, 400, 300, true));
  EXPECT_EQ(RectOf(main), (platform::Rect{kMax - 50, kMin + 5, kMax, kMin + 305}));
  // The child keeps its place in the client area as far as an int reaches.
  EXPECT_EQ(RectOf(child), (platform::Rect{kMax - 36, kMin + 48, kMax, kMin + 88}));

  // A child placed far within its far-off parent stays in range too. Its
  // client area starts at kMax - 46, kMin + 28.
  ASSERT_TRUE(desktop.MoveWindow(child, kMax, kMax, kMax, kMax, true));
  EXPECT_EQ(RectOf(child), (platform::Rect{kMax, 27, kMax, kMax}));
  ASSERT_TRUE(desktop.MoveWindow(child, kMin, kMin, 10, 10, true));
  EXPECT_EQ(RectOf(child), (platform::Rect{-47, kMin, -37, kMin}));

  ASSERT_TRUE(desktop.MoveWindow(main, 100, 100, 400, 300, true));
  EXPECT_EQ(RectOf(main), (platform::Rect{100, 100, 500, 400}));
}

// ---- Long runs -----------------------------------------------------------------

class LongRun : public AppTest {};

TEST_F(LongRun, TheTrayLogKeepsTheLatestRequestsAndCountsThemAll) {
  ReturningUser();
  monitor.Start();
  ASSERT_TRUE(Start());
  const std::uint64_t modifiesAtStart = desktop.TrayRequestCount(platform::TrayOperation::Modify);
  monitor.SetReading(standin::Reading::CpuTemp, "47");
  constexpr std::uint64_t kHours = 2;
  Advance(kHours * 3'600'000);
  ASSERT_FALSE(ended);

  // At least one tip update per reading cycle (every 3 seconds with the
  // monitor hidden), all counted; the log holds only the latest.
  const std::uint64_t cycles = kHours * 3600 / 3;
  EXPECT_GE(desktop.TrayRequestCount(platform::TrayOperation::Modify) - modifiesAtStart, cycles);
  const auto& log = desktop.TrayRequests();
  EXPECT_EQ(log.size(), sim::RecentLog<sim::TrayRequest>::kKept);
  EXPECT_EQ(log.Total(), desktop.TrayRequestCount(platform::TrayOperation::Add) +
                             desktop.TrayRequestCount(platform::TrayOperation::Modify) +
                             desktop.TrayRequestCount(platform::TrayOperation::Delete));
  EXPECT_EQ(log.back().operation, platform::TrayOperation::Modify);
  EXPECT_TRUE(log.back().accepted);
  EXPECT_EQ(log.back().record.szTip, TrayIcon()->szTip);
  EXPECT_NE(Tip().find("CPU:47"), std::string::npos);
}

TEST_F(LongRun, EveryPerEventLogKeepsTheMostRecentOnly) {
  constexpr int kEvents = 1000;
  const ui::PopupMenu menu{std::span<const ui::MenuItemDecl>{}};
  for (int i = 0; i < kEvents; ++i) {
    platform::MessageBoxRequest box;
    box.text = "box " + std::to_string(i);
    desktop.ShowMessage(box);
    desktop.ExecuteFile(0, "", "file " + std::to_string(i), "", "", platform::ShowCommand::ShowNormal);
    desktop.StartCommandLine("line " + std::to_string(i));
    desktop.ExitSession(static_cast<std::uint32_t>(i));
    host.TrackPopupMenu(menu, 0);
  }
  constexpr std::size_t kKept = sim::RecentLog<int>::kKept;
  const std::string first = std::to_string(kEvents - static_cast<int>(kKept));
  const std::string last = std::to_string(kEvents - 1);
  ASSERT_EQ(desktop.MessageBoxes().size(), kKept);
  EXPECT_EQ(desktop.MessageBoxes().Total(), static_cast<std::uint64_t>(kEvents));
  EXPECT_EQ(desktop.MessageBoxes().front().text, "box " + first);
  EXPECT_EQ(desktop.MessageBoxes().back().text, "box " + last);
  ASSERT_EQ(desktop.ShellExecutes().size(), kKept);
  EXPECT_EQ(desktop.ShellExecutes().front().file, "file " + first);
  EXPECT_EQ(desktop.ShellExecutes().back().file, "file " + last);
  ASSERT_EQ(desktop.CommandLinesStarted().size(), kKept);
  EXPECT_EQ(desktop.CommandLinesStarted().back(), "line " + last);
  ASSERT_EQ(desktop.ExitWindowsRequests().size(), kKept);
  EXPECT_EQ(desktop.ExitWindowsRequests().front(), static_cast<std::uint32_t>(kEvents - kKept));
  EXPECT_EQ(host.MenusShown().size(), kKept);
  EXPECT_EQ(host.MenusShown().Total(), static_cast<std::uint64_t>(kEvents));
}

}  // namespace
}  // namespace calorix::testing
