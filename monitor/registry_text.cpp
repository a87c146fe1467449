#include "monitor/registry_text.h"

#include <algorithm>
#include <optional>

#include "core/message_boxes.h"

namespace calorix::monitor {

namespace {

using platform::Registry;
using platform::RegistryQuery;

std::optional<platform::RegistryRoot> RootByName(std::string_view rootName) {
  if (rootName == "HKEY_LOCAL_MACHINE") return platform::RegistryRoot::LocalMachine;
  return std::nullopt;
}

void ReportRegistryError(platform::Registry& registry, platform::Dialogs& dialogs,
                         std::int32_t status) {
  dialogs.ShowMessage(ProgramBox(std::to_string(status) + ">  " + registry.ErrorDescription(status),
                                 platform::MessageIcon::Critical, platform::MessageButtons::Ok,
                                 "Registry Read Error"));
}

// Asks for the size first, then reads into a buffer of that size. A value
// that grows between the two calls is simply asked for again.
RegistryQuery QueryWholeValue(Registry& registry, Registry::Key key, std::string_view valueName) {
  RegistryQuery query = registry.QueryValue(key, valueName, 0);
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (query.status != platform::kRegOk || query.size == 0) return query;
    query = registry.QueryValue(key, valueName, query.size);
    if (query.status != platform::kRegMoreData) return query;
    query.status = platform::kRegOk;  // it grew meanwhile: ask again with the new size
  }
  query.status = platform::kRegMoreData;
  return query;
}

}  // namespace

std::string ReadRegistryText(platform::Registry& registry, platform::Dialogs& dialogs,
                             std::string_view rootName, std::string_view keyPath,
                             std::string_view valueName, std::int32_t& typeCode) {
  const auto root = RootByName(rootName);
  if (!root) return {};
  const auto key = registry.OpenKey(*root, keyPath);
  if (!key) return {};

  const RegistryQuery query = QueryWholeValue(registry, *key, valueName);
  std::string text;
  if (query.status == platform::kRegOk) {
    typeCode = query.type;
    text = query.data.substr(0, std::min<std::size_t>(query.data.size(), query.size));
    if (const auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
  } else if (query.status != platform::kRegFileNotFound) {
    // A missing value is an ordinary "not installed"; anything else is not.
    typeCode = -1;
    ReportRegistryError(registry, dialogs, query.status);
  }
  if (!registry.CloseKey(*key)) typeCode = -1;
  return query.status == platform::kRegOk ? text : std::string();
}

}  // namespace calorix::monitor
