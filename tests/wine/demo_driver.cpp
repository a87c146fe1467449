// Puts the running Calorix through its paces for the demo run: the options
// window, recording at the shortest interval, the dashboard and the data
// viewer, so that a screenshot shows them all. Prints what it did.
#include <cstdio>

#include "platform/win32/desktop_driver.h"

namespace drive = calorix::platform::win32::driver;

namespace {

enum MenuItem { kShowHwm, kHideHwm, kOptions, kViewData, kViewDashBoard, kCancel, kCloseHwm };

bool Choose(calorix::platform::WindowHandle form1, MenuItem item) {
  drive::PostTrayEvent(form1, 0x205);
  return drive::ChooseMenuItem(item, 5000);
}

}  // namespace

int main() {
  const auto form1 = drive::WaitForWindow("Calorix", 60'000);
  const auto monitor = drive::WaitForWindow("VIA HWM", 60'000);
  if (form1 == 0 || monitor == 0) {
    std::puts("Calorix or the monitor did not start");
    return 1;
  }
  for (int wait = 0; wait < 100 && drive::Visible(monitor); ++wait) drive::Pause(100);
  if (!drive::Visible(form1)) Choose(form1, kOptions);
  drive::Pause(1000);

  // Recording at ".1" writes a line every 6 seconds.
  const auto combo = drive::FindChild(form1, "5", "ComboBox");
  if (combo != 0) drive::SetComboText(combo, ".1");
  const auto record = drive::FindChild(form1, "Record Data", "Button");
  if (record != 0 && !drive::Checked(record)) drive::Click(record);
  drive::Pause(1000);

  Choose(form1, kViewDashBoard);
  // Side by side rather than on top of each other, as a user would arrange them.
  if (const auto dashboard = drive::WaitForWindow("DashBoard", 5000)) drive::Move(dashboard, 760, 60);
  std::puts("dashboard opened");
  drive::Pause(14'000);
  Choose(form1, kViewData);
  drive::Pause(2000);
  const auto viewer = drive::FindTopLevel(" HWM Data Records");
  if (viewer != 0) drive::Move(viewer, 10, 10);
  drive::Move(form1, 620, 400);
  std::puts(viewer != 0 ? "data viewer opened" : "data viewer did not open");
  return 0;
}
