// What the platform contract suite needs besides the platform itself: a way
// to put windows, registry values and settings in place. Each backend
// provides one; the suite's cases are written once against it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace calorix::contract {

class ContractDesktop {
 public:
  virtual ~ContractDesktop() = default;

  virtual platform::Platform& Platform() = 0;

  // A visible top-level window with this title, owned by the test.
  virtual platform::WindowHandle CreateTopLevel(std::string_view title) = 0;
  // A child control of `parent` with this class ("Static", "Button") and text.
  virtual platform::WindowHandle CreateChild(platform::WindowHandle parent,
                                             std::string_view className,
                                             std::string_view text) = 0;
  virtual void Destroy(platform::WindowHandle window) = 0;

  // A REG_SZ value under HKEY_CURRENT_USER: the UTF-8 text `bytes` exactly
  // (the caller decides whether a terminating NUL is included).
  virtual void PutRegistryValue(std::string_view keyPath, std::string_view valueName,
                                std::string_view bytes) = 0;
  virtual void RemoveRegistryKey(std::string_view keyPath) = 0;

  // Makes a new folder of this (UTF-8) name in a fresh temporary folder and
  // works in it until the desktop ends.
  virtual void WorkInNewFolder(std::string_view name) = 0;
};

// Made by the backend the suite is linked with.
std::unique_ptr<ContractDesktop> MakeContractDesktop();

}  // namespace calorix::contract
