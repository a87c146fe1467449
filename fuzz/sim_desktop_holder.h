// One simulated desktop shared by the runs of a fuzz target, made anew now
// and then so that its records (message boxes, read counters, handles) do
// not grow without end over millions of runs.
#pragma once

#include <memory>

#include "platform/sim/sim_desktop.h"

namespace calorix::fuzz {

inline sim::SimDesktop& RecycledDesktop() {
  static std::unique_ptr<sim::SimDesktop> desktop;
  static int uses = 0;
  if (!desktop || ++uses > 20'000) {
    desktop.reset();  // first, so that its temporary folder goes
    desktop = std::make_unique<sim::SimDesktop>();
    uses = 0;
  }
  return *desktop;
}

}  // namespace calorix::fuzz
