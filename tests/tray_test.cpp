// The tray icon, its tooltip and picture, the popup menu and the dashboard.
#include "tray/reading_cycle.h"
#include "tray/tray_icon.h"
#include "tests/support/app_fixture.h"

namespace calorix::testing {
namespace {

using platform::TrayOperation;
using standin::Reading;

TEST(CtoF_Deg, ConvertsEveryTemperatureToWholeFahrenheit) {
  const std::pair<std::string, std::string> cases[] = {
      {"45", "113"}, {"46", "115"}, {"67", "153"}, {"", "32"},    {"44.5", "111"},
      {"45.5", "115"}, {"68", "154"}, {"75", "167"}, {"-40", "-40"}, {" 20 C", "68"}};
  for (const auto& [celsius, fahrenheit] : cases) {
    std::string text = celsius;
    EXPECT_EQ(tray::CtoF_Deg(text), fahrenheit) << celsius;
    EXPECT_EQ(text, fahrenheit);
  }
}

TEST(PadTip, PadsOrCutsToSixtyFourCharacters) {
  EXPECT_EQ(tray::PadTip("abc"), "abc" + std::string(61, ' '));
  EXPECT_EQ(tray::PadTip(std::string(70, 'x')), std::string(64, 'x'));
}

class TrayTest : public AppTest {
 protected:
  void SetUp() override {
    ReturningUser();
    monitor.Start();
  }
  // Starts and runs the first reading cycle.
  void StartAndRead() {
    ASSERT_TRUE(Start());
    Advance(3000);
  }
  // The tray always gets the picture drawn for the small-icon size.
  platform::IconHandle Icon(int id) { return host.LoadSmallIconResource(id); }
  std::uint64_t Requests(TrayOperation operation) { return desktop.TrayRequestCount(operation); }
};

TEST_F(TrayTest, ReadingsBecomeTheTooltipEveryThirdTick) {
  ASSERT_TRUE(Start());
  Advance(2000);
  EXPECT_EQ(Tip(), "Calorix");
  Advance(1000);
  EXPECT_EQ(Tip(), "CPU:45\xB0" "C  Sys:36\xB0" "C  Fan1:4500  Fan2:3200 ");
  monitor.SetReading(Reading::CpuTemp, "50");
  Advance(2000);
  EXPECT_EQ(Tip(), "CPU:45\xB0" "C  Sys:36\xB0" "C  Fan1:4500  Fan2:3200 ");
  Advance(1000);
  EXPECT_EQ(Tip(), "CPU:50\xB0" "C  Sys:36\xB0" "C  Fan1:4500  Fan2:3200 ");
}

TEST_F(TrayTest, StoppedFansAndFahrenheitChangeTheTooltip) {
  monitor.SetReading(Reading::CpuFan, "0");
  monitor.SetReading(Reading::SysFan, "");
  Store("TipAsF", "1");
  monitor.SetReading(Reading::CpuTemp, "75");
  StartAndRead();
  EXPECT_EQ(Tip(), "CPU:167\xB0" "F  Sys:97\xB0" "F  ");
  // The picture stays in Celsius.
  EXPECT_EQ(TrayIcon()->hIcon, Icon(tray::kFlameIconId));
}

TEST_F(TrayTest, ThePictureFollowsTheTemperatureAndIsOnlySentWhenItChanges) {
  StartAndRead();
  EXPECT_EQ(TrayIcon()->hIcon, Icon(45));
  EXPECT_NE(TrayIcon()->hIcon, host.LoadIconResource(45)) << "not the large picture, for the shell to shrink";
  const auto modifies = Requests(TrayOperation::Modify);
  Advance(3000);
  EXPECT_EQ(Requests(TrayOperation::Modify), modifies + 1);  // the tip only

  const std::pair<const char*, int> pictures[] = {
      {"19", tray::kSnowflakeIconId}, {"69", tray::kFlameIconId}, {"20", 20},
      {"68", 68}, {"abc", tray::kSnowflakeIconId}, {"44.5", 44}, {"45.5", 46}};
  for (const auto& [text, icon] : pictures) {
    monitor.SetReading(Reading::CpuTemp, text);
    Advance(3000);
    EXPECT_EQ(TrayIcon()->hIcon, Icon(icon)) << text;
  }
}

TEST_F(TrayTest, AnEmptyReadingRightAfterStartKeepsTheApplicationPicture) {
  monitor.SetReading(Reading::CpuTemp, "");
  StartAndRead();
  EXPECT_EQ(TrayIcon()->hIcon, Icon(tray::kAppIconId));
}

TEST_F(TrayTest, CpuAndSystemTemperaturesTakeTurns) {
  monitor.SetReading(Reading::SysTemp, "30");
  StartAndRead();
  ASSERT_EQ(TrayIcon()->hIcon, Icon(45));
  Click("CPUSysTempO");
  EXPECT_EQ(Setting("CPUSysTemp"), "True");
  EXPECT_EQ(Setting("CpuOnly"), "False");
  EXPECT_EQ(TrayIcon()->hIcon, Icon(tray::kAppIconId));  // re-added after the reset
  std::vector<platform::IconHandle> shown;
  for (int cycle = 0; cycle < 3; ++cycle) {
    Advance(3000);
    shown.push_back(TrayIcon()->hIcon);
  }
  EXPECT_EQ(shown, (std::vector<platform::IconHandle>{Icon(30), Icon(45), Icon(30)}));

  Click("SwapCpuSysO");
  Advance(3000);
  EXPECT_EQ(TrayIcon()->hIcon, Icon(30));
  Click("CPUSysTempO");  // after "System Temp" the turns begin with the CPU
  Advance(3000);
  EXPECT_EQ(TrayIcon()->hIcon, Icon(45));
}

TEST_F(TrayTest, TheLogoOptionKeepsTheApplicationPictureButNotTheTip) {
  StartAndRead();
  const auto adds = Requests(TrayOperation::Add);
  const auto deletes = Requests(TrayOperation::Delete);
  Click("NoIconO");
  EXPECT_EQ(Setting("NoIcon"), "True");
  EXPECT_EQ(Requests(TrayOperation::Delete), deletes);  // the logo is not removed first
  EXPECT_EQ(Requests(TrayOperation::Add), adds);
  EXPECT_EQ(TrayIcon()->hIcon, Icon(tray::kAppIconId));
  monitor.SetReading(Reading::CpuTemp, "50");
  Advance(3000);
  EXPECT_EQ(TrayIcon()->hIcon, Icon(tray::kAppIconId));
  EXPECT_EQ(Tip().substr(0, 6), "CPU:50");

  Click("CpuOnly");  // back to the temperature: removed and added again
  EXPECT_EQ(Requests(TrayOperation::Delete), deletes + 1);
  EXPECT_EQ(Requests(TrayOperation::Add), adds + 1);
  EXPECT_EQ(TrayIcon()->hIcon, Icon(tray::kAppIconId));
  Advance(3000);
  EXPECT_EQ(TrayIcon()->hIcon, Icon(50));
}

TEST_F(TrayTest, TheIconIsRenewedOnceInTheNinthCycle) {
  ASSERT_TRUE(Start());
  const auto adds = Requests(TrayOperation::Add);
  Advance(8 * 3000);
  EXPECT_EQ(Requests(TrayOperation::Add), adds);
  Advance(3000);
  EXPECT_EQ(Requests(TrayOperation::Add), adds + 1);
  EXPECT_EQ(app->readingCycle.RefreshCount, 9);
  Advance(30 * 3000);
  EXPECT_EQ(Requests(TrayOperation::Add), adds + 1);
}

TEST_F(TrayTest, ClicksOnTheIconToggleTheMonitorAndOpenTheMenu) {
  ASSERT_TRUE(Start());
  ASSERT_FALSE(desktop.IsVisible(monitor.MainWindow()));
  for (const int ignored : {512, 513, 515, 516, 518}) TrayEvent(ignored);
  EXPECT_FALSE(desktop.IsVisible(monitor.MainWindow()));
  EXPECT_TRUE(host.MenusShown().empty());
  TrayEvent(514);
  EXPECT_TRUE(desktop.IsVisible(monitor.MainWindow()));
  TrayEvent(514);
  EXPECT_FALSE(desktop.IsVisible(monitor.MainWindow()));

  TrayEvent(517);  // dismissed without a choice
  ASSERT_EQ(host.MenusShown().size(), 1u);
  EXPECT_EQ(host.MenusShown()[0],
            (std::vector<std::string>{"Show HWM", "(Hide HWM)", "-", "Options", "-", "View Data",
                                      "View Chart", "View Dash Board", "-", "Cancel", "Close HWM"}));
  ChooseMenu("zpase3");  // "Cancel" does nothing
  EXPECT_FALSE(ended);
}

TEST_F(TrayTest, TheDashboardShowsCelsiusAndRemembersWhereItWas) {
  Store("TipAsF", "1");
  StartAndRead();
  ChooseMenu("MnuViewDashBrd");
  ASSERT_TRUE(app->form3.Visible());
  EXPECT_TRUE(app->menu["MnuViewDashBrd"].checked);
  EXPECT_EQ(app->form3.Left(), (1024 * 15 - app->form3.Width()) / 2);
  EXPECT_TRUE(desktop.Window(app->form3.Handle()).topmost);
  EXPECT_EQ(app->form3.Get("Label1", 1).Caption(), "");  // empty until the next cycle
  Advance(3000);
  EXPECT_EQ(app->form3.Get("Label1", 0).Caption(), "4500");
  EXPECT_EQ(app->form3.Get("Label1", 1).Caption(), "45\xB0");
  EXPECT_EQ(app->form3.Get("Label1", 2).Caption(), "3200");
  EXPECT_EQ(app->form3.Get("Label1", 3).Caption(), "36\xB0");
  EXPECT_EQ(app->form3.Get("Label1", 4).Caption(), "12.16");
  EXPECT_EQ(app->form3.Get("Label1", 5).Caption(), "5.02");
  EXPECT_EQ(app->form3.Get("Label1", 6).Caption(), "3.31");
  EXPECT_EQ(app->form3.Get("Label1", 7).Caption(), "1.52");

  // The user drags it away and closes it with its own close box.
  app->form3.Move(300, 450);
  Do([&] { desktop.PostCloseRequest(app->form3.Handle()); desktop.ProcessPendingEvents(); });
  EXPECT_FALSE(app->form3.Loaded());
  EXPECT_FALSE(app->menu["MnuViewDashBrd"].checked);
  EXPECT_EQ(Setting("DBLeft"), "300");
  EXPECT_EQ(Setting("DBTop"), "450");
  monitor.SetReading(Reading::CpuFan, "4100");
  Advance(3000);  // no labels written while it is closed
  EXPECT_EQ(app->form3.Get("Label1", 0).Caption(), "4500");

  ChooseMenu("MnuViewDashBrd");
  EXPECT_EQ(app->form3.Left(), 300);
  EXPECT_EQ(app->form3.Top(), 450);
  EXPECT_EQ(app->form3.Get("Label1", 0).Caption(), "");  // empty again until the next cycle
  Advance(3000);
  EXPECT_EQ(app->form3.Get("Label1", 0).Caption(), "4100");
  ChooseMenu("MnuViewDashBrd");
  EXPECT_FALSE(app->form3.Loaded());
}

TEST_F(TrayTest, DashboardOnLoadOpensItAtStart) {
  Store("DashOn", "1");
  ASSERT_TRUE(Start());
  EXPECT_TRUE(app->form3.Visible());
  EXPECT_TRUE(app->menu["MnuViewDashBrd"].checked);
  EXPECT_EQ(app->form1["DashState"].State(), 1);
  Click("DashState");
  EXPECT_EQ(Setting("DashOn"), "0");
  EXPECT_TRUE(app->form3.Visible());  // the option does not close it
}

}  // namespace
}  // namespace calorix::testing
