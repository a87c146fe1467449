// The scrape on the simulated desktop with any window tree and any texts:
// the table holds the first 42 descendant texts in enumeration order (each
// cut to the 254 characters the buffer takes and at its first NUL), the
// counter ends at their number, nothing lands in slot 42 or above, and at
// most 43 windows are read.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "monitor/monitor_contract.h"
#include "monitor/monitor_text_table.h"
#include "monitor/text_scraper.h"
#include "fuzz/sim_desktop_holder.h"
#include "platform/sim/sim_desktop.h"

using calorix::fuzz::Shown;
using calorix::monitor::MonitorTextTable;
using calorix::platform::WindowHandle;

namespace {

MonitorTextTable& Table() {
  static MonitorTextTable* table = new MonitorTextTable();
  return *table;
}

struct Node {
  WindowHandle handle = 0;
  std::string title;
  std::vector<int> children;  // indices into the node list, creation order
  bool alive = true;
};

void Preorder(const std::vector<Node>& nodes, int index, std::vector<int>& out) {
  for (const int child : nodes[index].children) {
    if (!nodes[child].alive) continue;
    out.push_back(child);
    Preorder(nodes, child, out);
  }
}

std::string AsRead(const std::string& title) {
  std::string text = title.substr(0, calorix::monitor::kTextBufferChars - 1);
  if (const auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  calorix::sim::SimDesktop& desktop = calorix::fuzz::RecycledDesktop();
  MonitorTextTable& table = Table();

  // Leftovers of an earlier use of the table must not survive a scrape.
  table.Clear();
  const int leftovers = input.ConsumeIntegralInRange(0, 100);
  for (int i = 0; i < leftovers; ++i) table.AppendHandle(0x4000 + i);

  // Handles may be anywhere (negative, large), as long as the run's windows
  // do not meet the desktop's own handle or 0 (the simulated desktop takes
  // the handles it is told to). Every run sets where its handles start, so
  // that handles counted on over many runs never reach those either.
  const WindowHandle desktopHandle = desktop.DesktopWindow();
  WindowHandle base = desktopHandle + 0x10000;
  if (input.ConsumeBool()) {
    const auto wanted = input.ConsumeIntegralInRange<std::int64_t>(
        std::numeric_limits<std::int64_t>::min() / 2, std::numeric_limits<std::int64_t>::max() / 2);
    const bool clashes = (wanted <= 0 && wanted + 1000 >= 0) ||
                         (wanted <= desktopHandle && wanted + 1000 >= desktopHandle);
    if (!clashes) base = wanted;
  }
  desktop.SetNextHandle(base);

  std::vector<Node> nodes;
  nodes.push_back({desktop.CreateTopLevel(std::string(calorix::monitor::kMonitorTitle)), "", {}});
  const int windows = input.ConsumeIntegralInRange(0, 90);
  for (int i = 0; i < windows; ++i) {
    int parent = input.ConsumeIntegralInRange<int>(0, static_cast<int>(nodes.size()) - 1);
    while (!nodes[parent].alive) parent = 0;
    std::string className = input.ConsumeRandomLengthString(300);
    std::string title = input.ConsumeRandomLengthString(300);
    const WindowHandle handle =
        desktop.CreateWindow(nodes[parent].handle, std::move(className), title, {0, 0, 10, 10});
    nodes.push_back({handle, std::move(title), {}});
    nodes[parent].children.push_back(static_cast<int>(nodes.size()) - 1);
  }
  // Some windows go away again, with their descendants.
  const int destroyed = input.ConsumeIntegralInRange(0, 5);
  for (int i = 0; i < destroyed && nodes.size() > 1; ++i) {
    const int victim = input.ConsumeIntegralInRange<int>(1, static_cast<int>(nodes.size()) - 1);
    if (!nodes[victim].alive) continue;
    desktop.DestroyWindow(nodes[victim].handle);
    std::vector<int> gone{victim};
    Preorder(nodes, victim, gone);
    for (const int index : gone) nodes[index].alive = false;
  }
  const bool monitorGone = input.ConsumeBool() && input.ConsumeBool();
  if (monitorGone) {
    desktop.DestroyWindow(nodes[0].handle);
    for (Node& node : nodes) node.alive = false;
  }

  std::vector<int> order;
  if (!monitorGone) Preorder(nodes, 0, order);
  const std::size_t stored = std::min<std::size_t>(order.size(), MonitorTextTable::kReadingSlots);

  const auto readsBefore = desktop.WindowReads();
  calorix::monitor::ScrapeMonitorTexts(desktop, table, nodes[0].handle);
  const long long reads = desktop.WindowReads() - readsBefore;

  FUZZ_CHECK(table.Counter() == static_cast<std::int16_t>(stored), "counter %d after %zu descendants",
             table.Counter(), order.size());
  for (std::size_t i = 0; i < stored; ++i) {
    const std::string expected = AsRead(nodes[order[i]].title);
    FUZZ_CHECK(table.Slot(static_cast<int>(i)) == expected, "slot %zu holds \"%s\", not \"%s\"", i,
               Shown(table.Slot(static_cast<int>(i))).c_str(), Shown(expected).c_str());
  }
  for (int i = static_cast<int>(stored); i < MonitorTextTable::kSlotCount; ++i)
    FUZZ_CHECK(table.Slot(i).empty(), "slot %d is not empty after the scrape", i);
  const int visited = static_cast<int>(std::min<std::size_t>(order.size(), MonitorTextTable::kReadingSlots + 1));
  FUZZ_CHECK(reads == 2 * visited, "%lld window reads for %zu descendants", reads, order.size());

  // Leave the desktop as it was found.
  if (!monitorGone) desktop.DestroyWindow(nodes[0].handle);
  FUZZ_CHECK(desktop.WindowCount() == 1, "%zu windows left behind", desktop.WindowCount());
  return 0;
}
