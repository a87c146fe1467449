// The options window: every option saved the moment it is clicked, and the
// window shown and hidden from the menu, by Escape and by minimising.
#include "tests/support/app_fixture.h"

namespace calorix::testing {
namespace {

class OptionsTest : public AppTest {
 protected:
  void SetUp() override {
    ReturningUser();
    monitor.Start();
    ASSERT_TRUE(Start());
  }
};

TEST_F(OptionsTest, EachCheckBoxSavesItsStateAtOnce) {
  const std::pair<const char*, const char*> boxes[] = {
      {"MenuShtDwnFan", "Fan"},   {"MenuShtDwnTemp", "Temp"}, {"ShtDwnSysFan", "SysFan"},
      {"MenuShtDwnSys", "Sys"},   {"MenuShtDwnVolts", "Volts"}, {"MnuForceSD", "ForceSD"},
      {"MnuFastSD", "FastSD"},    {"SDmsgs", "SDmsgs"},        {"CtoF", "TipAsF"},
      {"MnuChkDatRec", "ChkDatRec"}, {"AlrmBuz", "AlrmBuzz"},  {"MnuHideStart", "SView"},
      {"DashState", "DashOn"},    {"MnuRecord", "Record"}};
  for (const auto& [control, key] : boxes) {
    const int before = app->form1[control].State();
    Click(control);
    EXPECT_EQ(Setting(key), std::to_string(1 - before)) << control;
    Click(control);
    EXPECT_EQ(Setting(key), std::to_string(before)) << control;
  }
}

TEST_F(OptionsTest, ForceShutdownTakesEffectAtTheNextStart) {
  Click("MnuForceSD");
  EXPECT_EQ(Setting("ForceSD"), "1");
  EXPECT_EQ(app->state.forceFlag, 0);
}

TEST_F(OptionsTest, TheMenuItemShowsAndHidesTheWindowByItsVisibility) {
  ASSERT_FALSE(app->form1.Visible());
  ChooseMenu("MnuOptions");
  EXPECT_TRUE(app->form1.Visible());
  EXPECT_TRUE(app->menu["MnuOptions"].checked);
  app->menu["MnuOptions"].checked = false;  // whatever the check mark says
  ChooseMenu("MnuOptions");
  EXPECT_FALSE(app->form1.Visible());
}

TEST_F(OptionsTest, EscapeAndMinimisingHideTheWindowReadyToComeBack) {
  ChooseMenu("MnuOptions");
  app->form1.Move(1200, 900);
  Do([&] { app->form1.KeyPress(&app->form1["Combo1"], 27); });
  EXPECT_FALSE(app->form1.Visible());
  EXPECT_EQ(app->form1.State(), ui::WindowState::kNormal);
  EXPECT_FALSE(app->menu["MnuOptions"].checked);
  ChooseMenu("MnuOptions");
  EXPECT_TRUE(app->form1.Visible());
  EXPECT_EQ(app->form1.Left(), 1200);

  Do([&] { app->form1.SetWindowState(ui::WindowState::kMinimized); });
  EXPECT_FALSE(app->form1.Visible());
  EXPECT_EQ(app->form1.State(), ui::WindowState::kNormal);
  EXPECT_FALSE(app->menu["MnuOptions"].checked);
}

TEST_F(OptionsTest, OtherKeysLeaveTheWindowAlone) {
  ChooseMenu("MnuOptions");
  Do([&] { app->form1.KeyPress(&app->form1["Combo1"], 'x'); });
  EXPECT_TRUE(app->form1.Visible());
}

TEST_F(OptionsTest, ChoosingATrayOptionSavesAllFour) {
  Click("SwapCpuSysO");
  EXPECT_EQ(Setting("SwapCpuSys"), "True");
  EXPECT_EQ(Setting("CPUSysTemp"), "False");
  EXPECT_EQ(Setting("NoIcon"), "False");
  EXPECT_EQ(Setting("CpuOnly"), "False");
  EXPECT_FALSE(app->form1["CpuOnly"].Value());
}

TEST_F(OptionsTest, TheLayoutIsTheOneDeclared) {
  const auto& form = app->form1;
  EXPECT_EQ(form.Caption(), "Calorix");
  EXPECT_EQ(form.Decl().clientWidth, 4695);
  EXPECT_EQ(form.Decl().clientHeight, 3420);
  EXPECT_TRUE(form.Decl().keyPreview);
  EXPECT_EQ(app->form1["MenuShtDwnSys"].Caption(), "System Over Heat ");
  EXPECT_EQ(app->form1["CPUSysTempO"].Caption(), "CPU && System Temp");
  EXPECT_EQ(app->form1["Command5"].Decl().tooltip, "Test PC Shut Down!");
  EXPECT_EQ(app->form1["CtoF"].Decl().container, "Frame3");
  EXPECT_EQ(app->form1["SDmsgs"].Decl().container, "");
  // Tab order: every index once.
  std::vector<int> tabs;
  for (const auto& control : app->form1.Controls())
    if (control->Decl().tabIndex >= 0) tabs.push_back(control->Decl().tabIndex);
  std::sort(tabs.begin(), tabs.end());
  for (int i = 0; i < static_cast<int>(tabs.size()); ++i) EXPECT_EQ(tabs[i], i);
  EXPECT_EQ(tabs.size(), 29u);
}

}  // namespace
}  // namespace calorix::testing
