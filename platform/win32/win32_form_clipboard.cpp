// Copying a canvas to the clipboard: its drawing painted into a
// device-independent bitmap of the canvas's size, off the screen, with the
// same painting as its window, and a text beside it.
#include "platform/win32/win32_form_view.h"

#include <cstring>

namespace calorix::platform::win32 {

namespace {

// Another program may hold the clipboard for a moment (a clipboard viewer
// reading what was just put there): tried this often, this long apart.
constexpr int kOpenTries = 5;
constexpr DWORD kRetryMilliseconds = 20;

// Movable global memory holding `head` then `tail`; empty when there is no memory.
OwnedGlobal GlobalCopy(const void* head, std::size_t headSize, const void* tail, std::size_t tailSize) {
  OwnedGlobal memory(GlobalAlloc(GMEM_MOVEABLE, headSize + tailSize));
  if (!memory) return memory;
  auto* bytes = static_cast<unsigned char*>(GlobalLock(memory.get()));
  if (bytes == nullptr) return OwnedGlobal();
  std::memcpy(bytes, head, headSize);
  if (tailSize > 0) std::memcpy(bytes + headSize, tail, tailSize);
  GlobalUnlock(memory.get());
  return memory;
}

// The canvas's picture as CF_DIB wants it: a header, then 24-bit pixels,
// bottom row first, each row padded to four bytes. Empty when the canvas
// has no area or the bitmap cannot be made.
OwnedGlobal CanvasPicture(const ui::Control& canvas, Win32FormHost::Resources& shared) {
  const int width = canvas.PixelWidth();
  const int height = canvas.PixelHeight();
  if (width <= 0 || height <= 0) return OwnedGlobal();
  BITMAPINFO info{};
  BITMAPINFOHEADER& header = info.bmiHeader;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = width;
  header.biHeight = height;  // positive: bottom-up
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  const std::size_t pixelBytes = rowBytes * static_cast<std::size_t>(height);
  header.biSizeImage = static_cast<DWORD>(pixelBytes);

  OwnedDc dc(CreateCompatibleDC(nullptr));
  if (!dc) return OwnedGlobal();
  void* pixels = nullptr;
  OwnedBitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!bitmap || pixels == nullptr) return OwnedGlobal();
  HGDIOBJ previous = SelectObject(dc.get(), bitmap.get());
  const RECT area{0, 0, width, height};
  DrawOperations(dc.get(), area, canvas.Drawn(), shared.Font(canvas.Decl().font), shared);
  GdiFlush();  // the pixels are read directly next
  OwnedGlobal picture = GlobalCopy(&header, sizeof header, pixels, pixelBytes);
  SelectObject(dc.get(), previous);
  return picture;
}

// The text as CF_TEXT wants it: ANSI bytes ended with a NUL.
OwnedGlobal ClipboardText(std::string_view text) {
  const char nul = '\0';
  return GlobalCopy(text.data(), text.size(), &nul, 1);
}

bool OpenClipboardSoon(HWND owner) {
  for (int attempt = 1;; ++attempt) {
    if (OpenClipboard(owner)) return true;
    if (attempt == kOpenTries) return false;
    Sleep(kRetryMilliseconds);
  }
}

// Hands the memory to the clipboard, which then owns it.
bool Give(UINT format, OwnedGlobal& memory) {
  if (SetClipboardData(format, memory.get()) == nullptr) return false;
  static_cast<void>(memory.release());
  return true;
}

}  // namespace

ui::ClipboardCopy Win32FormHost::CopyToClipboard(WindowHandle owner, const ui::Control& canvas,
                                                 std::string_view text) {
  // Both are made before the clipboard is opened, so that it is held only
  // for the moment of the handing over.
  OwnedGlobal picture = CanvasPicture(canvas, *shared_);
  OwnedGlobal textMemory = ClipboardText(text);
  const bool hasArea = canvas.PixelWidth() > 0 && canvas.PixelHeight() > 0;
  if (!textMemory || (hasArea && !picture)) return ui::ClipboardCopy::kFailed;
  if (!OpenClipboardSoon(ToHwnd(owner))) return ui::ClipboardCopy::kInUse;
  bool given = EmptyClipboard() != FALSE;
  if (given && picture) given = Give(CF_DIB, picture);
  if (given) given = Give(CF_TEXT, textMemory);
  CloseClipboard();  // fails only for a clipboard this thread has not opened
  return given ? ui::ClipboardCopy::kCopied : ui::ClipboardCopy::kFailed;
}

}  // namespace calorix::platform::win32
