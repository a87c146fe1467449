// The contract suite's desktop on real Windows: plain windows of this
// process and keys under HKEY_CURRENT_USER.
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/win32_internal.h"
#include "tests/contract/contract_desktop.h"

namespace calorix::contract {

namespace {

using platform::WindowHandle;
using platform::win32::ToHwnd;
using platform::win32::ToWindowHandle;
using platform::win32::UniqueHKey;

constexpr char kWindowClass[] = "CalorixContractWindow";
constexpr char kSettingsRoot[] = "Software\\CalorixContractTest";

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + " failed, error " + std::to_string(GetLastError()));
}

void RegisterWindowClass() {
  static const bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    if (RegisterClassExA(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
      Fail("RegisterClassExA");
    }
    return true;
  }();
  (void)registered;
}

class Win32ContractDesktop final : public ContractDesktop {
 public:
  Win32ContractDesktop()
      : platform_(platform::win32::Win32PlatformOptions{
            kSettingsRoot, "Local\\CalorixContractTest.SingleInstance"}) {
    RegisterWindowClass();
    // Each desktop starts with no settings, as a fresh simulated one does.
    if (!platform_.SettingsService().DeleteAll()) Fail("Clearing the test settings");
  }

  ~Win32ContractDesktop() override {
    // Children go with their parents; a window the test destroyed is skipped.
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
      if (IsWindow(*it)) DestroyWindow(*it);
    }
    // Cleanup only: a destructor has no one to report to.
    for (const std::string& path : createdKeys_) {
      RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    }
    platform_.SettingsService().DeleteAll();
    // The folders go when the test left them empty; the working folder
    // cannot be removed, so the work moves out of them first.
    if (!madeFolders_.empty()) {
      SetCurrentDirectoryW((madeFolders_.back() + L"\\..").c_str());
      for (const std::wstring& folder : madeFolders_) RemoveDirectoryW(folder.c_str());
    }
  }

  platform::Platform& Platform() override { return platform_.Get(); }

  WindowHandle CreateTopLevel(std::string_view title) override {
    HWND hwnd = CreateWindowExA(0, kWindowClass, std::string(title).c_str(),
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                400, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (hwnd == nullptr) Fail("CreateWindowExA (top level)");
    windows_.push_back(hwnd);
    return ToWindowHandle(hwnd);
  }

  WindowHandle CreateChild(WindowHandle parent, std::string_view className,
                           std::string_view text) override {
    const int id = nextControlId_++;
    HWND hwnd = CreateWindowExA(0, std::string(className).c_str(), std::string(text).c_str(),
                                WS_CHILD | WS_VISIBLE, 0, 0, 120, 24, ToHwnd(parent),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleA(nullptr), nullptr);
    if (hwnd == nullptr) Fail("CreateWindowExA (child)");
    windows_.push_back(hwnd);
    return ToWindowHandle(hwnd);
  }

  void Destroy(WindowHandle window) override {
    if (!DestroyWindow(ToHwnd(window))) Fail("DestroyWindow");
  }

  void PutRegistryValue(std::string_view keyPath, std::string_view valueName,
                        std::string_view bytes) override {
    const std::string path(keyPath);
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                                  &disposition);
    if (status != ERROR_SUCCESS) {
      throw std::runtime_error("RegCreateKeyExA failed, error " + std::to_string(status));
    }
    UniqueHKey owned(key);
    // Only keys this desktop made are removed again at the end.
    if (disposition == REG_CREATED_NEW_KEY) createdKeys_.push_back(path);
    const std::wstring text = platform::win32::Wide(bytes);
    status = RegSetValueExW(owned.get(), platform::win32::Wide(valueName).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.data()),
                            static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) {
      throw std::runtime_error("RegSetValueExW failed, error " + std::to_string(status));
    }
  }

  void RemoveRegistryKey(std::string_view keyPath) override {
    const std::string path(keyPath);
    if (path.empty()) throw std::invalid_argument("RemoveRegistryKey: empty key path");
    const LONG status = RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
      throw std::runtime_error("RegDeleteTreeA failed, error " + std::to_string(status));
    }
  }

  void WorkInNewFolder(std::string_view name) override {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) Fail("GetTempPathW");
    const std::wstring parent = std::wstring(temp) + L"calorix-contract-" +
                                std::to_wstring(GetCurrentProcessId());
    const std::wstring folder = parent + L"\\" + platform::win32::Wide(name);
    if (!CreateDirectoryW(parent.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      Fail("CreateDirectoryW");
    }
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      Fail("CreateDirectoryW");
    }
    if (!SetCurrentDirectoryW(folder.c_str())) Fail("SetCurrentDirectoryW");
    madeFolders_ = {folder, parent};
  }

 private:
  platform::win32::Win32Platform platform_;
  std::vector<HWND> windows_;
  std::vector<std::string> createdKeys_;
  std::vector<std::wstring> madeFolders_;  // innermost first
  int nextControlId_ = 100;
};

}  // namespace

std::unique_ptr<ContractDesktop> MakeContractDesktop() {
  return std::make_unique<Win32ContractDesktop>();
}

}  // namespace calorix::contract
