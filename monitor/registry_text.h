// Reads one text value from the system registry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace calorix::monitor {

// The value's text without its terminating NUL (a value stored without one
// is read just as well). Empty when the root name is not
// "HKEY_LOCAL_MACHINE", the key cannot be opened, or the value is absent or
// empty. `typeCode` receives the value's registry type, or -1 when closing
// the key fails or an unexpected error occurs; the latter is also reported
// in a "Registry Read Error" box.
std::string ReadRegistryText(platform::Registry& registry, platform::Dialogs& dialogs,
                             std::string_view rootName, std::string_view keyPath,
                             std::string_view valueName, std::int32_t& typeCode);

}  // namespace calorix::monitor
