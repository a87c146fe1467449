#include "platform/win32/win32_forms.h"

#include "platform/win32/win32_internal.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <exception>
#include <map>
#include <system_error>
#include <tuple>
#include <utility>
#include <vector>

namespace calorix::platform::win32 {

namespace {

constexpr char kFormClass[] = "CalorixForm";
// IsDialogMessage sends IDOK (1) and IDCANCEL (2) for Enter and Escape;
// control ids start well above them so those never look like a click.
constexpr int kFirstControlId = 100;
// A drop-down combo box is created with the height of its open list.
constexpr int kComboListPixels = 160;
constexpr int kEscape = 27;
constexpr ui::FontSpec kDefaultFont{"MS Sans Serif", 8, false};

[[noreturn]] void ThrowLastError(const char* what) {
  throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

// One owner of one Win32 handle; Release frees it.
template <typename Handle, typename Release>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  ~Owned() { reset(); }
  Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void reset() {
    if (handle_ != nullptr) Release{}(std::exchange(handle_, nullptr));
  }

 private:
  Handle handle_ = nullptr;
};

// Releasing runs from destructors, where nobody is left to hear of a
// failure; each fails only for a handle the system already let go of.
struct DestroyWindowRelease {
  void operator()(HWND window) const { DestroyWindow(window); }
};
struct DeleteObjectRelease {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DestroyIconRelease {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct DestroyMenuRelease {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};

using OwnedWindow = Owned<HWND, DestroyWindowRelease>;
using OwnedFont = Owned<HFONT, DeleteObjectRelease>;
using OwnedBrush = Owned<HBRUSH, DeleteObjectRelease>;
using OwnedIcon = Owned<HICON, DestroyIconRelease>;
using OwnedMenu = Owned<HMENU, DestroyMenuRelease>;

// The window class of every form, registered for the host's lifetime.
class FormClass {
 public:
  FormClass(HINSTANCE instance, WNDPROC procedure) : instance_(instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    if (RegisterClassExA(&wc) == 0) ThrowLastError("RegisterClassEx");
  }
  ~FormClass() {
    // Fails only while a window of the class is left; the process ends soon.
    UnregisterClassA(kFormClass, instance_);
  }
  FormClass(const FormClass&) = delete;
  FormClass& operator=(const FormClass&) = delete;

 private:
  HINSTANCE instance_;
};

COLORREF ToColor(ui::Rgb colour) { return RGB(colour.r, colour.g, colour.b); }

std::string WindowTextOf(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(got, 0)));
  return text;
}

// Runs a model call from a window procedure. An exception must not unwind
// through the system's window code: the message loop rethrows it once
// DispatchMessage has returned.
template <typename Call>
void Guarded(Win32Process& process, Call&& call) {
  try {
    call();
  } catch (...) {
    process.DeferException(std::current_exception());
  }
}

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace

// What all views share: the class, fonts, brushes, icons, the live views.
struct Win32FormHost::Resources {
  Resources(Win32Process& processService, std::function<void()>& taskbarHandler);

  HFONT Font(const ui::FontSpec& spec);
  HBRUSH Brush(ui::Rgb colour);
  HICON Icon(int id);
  HICON SmallIconFor(HICON icon);
  HWND HiddenOwner();
  Win32FormView* ViewOf(HWND root) const;
  bool Filter(MSG& msg);
  int PixelsX(double twips) const { return static_cast<int>(std::lround(twips / twipsX)); }
  int PixelsY(double twips) const { return static_cast<int>(std::lround(twips / twipsY)); }

  Win32Process& process;
  std::function<void()>& onTaskbarCreated;
  HINSTANCE instance = nullptr;
  int dpiY = 96;
  int twipsX = 15, twipsY = 15;
  UINT taskbarCreated = 0;
  FormClass formClass;
  std::map<std::tuple<std::string, double, bool>, OwnedFont> fonts;
  std::map<COLORREF, OwnedBrush> brushes;
  std::map<int, OwnedIcon> icons;
  std::map<HICON, OwnedIcon> smallIcons;
  OwnedWindow hiddenOwner;
  std::vector<Win32FormView*> views;  // in the order they were made
};

class Win32FormView final : public ui::FormView {
 public:
  Win32FormView(Win32FormHost::Resources& shared, ui::Form& form);
  ~Win32FormView() override;
  Win32FormView(const Win32FormView&) = delete;
  Win32FormView& operator=(const Win32FormView&) = delete;

  WindowHandle Handle() override { return ToWindowHandle(window_.get()); }
  void FormChanged() override;
  void ControlChanged(const ui::Control& control) override;

  HWND Window() const { return window_.get(); }
  // Escape goes to the form, except while a combo box's list is open: the
  // key closes the list then.
  bool TakesEscape(HWND target) const;
  // May unload the form, and so destroy this view.
  void KeyPress(HWND target, int keyCode);
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  struct Item {
    ui::Control* model = nullptr;
    HWND window = nullptr;   // none for an image
    std::size_t listShown = 0;
    std::string textShown;   // the text box's text, to skip resending it
  };

  // Changes the view makes itself are not the user's: window messages they
  // cause are not sent back to the model.
  class Applying {
   public:
    explicit Applying(Win32FormView& view) : view_(view) { ++view_.applying_; }
    ~Applying() { --view_.applying_; }
    Applying(const Applying&) = delete;
    Applying& operator=(const Applying&) = delete;

   private:
    Win32FormView& view_;
  };

  void CreateControls();
  void CreateControl(std::size_t index, bool startsGroup);
  void CreateTooltips();
  static bool Fits(const ui::ControlDecl& decl);
  void FitCaption(const Item& item);
  int RoomToTheRight(const ui::ControlDecl& decl) const;
  int RoomToTheLeft(const ui::ControlDecl& decl) const;
  void ApplyPlace();
  void ApplyVisibility();
  Item* ItemOf(HWND window);
  Item* ItemOf(const ui::Control& control);
  ui::Control* ControlAt(HWND window);
  HWND FirstTabStop() const;
  HBRUSH Colours(HDC dc, HWND child);
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
  void OnUserSize(WPARAM kind);
  void OnUserMove();

  Win32FormHost::Resources& shared_;
  ui::Form& form_;
  std::vector<Item> items_;         // one per model control, same order
  std::vector<std::size_t> tabOrder_;
  int applying_ = 0;
  HWND lastFocus_ = nullptr;
  HICON shownIcon_ = nullptr;
  OwnedWindow window_;
  OwnedWindow tooltip_;  // destroyed before the window that owns it
};

namespace {

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* view = reinterpret_cast<Win32FormView*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (view == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return view->OnMessage(window, message, wParam, lParam);
}

}  // namespace

// ---- Resources ----------------------------------------------------------------

Win32FormHost::Resources::Resources(Win32Process& processService,
                                    std::function<void()>& taskbarHandler)
    : process(processService),
      onTaskbarCreated(taskbarHandler),
      instance(GetModuleHandleA(nullptr)),
      formClass(instance, FormProc) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  // Only the tooltips come from the common controls; without them the forms
  // still work, so a failure here just leaves the tips out.
  InitCommonControlsEx(&controls);
  if (HDC screen = GetDC(nullptr); screen != nullptr) {
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    // Pixel size in twips as the window manager gives it to the program.
    if (dpiX > 0) twipsX = 1440 / dpiX;
    if (dpiY > 0) twipsY = 1440 / dpiY;
    if (dpiY <= 0) dpiY = 96;
  }
  // 0 when it cannot be registered: then the shell's restart goes unseen.
  taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
}

HFONT Win32FormHost::Resources::Font(const ui::FontSpec& requested) {
  // The toolkit's default: the font the layouts were measured with.
  const ui::FontSpec spec = requested.face.empty() ? kDefaultFont : requested;
  auto key = std::make_tuple(std::string(spec.face), spec.points, spec.bold);
  if (auto found = fonts.find(key); found != fonts.end()) return found->second.get();
  const int height = -static_cast<int>(std::lround(spec.points * dpiY / 72.0));
  // Where the face is missing the system picks one by pitch and family:
  // the column headings of the data viewer need a fixed-pitch one.
  const bool fixedPitch = spec.face.starts_with("Courier") || spec.face == "Lucida Console";
  const DWORD pitchAndFamily = fixedPitch ? FIXED_PITCH | FF_MODERN : VARIABLE_PITCH | FF_SWISS;
  HFONT font = CreateFontA(height, 0, 0, 0, spec.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, pitchAndFamily, std::get<0>(key).c_str());
  if (font == nullptr) ThrowLastError("CreateFont");
  return fonts.emplace(std::move(key), OwnedFont(font)).first->second.get();
}

HBRUSH Win32FormHost::Resources::Brush(ui::Rgb colour) {
  const COLORREF value = ToColor(colour);
  if (auto found = brushes.find(value); found != brushes.end()) return found->second.get();
  HBRUSH brush = CreateSolidBrush(value);
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

HICON Win32FormHost::Resources::SmallIconFor(HICON icon) {
  if (icon == nullptr) return nullptr;
  if (auto found = smallIcons.find(icon); found != smallIcons.end()) {
    return found->second ? found->second.get() : icon;
  }
  HICON small = nullptr;
  for (const auto& [id, loaded] : icons) {
    if (loaded.get() != icon) continue;
    small = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON),
                                          GetSystemMetrics(SM_CYSMICON), 0));
    break;
  }
  // An icon from elsewhere, or no small image: the big one is scaled down.
  smallIcons.emplace(icon, OwnedIcon(small));
  return small != nullptr ? small : icon;
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

// ---- Win32FormView --------------------------------------------------------------

Win32FormView::Win32FormView(Win32FormHost::Resources& shared, ui::Form& form)
    : shared_(shared), form_(form) {
  Applying applying(*this);
  const ui::FormDecl& decl = form.Decl();
  DWORD style = 0;
  DWORD exStyle = 0;
  switch (decl.border) {
    case ui::BorderStyle::kFixedSingle:
      style = WS_CAPTION | WS_SYSMENU | WS_BORDER;
      if (decl.minButton) style |= WS_MINIMIZEBOX;
      if (decl.maxButton) style |= WS_MAXIMIZEBOX;
      break;
    case ui::BorderStyle::kSizable:
      style = WS_OVERLAPPEDWINDOW;
      if (!decl.minButton) style &= ~static_cast<DWORD>(WS_MINIMIZEBOX);
      if (!decl.maxButton) style &= ~static_cast<DWORD>(WS_MAXIMIZEBOX);
      break;
    case ui::BorderStyle::kFixedToolWindow:
      style = WS_CAPTION | WS_SYSMENU;
      exStyle = WS_EX_TOOLWINDOW;
      break;
    case ui::BorderStyle::kFixedDialog:
      style = WS_CAPTION | WS_SYSMENU;
      exStyle = WS_EX_DLGMODALFRAME;
      break;
  }
  // Kept off the taskbar by a hidden owner, so the window keeps its full
  // caption and buttons (a tool window would lose them). A tool window is
  // left unowned: the taskbar leaves it out anyway, and an owned one could
  // not rise above the topmost options window.
  HWND owner = nullptr;
  if (!decl.showInTaskbar && (exStyle & WS_EX_TOOLWINDOW) == 0) owner = shared_.HiddenOwner();

  RECT outer{0, 0, shared_.PixelsX(decl.clientWidth), shared_.PixelsY(decl.clientHeight)};
  const int clientWidth = outer.right;
  const int clientHeight = outer.bottom;
  if (!AdjustWindowRectEx(&outer, style, FALSE, exStyle)) ThrowLastError("AdjustWindowRectEx");
  form_.SetFrameSize((outer.right - outer.left - clientWidth) * shared_.twipsX,
                     (outer.bottom - outer.top - clientHeight) * shared_.twipsY);

  HWND window = CreateWindowExA(exStyle, kFormClass, form_.Caption().c_str(), style,
                                shared_.PixelsX(form_.Left()), shared_.PixelsY(form_.Top()),
                                shared_.PixelsX(form_.Width()), shared_.PixelsY(form_.Height()),
                                owner, nullptr, shared_.instance, this);
  if (window == nullptr) ThrowLastError("CreateWindowEx");
  window_ = OwnedWindow(window);
  try {
    CreateControls();
    CreateTooltips();
    FormChanged();
  } catch (...) {
    // The window goes with the half-made view; it must not call back into it.
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    throw;
  }
  shared_.views.push_back(this);
}

Win32FormView::~Win32FormView() {
  auto& views = shared_.views;
  views.erase(std::remove(views.begin(), views.end(), this), views.end());
  // The window is destroyed after this body, by its owner below; its last
  // messages must not reach a view that is going away.
  if (window_) SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
  // The last window of the program went: the program ends, as it would
  // with no form left.
  if (views.empty()) PostQuitMessage(0);
}

void Win32FormView::CreateControls() {
  auto& controls = form_.Controls();
  items_.resize(controls.size());
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    items_[i].model = controls[i].get();
    if (controls[i]->Decl().kind != ui::ControlKind::kImage) order.push_back(i);
  }
  // Tab order is creation order, and so is the z-order (the first made is
  // on top). Labels follow the controls that take the focus, later ones of
  // the table above earlier ones, as the toolkit draws its windowless
  // labels; frames come last, so the group boxes lie behind everything.
  auto rank = [&](std::size_t i) {
    const ui::ControlDecl& decl = controls[i]->Decl();
    if (decl.kind == ui::ControlKind::kFrame) return std::make_pair(2, decl.tabIndex);
    if (decl.kind == ui::ControlKind::kLabel) return std::make_pair(1, -static_cast<int>(i));
    return std::make_pair(0, decl.tabIndex < 0 ? INT_MAX : decl.tabIndex);
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return rank(a) < rank(b); });
  const ui::ControlDecl* previous = nullptr;
  for (std::size_t i : order) {
    const ui::ControlDecl& decl = controls[i]->Decl();
    // Option buttons next to each other on one container are one group for
    // the arrow keys; everything else is a group of its own.
    const bool continuesGroup = previous != nullptr &&
                                decl.kind == ui::ControlKind::kOptionButton &&
                                previous->kind == ui::ControlKind::kOptionButton &&
                                previous->container == decl.container;
    CreateControl(i, !continuesGroup);
    previous = &decl;
  }
  tabOrder_ = std::move(order);
  for (const Item& item : items_)
    if (item.window != nullptr && Fits(item.model->Decl())) FitCaption(item);
}

void Win32FormView::CreateControl(std::size_t index, bool startsGroup) {
  Item& item = items_[index];
  ui::Control& control = *item.model;
  const ui::ControlDecl& decl = control.Decl();
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (decl.visible) style |= WS_VISIBLE;
  if (startsGroup) style |= WS_GROUP;
  DWORD exStyle = 0;
  const char* className = "Button";
  std::string caption = control.Caption();
  int height = shared_.PixelsY(control.Height());
  switch (decl.kind) {
    case ui::ControlKind::kLabel:
      className = "Static";
      style |= decl.align == ui::Align::kRight    ? SS_RIGHT
               : decl.align == ui::Align::kCenter ? SS_CENTER
                                                  : SS_LEFT;
      if (decl.border) style |= SS_SUNKEN;
      break;
    case ui::ControlKind::kCheckBox:
      style |= BS_CHECKBOX | WS_TABSTOP;
      break;
    case ui::ControlKind::kOptionButton:
      style |= BS_RADIOBUTTON | WS_TABSTOP;
      break;
    case ui::ControlKind::kFrame:
      style |= BS_GROUPBOX;
      break;
    case ui::ControlKind::kButton:
      style |= BS_PUSHBUTTON | WS_TABSTOP;
      break;
    case ui::ControlKind::kComboBox:
      className = "ComboBox";
      style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
      height += kComboListPixels;
      caption.clear();
      break;
    case ui::ControlKind::kTextBox:
      className = "Edit";
      style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_TABSTOP;
      if (decl.readOnly) style |= ES_READONLY;
      if (decl.verticalScroll) style |= WS_VSCROLL;
      exStyle |= WS_EX_CLIENTEDGE;
      caption.clear();
      break;
    case ui::ControlKind::kImage:
      return;
  }
  HWND window = CreateWindowExA(
      exStyle, className, caption.c_str(), style, shared_.PixelsX(decl.left),
      shared_.PixelsY(decl.top), shared_.PixelsX(decl.width), height, window_.get(),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)), shared_.instance,
      nullptr);
  if (window == nullptr) ThrowLastError("CreateWindowEx");
  item.window = window;
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(shared_.Font(decl.font)), FALSE);
  // A multi-line edit box holds any length the program sets.
  if (decl.kind == ui::ControlKind::kTextBox) SendMessageA(window, EM_SETLIMITTEXT, 0, 0);
  ControlChanged(control);
}

void Win32FormView::CreateTooltips() {
  bool any = false;
  for (const Item& item : items_) any = any || (item.window != nullptr && !item.model->Decl().tooltip.empty());
  if (!any) return;
  HWND tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_.get(),
                                 nullptr, shared_.instance, nullptr);
  // Tips are a convenience: a form without them still works (see
  // InitCommonControlsEx in the host).
  if (tooltip == nullptr) return;
  tooltip_ = OwnedWindow(tooltip);
  for (const Item& item : items_) {
    if (item.window == nullptr || item.model->Decl().tooltip.empty()) continue;
    std::string text(item.model->Decl().tooltip);
    auto add = [&](HWND tool) {
      TOOLINFOA info{};
      // The older record size: every version of the common controls takes it.
      info.cbSize = TTTOOLINFOA_V2_SIZE;
      info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      info.hwnd = window_.get();
      info.uId = reinterpret_cast<UINT_PTR>(tool);
      info.lpszText = text.data();
      // Refused only without memory; the control then simply has no tip.
      SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    };
    add(item.window);
    // The mouse over a combo box is over its edit field, a child window.
    if (item.model->Decl().kind == ui::ControlKind::kComboBox) {
      COMBOBOXINFO combo{};
      combo.cbSize = sizeof combo;
      if (GetComboBoxInfo(item.window, &combo) && combo.hwndItem != nullptr) add(combo.hwndItem);
    }
  }
}

// The layouts were measured with the fonts of their time; where the
// system's font is wider, a check box, option button or one-line label
// grows into free room beside it rather than cut its caption off.
bool Win32FormView::Fits(const ui::ControlDecl& decl) {
  switch (decl.kind) {
    case ui::ControlKind::kCheckBox:
    case ui::ControlKind::kOptionButton:
      return true;
    case ui::ControlKind::kLabel:
      return !decl.border;  // bordered labels show readings that fit
    default:
      return false;
  }
}

void Win32FormView::FitCaption(const Item& item) {
  const ui::ControlDecl& decl = item.model->Decl();
  const std::string& caption = item.model->Caption();
  if (caption.find_first_of("\r\n") != std::string::npos) return;
  std::string shown;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;  // "&&" shows as "&"
    shown += caption[i];
  }
  HDC dc = GetDC(item.window);
  if (dc == nullptr) return;  // not measurable now: the table's width stays
  HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(item.window, WM_GETFONT, 0, 0)));
  SIZE text{};
  const BOOL measured =
      GetTextExtentPoint32A(dc, shown.c_str(), static_cast<int>(shown.size()), &text);
  TEXTMETRICA metrics{};
  const BOOL gotMetrics = GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(item.window, dc);
  if (!measured || !gotMetrics) return;
  const int height = shared_.PixelsY(item.model->Height());
  // A label tall enough for two lines wraps its text as designed.
  if (decl.kind == ui::ControlKind::kLabel && height >= 2 * metrics.tmHeight) return;
  int needed = text.cx;
  // The box or circle, the gap after it and the focus frame around the text.
  if (decl.kind != ui::ControlKind::kLabel) needed += GetSystemMetrics(SM_CXMENUCHECK) + 8;

  int left = shared_.PixelsX(decl.left);
  int right = shared_.PixelsX(decl.left + decl.width);
  const int leftLimit = shared_.PixelsX(RoomToTheLeft(decl));
  const int rightLimit = shared_.PixelsX(RoomToTheRight(decl));
  auto growLeft = [&] { left = std::max(leftLimit, std::min(left, right - needed)); };
  auto growRight = [&] { right = std::min(rightLimit, std::max(right, left + needed)); };
  if (decl.kind == ui::ControlKind::kLabel && decl.align == ui::Align::kRight) {
    growLeft();
    growRight();
  } else {
    growRight();
    growLeft();
  }
  RECT now{};
  if (!GetWindowRect(item.window, &now)) return;
  MapWindowPoints(nullptr, window_.get(), reinterpret_cast<POINT*>(&now), 2);
  if (now.left == left && now.right == right) return;
  SetWindowPos(item.window, nullptr, left, now.top, right - left, now.bottom - now.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

// Room kept between a grown control and its neighbour or frame, in twips.
constexpr int kNeighbourGap = 15;
constexpr int kFrameEdge = 60;

bool SameRow(const ui::ControlDecl& a, const ui::ControlDecl& b) {
  return a.top < b.top + b.height && b.top < a.top + a.height;
}

bool Inside(const ui::ControlDecl& decl, const ui::ControlDecl& frame) {
  return decl.left >= frame.left && decl.left < frame.left + frame.width &&
         decl.top >= frame.top && decl.top < frame.top + frame.height;
}

}  // namespace

// How far right a control may reach, in twips: to the next control on its
// row, the inner edge of a frame it lies in, or the form's edge.
int Win32FormView::RoomToTheRight(const ui::ControlDecl& decl) const {
  int limit = form_.Decl().clientWidth;
  for (const Item& other : items_) {
    const ui::ControlDecl& o = other.model->Decl();
    if (&o == &decl || other.window == nullptr) continue;
    if (o.kind == ui::ControlKind::kFrame) {
      if (Inside(decl, o)) limit = std::min(limit, o.left + o.width - kFrameEdge);
    } else if (o.left >= decl.left + decl.width && SameRow(decl, o)) {
      limit = std::min(limit, o.left - kNeighbourGap);
    }
  }
  return limit;
}

// The same to the left.
int Win32FormView::RoomToTheLeft(const ui::ControlDecl& decl) const {
  int limit = 0;
  for (const Item& other : items_) {
    const ui::ControlDecl& o = other.model->Decl();
    if (&o == &decl || other.window == nullptr) continue;
    if (o.kind == ui::ControlKind::kFrame) {
      if (Inside(decl, o)) limit = std::max(limit, o.left + kFrameEdge);
    } else if (o.left + o.width <= decl.left && SameRow(decl, o)) {
      limit = std::max(limit, o.left + o.width + kNeighbourGap);
    }
  }
  return limit;
}

Win32FormView::Item* Win32FormView::ItemOf(HWND window) {
  if (window == nullptr) return nullptr;
  for (Item& item : items_)
    if (item.window == window) return &item;
  return nullptr;
}

Win32FormView::Item* Win32FormView::ItemOf(const ui::Control& control) {
  for (Item& item : items_)
    if (item.model == &control) return &item;
  return nullptr;
}

ui::Control* Win32FormView::ControlAt(HWND window) {
  // The focus may be in a part of a control (a combo box's edit field).
  for (HWND at = window; at != nullptr && at != window_.get(); at = GetParent(at)) {
    if (Item* item = ItemOf(at)) return item->model;
  }
  return nullptr;
}

HWND Win32FormView::FirstTabStop() const {
  for (std::size_t i : tabOrder_) {
    HWND window = items_[i].window;
    if (window == nullptr) continue;
    if ((GetWindowLongA(window, GWL_STYLE) & WS_TABSTOP) == 0) continue;
    if (IsWindowVisible(window) && IsWindowEnabled(window)) return window;
  }
  return nullptr;
}

void Win32FormView::FormChanged() {
  if (!window_) return;
  Applying applying(*this);
  HWND window = window_.get();
  if (WindowTextOf(window) != form_.Caption()) SetWindowTextA(window, form_.Caption().c_str());

  HICON icon = form_.Icon() != 0
                   ? reinterpret_cast<HICON>(static_cast<std::intptr_t>(form_.Icon()))
                   : shared_.Icon(form_.Decl().iconId);
  if (icon != shownIcon_) {
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(shared_.SmallIconFor(icon)));
    shownIcon_ = icon;
  }
  ApplyPlace();
  ApplyVisibility();
}

void Win32FormView::ApplyPlace() {
  HWND window = window_.get();
  const RECT want{shared_.PixelsX(form_.Left()), shared_.PixelsY(form_.Top()),
                  shared_.PixelsX(form_.Left() + form_.Width()),
                  shared_.PixelsY(form_.Top() + form_.Height())};
  const int width = shared_.PixelsX(form_.Width());
  const int height = shared_.PixelsY(form_.Height());
  if (IsIconic(window)) {
    // A minimised window keeps its normal place in its placement record,
    // in work-area coordinates unless it is a tool window.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement)) return;
    RECT normal{want.left, want.top, want.left + width, want.top + height};
    if ((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0) {
      MONITORINFO monitor{};
      monitor.cbSize = sizeof monitor;
      if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        OffsetRect(&normal, monitor.rcMonitor.left - monitor.rcWork.left,
                   monitor.rcMonitor.top - monitor.rcWork.top);
      }
    }
    if (EqualRect(&normal, &placement.rcNormalPosition)) return;
    placement.rcNormalPosition = normal;
    placement.flags = 0;
    placement.showCmd = IsWindowVisible(window) ? SW_SHOWMINNOACTIVE : SW_HIDE;
    SetWindowPlacement(window, &placement);
    return;
  }
  RECT now{};
  if (!GetWindowRect(window, &now)) return;
  if (now.left == want.left && now.top == want.top && now.right - now.left == width &&
      now.bottom - now.top == height) {
    return;
  }
  SetWindowPos(window, nullptr, want.left, want.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FormView::ApplyVisibility() {
  HWND window = window_.get();
  const bool shown = IsWindowVisible(window) != FALSE;
  const bool iconic = IsIconic(window) != FALSE;
  if (!form_.Visible()) {
    if (shown) ShowWindow(window, SW_HIDE);
  } else if (form_.State() == ui::WindowState::kMinimized) {
    if (!iconic || !shown) ShowWindow(window, SW_SHOWMINNOACTIVE);
  } else if (iconic) {
    // A window hidden while minimised is restored when it is shown again.
    ShowWindow(window, SW_RESTORE);
  } else if (!shown) {
    ShowWindow(window, SW_SHOW);
  }
}

void Win32FormView::ControlChanged(const ui::Control& control) {
  Item* item = ItemOf(control);
  if (item == nullptr || item->window == nullptr) return;
  Applying applying(*this);
  HWND window = item->window;
  const ui::ControlDecl& decl = control.Decl();
  switch (decl.kind) {
    case ui::ControlKind::kCheckBox:
    case ui::ControlKind::kOptionButton: {
      const bool on = decl.kind == ui::ControlKind::kCheckBox ? control.State() == 1 : control.Value();
      const WPARAM check = on ? BST_CHECKED : BST_UNCHECKED;
      if (static_cast<WPARAM>(SendMessageA(window, BM_GETCHECK, 0, 0)) != check)
        SendMessageA(window, BM_SETCHECK, check, 0);
      [[fallthrough]];
    }
    case ui::ControlKind::kLabel:
    case ui::ControlKind::kFrame:
    case ui::ControlKind::kButton:
      if (WindowTextOf(window) != control.Caption()) {
        SetWindowTextA(window, control.Caption().c_str());
        if (Fits(decl) && !tabOrder_.empty()) FitCaption(*item);
      }
      break;
    case ui::ControlKind::kComboBox: {
      const auto& list = control.ListItems();
      if (list.size() < item->listShown) {
        SendMessageA(window, CB_RESETCONTENT, 0, 0);
        item->listShown = 0;
      }
      for (; item->listShown < list.size(); ++item->listShown) {
        SendMessageA(window, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(list[item->listShown].c_str()));
      }
      if (WindowTextOf(window) != control.Text()) SetWindowTextA(window, control.Text().c_str());
      break;
    }
    case ui::ControlKind::kTextBox:
      if (item->textShown != control.Text()) {
        SetWindowTextA(window, control.Text().c_str());
        item->textShown = control.Text();
      }
      // The caret where the program put it, and in view.
      SendMessageA(window, EM_SETSEL, static_cast<WPARAM>(control.SelectionStart()),
                   static_cast<LPARAM>(control.SelectionStart()));
      SendMessageA(window, EM_SCROLLCARET, 0, 0);
      break;
    case ui::ControlKind::kImage:
      break;
  }
  if ((IsWindowEnabled(window) != FALSE) != control.Enabled())
    EnableWindow(window, control.Enabled() ? TRUE : FALSE);
  if (decl.kind != ui::ControlKind::kComboBox) {
    RECT now{};
    const int height = shared_.PixelsY(control.Height());
    if (GetWindowRect(window, &now) && now.bottom - now.top != height) {
      SetWindowPos(window, nullptr, 0, 0, now.right - now.left, height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
}

bool Win32FormView::TakesEscape(HWND target) const {
  for (const Item& item : items_) {
    if (item.window == nullptr || item.model->Decl().kind != ui::ControlKind::kComboBox) continue;
    if (item.window != target && !IsChild(item.window, target)) continue;
    return SendMessageA(item.window, CB_GETDROPPEDSTATE, 0, 0) == FALSE;
  }
  return true;
}

void Win32FormView::KeyPress(HWND target, int keyCode) {
  ui::Control* focused = ControlAt(target);
  form_.KeyPress(focused, keyCode);
}

HBRUSH Win32FormView::Colours(HDC dc, HWND child) {
  const Item* item = ItemOf(child);
  const ui::ControlDecl* decl = item != nullptr ? &item->model->Decl() : nullptr;
  if (decl != nullptr && decl->foreground) SetTextColor(dc, ToColor(*decl->foreground));
  if (decl != nullptr && decl->background) {
    SetBkColor(dc, ToColor(*decl->background));
    return shared_.Brush(*decl->background);
  }
  if (decl != nullptr && decl->kind == ui::ControlKind::kTextBox) {
    // Read-only, but a text box all the same: white like an editable one.
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return GetSysColorBrush(COLOR_WINDOW);
  }
  if (const auto& back = form_.Decl().background) {
    // No colour of its own: the control shows the form behind it.
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, ToColor(*back));
    return shared_.Brush(*back);
  }
  if (decl != nullptr && decl->foreground) {
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
  }
  return nullptr;
}

LRESULT Win32FormView::OnCommand(WPARAM wParam, LPARAM lParam) {
  HWND from = reinterpret_cast<HWND>(lParam);
  Item* item = ItemOf(from);
  if (item == nullptr || applying_ > 0) return 0;
  if (LOWORD(wParam) != kFirstControlId + (item - items_.data())) return 0;
  ui::Control& control = *item->model;
  Win32Process& process = shared_.process;
  const int code = HIWORD(wParam);
  switch (control.Decl().kind) {
    case ui::ControlKind::kCheckBox:
    case ui::ControlKind::kOptionButton:
    case ui::ControlKind::kButton:
      // The handler may unload the form: nothing of the view is used after.
      if (code == BN_CLICKED) Guarded(process, [&control] { control.Click(); });
      return 0;
    case ui::ControlKind::kComboBox: {
      std::string text;
      if (code == CBN_EDITCHANGE) {
        text = WindowTextOf(from);
      } else if (code == CBN_SELCHANGE) {
        // The edit field still shows the old text at this point.
        const LRESULT selected = SendMessageA(from, CB_GETCURSEL, 0, 0);
        if (selected == CB_ERR) return 0;
        const LRESULT length = SendMessageA(from, CB_GETLBTEXTLEN, selected, 0);
        if (length == CB_ERR) return 0;
        text.assign(static_cast<std::size_t>(length) + 1, '\0');
        const LRESULT got = SendMessageA(from, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text.data()));
        text.resize(got == CB_ERR ? 0 : static_cast<std::size_t>(got));
      } else {
        return 0;
      }
      Guarded(process, [&control, &text] { control.SetText(std::move(text)); });
      return 0;
    }
    default:
      return 0;
  }
}

void Win32FormView::OnUserSize(WPARAM kind) {
  ui::Form& form = form_;
  Win32Process& process = shared_.process;
  if (kind == SIZE_MINIMIZED) {
    if (form.State() != ui::WindowState::kMinimized)
      Guarded(process, [&form] { form.SetWindowState(ui::WindowState::kMinimized); });
    return;
  }
  if (kind != SIZE_RESTORED && kind != SIZE_MAXIMIZED) return;
  if (form.State() == ui::WindowState::kMinimized) {
    Guarded(process, [&form] { form.SetWindowState(ui::WindowState::kNormal); });
    return;
  }
  RECT now{};
  if (!GetWindowRect(window_.get(), &now)) return;
  const int width = now.right - now.left;
  const int height = now.bottom - now.top;
  if (width == shared_.PixelsX(form.Width()) && height == shared_.PixelsY(form.Height())) return;
  const double twipsWidth = static_cast<double>(width) * shared_.twipsX;
  const double twipsHeight = static_cast<double>(height) * shared_.twipsY;
  Guarded(process, [&form, twipsWidth, twipsHeight] { form.Resize(twipsWidth, twipsHeight); });
}

void Win32FormView::OnUserMove() {
  RECT now{};
  if (IsIconic(window_.get()) || !GetWindowRect(window_.get(), &now)) return;
  ui::Form& form = form_;
  if (now.left == shared_.PixelsX(form.Left()) && now.top == shared_.PixelsY(form.Top())) return;
  const double left = static_cast<double>(now.left) * shared_.twipsX;
  const double top = static_cast<double>(now.top) * shared_.twipsY;
  Guarded(shared_.process, [&form, left, top] { form.Move(left, top); });
}

LRESULT Win32FormView::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Win32Process& process = shared_.process;
  if (message == shared_.taskbarCreated && shared_.taskbarCreated != 0) {
    // Every top-level window hears it; the first form answers for all.
    if (!shared_.views.empty() && shared_.views.front() == this && shared_.onTaskbarCreated) {
      auto handler = shared_.onTaskbarCreated;
      Guarded(process, handler);
    }
    return 0;
  }
  switch (message) {
    case WM_COMMAND:
      return OnCommand(wParam, lParam);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      if (HBRUSH brush = Colours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
        return reinterpret_cast<LRESULT>(brush);
      break;
    case WM_ERASEBKGND:
      if (const auto& back = form_.Decl().background) {
        RECT client{};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, shared_.Brush(*back));
        return 1;
      }
      break;
    case WM_CLOSE: {
      // Unloading destroys this view and its window: nothing after it.
      ui::Form& form = form_;
      Guarded(process, [&form] { form.Unload(); });
      return 0;
    }
    case WM_QUERYENDSESSION:
      return TRUE;  // log-off and shutdown are never refused
    case WM_ENDSESSION:
      if (wParam != FALSE) {
        // The session ends: unload as the program's own exit would.
        ui::Form& form = form_;
        Guarded(process, [&form] { form.Unload(); });
      }
      return 0;
    case WM_SIZE:
      if (applying_ == 0 && window_) OnUserSize(wParam);
      return 0;
    case WM_MOVE:
      if (applying_ == 0 && window_) OnUserMove();
      return 0;
    case WM_MOUSEMOVE:
      // Also the shell's tray callback, which uses this message number: the
      // mouse message it reports is in the low word.
      if (form_.onMouseMove) {
        auto handler = form_.onMouseMove;
        const int x = LOWORD(lParam);
        Guarded(process, [&handler, x] { handler(x); });
        return 0;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window, focus)) lastFocus_ = focus;
      }
      break;
    case WM_SETFOCUS: {
      // As in a dialog: the focus goes on to the control that had it last.
      HWND target = lastFocus_ != nullptr && IsChild(window, lastFocus_) ? lastFocus_ : FirstTabStop();
      if (target != nullptr) SetFocus(target);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
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

std::optional<std::string> Win32FormHost::TrackPopupMenu(const ui::PopupMenu& menu,
                                                         WindowHandle owner) {
  OwnedMenu popup(CreatePopupMenu());
  if (!popup) ThrowLastError("CreatePopupMenu");
  const auto& items = menu.Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const auto& item = items[i];
    BOOL added = FALSE;
    if (item.Separator()) {
      added = AppendMenuA(popup.get(), MF_SEPARATOR, 0, nullptr);
    } else {
      const UINT flags = MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED) |
                         (item.enabled ? MF_ENABLED : MF_GRAYED);
      const std::string caption(item.decl->caption);
      added = AppendMenuA(popup.get(), flags, i + 1, caption.c_str());
    }
    if (!added) ThrowLastError("AppendMenu");
  }
  HWND window = ToHwnd(owner);
  POINT at{};
  // Without a cursor position (no interactive desktop) the menu opens at
  // the corner; it can still be dismissed.
  GetCursorPos(&at);
  // The menu only closes on a click elsewhere when its owner is in the
  // foreground; the system may refuse, and the menu still works.
  SetForegroundWindow(window);
  const int chosen = static_cast<int>(::TrackPopupMenu(
      popup.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr));
  // Lets the menu close properly the next time (a known shell quirk); at
  // worst the next menu needs a second click to close.
  PostMessageA(window, WM_NULL, 0, 0);
  if (chosen <= 0 || static_cast<std::size_t>(chosen) > items.size()) return std::nullopt;
  return std::string(items[static_cast<std::size_t>(chosen) - 1].decl->name);
}

IconHandle Win32FormHost::LoadIconResource(int id) {
  return static_cast<IconHandle>(reinterpret_cast<std::intptr_t>(shared_->Icon(id)));
}

}  // namespace calorix::platform::win32
