// The startup sequence: the main window's load handler.
#pragma once

#include <string>

namespace calorix {

class App;

class Startup {
 public:
  explicit Startup(App& app);

  void Run();

 private:
  void RestoreWindowPosition();
  void RestoreAlarmOptions();
  void ActOnAlarmRecord();
  void FillIntervalList();
  void LaunchMonitor();
  // Ends the program at once after a failed launch: box, icon gone, end.
  void GiveUp(bool waitFailed, const std::string& failure);

  App& app_;
  bool showOptions_ = false;
};

}  // namespace calorix
