// A form's window and controls: made from the form's table, then kept
// like the model.
#include "platform/win32/win32_form_view.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

namespace calorix::platform::win32 {

namespace {

// A drop-down combo box is created with the height of its open list.
constexpr int kComboListPixels = 160;

}  // namespace

std::string WindowTextOf(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(got, 0)));
  return text;
}

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
      // Without ES_AUTOHSCROLL a multi-line edit box wraps its lines.
      if (decl.horizontalScroll) style |= WS_HSCROLL | ES_AUTOHSCROLL;
      exStyle |= WS_EX_CLIENTEDGE;
      caption.clear();
      break;
    case ui::ControlKind::kImage:
      return;
    case ui::ControlKind::kCanvas:
      className = kCanvasClass;
      caption.clear();
      break;
  }
  item.placedLeft = control.Left();
  item.placedTop = control.Top();
  item.placedWidth = control.Width();
  HWND window = CreateWindowExA(
      exStyle, className, caption.c_str(), style, shared_.PixelsX(control.Left()),
      shared_.PixelsY(control.Top()), shared_.PixelsX(control.Width()), height, window_.get(),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)), shared_.instance,
      this);  // a canvas hands its messages to this view
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
  } else {
    // Brought up by the program on its own, the window leaves the keyboard
    // with the window the user is in.
    const bool activate = form_.ShowActivation() == ui::Activation::kActivate;
    if (iconic) {
      // A window hidden while minimised is restored when it is shown again.
      ShowWindow(window, activate ? SW_RESTORE : SW_SHOWNOACTIVATE);
    } else if (!shown) {
      ShowWindow(window, activate ? SW_SHOW : SW_SHOWNA);
    }
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
      // Scrolling the caret into view may have shifted the lines sideways
      // to show a line's end; rows are read from their start, under the
      // headings above them.
      if (control.Decl().horizontalScroll) SendMessageA(window, WM_HSCROLL, SB_LEFT, 0);
      break;
    case ui::ControlKind::kImage:
      break;
    case ui::ControlKind::kCanvas:
      InvalidateRect(window, nullptr, FALSE);  // painted whole, over a buffer
      break;
  }
  if ((IsWindowEnabled(window) != FALSE) != control.Enabled())
    EnableWindow(window, control.Enabled() ? TRUE : FALSE);
  if (control.Left() != item->placedLeft || control.Top() != item->placedTop ||
      control.Width() != item->placedWidth) {
    ApplyControlPlace(*item);
  } else if (decl.kind != ui::ControlKind::kComboBox) {
    RECT now{};
    const int height = shared_.PixelsY(control.Height());
    if (GetWindowRect(window, &now) && now.bottom - now.top != height) {
      SetWindowPos(window, nullptr, 0, 0, now.right - now.left, height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
}

void Win32FormView::ApplyControlPlace(Item& item) {
  const ui::Control& control = *item.model;
  int height = shared_.PixelsY(control.Height());
  if (control.Decl().kind == ui::ControlKind::kComboBox) height += kComboListPixels;
  SetWindowPos(item.window, nullptr, shared_.PixelsX(control.Left()), shared_.PixelsY(control.Top()),
               shared_.PixelsX(control.Width()), height, SWP_NOZORDER | SWP_NOACTIVATE);
  item.placedLeft = control.Left();
  item.placedTop = control.Top();
  item.placedWidth = control.Width();
}

}  // namespace calorix::platform::win32
