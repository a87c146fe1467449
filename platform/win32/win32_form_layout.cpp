// Caption fitting: a control grows into free room beside it where its
// caption is wider in the system's font than the table allows.
#include "platform/win32/win32_form_view.h"

#include <algorithm>

namespace calorix::platform::win32 {

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

}  // namespace calorix::platform::win32
