#include "tray/tray_icon.h"

#include "core/app.h"
#include "core/program_name.h"
#include "monitor/leading_number.h"

namespace calorix::tray {

using platform::TrayOperation;

std::string PadTip(std::string_view text) {
  std::string tip(text.substr(0, platform::TrayRecord::kTipChars));
  tip.resize(platform::TrayRecord::kTipChars, ' ');
  return tip;
}

TrayIcon::TrayIcon(App& app) : app_(app) {
  record_.szTip = PadTip("");
  app_.form1.onMouseMove = [this](int x) { OnMouseMove(x); };
  app_.menu["MenuClose"].onClick = [this] { app_.Quit(); };
}

// The tray shows every picture at the system's small-icon size, loaded as
// drawn for that size: the shell would blur a larger one shrinking it.
platform::IconHandle TrayIcon::ApplicationIcon() { return app_.host.LoadSmallIconResource(kAppIconId); }

void TrayIcon::UpdateIcons() {
  record_.cbSize = kTrayRecordSize;
  record_.hWnd = app_.form1.Handle();
  record_.uID = kTrayIconId;
  record_.uFlags = kTrayFlags;
  record_.uCallbackMessage = kTrayCallbackMessage;
  record_.hIcon = ApplicationIcon();
  record_.szTip = PadTip(std::string(kProgramName) + '\0');
  app_.platform.shell.NotifyIcon(TrayOperation::Add, record_);  // an existing icon refuses harmlessly
}

void TrayIcon::ResetTray() {
  if (!app_.form1["NoIconO"].Value())
    app_.platform.shell.NotifyIcon(TrayOperation::Delete, record_);
  app_.platform.process.ProcessPendingEvents();
  record_.hIcon = ApplicationIcon();
  app_.platform.shell.NotifyIcon(TrayOperation::Modify, record_);
  app_.platform.process.ProcessPendingEvents();
  LastIconTemp = -1;
}

void TrayIcon::UpdatePicture() {
  if (app_.form1["CPUSysTempO"].Value()) {
    ShowSystemTemp = ShowSystemTemp ? 0 : 1;
  } else if (app_.form1["SwapCpuSysO"].Value()) {
    ShowSystemTemp = 1;
  } else {
    ShowSystemTemp = 0;
  }
  const int slot = ShowSystemTemp ? monitor::slots::kSysTemp : monitor::slots::kCpuTemp;
  const std::int32_t temperature = monitor::ParseLeadingWholeNumber(app_.table.Slot(slot));
  if (temperature == LastIconTemp) return;
  LastIconTemp = temperature;
  int picture = temperature;
  if (temperature >= kFlameFromDegrees) picture = kFlameIconId;
  else if (temperature <= kSnowflakeUpToDegrees) picture = kSnowflakeIconId;
  image1_ = app_.host.LoadSmallIconResource(picture);
  record_.hIcon = image1_;
  app_.platform.shell.NotifyIcon(TrayOperation::Modify, record_);
}

void TrayIcon::UpdateTip(std::string_view text) {
  record_.szTip = PadTip(text);
  app_.platform.shell.NotifyIcon(TrayOperation::Modify, record_);
}

void TrayIcon::Remove() { app_.platform.shell.NotifyIcon(TrayOperation::Delete, record_); }

void TrayIcon::OnMouseMove(int x) {
  if (x == kMouseLeftButtonUp) {
    if (app_.state.MonitorShown == 1) app_.windowControl.HideVia();
    else app_.windowControl.ShowVia();
  } else if (x == kMouseRightButtonUp) {
    ShowPopupMenu();
  }
}

void TrayIcon::OnTaskbarCreated() {
  if (record_.cbSize == 0) return;  // no icon was ever added
  app_.platform.shell.NotifyIcon(TrayOperation::Add, record_);
}

void TrayIcon::ShowPopupMenu() {
  const auto chosen = app_.host.TrackPopupMenu(app_.menu, app_.form1.Handle());
  if (chosen && !chosen->empty()) app_.menu.Choose(*chosen);
}

}  // namespace calorix::tray
