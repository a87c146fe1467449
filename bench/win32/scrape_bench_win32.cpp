// Prints the cost of reading the real stand-in monitor under Wine (or
// Windows): one whole scrape, and one window-text read. Run it while the
// stand-in runs; it starts the installed one when none does.
#include <chrono>
#include <cstdio>

#include "monitor/monitor_locator.h"
#include "monitor/monitor_text_table.h"
#include "monitor/text_scraper.h"
#include "recorder/recorder.h"
#include "tray/reading_cycle.h"
#include "platform/win32/win32_platform.h"

namespace {

double MicrosecondsSince(std::chrono::steady_clock::time_point start, int rounds) {
  const auto elapsed = std::chrono::steady_clock::now() - start;
  return std::chrono::duration<double, std::micro>(elapsed).count() / rounds;
}

}  // namespace

int main() {
  calorix::platform::win32::Win32Platform real({.settingsRoot = "Software\\CalorixBench",
                                                .instanceMutexName = "Local\\CalorixBench"});
  auto& platform = real.Get();
  auto window = calorix::monitor::FindMonitorWindow(platform.windows);
  bool launched = false;
  if (window == 0) {
    const auto outcome =
        calorix::monitor::LaunchAndWait(platform, 0, calorix::monitor::GetPath(platform));
    window = outcome.window;
    launched = true;
  }
  if (window == 0) {
    std::printf("no monitor window\n");
    return 1;
  }
  calorix::monitor::MonitorTextTable table;
  constexpr int kScrapes = 300;
  auto start = std::chrono::steady_clock::now();
  for (int round = 0; round < kScrapes; ++round)
    calorix::monitor::ScrapeMonitorTexts(platform.windows, table, window);
  const double perScrape = MicrosecondsSince(start, kScrapes);

  // A reading cycle's own work: the scrape, the tooltip and the record line.
  std::size_t produced = 0;
  start = std::chrono::steady_clock::now();
  for (int round = 0; round < kScrapes; ++round) {
    calorix::monitor::ScrapeMonitorTexts(platform.windows, table, window);
    produced += calorix::tray::BuildTooltip(table, false).size();
    produced += calorix::recorder::RecordLine("08/12/26 10:00", table).size();
  }
  const double perCycle = MicrosecondsSince(start, kScrapes);

  const auto firstChild = platform.windows.FirstChild(window);
  constexpr int kReads = 3000;
  start = std::chrono::steady_clock::now();
  for (int round = 0; round < kReads; ++round)
    platform.windows.WindowText(firstChild, calorix::monitor::kTextBufferChars);
  const double perRead = MicrosecondsSince(start, kReads);

  std::printf("scrape of the stand-in monitor (%d texts): %.1f us; one window-text read: %.1f us\n",
              table.Counter(), perScrape, perRead);
  std::printf("one reading cycle's work against the stand-in: %.1f us (%zu characters made)\n",
              perCycle, produced);
  if (launched) platform.windows.PostCloseRequest(window);
  return 0;
}
