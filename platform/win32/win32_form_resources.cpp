// The host's shared resources and the message filter of the forms.
#include "platform/win32/win32_form_resources.h"

#include "platform/win32/win32_form_view.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <system_error>

namespace calorix::platform::win32 {

namespace {

constexpr int kEscape = 27;

}  // namespace

void ThrowLastError(const char* what) {
  throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

FormClass::FormClass(HINSTANCE instance, WNDPROC procedure, const char* name, HBRUSH background)
    : instance_(instance), name_(name) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  if (RegisterClassExA(&wc) == 0) ThrowLastError("RegisterClassEx");
}

FormClass::~FormClass() {
  // Fails only while a window of the class is left; the process ends soon.
  UnregisterClassA(name_, instance_);
}

Win32FormHost::Resources::Resources(Win32Process& processService,
                                    std::function<void()>& taskbarHandler)
    : process(processService),
      onTaskbarCreated(taskbarHandler),
      instance(GetModuleHandleA(nullptr)),
      formClass(instance, FormProc, kFormClass, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)),
      canvasClass(instance, CanvasProc, kCanvasClass, nullptr) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  // Only the tooltips come from the common controls; without them the forms
  // still work, so a failure here just leaves the tips out.
  InitCommonControlsEx(&controls);
  if (HDC screen = GetDC(nullptr); screen != nullptr) {
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    // Pixel size in twips, as the window manager gives it to the program.
    if (dpiX > 0) twipsX = 1440.0 / dpiX;
    if (dpiY > 0) twipsY = 1440.0 / dpiY;
    if (dpiY <= 0) dpiY = 96;
  }
  // 0 when it cannot be registered: then the shell's restart goes unseen.
  taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
}

HFONT Win32FormHost::Resources::Font(const ui::FontSpec& spec) {
  auto key = std::make_tuple(std::string(spec.face), spec.points, spec.bold);
  if (auto found = fonts.find(key); found != fonts.end()) return found->second.get();
  return fonts.emplace(std::move(key), OwnedFont(CreateFormFont(spec, dpiY))).first->second.get();
}

HBRUSH Win32FormHost::Resources::Brush(ui::Rgb colour) {
  const COLORREF value = ToColor(colour);
  if (auto found = brushes.find(value); found != brushes.end()) return found->second.get();
  HBRUSH brush = createBrush(value);
  if (brush == nullptr) ThrowLastError("CreateSolidBrush");
  return brushes.emplace(value, OwnedBrush(brush)).first->second.get();
}

HICON Win32FormHost::Resources::Icon(int id) {
  if (id <= 0) return nullptr;
  if (auto found = icons.find(id); found != icons.end()) return found->second.get();
  // NULL when the program has no such icon: the caller gets "no icon", and
  // the answer is kept so the lookup is not repeated.
  HICON icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0,
                                             LR_DEFAULTSIZE));
  return icons.emplace(id, OwnedIcon(icon)).first->second.get();
}

HICON Win32FormHost::Resources::SmallIcon(int id) {
  if (id <= 0) return nullptr;
  if (auto found = smallIcons.find(id); found != smallIcons.end()) return found->second.get();
  // Asked for at exactly the small-icon size, the icon group yields the
  // picture drawn for it; the size follows the DPI the program runs at.
  HICON icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  return smallIcons.emplace(id, OwnedIcon(icon)).first->second.get();
}

HICON Win32FormHost::Resources::SmallIconFor(HICON icon) {
  if (icon == nullptr) return nullptr;
  for (const auto& [id, loaded] : icons) {
    if (loaded.get() != icon) continue;
    HICON small = SmallIcon(id);
    return small != nullptr ? small : icon;
  }
  // An icon from elsewhere: the big one is scaled down.
  return icon;
}

HWND Win32FormHost::Resources::HiddenOwner() {
  if (!hiddenOwner) {
    HWND window = CreateWindowExA(0, kFormClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr) ThrowLastError("CreateWindowEx");
    hiddenOwner = OwnedWindow(window);
  }
  return hiddenOwner.get();
}

Win32FormView* Win32FormHost::Resources::ViewOf(HWND root) const {
  for (Win32FormView* view : views)
    if (view->Window() == root) return view;
  return nullptr;
}

bool Win32FormHost::Resources::Filter(MSG& msg) {
  if (msg.hwnd == nullptr || msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  Win32FormView* view = ViewOf(root);
  if (view == nullptr) return false;
  const bool escape = (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) ||
                      (msg.message == WM_CHAR && msg.wParam == kEscape);
  if (escape) {
    if (!view->TakesEscape(msg.hwnd)) return false;
    view->KeyPress(msg.hwnd, kEscape);  // the view may be gone now
    return true;
  }
  // Tab and the arrow keys move between the controls as in a dialog.
  return IsDialogMessageA(root, &msg) != FALSE;
}

// ---- Win32FormHost ----------------------------------------------------------------

Win32FormHost::Win32FormHost(Win32Process& process)
    : shared_(std::make_unique<Resources>(process, onTaskbarCreated)) {
  process.SetMessageFilter([shared = shared_.get()](MSG& msg) { return shared->Filter(msg); });
}

Win32FormHost::~Win32FormHost() { shared_->process.SetMessageFilter(nullptr); }

std::unique_ptr<ui::FormView> Win32FormHost::CreateView(ui::Form& form) {
  return std::make_unique<Win32FormView>(*shared_, form);
}

double Win32FormHost::TwipsPerPixelX() { return shared_->twipsX; }

double Win32FormHost::TwipsPerPixelY() { return shared_->twipsY; }

IconHandle Win32FormHost::LoadIconResource(int id) {
  return static_cast<IconHandle>(reinterpret_cast<std::intptr_t>(shared_->Icon(id)));
}

IconHandle Win32FormHost::LoadSmallIconResource(int id) {
  return static_cast<IconHandle>(reinterpret_cast<std::intptr_t>(shared_->SmallIcon(id)));
}

}  // namespace calorix::platform::win32
