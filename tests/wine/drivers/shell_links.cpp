// Shortcuts through the shell's own IShellLink, known folders through
// SHGetFolderPath, the machine from the PE headers.
#include "tests/wine/drivers/shell_links.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <fstream>

namespace calorix::platform::win32 {

namespace {

// COM for this thread, for as long as the object lives.
class ComScope {
 public:
  ComScope() : ready_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (ready_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool ready_;
};

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (object_) object_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T** Out() { return &object_; }
  T* operator->() const { return object_; }

 private:
  T* object_ = nullptr;
};

std::wstring Wide(const std::string& text) {
  const int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (size <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), size);
  wide.resize(static_cast<std::size_t>(size - 1));
  return wide;
}

}  // namespace

std::optional<ShellLink> ReadShellLink(const std::string& path) {
  const ComScope com;
  ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(link.Out()))))
    return std::nullopt;
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()))) ||
      FAILED(file->Load(Wide(path).c_str(), STGM_READ)))
    return std::nullopt;
  char target[MAX_PATH] = {};
  char folder[MAX_PATH] = {};
  if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) ||
      FAILED(link->GetWorkingDirectory(folder, MAX_PATH)))
    return std::nullopt;
  return ShellLink{target, folder};
}

std::string KnownFolderPath(KnownFolder folder) {
  int id = 0;
  switch (folder) {
    case KnownFolder::kLocalAppData: id = CSIDL_LOCAL_APPDATA; break;
    case KnownFolder::kDocuments: id = CSIDL_PERSONAL; break;
    case KnownFolder::kPrograms: id = CSIDL_PROGRAMS; break;
    case KnownFolder::kStartup: id = CSIDL_STARTUP; break;
  }
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return path;
}

std::optional<std::uint16_t> ProgramMachine(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  IMAGE_DOS_HEADER dos{};
  if (!file.read(reinterpret_cast<char*>(&dos), sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE)
    return std::nullopt;
  DWORD signature = 0;
  IMAGE_FILE_HEADER header{};
  if (!file.seekg(dos.e_lfanew) || !file.read(reinterpret_cast<char*>(&signature), sizeof signature) ||
      signature != IMAGE_NT_SIGNATURE || !file.read(reinterpret_cast<char*>(&header), sizeof header))
    return std::nullopt;
  return header.Machine;
}

bool FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::uint64_t> LastWriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
         data.ftLastWriteTime.dwLowDateTime;
}

}  // namespace calorix::platform::win32
