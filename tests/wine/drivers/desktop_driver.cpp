#include "tests/wine/drivers/desktop_driver.h"

#include "platform/win32/win32_form_resources.h"
#include "platform/win32/win32_internal.h"
// After windows.h, which they need.
#include <psapi.h>
#include <winternl.h>

#include <cstddef>

namespace calorix::platform::win32::driver {

namespace {

constexpr UINT kTrayCallback = 512;
constexpr WPARAM kTrayIconId = 2;
constexpr int kMessageBoxTextId = 65535;

void PumpFor(int ms) {
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(ms);
  MSG msg;
  while (GetTickCount64() < until) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

// The open popup menu: a visible window of the menu class.
HWND OpenMenu() {
  for (HWND menu = FindWindowExA(nullptr, nullptr, "#32768", nullptr); menu != nullptr;
       menu = FindWindowExA(nullptr, menu, "#32768", nullptr))
    if (IsWindowVisible(menu)) return menu;
  return nullptr;
}

void PostKey(HWND window, WPARAM key) {
  PostMessageA(window, WM_KEYDOWN, key, 1);
  PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

WindowHandle FindTopLevel(std::string_view title, std::string_view className) {
  const std::string name(title);
  const std::string cls(className);
  return ToWindowHandle(FindWindowA(cls.empty() ? nullptr : cls.c_str(), name.c_str()));
}

WindowHandle WaitForWindow(std::string_view title, int timeoutMs, std::string_view className) {
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  for (;;) {
    if (const WindowHandle window = FindTopLevel(title, className)) return window;
    if (GetTickCount64() >= until) return 0;
    PumpFor(50);
  }
}

bool WaitForWindowGone(std::string_view title, int timeoutMs) {
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  while (FindTopLevel(title) != 0) {
    if (GetTickCount64() >= until) return false;
    PumpFor(50);
  }
  return true;
}

std::vector<WindowHandle> Children(WindowHandle parent) {
  std::vector<WindowHandle> children;
  EnumChildWindows(
      ToHwnd(parent),
      [](HWND child, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<WindowHandle>*>(list)->push_back(ToWindowHandle(child));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

std::string Text(WindowHandle window) {
  // WM_GETTEXT, not GetWindowTextA: that one reads nothing of another
  // program's edit controls.
  char buffer[70000] = "";
  SendMessageTimeoutA(ToHwnd(window), WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
  return buffer;
}

WindowHandle FindChild(WindowHandle parent, std::string_view text, std::string_view className) {
  for (const WindowHandle child : Children(parent)) {
    char cls[256] = "";
    GetClassNameA(ToHwnd(child), cls, sizeof cls);
    if (!className.empty() && lstrcmpiA(cls, std::string(className).c_str()) != 0) continue;
    if (Text(child) == text) return child;
  }
  return 0;
}

WindowHandle FindChildOfClass(WindowHandle parent, std::string_view className) {
  const std::string wanted(className);
  for (const WindowHandle child : Children(parent)) {
    char cls[256] = "";
    GetClassNameA(ToHwnd(child), cls, sizeof cls);
    if (lstrcmpiA(cls, wanted.c_str()) == 0) return child;
  }
  return 0;
}

bool Visible(WindowHandle window) { return IsWindowVisible(ToHwnd(window)) != FALSE; }

void Minimize(WindowHandle window) { PostMessageA(ToHwnd(window), WM_SYSCOMMAND, SC_MINIMIZE, 0); }

bool Minimized(WindowHandle window) { return IsIconic(ToHwnd(window)) != FALSE; }

WindowHandle ForegroundWindow() { return ToWindowHandle(GetForegroundWindow()); }

WindowHandle OpenForegroundWindow(std::string_view title) {
  // A plain static control as the window: it needs no class of its own,
  // and its default handling of WM_CLOSE destroys it.
  HWND window = CreateWindowExA(0, "Static", std::string(title).c_str(),
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  if (window == nullptr) return 0;
  SetForegroundWindow(window);
  return ToWindowHandle(window);
}

int FirstVisibleColumn(WindowHandle edit) {
  // Scroll positions stay in the owner's process under Wine; the character
  // under the top-left corner tells from outside.
  DWORD_PTR at = 0, lineStart = 0;
  if (!SendMessageTimeoutA(ToHwnd(edit), EM_CHARFROMPOS, 0, MAKELPARAM(4, 4), SMTO_ABORTIFHUNG, 2000,
                           &at) ||
      !SendMessageTimeoutA(ToHwnd(edit), EM_LINEINDEX, HIWORD(at), 0, SMTO_ABORTIFHUNG, 2000,
                           &lineStart))
    return -1;
  return static_cast<int>(LOWORD(at)) - static_cast<int>(lineStart);
}

int EditRowCount(WindowHandle edit) {
  DWORD_PTR rows = 0;
  if (!SendMessageTimeoutA(ToHwnd(edit), EM_GETLINECOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &rows))
    return -1;
  return static_cast<int>(rows);
}

bool WaitForVisible(WindowHandle window, bool visible, int timeoutMs) {
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  while (Visible(window) != visible) {
    if (GetTickCount64() >= until) return false;
    PumpFor(50);
  }
  return true;
}

bool Checked(WindowHandle button) {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(ToHwnd(button), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
  return state == BST_CHECKED;
}

std::optional<Rect> WindowRect(WindowHandle window) {
  RECT rect;
  if (!GetWindowRect(ToHwnd(window), &rect)) return std::nullopt;
  return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

std::optional<Rect> RectInParent(WindowHandle child) {
  HWND window = ToHwnd(child);
  RECT rect;
  if (!GetWindowRect(window, &rect)) return std::nullopt;
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

std::optional<Rect> ClientRectOnScreen(WindowHandle window) {
  RECT rect;
  if (!GetClientRect(ToHwnd(window), &rect)) return std::nullopt;
  MapWindowPoints(ToHwnd(window), HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
  return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

int SystemDpi() {
  // A program that is not DPI-aware is told 96 whatever the scale, so ask
  // as a system-aware thread where the system has per-thread awareness.
  using Context = HANDLE;
  using SetThreadContext = Context(WINAPI*)(Context);
  const auto setThreadContext = reinterpret_cast<SetThreadContext>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext")));
  const Context systemAware = reinterpret_cast<Context>(static_cast<std::intptr_t>(-2));
  const Context previous = setThreadContext != nullptr ? setThreadContext(systemAware) : nullptr;
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  if (previous != nullptr) setThreadContext(previous);
  return dpi;
}

void BecomeDpiAware() {
  // Fails only when the process is DPI-aware already.
  SetProcessDPIAware();
}

namespace {

// The caption as a button or label shows it: "&&" is "&", a lone "&"
// underlines the next letter and takes no room.
std::string ShownCaption(const std::string& caption) {
  std::string shown;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    shown += caption[i];
  }
  return shown;
}

// The room a control gives its caption, or nothing when its caption may wrap.
std::optional<int> CaptionRoomOf(HWND control, const RECT& client, int lineHeight,
                                 const std::string& text) {
  char className[32] = {};
  GetClassNameA(control, className, sizeof className);
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  const int width = client.right - client.left;
  if (lstrcmpiA(className, "Static") == 0) {
    const bool wraps = text.find_first_of("\r\n") != std::string::npos ||
                       client.bottom - client.top >= 2 * lineHeight;
    if (wraps) return std::nullopt;
    return width;
  }
  if (lstrcmpiA(className, "Button") != 0) return std::nullopt;
  switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      // The box or circle comes first, then the caption.
      return width - GetSystemMetrics(SM_CXMENUCHECK);
    case BS_GROUPBOX:
      // The caption sits in the frame's line, inset from both corners.
      return width - 2 * GetSystemMetrics(SM_CXEDGE);
    default:
      // A push button's caption is centred inside its raised edge.
      return width - 2 * GetSystemMetrics(SM_CXEDGE);
  }
}

}  // namespace

std::optional<CaptionRoom> MeasureCaption(WindowHandle control, const ui::FontSpec& spec) {
  HWND window = ToHwnd(control);
  CaptionRoom result;
  result.shown = ShownCaption(Text(control));
  if (result.shown.empty()) return std::nullopt;
  HFONT font = CreateFormFont(spec, SystemDpi());
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  SIZE extent{};
  const BOOL measured = GetTextExtentPoint32A(dc, result.shown.c_str(),
                                              static_cast<int>(result.shown.size()), &extent);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  RECT client{};
  if (!measured || !GetClientRect(window, &client)) return std::nullopt;
  const auto room = CaptionRoomOf(window, client, metrics.tmHeight, result.shown);
  if (!room) return std::nullopt;
  result.needed = extent.cx;
  result.room = *room;
  return result;
}

int ControlId(WindowHandle control) { return GetDlgCtrlID(ToHwnd(control)); }

void PostTrayEvent(WindowHandle owner, int mouseMessage) {
  PostMessageA(ToHwnd(owner), kTrayCallback, kTrayIconId, static_cast<LPARAM>(mouseMessage));
}

void SetComboText(WindowHandle combo, std::string_view text) {
  const std::string value(text);
  HWND box = ToHwnd(combo);
  SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()), SMTO_ABORTIFHUNG,
                      2000, nullptr);
  // WM_SETTEXT sends no notification of its own; typing would.
  PostMessageA(GetParent(box), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(box), CBN_EDITCHANGE), reinterpret_cast<LPARAM>(box));
}

void Move(WindowHandle window, int left, int top) {
  SetWindowPos(ToHwnd(window), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Click(WindowHandle button) { PostMessageA(ToHwnd(button), BM_CLICK, 0, 0); }

bool ChooseMenuItem(int index, int timeoutMs) {
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  HWND menu = OpenMenu();
  while (menu == nullptr && GetTickCount64() < until) {
    PumpFor(50);
    menu = OpenMenu();
  }
  if (menu == nullptr) return false;
  // The first Down selects the first item; disabled items count, separators do not.
  for (int step = 0; step <= index; ++step) PostKey(menu, VK_DOWN);
  PostKey(menu, VK_RETURN);
  return true;
}

void PressEscape(WindowHandle window) {
  PostMessageA(ToHwnd(window), WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageA(ToHwnd(window), WM_CHAR, 27, 1);
  PostMessageA(ToHwnd(window), WM_KEYUP, VK_ESCAPE, 0xC0000001);
}

namespace {

// The control `id` of a message box titled `title`, once the box is on
// screen: a box has its title before its controls and is shown only after
// it has them all.
HWND WaitForMessageBoxItem(std::string_view title, int id, int timeoutMs) {
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  for (;;) {
    if (HWND box = ToHwnd(FindTopLevel(title, "#32770")); box != nullptr && IsWindowVisible(box)) {
      if (HWND item = GetDlgItem(box, id)) return item;
    }
    if (GetTickCount64() >= until) return nullptr;
    PumpFor(50);
  }
}

}  // namespace

std::optional<std::string> MessageBoxText(std::string_view title, int timeoutMs) {
  HWND text = WaitForMessageBoxItem(title, kMessageBoxTextId, timeoutMs);
  if (text == nullptr) return std::nullopt;
  return Text(ToWindowHandle(text));
}

bool AnswerMessageBox(std::string_view title, int buttonId, int timeoutMs) {
  HWND button = WaitForMessageBoxItem(title, buttonId, timeoutMs);
  if (button == nullptr) return false;
  PostMessageA(button, BM_CLICK, 0, 0);
  return true;
}

std::optional<long long> AskRegistered(WindowHandle window, std::string_view name) {
  const UINT message = RegisterWindowMessageA(std::string(name).c_str());
  DWORD_PTR answer = 0;
  if (message == 0 || !SendMessageTimeoutA(ToHwnd(window), message, 0, 0, SMTO_ABORTIFHUNG, 2000,
                                           &answer))
    return std::nullopt;
  return static_cast<long long>(answer);
}

bool CanReadSystemMenu(WindowHandle window) {
  return GetSystemMenu(ToHwnd(window), FALSE) != nullptr;
}

void CloseAll(std::string_view title) {
  const std::string name(title);
  for (HWND window = FindWindowA(nullptr, name.c_str()); window != nullptr;
       window = FindWindowExA(nullptr, window, nullptr, name.c_str()))
    PostMessageA(window, WM_CLOSE, 0, 0);
}

bool Start(std::string_view commandLine, std::string_view folder) {
  return StartProcess(commandLine, folder) != 0;
}

namespace {

// The started process's handle (its thread's is closed), or an empty one.
UniqueHandle Launch(std::string_view commandLine, std::string_view folder, DWORD* processId) {
  std::string line(commandLine);
  const std::string directory(folder);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startup, &process))
    return UniqueHandle();
  CloseHandle(process.hThread);
  *processId = process.dwProcessId;
  return UniqueHandle(process.hProcess);
}

}  // namespace

std::uint32_t StartProcess(std::string_view commandLine, std::string_view folder) {
  DWORD processId = 0;
  return Launch(commandLine, folder, &processId) ? processId : 0;
}

std::optional<std::uint32_t> RunToEnd(std::string_view commandLine, std::string_view folder,
                                      int timeoutMs) {
  DWORD processId = 0;
  const UniqueHandle process = Launch(commandLine, folder, &processId);
  DWORD exitCode = 0;
  if (!process ||
      !WaitUntil([&] { return WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT; }, timeoutMs) ||
      !GetExitCodeProcess(process.get(), &exitCode))
    return std::nullopt;
  return exitCode;
}

bool WaitForTakeOver(WindowHandle monitor, int timeoutMs) {
  return WaitUntil(
      [monitor] {
        const WindowHandle close = FindChild(monitor, "&Close", "Button");
        return close != 0 && !Visible(close) && !Visible(monitor);
      },
      timeoutMs);
}

void Pause(int ms) { PumpFor(ms); }

bool StartScriptableMonitor(std::string_view controlFile, int timeoutMs) {
  const std::string control(controlFile);
  if (HANDLE file = CreateFileA(control.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
  }
  return Start(std::string("\"") + kMonitorExe + "\" --control \"" + control + "\"", kMonitorFolder) &&
         WaitForWindow("VIA HWM", timeoutMs) != 0;
}

bool ChooseFromTrayMenu(WindowHandle form1, TrayMenuItem item, int timeoutMs) {
  PostTrayEvent(form1, WM_RBUTTONUP);
  return ChooseMenuItem(item, timeoutMs);
}

bool WaitUntil(const std::function<bool()>& ready, int timeoutMs) {
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  while (!ready()) {
    if (GetTickCount64() >= until) return false;
    PumpFor(50);
  }
  return true;
}

void SetReturningUser(SettingsBackend& settings) {
  settings.DeleteAll();
  settings.Write("Startup", "Version", "44");
  settings.Write("Startup", "ChkDatRec", "0");
}

void SetEnvironment(std::string_view name, std::optional<std::string_view> value) {
  const std::string key(name);
  if (value) {
    SetEnvironmentVariableA(key.c_str(), std::string(*value).c_str());
  } else {
    SetEnvironmentVariableA(key.c_str(), nullptr);
  }
}

namespace {

struct WindowCount {
  DWORD processId;
  std::uint32_t windows;
};

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++reinterpret_cast<WindowCount*>(count)->windows;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
  auto* tally = reinterpret_cast<WindowCount*>(count);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != tally->processId) return TRUE;
  ++tally->windows;
  EnumChildWindows(window, CountChild, count);
  return TRUE;
}

// The process's GDI objects counted in its GDI handle table, which the
// system maps into each process and names in its process environment block.
// For systems whose GetGuiResources does not count them (Wine). The entry
// layout is Wine's: 24 bytes, the object type in byte 14 (0 for a free
// entry), bit 7 of byte 12 set for the shared stock objects, not counted.
std::optional<std::uint32_t> CountGdiHandleTable(HANDLE process) {
#ifdef _WIN64
  constexpr std::size_t kTableOffsetInPeb = 0xF8;
#else
  constexpr std::size_t kTableOffsetInPeb = 0x94;
#endif
  constexpr std::size_t kEntryBytes = 24;
  constexpr std::size_t kEntries = 0x10000;
  PROCESS_BASIC_INFORMATION basic{};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) !=
      0)
    return std::nullopt;
  void* table = nullptr;
  const auto* peb = reinterpret_cast<const std::byte*>(basic.PebBaseAddress);
  if (!ReadProcessMemory(process, peb + kTableOffsetInPeb, &table, sizeof table, nullptr) ||
      table == nullptr)
    return std::nullopt;
  std::vector<unsigned char> entries(kEntryBytes * kEntries);
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, table, entries.data(), entries.size(), &read)) return std::nullopt;
  std::uint32_t count = 0;
  for (std::size_t at = 0; at + kEntryBytes <= read; at += kEntryBytes)
    if (entries[at + 14] != 0 && (entries[at + 12] & 0x80) == 0) ++count;
  return count;
}

}  // namespace

std::optional<ProcessFigures> Figures(std::uint32_t processId) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  if (!process || !Running(processId)) return std::nullopt;
  ProcessFigures figures;
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process.get(), &memory, sizeof memory)) {
    figures.workingSetBytes = memory.WorkingSetSize;
    figures.peakWorkingSetBytes = memory.PeakWorkingSetSize;
  }
  figures.gdiObjects = GetGuiResources(process.get(), GR_GDIOBJECTS);
  if (figures.gdiObjects == 0) {
    if (const auto counted = CountGdiHandleTable(process.get())) {
      figures.gdiObjects = *counted;
      figures.gdiFromHandleTable = true;
    }
  }
  figures.userObjects = GetGuiResources(process.get(), GR_USEROBJECTS);
  DWORD handles = 0;
  if (GetProcessHandleCount(process.get(), &handles)) figures.handles = handles;
  WindowCount count{processId, 0};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&count));
  figures.windows = count.windows;
  return figures;
}

bool Running(std::uint32_t processId) {
  UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
  return process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

}  // namespace calorix::platform::win32::driver
