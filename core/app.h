// The running program: its windows, its program-wide values and its
// subsystems, wired together once. Everything runs on the user-interface
// thread; the subsystems keep no state of their own beyond what is here.
#pragma once

#include <cstdint>
#include <string>

#include "alarm/countdown.h"
#include "alarm/poll_timer.h"
#include "alarm/power.h"
#include "alarm/shutdown.h"
#include "core/exit_sequence.h"
#include "core/settings_store.h"
#include "core/startup.h"
#include "monitor/monitor_text_table.h"
#include "monitor/window_control.h"
#include "options/options_window.h"
#include "platform/forms.h"
#include "platform/platform.h"
#include "recorder/chart_window.h"
#include "recorder/data_viewer.h"
#include "recorder/recorder.h"
#include "tray/dashboard.h"
#include "tray/reading_cycle.h"
#include "tray/tray_icon.h"

namespace calorix {

// Values the main window keeps for the whole run.
struct ProgramState {
  std::string InstallFolder;                 // the monitor's folder
  platform::WindowHandle MonitorWindow = 0;  // the window titled "VIA HWM"
  std::int32_t MonitorShown = 0;             // 1: this program last showed it
  std::int32_t SavedMonitorLeft = -100;      // remembered place, pixels
  std::int32_t SavedMonitorTop = -100;
  std::int16_t forceFlag = 0;                // "Force Shutdown" as it was at start
  std::string pendingShutdownReason;
};

class App {
 public:
  App(platform::Platform& platform, ui::FormHost& host);
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Loads the main window: its load handler is the startup sequence.
  void Start() { form1.Load(); }
  // Unloads the main window (the exit sequence), then ends the program.
  void Quit();

  platform::Platform& platform;
  ui::FormHost& host;
  SettingsStore settings;
  monitor::MonitorTextTable table;
  ProgramState state;

  ui::Form form1;     // options window; owns the tray icon, poll timer and menu
  ui::Form form2;     // countdown dialog
  ui::Form form3;     // dashboard
  ui::Form dataForm;  // data viewer
  ui::Form chartForm; // chart of the records
  ui::PopupMenu menu;
  ui::FormTimer timer1;          // the poll timer
  ui::FormTimer countdownTimer;  // Form2's timer

  monitor::WindowControl windowControl;
  tray::TrayIcon trayIcon;
  tray::ReadingCycle readingCycle;
  tray::Dashboard dashboard;
  alarm::Power power;
  alarm::PollTimer pollTimer;
  alarm::Shutdown shutdown;
  alarm::Countdown countdown;
  recorder::Recorder recorder;
  recorder::DataViewer dataViewer;
  recorder::ChartWindow chartWindow;
  options::OptionsWindow options;
  Startup startup;
  ExitSequence exitSequence;
};

}  // namespace calorix
