// The text table as a list of window handles: every handle appended reads
// back exactly at its slot, the counter follows the appends, the table
// takes 3073 entries and no more, and clearing empties it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "monitor/leading_number.h"
#include "monitor/monitor_text_table.h"

using calorix::fuzz::Shown;
using calorix::monitor::MonitorTextTable;

namespace {

MonitorTextTable& Table() {
  static MonitorTextTable* table = new MonitorTextTable();  // reused: it is big
  return *table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  MonitorTextTable& table = Table();
  table.Clear();
  // What each slot should hold: a handle, or a text.
  std::vector<std::variant<std::int64_t, std::string>> model;
  bool bulkDone = false;

  // A clear walks all 3073 slots: a few dozen steps a run keep it quick.
  for (int step = 0; step < 64 && input.remaining_bytes() > 0; ++step) {
    switch (input.ConsumeIntegralInRange(0, 5)) {
      case 0:
      case 1: {
        const auto handle = input.ConsumeIntegral<std::int64_t>();
        const bool taken = table.AppendHandle(handle);
        FUZZ_CHECK(taken == (model.size() < MonitorTextTable::kSlotCount),
                   "append %s with %zu slots taken", taken ? "taken" : "refused", model.size());
        if (taken) model.emplace_back(handle);
        break;
      }
      case 2: {
        // Many handles at once, to reach the end of the table (once a run:
        // it is the costly step).
        if (bulkDone) break;
        bulkDone = true;
        const auto first = input.ConsumeIntegral<std::int64_t>();
        const int n = input.ConsumeIntegralInRange(0, 4000);
        for (int i = 0; i < n; ++i) {
          const std::int64_t handle = static_cast<std::int64_t>(static_cast<std::uint64_t>(first) + i);
          const bool taken = table.AppendHandle(handle);
          FUZZ_CHECK(taken == (model.size() < MonitorTextTable::kSlotCount), "bulk append at %zu",
                     model.size());
          if (!taken) break;
          model.emplace_back(handle);
        }
        break;
      }
      case 3: {
        std::string text = input.ConsumeRandomLengthString(64);
        const bool taken = table.Append(text);
        if (taken) model.emplace_back(std::move(text));
        break;
      }
      case 4:
        table.Clear();
        model.clear();
        break;
      case 5: {
        const int index = input.ConsumeIntegral<int>();
        const bool inside = index >= 0 && static_cast<std::size_t>(index) < model.size();
        if (!inside)
          FUZZ_CHECK(table.HandleAt(index) == 0 && table.Slot(index).empty(),
                     "empty slot %d does not read as 0", index);
        break;
      }
    }
    FUZZ_CHECK(table.Counter() == static_cast<std::int16_t>(model.size()), "counter %d for %zu entries",
               table.Counter(), model.size());
    FUZZ_CHECK(table.Full() == (model.size() == MonitorTextTable::kSlotCount), "full at %zu",
               model.size());
  }

  for (std::size_t i = 0; i < model.size(); ++i) {
    const int index = static_cast<int>(i);
    if (const auto* handle = std::get_if<std::int64_t>(&model[i])) {
      FUZZ_CHECK(table.HandleAt(index) == *handle, "slot %d holds \"%s\", read as %lld, not %lld",
                 index, Shown(table.Slot(index)).c_str(), static_cast<long long>(table.HandleAt(index)),
                 static_cast<long long>(*handle));
    } else {
      const std::string& text = std::get<std::string>(model[i]);
      FUZZ_CHECK(table.Slot(index) == text, "slot %d lost its text", index);
      FUZZ_CHECK(table.HandleAt(index) == calorix::monitor::ParseLeadingInteger(text),
                 "slot %d text \"%s\" read as another handle", index, Shown(text).c_str());
    }
  }
  for (std::size_t i = model.size(); i < MonitorTextTable::kSlotCount; i += 97)
    FUZZ_CHECK(table.Slot(static_cast<int>(i)).empty() && table.HandleAt(static_cast<int>(i)) == 0,
               "slot %zu past the counter is not empty", i);
  return 0;
}
