// The settings store over the simulated settings backend, with any text (or
// none) stored under every key and any decimal separator: every read gives
// a value of its key's form, a text that does not convert gives the key's
// default, and what the program writes back reads back the same.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "core/numbers.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/separators.h"
#include "fuzz/sim_desktop_holder.h"
#include "platform/sim/sim_desktop.h"

using calorix::fuzz::Shown;
namespace settings = calorix::settings;

namespace {

bool FitsRange(double value, settings::Range range) {
  switch (range) {
    case settings::Range::kAny:
      return std::isfinite(value);
    case settings::Range::kSingle:
      return std::fabs(value) <= std::numeric_limits<float>::max();
    case settings::Range::kInt32:
      return value >= -2147483648.0 && value <= 2147483647.0;
    case settings::Range::kExtent:
      return value > 0 && value <= 2147483647.0;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  calorix::sim::SimDesktop& desktop = calorix::fuzz::RecycledDesktop();
  const std::string separator(calorix::fuzz::DecimalSeparatorFor(input.ConsumeIntegral<std::uint8_t>()));
  desktop.SetDecimalSeparator(separator);
  desktop.SettingsData().clear();

  std::optional<std::string> stored[std::size(settings::keys::kAll)];
  for (std::size_t i = 0; i < std::size(settings::keys::kAll); ++i) {
    const settings::Key& key = settings::keys::kAll[i];
    if (input.ConsumeBool()) {
      stored[i] = input.ConsumeRandomLengthString(64);
      desktop.SettingsData()[std::string(key.section)][std::string(key.name)] = *stored[i];
    }
  }
  const double fallback = input.ConsumeFloatingPoint<double>();

  calorix::platform::Platform& platform = desktop.Platform();
  calorix::SettingsStore store(platform.settings, platform.locale);

  for (std::size_t i = 0; i < std::size(settings::keys::kAll); ++i) {
    const settings::Key& key = settings::keys::kAll[i];
    const std::string name(key.name);
    const std::string shown = stored[i] ? "\"" + Shown(*stored[i]) + "\"" : "absent";

    FUZZ_CHECK(store.ReadText(key) == (stored[i] ? *stored[i] : std::string(key.defaultText)),
               "%s (%s) read as another text", name.c_str(), shown.c_str());

    switch (key.form) {
      case settings::Form::kState: {
        const std::int16_t state = store.ReadState(key);
        FUZZ_CHECK(state == 0 || state == 1, "%s (%s) read as the state %d", name.c_str(),
                   shown.c_str(), state);
        const auto parsed = stored[i] ? calorix::ParseStateText(*stored[i]) : std::nullopt;
        const std::int16_t expected = parsed ? *parsed : *calorix::ParseStateText(key.defaultText);
        FUZZ_CHECK(state == expected, "%s (%s) read as %d, not %d", name.c_str(), shown.c_str(),
                   state, expected);
        store.WriteState(key, state);
        FUZZ_CHECK(store.ReadState(key) == state, "%s: state %d written does not read back",
                   name.c_str(), state);
        break;
      }
      case settings::Form::kYesNo: {
        const bool value = store.ReadYesNo(key);
        const auto parsed = stored[i] ? calorix::ParseYesNoText(*stored[i], separator) : std::nullopt;
        const bool expected = parsed ? *parsed : *calorix::ParseYesNoText(key.defaultText, ".");
        FUZZ_CHECK(value == expected, "%s (%s) read as %d", name.c_str(), shown.c_str(), value);
        store.WriteYesNo(key, value);
        FUZZ_CHECK(store.ReadText(key) == (value ? "True" : "False") && store.ReadYesNo(key) == value,
                   "%s: %d written does not read back", name.c_str(), value);
        break;
      }
      case settings::Form::kInteger: {
        const std::int32_t value = store.ReadInteger(key);
        const auto parsed = stored[i] ? calorix::ParseIntegerText(*stored[i], separator) : std::nullopt;
        const std::int32_t expected = parsed ? *parsed : *calorix::ParseIntegerText(key.defaultText, ".");
        FUZZ_CHECK(value == expected, "%s (%s) read as %d, not %d", name.c_str(), shown.c_str(),
                   value, expected);
        store.WriteInteger(key, value);
        FUZZ_CHECK(store.ReadInteger(key) == value, "%s: %d written does not read back",
                   name.c_str(), value);
        break;
      }
      case settings::Form::kNumber: {
        const double value = store.ReadNumber(key, fallback);
        const auto fromDefault = calorix::ParseNumberText(key.defaultText, ".");
        const double byDefault = fromDefault ? *fromDefault : fallback;
        const auto parsed = stored[i] ? calorix::ParseNumberText(*stored[i], separator) : std::nullopt;
        const bool usable = parsed && FitsRange(*parsed, key.range);
        if (!usable) {
          FUZZ_CHECK(value == byDefault || (std::isnan(value) && std::isnan(byDefault)),
                     "%s (%s) read as %.17g, not the default %.17g", name.c_str(), shown.c_str(),
                     value, byDefault);
          break;
        }
        FUZZ_CHECK(value == *parsed, "%s (%s) read as %.17g", name.c_str(), shown.c_str(), value);
        FUZZ_CHECK(std::isfinite(value), "%s (%s) read as %g", name.c_str(), shown.c_str(), value);
        // Written back, it is kept as the shortest text of its
        // single-precision value: that text reads back as the same single,
        // or as the default when it falls outside the key's range.
        store.WriteNumber(key, value);
        const double again = store.ReadNumber(key, fallback);
        const std::string written = store.ReadText(key);
        const auto writtenValue = calorix::ParseNumberText(written, separator);
        FUZZ_CHECK(writtenValue.has_value(), "%s: %.17g written as \"%s\" is no number",
                   name.c_str(), value, Shown(written).c_str());
        if (FitsRange(*writtenValue, key.range))
          FUZZ_CHECK(again == *writtenValue && static_cast<float>(again) == static_cast<float>(value),
                     "%s: %.17g written as \"%s\" reads back as %.17g", name.c_str(), value,
                     Shown(written).c_str(), again);
        else
          FUZZ_CHECK(again == byDefault, "%s: %.17g written as \"%s\" reads back as %.17g",
                     name.c_str(), value, Shown(written).c_str(), again);
        break;
      }
      case settings::Form::kText:
        store.Write(key, store.ReadText(key));
        FUZZ_CHECK(store.ReadText(key) == (stored[i] ? *stored[i] : std::string(key.defaultText)),
                   "%s: text written does not read back", name.c_str());
        break;
    }
  }
  return 0;
}
