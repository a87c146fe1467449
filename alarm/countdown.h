// The countdown dialog: the reason, the seconds left and "CANCEL"; at zero
// the reason is stored for the next start and the PC is powered off.
#pragma once

#include <cstdint>
#include <string>

namespace calorix {
class App;
}

namespace calorix::alarm {

// "This PC will shut down in 5 seconds!" and the CANCEL hint below it.
std::string CountdownText(int secondsLeft);

class Countdown {
 public:
  explicit Countdown(App& app);

  // Shows the dialog; its load runs the first step at once.
  void Show();
  // One second of the countdown (the dialog's timer tick).
  void Step();
  void Cancel();

  std::int16_t SecondsLeft = 0;

 private:
  void OnLoad();
  void PowerOff();

  App& app_;
};

}  // namespace calorix::alarm
