#include "platform/win32/win32_internal.h"

#include <cstdint>
#include <type_traits>

namespace calorix::platform::win32 {

static_assert(std::is_same_v<HKEY, HKEY__*>, "HKEY must be a STRICT handle type");
static_assert(std::is_same_v<HWND, HWND__*>, "HWND must be a STRICT handle type");

UniqueHKey::~UniqueHKey() {
  // Nobody is left to hear about a failed close here; Close() reports it.
  if (key_ != nullptr) RegCloseKey(key_);
}

UniqueHKey& UniqueHKey::operator=(UniqueHKey&& other) noexcept {
  if (this != &other) {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = other.release();
  }
  return *this;
}

HKEY__* UniqueHKey::release() {
  HKEY__* key = key_;
  key_ = nullptr;
  return key;
}

long UniqueHKey::Close() {
  HKEY key = release();
  return key == nullptr ? ERROR_INVALID_HANDLE : RegCloseKey(key);
}

bool UniqueHandle::valid() const {
  return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE;
}

UniqueHandle::~UniqueHandle() {
  // As above: Close() is the way to learn about a failure.
  if (valid()) CloseHandle(handle_);
}

UniqueHandle& UniqueHandle::operator=(UniqueHandle&& other) noexcept {
  if (this != &other) {
    if (valid()) CloseHandle(handle_);
    handle_ = other.release();
  }
  return *this;
}

void* UniqueHandle::release() {
  void* handle = handle_;
  handle_ = nullptr;
  return handle;
}

bool UniqueHandle::Close() {
  if (!valid()) return false;
  return CloseHandle(release()) != FALSE;
}

WindowHandle ToWindowHandle(HWND__* hwnd) {
  return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(hwnd));
}

HWND__* ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(window));
}

}  // namespace calorix::platform::win32
