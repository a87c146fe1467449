#include "alarm/countdown.h"

#include "alarm/shutdown.h"
#include "core/app.h"

namespace calorix::alarm {

std::string CountdownText(int secondsLeft) {
  return "This PC will shut down in " + std::to_string(secondsLeft) +
         " seconds!\r\n\r\nPRESS CANCEL NOW TO ABORT!!!";
}

Countdown::Countdown(App& app) : app_(app) {
  app_.form2.onLoad = [this] { OnLoad(); };
  app_.form2["Command1"].onClick = [this] { Cancel(); };
  // Closing the dialog (its close box, Alt+F4) while it counts is taken as
  // CANCEL: a hidden countdown must not power the PC off behind the user.
  app_.form2.onQueryUnload = [this] {
    if (app_.countdownTimer.Enabled()) Cancel();
  };
  app_.countdownTimer.onTick = [this] { Step(); };
}

void Countdown::Show() { app_.form2.Show(); }

void Countdown::OnLoad() {
  auto& platform = app_.platform;
  // Show() finishes after this handler; the dialog is made visible first.
  app_.form2.Show();
  platform.process.ProcessPendingEvents();
  platform.windows.SetTopmost(app_.form2.Handle(), platform::ZOrder::Topmost);
  platform.process.ProcessPendingEvents();
  app_.form2["Label2"].SetCaption(app_.state.pendingShutdownReason);
  platform.process.ProcessPendingEvents();
  app_.countdownTimer.SetEnabled(true);
  const bool fast = app_.settings.ReadYesNo(settings::keys::kFastSD);
  SecondsLeft = fast ? 1 : 6;
  Step();
}

void Countdown::Step() {
  --SecondsLeft;
  app_.form2["Label1"].SetCaption(CountdownText(SecondsLeft));
  if (app_.form1["AlrmBuz"].State() == 1) app_.power.PlayAlarmSound();
  if (SecondsLeft >= 1) return;
  PowerOff();
}

void Countdown::PowerOff() {
  auto& platform = app_.platform;
  app_.countdownTimer.SetEnabled(false);
  platform.windows.SetTopmost(app_.form2.Handle(), platform::ZOrder::NoTopmost);
  app_.settings.Write(settings::keys::kAlarm, app_.state.pendingShutdownReason);
  app_.trayIcon.Remove();
  app_.form2.Hide();
  platform.process.ProcessPendingEvents();
  const bool ntFamily = (platform.system.GetVersion() & 0x80000000u) == 0;
  const bool force = app_.state.forceFlag != 0;
  if (ntFamily) {
    if (force) app_.power.ForcedPowerOff();
    else app_.power.PlainPowerOff();
  } else {
    platform.system.ExitSession(force ? kOldFamilyForcedFlags : kOldFamilyPlainFlags);
  }
  platform.process.EndProgram(0);
}

void Countdown::Cancel() {
  auto& platform = app_.platform;
  app_.countdownTimer.SetEnabled(false);
  platform.windows.SetTopmost(app_.form2.Handle(), platform::ZOrder::NoTopmost);
  // A log that cannot take the line does not keep the program from ending.
  platform.files.Append(kShutdownLogName, std::string(kAbortLine) + "\r\n");
  platform.process.ProcessPendingEvents();
  app_.form1.Unload();
  app_.form2.Unload();
  platform.process.EndProgram(0);
}

}  // namespace calorix::alarm
