#include "platform/sim/sim_desktop.h"
#include "tests/contract/contract_desktop.h"

namespace calorix::contract {
namespace {

class SimContractDesktop final : public ContractDesktop {
 public:
  platform::Platform& Platform() override { return desktop_.Platform(); }
  platform::WindowHandle CreateTopLevel(std::string_view title) override {
    return desktop_.CreateTopLevel(std::string(title));
  }
  platform::WindowHandle CreateChild(platform::WindowHandle parent, std::string_view className,
                                     std::string_view text) override {
    return desktop_.CreateWindow(parent, std::string(className), std::string(text), {0, 0, 20, 20});
  }
  void Destroy(platform::WindowHandle window) override { desktop_.DestroyWindow(window); }
  void PutRegistryValue(std::string_view keyPath, std::string_view valueName,
                        std::string_view bytes) override {
    desktop_.PutRegistryValue(platform::RegistryRoot::CurrentUser, std::string(keyPath),
                              std::string(valueName), platform::kRegSz, std::string(bytes));
  }
  void RemoveRegistryKey(std::string_view keyPath) override {
    desktop_.RemoveRegistryKey(platform::RegistryRoot::CurrentUser, std::string(keyPath));
  }
  void WorkInNewFolder(std::string_view name) override {
    const auto folder = desktop_.CurrentDirectoryPath() / std::string(name);
    std::filesystem::create_directory(folder);
    desktop_.SetCurrentDirectoryPath(folder);
  }

 private:
  sim::SimDesktop desktop_;
};

}  // namespace

std::unique_ptr<ContractDesktop> MakeContractDesktop() {
  return std::make_unique<SimContractDesktop>();
}

}  // namespace calorix::contract
