// The form window's messages: the user's clicks, keys, moves and sizes go
// back into the model.
#include "platform/win32/win32_form_view.h"

#include <algorithm>

namespace calorix::platform::win32 {

namespace {

// Hands a window's message to the view in its user data, put there from
// its creation parameter.
LRESULT HandToView(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                   LRESULT (Win32FormView::*handle)(HWND, UINT, WPARAM, LPARAM)) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* view = reinterpret_cast<Win32FormView*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (view == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  // Nothing may unwind through the system's frames: a 32-bit program would
  // simply end there. What a message's handling throws is kept, the message
  // counts as handled, and the message loop rethrows it once the message
  // has returned. The process outlives the view, which the handling may end.
  Win32Process& process = view->Process();
  try {
    return (view->*handle)(window, message, wParam, lParam);
  } catch (...) {
    process.DeferException(std::current_exception());
    return 0;
  }
}

}  // namespace

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return HandToView(window, message, wParam, lParam, &Win32FormView::OnMessage);
}

LRESULT CALLBACK CanvasProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return HandToView(window, message, wParam, lParam, &Win32FormView::OnCanvasMessage);
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
    case WM_GETMINMAXINFO: {
      // The system's least size for a captioned window is wider than a
      // small form (the dashboard at 96 dpi): a form keeps its table's size.
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize.x = std::min<LONG>(limits->ptMinTrackSize.x, shared_.PixelsX(form_.Width()));
      limits->ptMinTrackSize.y = std::min<LONG>(limits->ptMinTrackSize.y, shared_.PixelsY(form_.Height()));
      return 0;
    }
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
    case WM_MOUSEWHEEL: {
      // The wheel goes to the control with the focus, and on from there to
      // the form: a canvas under the pointer takes it, whatever has the focus.
      const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      HWND under = WindowFromPoint(at);
      const Item* item = under != nullptr && IsChild(window, under) ? ItemOf(under) : nullptr;
      if (item != nullptr && item->model->Decl().kind == ui::ControlKind::kCanvas)
        return SendMessageA(under, message, wParam, lParam);
      break;
    }
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

}  // namespace calorix::platform::win32
