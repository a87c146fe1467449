// A virtual month of the whole program on the simulated desktop: the
// monitor hidden, recording every 6 seconds (interval ".1"), the dashboard
// and the data viewer open, the CPU temperature changing every minute.
// Prints the heap in use after a warm-up of two virtual hours and at the end
// of each virtual day, with the record file's size and the viewer's state.
// An optional argument sets the number of days (30 by default).
// Figures only; nothing fails.
//
// The viewer opens files of up to 65,000 bytes, so after about a thousand
// records the refresh that follows a record finds the file too large: the
// message says so once, the viewer empties and is no longer refreshed, and
// the file keeps growing.
#include <malloc.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/app.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_forms.h"
#include "tests/support/sim_monitor.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint64_t kMinuteMs = 60'000;
constexpr std::uint64_t kHourMs = 60 * kMinuteMs;
constexpr std::uint64_t kDayMs = 24 * kHourMs;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Bytes the allocator has handed out and not had back, mapped blocks included.
std::uint64_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

struct Month {
  calorix::sim::SimDesktop desktop;
  calorix::sim::SimFormHost host{desktop};
  calorix::testing::SimMonitor monitor{desktop};
  std::unique_ptr<calorix::App> app;
  int minute = 0;

  Month() {
    auto& startup = desktop.SettingsData()["Startup"];
    startup["Version"] = "44";
    startup["Record"] = "1";
    startup["RecDelay"] = ".1";
    startup["ChkDatRec"] = "0";  // no reminder question at start
    startup["DashOn"] = "1";
    calorix::testing::InstallMonitorEntry(desktop);
    monitor.Start();
    app = std::make_unique<calorix::App>(desktop.Platform(), host);
    app->Start();
    ChangeTemperatureEveryMinute();
  }

  void ChangeTemperatureEveryMinute() {
    desktop.After(kMinuteMs, [this] {
      ++minute;
      monitor.SetReading(standin::Reading::CpuTemp, std::to_string(40 + minute % 25));
      ChangeTemperatureEveryMinute();
    });
  }

  std::uint64_t RecordBytes() {
    return desktop.Size(calorix::recorder::kRecordFileName).value_or(0);
  }
  int TooLargeMessages() const {
    int count = 0;
    for (const auto& box : desktop.MessageBoxes())
      count += box.text == "The log is too large to open with Calorix";
    return count;
  }
  std::string Viewer() {
    const bool shown = app->dataForm.Loaded() && app->dataForm.Visible();
    return std::string(shown ? "shown" : "closed") + ", " +
           std::to_string(app->dataForm.Loaded() ? app->dataForm["Text1"].Text().size() : 0) +
           " bytes of text, refreshed: " + (app->recorder.DatViewOpen == 1 ? "yes" : "no") +
           ", \"View Data\" checked: " + (app->menu["MnuVwDat"].checked ? "yes" : "no");
  }
};

}  // namespace

int main(int argc, char** argv) {
  const int days = argc > 1 ? std::atoi(argv[1]) : 30;
  const std::uint64_t heapBefore = HeapInUse();
  Month month;
  const auto started = Clock::now();
  month.desktop.Advance(3'000);  // the first reading cycle writes the first record
  month.app->form1["Command3"].Click();  // View
  std::printf("month on the simulated desktop: monitor %s, recording at %s, dashboard %s, "
              "viewer %s\n",
              month.app->state.MonitorShown == 0 ? "hidden" : "SHOWN",
              month.app->form1["Combo1"].Text().c_str(),
              month.app->menu["MnuViewDashBrd"].checked ? "open" : "NOT open",
              month.app->recorder.DatViewOpen == 1 ? "open" : "NOT open");

  // Warm-up: two hours, past the record that makes the file too large for
  // the viewer (after about 98 minutes), so the days compare like with like.
  std::uint64_t warm = 0;
  for (int hour = 1; hour <= 2; ++hour) {
    month.desktop.Advance(kHourMs);
    warm = HeapInUse();
    std::printf("after %d h: heap in use %.1f KiB (%.1f KiB before the program), record file "
                "%llu bytes; viewer %s\n",
                hour, warm / 1024.0, heapBefore / 1024.0,
                static_cast<unsigned long long>(month.RecordBytes()), month.Viewer().c_str());
  }

  for (int day = 1; day <= days; ++day) {
    const auto dayStart = Clock::now();
    month.desktop.Advance(kDayMs);
    const std::uint64_t heap = HeapInUse();
    std::printf("day %2d: heap in use %8.1f KiB (%+7.1f KiB since the warm-up), record file %9llu "
                "bytes, %5.2f s real\n",
                day, heap / 1024.0, (static_cast<double>(heap) - static_cast<double>(warm)) / 1024.0,
                static_cast<unsigned long long>(month.RecordBytes()), SecondsSince(dayStart));
  }
  std::printf("at the end: viewer %s; \"too large\" messages %d; tray requests %llu "
              "(%zu kept); message boxes %llu\n",
              month.Viewer().c_str(), month.TooLargeMessages(),
              static_cast<unsigned long long>(month.desktop.TrayRequests().Total()),
              month.desktop.TrayRequests().size(),
              static_cast<unsigned long long>(month.desktop.MessageBoxes().Total()));
  std::printf("%d virtual days in %.1f s real\n", days, SecondsSince(started));
  return 0;
}
