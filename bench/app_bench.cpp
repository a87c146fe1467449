// Figures of the whole program on the simulated desktop: one reading cycle,
// one take-over of the monitor window on a crowded desktop, and how many
// virtual hours of polling run in a real second. Figures only; nothing fails.
#include <chrono>
#include <cstdio>
#include <memory>

#include "core/app.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_forms.h"
#include "tests/support/sim_monitor.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Running {
  calorix::sim::SimDesktop desktop;
  calorix::sim::SimFormHost host{desktop};
  calorix::testing::SimMonitor monitor{desktop};
  std::unique_ptr<calorix::App> app;

  explicit Running(int extraWindows = 0) {
    desktop.SettingsData()["Startup"]["Version"] = "44";
    calorix::testing::InstallMonitorEntry(desktop);
    const auto crowd = desktop.CreateTopLevel("Crowd");
    for (int i = 0; i < extraWindows; ++i) desktop.CreateWindow(crowd, "Static", "x", {0, 0, 1, 1});
    monitor.Start();
    app = std::make_unique<calorix::App>(desktop.Platform(), host);
    app->Start();
  }
};

}  // namespace

int main() {
  {
    Running program;
    constexpr int kCycles = 20000;
    const auto start = Clock::now();
    // Three calls make one reading cycle.
    for (int call = 0; call < 3 * kCycles; ++call) program.app->readingCycle.GetTextForTray();
    std::printf("one reading cycle on the simulated desktop: %.2f us\n",
                SecondsSince(start) * 1e6 / kCycles);
  }
  {
    Running program(3073);
    constexpr int kRounds = 20;
    const auto start = Clock::now();
    for (int round = 0; round < kRounds; ++round) program.app->windowControl.RemoveCloseButton();
    std::printf("RemoveCloseButton with %zu windows on the desktop: %.2f ms\n",
                program.desktop.WindowCount(), SecondsSince(start) * 1e3 / kRounds);
  }
  {
    Running program;
    program.app->form1["MnuRecord"].SetState(1);
    program.app->form1["Combo1"].SetText(".1");
    constexpr std::uint64_t kHours = 24;
    const auto start = Clock::now();
    program.desktop.Advance(kHours * 3600 * 1000);
    std::printf("polling with the monitor hidden: %.1f virtual hours per real second\n",
                kHours / SecondsSince(start));
  }
  return 0;
}
