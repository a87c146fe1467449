// The monitor's install folder cut out of any uninstall string, directly and
// as read from the (simulated) registry with any value bytes: no quotes, the
// text behind the first "-f" (all but the first character without one),
// every "Uninst.isu" taken out, no blanks at either end.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "monitor/monitor_contract.h"
#include "monitor/monitor_locator.h"
#include "fuzz/sim_desktop_holder.h"
#include "platform/sim/sim_desktop.h"

using calorix::fuzz::Shown;

namespace {

// Left-to-right, non-overlapping removal: what a removal joins together
// stays.
std::string WithoutEvery(const std::string& text, std::string_view what) {
  std::string out;
  std::size_t at = 0;
  while (at < text.size()) {
    if (text.compare(at, what.size(), what) == 0) {
      at += what.size();
    } else {
      out.push_back(text[at++]);
    }
  }
  return out;
}

std::string ReferenceFolder(const std::string& uninstallString) {
  if (uninstallString.empty()) return {};
  const std::string unquoted = WithoutEvery(uninstallString, "\"");
  const auto flag = unquoted.find("-f");
  const std::string behind = flag != std::string::npos ? unquoted.substr(flag + 2)
                                                       : unquoted.substr(unquoted.empty() ? 0 : 1);
  return std::string(calorix::fuzz::TrimBlanksView(WithoutEvery(behind, calorix::monitor::kUninstallLogName)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool throughRegistry = input.ConsumeBool();
  const auto type = input.ConsumeIntegral<std::int32_t>();
  const std::string value = input.ConsumeRemainingBytesAsString();

  const std::string folder = calorix::monitor::InstallFolderFromUninstallString(value);
  const std::string expected = ReferenceFolder(value);
  FUZZ_CHECK(folder == expected, "\"%s\" gave \"%s\", not \"%s\"", Shown(value).c_str(),
             Shown(folder).c_str(), Shown(expected).c_str());
  FUZZ_CHECK(folder.find('"') == std::string::npos, "a quote is left in \"%s\"", Shown(folder).c_str());
  FUZZ_CHECK(folder.empty() || (folder.front() != ' ' && folder.back() != ' '),
             "blanks around \"%s\"", Shown(folder).c_str());

  if (throughRegistry) {
    // The registry value is read up to its first NUL, whatever its type.
    calorix::sim::SimDesktop& desktop = calorix::fuzz::RecycledDesktop();
    desktop.PutRegistryValue(calorix::platform::RegistryRoot::LocalMachine,
                             std::string(calorix::monitor::kUninstallKey),
                             std::string(calorix::monitor::kUninstallValue), type, value);
    const std::uint64_t boxesBefore = desktop.MessageBoxes().Total();
    const std::string read = calorix::monitor::GetPath(desktop.Platform());
    const std::string expectedRead = ReferenceFolder(value.substr(0, value.find('\0')));
    FUZZ_CHECK(read == expectedRead, "registry value \"%s\" gave \"%s\", not \"%s\"",
               Shown(value).c_str(), Shown(read).c_str(), Shown(expectedRead).c_str());
    const std::uint64_t boxes = desktop.MessageBoxes().Total() - boxesBefore;
    FUZZ_CHECK(boxes == (read.empty() ? 1u : 0u), "%llu message boxes for the folder \"%s\"",
               static_cast<unsigned long long>(boxes),
               Shown(read).c_str());
    FUZZ_CHECK(desktop.OpenRegistryKeys() == 0, "%d registry keys left open", desktop.OpenRegistryKeys());
  }
  return 0;
}
