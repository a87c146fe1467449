// The chart window: opened from the tray menu, its place and choices
// remembered, and the record file drawn in it.
#include "tests/support/app_fixture.h"

namespace calorix::testing {
namespace {

class ChartWindowTest : public AppTest {
 protected:
  void SetUp() override {
    ReturningUser();
    monitor.Start();
  }
  ui::Form& Chart() { return app->chartForm; }
  bool Checked() { return app->menu["MnuViewChart"].checked; }
};

TEST_F(ChartWindowTest, TheMenuItemOpensAndClosesTheChartAndShowsWhetherItIsOpen) {
  ASSERT_TRUE(Start());
  ChooseMenu("MnuViewChart");
  ASSERT_TRUE(Chart().Visible());
  EXPECT_EQ(desktop.Window(Chart().Handle()).title, "HWM Data Chart");
  EXPECT_TRUE(Checked());
  TrayEvent(517);
  const auto& menu = host.MenusShown()[host.MenusShown().size() - 1];
  ASSERT_GE(menu.size(), 8u);
  EXPECT_EQ(menu[5], "View Data");
  EXPECT_EQ(menu[6], "[x] View Chart");
  EXPECT_EQ(menu[7], "View Dash Board");

  ChooseMenu("MnuViewChart");
  EXPECT_FALSE(Chart().Loaded());
  EXPECT_FALSE(Checked());

  // Closed with its own close box, it unchecks the item too.
  ChooseMenu("MnuViewChart");
  Do([&] { desktop.PostCloseRequest(Chart().Handle()); desktop.ProcessPendingEvents(); });
  EXPECT_FALSE(Chart().Loaded());
  EXPECT_FALSE(Checked());
}

}  // namespace
}  // namespace calorix::testing
