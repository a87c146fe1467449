#include "platform/win32/win32_platform.h"

#include <utility>

namespace calorix::platform::win32 {

Win32Platform::Win32Platform(Win32PlatformOptions options)
    : settings_(std::move(options.settingsRoot)),
      process_(std::move(options.instanceMutexName)),
      platform_{windows_, shell_,  registry_, settings_, files_,
                clock_,   locale_, dialogs_,  system_,   process_} {}

}  // namespace calorix::platform::win32
