// Edges of the alarm path: closing the countdown window, unusual handles.
#include "tests/support/app_fixture.h"

namespace calorix::testing {
namespace {

TEST_F(AppTest, ClosingTheCountdownDialogCancelsThePowerOff) {
  ReturningUser();
  monitor.Start();
  ASSERT_TRUE(Start());
  Click("Command5");  // "Test"
  ASSERT_TRUE(app->form2.Visible());
  Advance(2000);
  Do([&] {
    desktop.PostCloseRequest(app->form2.Handle());
    desktop.ProcessPendingEvents();
  });
  EXPECT_TRUE(ended);
  EXPECT_TRUE(desktop.ExitWindowsRequests().empty());
  EXPECT_EQ(Setting("Alarm"), std::nullopt);
  EXPECT_NE(FileText("Calorix_ShutDown.txt").find("PC Shutdown aborted by user.\r\n"),
            std::string::npos);
  EXPECT_TRUE(desktop.TrayIcons().empty());
}

}  // namespace
}  // namespace calorix::testing

namespace calorix::testing {
namespace {

// An alarm window whose handle is negative as a signed 32-bit number is
// still an alarm window.
TEST_F(AppTest, AnAlarmWindowWithANegativeHandleIsSeen) {
  ReturningUser();
  Store("Temp", "1");
  Store("AlrmBuzz", "0");
  monitor.Start();
  ASSERT_TRUE(Start());
  desktop.SetNextHandle(-0x7F000000LL);
  const auto alarm = monitor.OpenAlarm("CPU Tempture Alarm !");
  ASSERT_LT(alarm, 0);
  Advance(1000);
  EXPECT_TRUE(app->form2.Visible());
  EXPECT_EQ(app->state.pendingShutdownReason, "CPU Temp Alarm !");
}

}  // namespace
}  // namespace calorix::testing
