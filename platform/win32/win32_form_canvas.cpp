// A canvas control: its drawing painted over an off-screen buffer, so that
// a redraw does not flicker, and the mouse over it sent back to the model.
#include "platform/win32/win32_form_view.h"

#include <type_traits>
#include <vector>

namespace calorix::platform::win32 {

namespace {

int SignedLow(LPARAM value) { return static_cast<short>(LOWORD(value)); }
int SignedHigh(LPARAM value) { return static_cast<short>(HIWORD(value)); }

UINT TextAlignment(const ui::TextAt& text) {
  UINT align = text.align == ui::Align::kRight ? TA_RIGHT : text.align == ui::Align::kCenter ? TA_CENTER : TA_LEFT;
  return align | (text.baseline == ui::TextBaseline::kBottom ? TA_BOTTOM : TA_TOP);
}

}  // namespace

void DrawOperations(HDC dc, const RECT& area, const ui::Drawing& drawing, HFONT font,
                    Win32FormHost::Resources& shared) {
  FillRect(dc, &area, shared.Brush(drawing.background));
  HGDIOBJ previousFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  std::vector<POINT> points;
  for (const ui::DrawOperation& operation : drawing.operations) {
    std::visit(
        [&](const auto& shape) {
          using Shape = std::decay_t<decltype(shape)>;
          if constexpr (std::is_same_v<Shape, ui::FilledRect>) {
            const RECT rect{shape.rect.left, shape.rect.top, shape.rect.right, shape.rect.bottom};
            FillRect(dc, &rect, shared.Brush(shape.colour));
          } else if constexpr (std::is_same_v<Shape, ui::Polyline>) {
            if (shape.points.size() < 2) return;
            HPEN pen = CreatePen(PS_SOLID, shape.width, ToColor(shape.colour));
            if (pen == nullptr) return;
            HGDIOBJ previousPen = SelectObject(dc, pen);
            points.clear();
            for (const ui::PixelPoint& point : shape.points) points.push_back(POINT{point.x, point.y});
            ::Polyline(dc, points.data(), static_cast<int>(points.size()));
            SelectObject(dc, previousPen);
            DeleteObject(pen);
          } else {
            SetTextColor(dc, ToColor(shape.colour));
            SetTextAlign(dc, TextAlignment(shape));
            int y = shape.at.y;
            if (shape.baseline == ui::TextBaseline::kMiddle) y -= metrics.tmHeight / 2;
            TextOutA(dc, shape.at.x, y, shape.text.c_str(), static_cast<int>(shape.text.size()));
          }
        },
        operation);
  }
  SelectObject(dc, previousFont);
}

void Win32FormView::PaintCanvas(HWND canvas, const ui::Control& control) {
  PAINTSTRUCT paint{};
  HDC screen = BeginPaint(canvas, &paint);
  if (screen == nullptr) return;
  RECT area{};
  GetClientRect(canvas, &area);
  HFONT font = shared_.Font(control.Decl().font);
  HDC buffer = CreateCompatibleDC(screen);
  HBITMAP bitmap = buffer != nullptr ? CreateCompatibleBitmap(screen, area.right, area.bottom) : nullptr;
  if (bitmap != nullptr) {
    HGDIOBJ previous = SelectObject(buffer, bitmap);
    DrawOperations(buffer, area, control.Drawn(), font, shared_);
    BitBlt(screen, 0, 0, area.right, area.bottom, buffer, 0, 0, SRCCOPY);
    SelectObject(buffer, previous);
    DeleteObject(bitmap);
  } else {
    DrawOperations(screen, area, control.Drawn(), font, shared_);  // no memory for a buffer
  }
  if (buffer != nullptr) DeleteDC(buffer);
  EndPaint(canvas, &paint);
}

LRESULT Win32FormView::OnCanvasMessage(HWND canvas, UINT message, WPARAM wParam, LPARAM lParam) {
  Item* item = ItemOf(canvas);
  if (item == nullptr) return DefWindowProcA(canvas, message, wParam, lParam);
  // A handler may unload the form and so destroy this view: only the
  // control, which the form keeps, is used in the calls.
  ui::Control& control = *item->model;
  Win32Process& process = shared_.process;
  const int x = SignedLow(lParam);
  const int y = SignedHigh(lParam);
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers it all
    case WM_PAINT:
      PaintCanvas(canvas, control);
      return 0;
    case WM_MOUSEMOVE: {
      // Asked again at every move: a WM_MOUSELEAVE ends the request.
      TRACKMOUSEEVENT leave{sizeof(leave), TME_LEAVE, canvas, 0};
      TrackMouseEvent(&leave);
      Guarded(process, [&control, x, y] { control.MouseMove(x, y); });
      return 0;
    }
    case WM_MOUSELEAVE:
      Guarded(process, [&control] { control.MouseLeave(); });
      return 0;
    case WM_LBUTTONDOWN:
      // The wheel goes to the window with the focus; a drag goes on outside.
      SetFocus(canvas);
      SetCapture(canvas);
      Guarded(process, [&control, x, y] { control.MouseDown(x, y); });
      return 0;
    case WM_LBUTTONUP:
      ReleaseCapture();
      Guarded(process, [&control, x, y] { control.MouseUp(x, y); });
      return 0;
    case WM_MOUSEWHEEL: {
      POINT at{x, y};  // the wheel reports screen coordinates
      ScreenToClient(canvas, &at);
      const int delta = static_cast<short>(HIWORD(wParam));
      Guarded(process, [&control, delta, at] { control.MouseWheel(delta, at.x, at.y); });
      return 0;
    }
    default:
      return DefWindowProcA(canvas, message, wParam, lParam);
  }
}

}  // namespace calorix::platform::win32
