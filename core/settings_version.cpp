#include "core/settings_version.h"

#include "core/message_boxes.h"

namespace calorix {

SettingsVersionOutcome ApplySettingsVersionRule(SettingsStore& store,
                                                platform::Platform& platform) {
  SettingsVersionOutcome outcome;
  const std::int32_t version = store.ReadInteger(settings::keys::kVersion);
  if (version == 0) {
    outcome.showOptions = true;
    store.WriteInteger(settings::keys::kVersion, settings::kSettingsVersion);
  } else if (version < settings::kSettingsVersion) {
    outcome.showOptions = true;
    outcome.reset = true;
    store.DeleteAll();
    platform.process.ProcessPendingEvents();
    platform.dialogs.ShowMessage(ProgramBox("This version requires you to readjust all user settings!",
                                            platform::MessageIcon::Information,
                                            platform::MessageButtons::Ok, "Calorix Version Check"));
    store.WriteInteger(settings::keys::kVersion, settings::kSettingsVersion);
  }
  return outcome;
}

}  // namespace calorix
