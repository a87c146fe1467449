// Prints the cost of one scrape of the monitor window on the simulated
// desktop. A figure to watch, not a test: nothing here fails.
#include <chrono>
#include <cstdio>

#include "monitor/monitor_text_table.h"
#include "monitor/text_scraper.h"
#include "platform/sim/sim_desktop.h"
#include "tests/support/sim_monitor.h"

int main() {
  calorix::sim::SimDesktop desktop;
  calorix::testing::SimMonitor monitor(desktop);
  const auto main = monitor.Start();
  calorix::monitor::MonitorTextTable table;

  constexpr int kRounds = 20000;
  const auto start = std::chrono::steady_clock::now();
  for (int round = 0; round < kRounds; ++round)
    calorix::monitor::ScrapeMonitorTexts(desktop, table, main);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  const double ns = std::chrono::duration<double, std::nano>(elapsed).count() / kRounds;
  std::printf("scrape of a %d-descendant monitor window on the simulated desktop: %.0f ns "
              "(%d windows visited, %.1f ns per text or class-name read)\n",
              standin::kControlCount, ns, 43, ns / (2 * 43));
  return table.Counter() == 42 ? 0 : 1;
}
