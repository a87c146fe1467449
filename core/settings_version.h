// The settings-version rule applied at every start, before any other key is
// read.
#pragma once

#include "core/settings_store.h"
#include "platform/platform.h"

namespace calorix {

struct SettingsVersionOutcome {
  bool showOptions = false;  // a first run or a reset: open the options window
  bool reset = false;        // every setting was deleted
};

// No version yet: write 44. Below 44: delete everything, tell the user,
// write 44. Above 44: accepted as it is.
SettingsVersionOutcome ApplySettingsVersionRule(SettingsStore& store, platform::Platform& platform);

}  // namespace calorix
