// The chart window: opened from the tray menu, its place and choices
// remembered, and the record file drawn in it.
#include "recorder/chart_window.h"
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

TEST_F(ChartWindowTest, ItsPlaceAndSizeAreRememberedAndABrokenValueReadsAsTheDefault) {
  ASSERT_TRUE(Start());
  ChooseMenu("MnuViewChart");
  const double width = Chart().Width();
  const double height = Chart().Height();
  EXPECT_EQ(Chart().Left(), (1024 * 15 - width) / 2);  // centred at first
  EXPECT_EQ(Chart().Top(), (768 * 15 - height) / 2);

  Do([&] {
    Chart().Move(300, 450);
    Chart().Resize(9000, 6000);
  });
  ChooseMenu("MnuViewChart");
  EXPECT_EQ(Setting("ChartLeft"), "300");
  EXPECT_EQ(Setting("ChartTop"), "450");
  EXPECT_EQ(Setting("ChartWidth"), "9000");
  EXPECT_EQ(Setting("ChartHeight"), "6000");
  ChooseMenu("MnuViewChart");
  EXPECT_EQ(Chart().Left(), 300);
  EXPECT_EQ(Chart().Top(), 450);
  EXPECT_EQ(Chart().Width(), 9000);
  EXPECT_EQ(Chart().Height(), 6000);
  ChooseMenu("MnuViewChart");

  // Too small a size grows to the least one; a text that is no size, or
  // no place, reads as the default.
  Store("ChartWidth", "-5");
  Store("ChartHeight", "100");
  Store("ChartLeft", "left");
  ChooseMenu("MnuViewChart");
  EXPECT_EQ(Chart().Width(), width);
  EXPECT_EQ(Chart().Height(), recorder::kChartMinHeightTwips);
  EXPECT_EQ(Chart().Left(), (1024 * 15 - width) / 2);
  EXPECT_EQ(Chart().Top(), 450);
}

}  // namespace
}  // namespace calorix::testing
