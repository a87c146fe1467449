// Closing the countdown dialog by its close box is the same as CANCEL.
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
