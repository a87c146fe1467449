#include <algorithm>
#include <exception>
#include <vector>

#include "platform/win32/win32_internal.h"

namespace calorix::platform::win32 {

namespace {

struct EnumContext {
  const std::function<bool(WindowHandle)>* visit;
  std::exception_ptr error;
};

BOOL CALLBACK EnumTrampoline(HWND hwnd, LPARAM context) {
  auto* ctx = reinterpret_cast<EnumContext*>(context);
  // An exception must not unwind through user32's frames: stop the walk and
  // rethrow once EnumChildWindows has returned.
  try {
    return (*ctx->visit)(ToWindowHandle(hwnd)) ? TRUE : FALSE;
  } catch (...) {
    ctx->error = std::current_exception();
    return FALSE;
  }
}

using TextGetter = int(WINAPI*)(HWND, LPSTR, int);

std::string ReadText(TextGetter getter, WindowHandle window, int bufferChars) {
  if (bufferChars <= 0) return {};
  // Wine answers some stale handles with leftover text instead of failing.
  if (!::IsWindow(ToHwnd(window))) return {};
  std::vector<char> buffer(static_cast<std::size_t>(bufferChars), '\0');
  const int copied = getter(ToHwnd(window), buffer.data(), bufferChars);
  if (copied <= 0) return {};
  const std::size_t limit = static_cast<std::size_t>(std::min(copied, bufferChars - 1));
  std::string text(buffer.data(), limit);
  if (const auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
  return text;
}

// The screen's DC, released on every path.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_ != nullptr) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

double TwipsPerPixel(int capability) {
  constexpr double kTwipsPerInch = 1440;
  ScreenDc screen;
  const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), capability) : 0;
  // Without a screen DC (a service session) assume the standard 96 dpi.
  return kTwipsPerInch / (dpi > 0 ? dpi : 96);
}

// The per-window DPI calls of Windows 10 1607 and later, looked up at run
// time so the program still starts on older systems, which lack them.
struct DpiCalls {
  using Context = HANDLE;  // DPI_AWARENESS_CONTEXT
  using GetWindowContext = Context(WINAPI*)(HWND);
  using SetThreadContext = Context(WINAPI*)(Context);
  GetWindowContext getWindowContext = nullptr;
  SetThreadContext setThreadContext = nullptr;

  static const DpiCalls& Get() {
    static const DpiCalls calls = [] {
      DpiCalls found;
      if (HMODULE user32 = GetModuleHandleA("user32.dll")) {
        found.getWindowContext = reinterpret_cast<GetWindowContext>(
            reinterpret_cast<void*>(GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
        found.setThreadContext = reinterpret_cast<SetThreadContext>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
      }
      if (found.getWindowContext == nullptr || found.setThreadContext == nullptr) found = {};
      return found;
    }();
    return calls;
  }
};

// The calls that convert a point between physical pixels and a window's
// own, looked up at run time: XP has none. Windows 8.1 keeps the Vista pair
// but makes it return points unchanged, so the ...ForPerMonitorDPI pair it
// added comes first.
struct DpiConversionCalls {
  using ConvertPoint = BOOL(WINAPI*)(HWND, POINT*);
  ConvertPoint physicalToLogical = nullptr;
  ConvertPoint logicalToPhysical = nullptr;

  static const DpiConversionCalls& Get() {
    static const DpiConversionCalls calls = [] {
      DpiConversionCalls found;
      HMODULE user32 = GetModuleHandleA("user32.dll");
      if (user32 == nullptr) return found;
      const auto lookUp = [user32](const char* name) {
        return reinterpret_cast<ConvertPoint>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
      };
      found = {lookUp("PhysicalToLogicalPointForPerMonitorDPI"),
               lookUp("LogicalToPhysicalPointForPerMonitorDPI")};
      if (found.physicalToLogical == nullptr || found.logicalToPhysical == nullptr)
        found = {lookUp("PhysicalToLogicalPoint"), lookUp("LogicalToPhysicalPoint")};
      if (found.physicalToLogical == nullptr || found.logicalToPhysical == nullptr) found = {};
      return found;
    }();
    return calls;
  }
};

std::optional<Point> ConvertedPoint(DpiConversionCalls::ConvertPoint convert, WindowHandle window,
                                    Point point) {
  if (convert == nullptr) return std::nullopt;
  POINT p{point.x, point.y};
  if (!convert(ToHwnd(window), &p)) return std::nullopt;
  return Point{static_cast<int>(p.x), static_cast<int>(p.y)};
}

}  // namespace

WindowHandle Win32WindowManager::FindTopLevelWindow(std::string_view title) {
  return ToWindowHandle(FindWindowA(nullptr, Z(title).c_str()));
}

void Win32WindowManager::EnumerateDescendants(WindowHandle parent,
                                              const std::function<bool(WindowHandle)>& visit) {
  EnumContext context{&visit, nullptr};
  // The return value carries no information (it is the last callback's answer).
  EnumChildWindows(ToHwnd(parent), EnumTrampoline, reinterpret_cast<LPARAM>(&context));
  if (context.error) std::rethrow_exception(context.error);
}

std::string Win32WindowManager::WindowText(WindowHandle window, int bufferChars) {
  return ReadText(::GetWindowTextA, window, bufferChars);
}

std::string Win32WindowManager::ClassName(WindowHandle window, int bufferChars) {
  return ReadText(::GetClassNameA, window, bufferChars);
}

WindowHandle Win32WindowManager::DesktopWindow() { return ToWindowHandle(GetDesktopWindow()); }

WindowHandle Win32WindowManager::FirstChild(WindowHandle window) {
  return ToWindowHandle(GetWindow(ToHwnd(window), GW_CHILD));
}

WindowHandle Win32WindowManager::NextSibling(WindowHandle window) {
  return ToWindowHandle(GetWindow(ToHwnd(window), GW_HWNDNEXT));
}

bool Win32WindowManager::IsChild(WindowHandle parent, WindowHandle window) {
  return ::IsChild(ToHwnd(parent), ToHwnd(window)) != FALSE;
}

bool Win32WindowManager::IsWindow(WindowHandle window) {
  return ::IsWindow(ToHwnd(window)) != FALSE;
}

bool Win32WindowManager::IsIconic(WindowHandle window) {
  return ::IsIconic(ToHwnd(window)) != FALSE;
}

bool Win32WindowManager::IsVisible(WindowHandle window) {
  return ::IsWindowVisible(ToHwnd(window)) != FALSE;
}

bool Win32WindowManager::ShowWindow(WindowHandle window, ShowCommand command) {
  // ShowWindow answers whether the window was visible before, not success.
  return ::ShowWindow(ToHwnd(window), static_cast<int>(command)) != FALSE;
}

bool Win32WindowManager::MoveWindow(WindowHandle window, int left, int top, int width,
                                    int height, bool repaint) {
  return ::MoveWindow(ToHwnd(window), left, top, width, height, repaint ? TRUE : FALSE) != FALSE;
}

std::optional<Rect> Win32WindowManager::GetWindowRect(WindowHandle window) {
  RECT r{};
  if (!::GetWindowRect(ToHwnd(window), &r)) return std::nullopt;
  return Rect{r.left, r.top, r.right, r.bottom};
}

bool Win32WindowManager::SetTopmost(WindowHandle window, ZOrder insertAfter) {
  HWND after = insertAfter == ZOrder::Topmost ? HWND_TOPMOST : HWND_NOTOPMOST;
  return SetWindowPos(ToHwnd(window), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE) != FALSE;
}

bool Win32WindowManager::PostCloseRequest(WindowHandle window) {
  return PostMessageA(ToHwnd(window), WM_CLOSE, 0, 0) != FALSE;
}

std::optional<int> Win32WindowManager::SystemMenuItemCount(WindowHandle window) {
  HMENU menu = GetSystemMenu(ToHwnd(window), FALSE);
  if (menu == nullptr) return std::nullopt;
  const int count = GetMenuItemCount(menu);
  if (count < 0) return std::nullopt;
  return count;
}

bool Win32WindowManager::RemoveSystemMenuItem(WindowHandle window, int position) {
  HMENU menu = GetSystemMenu(ToHwnd(window), FALSE);
  if (menu == nullptr || position < 0) return false;
  return RemoveMenu(menu, static_cast<UINT>(position), MF_BYPOSITION | MF_REMOVE) != FALSE;
}

bool Win32WindowManager::DrawMenuBar(WindowHandle window) {
  return ::DrawMenuBar(ToHwnd(window)) != FALSE;
}

DpiAwarenessToken Win32WindowManager::AdoptWindowDpiAwareness(WindowHandle window) {
  const DpiCalls& calls = DpiCalls::Get();
  if (calls.getWindowContext == nullptr) return 0;
  DpiCalls::Context wanted = calls.getWindowContext(ToHwnd(window));
  if (wanted == nullptr) return 0;  // no such window
  DpiCalls::Context previous = calls.setThreadContext(wanted);
  return static_cast<DpiAwarenessToken>(reinterpret_cast<std::intptr_t>(previous));
}

void Win32WindowManager::RestoreThreadDpiAwareness(DpiAwarenessToken previous) {
  const DpiCalls& calls = DpiCalls::Get();
  if (calls.setThreadContext == nullptr || previous == 0) return;
  calls.setThreadContext(reinterpret_cast<DpiCalls::Context>(static_cast<std::intptr_t>(previous)));
}

std::optional<Point> Win32WindowManager::PhysicalToLogicalPoint(WindowHandle window,
                                                               Point physical) {
  return ConvertedPoint(DpiConversionCalls::Get().physicalToLogical, window, physical);
}

std::optional<Point> Win32WindowManager::LogicalToPhysicalPoint(WindowHandle window,
                                                               Point logical) {
  return ConvertedPoint(DpiConversionCalls::Get().logicalToPhysical, window, logical);
}

bool Win32WindowManager::ActivateByTitle(std::string_view title) {
  HWND target = FindWindowA(nullptr, Z(title).c_str());
  if (target == nullptr) return false;
  if (::IsIconic(target)) ::ShowWindow(target, SW_RESTORE);
  // The system may refuse the foreground to a background process and only
  // flash the taskbar button; the window exists, which is what we answer.
  SetForegroundWindow(target);
  return true;
}

int Win32WindowManager::ScreenWidthPixels() { return GetSystemMetrics(SM_CXSCREEN); }

int Win32WindowManager::ScreenHeightPixels() { return GetSystemMetrics(SM_CYSCREEN); }

double Win32WindowManager::TwipsPerPixelX() { return TwipsPerPixel(LOGPIXELSX); }

double Win32WindowManager::TwipsPerPixelY() { return TwipsPerPixel(LOGPIXELSY); }

}  // namespace calorix::platform::win32
