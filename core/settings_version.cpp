#include "core/settings_version.h"

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
    platform::MessageBoxRequest box;
    box.text = "This version requires you to readjust all user settings!";
    box.title = "Calorix Version Check";
    box.icon = platform::MessageIcon::Information;
    box.buttons = platform::MessageButtons::Ok;
    box.systemModal = true;
    box.setForeground = true;
    platform.dialogs.ShowMessage(box);
    store.WriteInteger(settings::keys::kVersion, settings::kSettingsVersion);
  }
  return outcome;
}

}  // namespace calorix
