// Taking over the monitor's window, on the whole program.
#include <string>
#include <vector>

#include "monitor/window_control.h"
#include "tests/support/app_fixture.h"

namespace calorix::testing {
namespace {

using monitor::MatchesPattern;

TEST(MatchesPattern, FollowsTheWalksPatternRules) {
  EXPECT_TRUE(MatchesPattern("VIA Hardware Monitor System Ver 1.0", "VIA Hardware Monitor System *"));
  EXPECT_FALSE(MatchesPattern("VIA Hardware Monitor System", "VIA Hardware Monitor System *"));
  EXPECT_FALSE(MatchesPattern("via hardware monitor system x", "VIA Hardware Monitor System *"));
  EXPECT_TRUE(MatchesPattern("&Close", "&Close"));
  EXPECT_FALSE(MatchesPattern("Close", "&Close"));
  EXPECT_TRUE(MatchesPattern("", "*"));
  EXPECT_TRUE(MatchesPattern("a1c", "a#c"));
  EXPECT_FALSE(MatchesPattern("abc", "a#c"));
  EXPECT_FALSE(MatchesPattern("a#c", "a#c"));
  EXPECT_TRUE(MatchesPattern("abc", "a?c"));
  EXPECT_TRUE(MatchesPattern("b", "[abc]"));
  EXPECT_TRUE(MatchesPattern("q", "[!abc]"));
  EXPECT_TRUE(MatchesPattern("m", "[a-z]"));
  EXPECT_FALSE(MatchesPattern("M", "[a-z]"));
  EXPECT_TRUE(MatchesPattern("\xE9", "[a-\xFF]"));  // bytes above 0x7F in a range
  EXPECT_FALSE(MatchesPattern("\xE9", "[!\x80-\xFF]"));
}

class WindowControlTest : public AppTest {
 protected:
  void SetUp() override { ReturningUser(); }
  platform::Rect Rect(platform::WindowHandle window) { return *desktop.GetWindowRect(window); }
};

TEST_F(WindowControlTest, TheMonitorLosesItsCloseButtonAndShrinksAndItsControlsShift) {
  const auto main = monitor.Start();
  const auto before = Rect(main);
  const auto labelBefore = Rect(monitor.Control(1));  // a plain label of the window itself
  const int menuItems = *desktop.SystemMenuItemCount(main);
  ASSERT_TRUE(Start());
  EXPECT_FALSE(desktop.IsVisible(monitor.Control(47)));
  EXPECT_TRUE(desktop.IsVisible(monitor.Control(46)));
  EXPECT_EQ(*desktop.SystemMenuItemCount(main), menuItems - 1);
  const auto after = Rect(main);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.Width(), before.Width() - 10);
  EXPECT_EQ(after.Height(), before.Height() - 60);
  // Each control is placed at its offset from the window's outer corner
  // less 10 and 80, now measured from the client area (4, 23 into the
  // simulated window): the caption and border are thus made up for.
  const auto labelAfter = Rect(monitor.Control(1));
  EXPECT_EQ(labelAfter.left - after.left, labelBefore.left - before.left - 10 + 4);
  EXPECT_EQ(labelAfter.top - after.top, labelBefore.top - before.top - 80 + 23);
  // The title label goes last, to 314, 188 in the client area.
  const auto title = Rect(monitor.Control(0));
  EXPECT_EQ(title.left - after.left, 314 + 4);
  EXPECT_EQ(title.Width(), 180);
  EXPECT_EQ(app->table.Counter(), 0);  // the walk leaves the table empty
}

TEST_F(WindowControlTest, NoSizeKeepsTheWindowButStillMovesItToItsRememberedPlace) {
  desktop.SetCommandLine(" NoSize ");
  Store("HWMLeft", "-98", "VIA HWM");
  Store("HWMTop", "0", "VIA HWM");
  const auto main = monitor.Start();
  const auto before = Rect(main);
  ASSERT_TRUE(Start());
  EXPECT_TRUE(desktop.IsWindow(monitor.Control(47)));
  EXPECT_EQ(desktop.Window(monitor.Control(47)).moveCount, 0);
  EXPECT_EQ(Rect(main), (platform::Rect{-98, 0, -98 + before.Width(), before.Height()}));
}

TEST_F(WindowControlTest, AnotherProgramsCloseButtonFoundFirstIsLeftAlone) {
  const auto other = desktop.CreateTopLevel("Other program");
  const auto otherClose = desktop.CreateWindow(other, "Button", "&Close", {0, 0, 50, 20});
  monitor.Start();
  ASSERT_TRUE(Start());
  EXPECT_TRUE(desktop.IsVisible(otherClose));
  EXPECT_EQ(desktop.Window(otherClose).moveCount, 0);
  EXPECT_FALSE(desktop.IsVisible(monitor.Control(47)));
}

TEST_F(WindowControlTest, AFullDesktopFillsTheTableAndStops) {
  const auto crowd = desktop.CreateTopLevel("Crowd");
  for (int i = 0; i < 3100; ++i) desktop.CreateWindow(crowd, "Static", "x", {0, 0, 1, 1});
  monitor.Start();
  ASSERT_TRUE(Start());
  app->table.Clear();
  app->windowControl.CollectMatchingWindows(0, "*", "*");
  EXPECT_EQ(app->table.Counter(), monitor::MonitorTextTable::kSlotCount);
  EXPECT_NE(app->table.HandleAt(3072), 0);
}

TEST_F(WindowControlTest, SaveWindowPositionsRemembersOnlyAShownMonitor) {
  monitor.Start();
  ASSERT_TRUE(Start());
  ASSERT_EQ(app->state.MonitorShown, 0);
  const int beeps = desktop.Beeps();
  Click("RemHwmPos");
  EXPECT_EQ(app->form1["RemHwmPos"].State(), 0);
  EXPECT_EQ(Setting("HWMLeft", "VIA HWM"), "-100");
  EXPECT_EQ(Setting("HWMTop", "VIA HWM"), "-100");
  EXPECT_EQ(Setting("Position", "VIA HWM"), "0");
  const int centredLeft = static_cast<int>((1024 * 15 - app->form1.Width()) / 2);
  EXPECT_EQ(Setting("Left"), std::to_string(centredLeft));
  EXPECT_EQ(desktop.Beeps(), beeps + 1);

  TrayEvent(514);  // show the monitor
  ASSERT_EQ(app->state.MonitorShown, 1);
  desktop.MoveWindow(monitor.MainWindow(), 33, 44, 400, 200, true);
  Click("RemHwmPos");
  EXPECT_EQ(Setting("HWMLeft", "VIA HWM"), "33");
  EXPECT_EQ(Setting("HWMTop", "VIA HWM"), "44");
  EXPECT_EQ(Setting("Position", "VIA HWM"), "1");
  EXPECT_EQ(app->state.SavedMonitorLeft, 33);
}

TEST_F(WindowControlTest, ShowingAndHidingSetTheMenuAndThePollRate) {
  monitor.Start();
  ASSERT_TRUE(Start());
  EXPECT_TRUE(app->menu["MenuShow"].enabled);
  EXPECT_FALSE(app->menu["MenuHide"].enabled);
  EXPECT_EQ(app->timer1.Interval(), 1000);
  ChooseMenu("MenuShow");
  EXPECT_TRUE(desktop.IsVisible(monitor.MainWindow()));
  EXPECT_FALSE(app->menu["MenuShow"].enabled);
  EXPECT_TRUE(app->menu["MenuHide"].enabled);
  EXPECT_EQ(app->timer1.Interval(), 500);
  // Minimised by the user: hidden again at the next tick.
  desktop.SetMinimized(monitor.MainWindow(), true);
  Advance(500);
  EXPECT_FALSE(desktop.IsVisible(monitor.MainWindow()));
  EXPECT_EQ(app->timer1.Interval(), 1000);
  EXPECT_EQ(app->state.MonitorShown, 0);
}

TEST_F(WindowControlTest, ShowingAMonitorWhoseWindowIsGoneIsHarmless) {
  monitor.Start();
  ASSERT_TRUE(Start());
  desktop.DestroyWindow(monitor.MainWindow());
  TrayEvent(514);
  EXPECT_EQ(app->state.MonitorShown, 1);
  EXPECT_FALSE(ended);
}

TEST_F(WindowControlTest, TheMainWindowLosesItsCloseItem) {
  monitor.Start();
  ASSERT_TRUE(Start());
  const auto& menu = *desktop.Window(app->form1.Handle()).systemMenu;
  // Only the last item goes; the others stay in their order.
  EXPECT_EQ(menu, (std::vector<std::string>{"Restore", "Move", "Size", "Minimize", "Maximize", "-"}));
}

// The monitor's system menu before and after the take-over: the item third
// from the end goes, the others stay in their order.
struct SystemMenuCase {
  std::vector<std::string> before;
  std::vector<std::string> after;
};

void PrintTo(const SystemMenuCase& c, std::ostream* out) { *out << c.before.size() << "-items"; }

class MonitorSystemMenu : public WindowControlTest,
                          public ::testing::WithParamInterface<SystemMenuCase> {};

TEST_P(MonitorSystemMenu, LosesTheItemThirdFromTheEndOnly) {
  const auto main = monitor.Start();
  desktop.Find(main)->systemMenu = GetParam().before;
  ASSERT_TRUE(Start());
  EXPECT_EQ(*desktop.Window(main).systemMenu, GetParam().after);
  EXPECT_EQ(Rect(main).Width(), standin::kMainWidth - 10);  // the take-over went on
}

INSTANTIATE_TEST_SUITE_P(
    Menus, MonitorSystemMenu,
    ::testing::Values(
        // The usual menu: "Maximize" goes, the separator and "Close" stay.
        SystemMenuCase{{"Restore", "Move", "Size", "Minimize", "Maximize", "-", "Close"},
                       {"Restore", "Move", "Size", "Minimize", "-", "Close"}},
        SystemMenuCase{{"Restore", "Move", "-", "Close"}, {"Restore", "-", "Close"}},
        SystemMenuCase{{"Move", "-", "Close"}, {"-", "Close"}},
        // Too short for a third item from the end: nothing goes.
        SystemMenuCase{{"-", "Close"}, {"-", "Close"}},
        SystemMenuCase{{}, {}}));

TEST_F(WindowControlTest, AMonitorWindowWithoutASystemMenuIsStillTakenOver) {
  const auto main = monitor.Start();
  desktop.Find(main)->systemMenu.reset();
  ASSERT_TRUE(Start());
  EXPECT_FALSE(desktop.Window(main).systemMenu.has_value());
  EXPECT_EQ(Rect(main).Width(), standin::kMainWidth - 10);
  EXPECT_FALSE(desktop.IsVisible(monitor.Control(47)));
}

}  // namespace
}  // namespace calorix::testing
