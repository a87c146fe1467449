#include "core/startup.h"

#include <exception>

#include "core/message_boxes.h"
#include "core/text.h"
#include "core/app.h"
#include "core/program_name.h"
#include "core/settings_version.h"
#include "monitor/monitor_locator.h"

namespace calorix {

namespace keys = settings::keys;

namespace {

platform::MessageBoxRequest Notice(std::string text, std::string title) {
  return ProgramBox(std::move(text), platform::MessageIcon::Information,
                    platform::MessageButtons::Ok, std::move(title));
}

}  // namespace

Startup::Startup(App& app) : app_(app) {
  app_.form1.onLoad = [this] { Run(); };
}

void Startup::Run() {
  auto& platform = app_.platform;
  auto& form1 = app_.form1;
  auto& settings = app_.settings;

  if (platform.process.IsAnotherInstanceRunning()) {
    platform.dialogs.ShowMessage(
        Notice("A copy of Calorix is already loaded!", std::string(kProgramName)));
    platform.process.EndProgram(0);
  }
  showOptions_ = ApplySettingsVersionRule(settings, platform).showOptions;

  form1.Show();
  form1.SetIcon(app_.host.LoadIconResource(app_.dataForm.Decl().iconId));
  app_.dataForm.Load();
  form1["CtoF"].SetCaption(std::string("F") + kDegreeSign);
  platform.process.ProcessPendingEvents();

  app_.state.InstallFolder = monitor::GetPath(platform);
  FillIntervalList();
  app_.trayIcon.UpdateIcons();
  RestoreWindowPosition();
  form1.Hide();
  platform.process.ProcessPendingEvents();

  RestoreAlarmOptions();
  ActOnAlarmRecord();
  form1["AlrmBuz"].SetState(settings.ReadState(keys::kAlrmBuzz));
  form1["RemHwmPos"].SetState(settings.ReadState(keys::kPosition));

  app_.state.MonitorWindow = 0;
  app_.state.MonitorShown = 1;
  form1["MnuHideStart"].SetState(settings.ReadState(keys::kSView));
  app_.state.SavedMonitorLeft = settings.ReadInteger(keys::kHWMLeft);
  app_.state.SavedMonitorTop = settings.ReadInteger(keys::kHWMTop);
  app_.state.MonitorWindow = monitor::FindMonitorWindow(platform.windows);
  platform.windows.SetTopmost(form1.Handle(), platform::ZOrder::Topmost);
  app_.windowControl.RemoveMeMenu();
  platform.process.ProcessPendingEvents();

  app_.recorder.RestoreAtStartup();
  form1["SwapCpuSysO"].SetValue(settings.ReadYesNo(keys::kSwapCpuSys));
  form1["CPUSysTempO"].SetValue(settings.ReadYesNo(keys::kCPUSysTemp));
  form1["NoIconO"].SetValue(settings.ReadYesNo(keys::kNoIcon));
  form1["CpuOnly"].SetValue(settings.ReadYesNo(keys::kCpuOnly));

  if (app_.state.MonitorWindow == 0) LaunchMonitor();

  // From here to the end, failures are ignored.
  IgnoringFailure([&] {
    platform.process.ProcessPendingEvents();
    platform.process.ProcessPendingEvents();
  });
  IgnoringFailure([&] { app_.windowControl.RemoveCloseButton(); });
  IgnoringFailure([&] {
    platform.process.ProcessPendingEvents();
    platform.process.ProcessPendingEvents();
  });
  IgnoringFailure([&] {
    if (form1["MnuHideStart"].State() != 1) app_.windowControl.ShowVia();
    else app_.windowControl.HideVia();
  });
  IgnoringFailure([&] {
    if (!showOptions_) return;
    form1.Show();
    app_.menu["MnuOptions"].checked = true;
  });
  IgnoringFailure([&] { app_.timer1.SetEnabled(true); });
  IgnoringFailure([&] {
    form1["DashState"].SetState(settings.ReadState(keys::kDashOn));
    if (form1["DashState"].State() != 1) return;
    app_.menu["MnuViewDashBrd"].checked = true;
    app_.form3.Load();
    app_.form3.SetWindowState(ui::WindowState::kNormal);
    app_.form3.Show();
    platform.process.ProcessPendingEvents();
  });
}

void Startup::FillIntervalList() {
  ui::Control& combo = app_.form1["Combo1"];
  for (const char* tenths : {".1", ".3", ".5", ".7", ".9"}) combo.AddListItem(tenths);
  for (int minutes = 1; minutes <= 60; ++minutes) combo.AddListItem(std::to_string(minutes));
}

void Startup::RestoreWindowPosition() {
  auto& form1 = app_.form1;
  auto& windows = app_.platform.windows;
  const std::int32_t left = app_.settings.ReadInteger(keys::kLeft);
  const std::int32_t top = app_.settings.ReadInteger(keys::kTop);
  if (left >= 0 && top >= 0) {
    form1.Move(left, top);
    return;
  }
  const double screenWidth = windows.ScreenWidthPixels() * windows.TwipsPerPixelX();
  const double screenHeight = windows.ScreenHeightPixels() * windows.TwipsPerPixelY();
  form1.Move((screenWidth - form1.Width()) / 2, (screenHeight - form1.Height()) / 2);
}

void Startup::RestoreAlarmOptions() {
  auto& form1 = app_.form1;
  auto& settings = app_.settings;
  form1["MnuForceSD"].SetState(settings.ReadState(keys::kForceSD));
  app_.state.forceFlag = static_cast<std::int16_t>(form1["MnuForceSD"].State());
  form1["MnuFastSD"].SetState(settings.ReadState(keys::kFastSD));
  form1["MenuShtDwnFan"].SetState(settings.ReadState(keys::kFan));
  form1["MenuShtDwnSys"].SetState(settings.ReadState(keys::kSys));
  form1["ShtDwnSysFan"].SetState(settings.ReadState(keys::kSysFan));
  form1["MenuShtDwnTemp"].SetState(settings.ReadState(keys::kTemp));
  form1["MenuShtDwnVolts"].SetState(settings.ReadState(keys::kVolts));
  form1["CtoF"].SetState(settings.ReadState(keys::kTipAsF));
  form1["SDmsgs"].SetState(settings.ReadState(keys::kSDmsgs));
}

void Startup::ActOnAlarmRecord() {
  auto& form1 = app_.form1;
  const std::string reason = app_.settings.ReadText(keys::kAlarm);
  if (reason.empty()) return;
  const std::string notice = "The last time Calorix ran it shut off your PC, due to the " + reason +
                             "\r\nPC shut down options have been turned off!" +
                             "\r\nPlease correct the problem or HWM settings.";
  form1["MnuFastSD"].SetState(0);
  form1["MnuForceSD"].SetState(0);
  app_.state.forceFlag = 0;
  for (const char* box : {"MenuShtDwnFan", "MenuShtDwnSys", "ShtDwnSysFan", "MenuShtDwnTemp",
                          "MenuShtDwnVolts"})
    form1[box].SetState(0);
  showOptions_ = true;
  app_.settings.Write(keys::kAlarm, "");
  if (form1["SDmsgs"].State() == 0)
    app_.platform.dialogs.ShowMessage(Notice(notice, "Calorix Alarm Notice!"));
}

void Startup::LaunchMonitor() {
  const auto outcome =
      monitor::LaunchAndWait(app_.platform, app_.form1.Handle(), app_.state.InstallFolder);
  if (outcome.result == monitor::LaunchOutcome::Result::kFound) {
    app_.state.MonitorWindow = outcome.window;
    return;
  }
  GiveUp(outcome.result == monitor::LaunchOutcome::Result::kWaitFailed, outcome.failure);
}

void Startup::GiveUp(bool waitFailed, const std::string& failure) {
  if (waitFailed) monitor::ShowWaitFailure(app_.platform.dialogs, failure);
  else monitor::ShowMonitorNotFound(app_.platform.dialogs);
  app_.trayIcon.Remove();
  app_.platform.process.EndProgram(1);
}

}  // namespace calorix
