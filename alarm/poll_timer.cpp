#include "alarm/poll_timer.h"

#include "core/app.h"
#include "monitor/monitor_locator.h"

namespace calorix::alarm {

namespace {

constexpr AlarmRow kRows[] = {
    {{"CPU Tempture Alarm !", "CPU       Tempture Alarm !"}, "MenuShtDwnTemp", "CPU Temp Alarm !"},
    {{"Voltage Abnormal !", ""}, "MenuShtDwnVolts", "Voltage Abnormal !"},
    {{"CPU Fan Alarm!", "CPU      Fan Alarm!"}, "MenuShtDwnFan", "CPU Fan Alarm!"},
    {{"System Temperture Alarm !", "System    Temperture Alarm !"}, "MenuShtDwnSys",
     "System Temperture Alarm !"},
    {{"System Tempture Alarm !", "System   Tempture Alarm !"}, "MenuShtDwnSys",
     "System Hysteresis Alarm !"},
    {{"System Fan Alarm!", "System   Fan Alarm!"}, "ShtDwnSysFan", "System Fan Alarm!"},
};

}  // namespace

const std::span<const AlarmRow> kAlarmRows = kRows;

PollTimer::PollTimer(App& app) : app_(app) {
  app_.timer1.onTick = [this] { Tick(); };
}

void PollTimer::Stop() {
  app_.timer1.SetInterval(0);
  app_.timer1.SetEnabled(false);
}

bool PollTimer::RowPresent(const AlarmRow& row) {
  // Every caption is looked up, with no short cut after a hit. Any handle
  // other than 0 is a window: valid handles can be negative as 32-bit numbers.
  bool present = false;
  for (const std::string_view caption : row.captions) {
    if (caption.empty()) continue;
    if (app_.platform.windows.FindTopLevelWindow(caption) != 0) present = true;
  }
  return present;
}

void PollTimer::Tick() {
  app_.state.MonitorWindow = monitor::FindMonitorWindow(app_.platform.windows);
  if (app_.state.MonitorWindow == 0) {
    Stop();
    app_.Quit();
    return;
  }
  if (app_.windowControl.MonitorMinimized()) app_.windowControl.HideVia();

  bool alarmSeen = false;
  for (const AlarmRow& row : kAlarmRows) {
    if (!RowPresent(row)) continue;
    alarmSeen = true;
    if (app_.form1[row.checkBox].State() == 1) app_.shutdown.ShutDown(std::string(row.reason));
  }
  if (alarmSeen && app_.form1["AlrmBuz"].State() == 1) app_.power.PlayAlarmSound();
  if (!alarmSeen) app_.readingCycle.GetTextForTray();
}

}  // namespace calorix::alarm
