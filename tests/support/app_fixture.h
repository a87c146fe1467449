// The whole program on the simulated desktop, with the stand-in monitor
// installed, for scenario tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/app.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_forms.h"
#include "tests/support/sim_monitor.h"

namespace calorix::testing {

// A file's lines without their CR LF ends.
std::vector<std::string> SplitLines(const std::string& text);

class AppTest : public ::testing::Test {
 protected:
  AppTest() { InstallMonitorEntry(desktop); }

  // Loads the main window (the startup sequence). False when the program
  // ended during it.
  bool Start();
  // Lets virtual time pass; notes the program's end.
  void Advance(std::uint64_t ms);
  // Runs an action of the user or the shell, noting the program's end.
  void Do(const std::function<void()>& action);
  void TrayEvent(int mouseMessage) { Do([&] { app->form1.onMouseMove(mouseMessage); }); }
  void ChooseMenu(const std::string& item) {
    host.QueueMenuChoice(item);
    TrayEvent(517);
  }
  void Click(const std::string& control) { Do([&] { app->form1[control].Click(); }); }

  std::optional<std::string> Setting(const std::string& key, const std::string& section = "Startup") {
    return desktop.Setting(section, key);
  }
  void Store(const std::string& key, const std::string& value, const std::string& section = "Startup") {
    desktop.SettingsData()[section][key] = value;
  }
  // A settings store as a returning user has it: version 44 and nothing else.
  void ReturningUser() { Store("Version", "44"); }
  std::string FileText(const std::string& name);
  bool FileExists(const std::string& name);
  // The tray's tooltip as the shell shows it (up to its NUL); empty without an icon.
  std::string Tip();
  const platform::TrayRecord* TrayIcon();
  int MessageBoxesWithText(const std::string& text);

  sim::SimDesktop desktop;
  sim::SimFormHost host{desktop};
  SimMonitor monitor{desktop};
  std::unique_ptr<App> app;
  bool ended = false;
  int exitCode = -1;
};

}  // namespace calorix::testing
