// The forms' windows under Wine: what the handling of a window message
// throws never unwinds through the system's frames. It comes back through
// the program's own message loop, and the program goes on. A canvas copied
// to the clipboard reads back through the system's own calls.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <system_error>

#include "platform/win32/win32_form_resources.h"

namespace {

namespace ui = calorix::ui;
namespace win32 = calorix::platform::win32;

constexpr ui::ControlDecl kControls[] = {
    {.name = "Label", .kind = ui::ControlKind::kLabel, .caption = "CPU Temp", .left = 120,
     .top = 120, .width = 1500, .height = 300, .background = ui::Rgb{0, 0, 128},
     .foreground = ui::Rgb{255, 255, 255}},
};
constexpr ui::FormDecl kColoured{.name = "Coloured", .caption = "Coloured", .clientWidth = 3000,
                                 .clientHeight = 2000, .background = ui::Rgb{192, 192, 192},
                                 .controls = kControls};

TEST(FormViews, ABrushThatCannotBeMadeComesBackThroughTheMessageLoop) {
  win32::Win32Process process{"Local\\Calorix.FormViewTest"};
  win32::Win32FormHost host{process};
  auto& shared = host.Shared();
  const auto makeBrush = shared.createBrush;
  shared.createBrush = [](COLORREF) -> HBRUSH {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  };
  ui::Form form(kColoured, host);
  // Painting the form and its label needs the brushes: the failure is kept
  // while the system's frames are on the stack.
  ASSERT_NO_THROW(form.Show());
  bool cameBack = false;
  for (int round = 0; round < 200 && !cameBack; ++round) {
    try {
      process.ProcessPendingEvents();
      Sleep(10);
    } catch (const std::system_error& error) {
      cameBack = true;
      EXPECT_NE(std::string(error.what()).find("CreateSolidBrush"), std::string::npos) << error.what();
    }
  }
  EXPECT_TRUE(cameBack) << "the failure did not come back through the message loop";

  // Once brushes can be made again, the form paints and goes on as before.
  shared.createBrush = makeBrush;
  InvalidateRect(reinterpret_cast<HWND>(static_cast<std::intptr_t>(form.Handle())), nullptr, TRUE);
  EXPECT_NO_THROW({
    for (int round = 0; round < 10; ++round) process.ProcessPendingEvents();
  });
  EXPECT_TRUE(form.Loaded());
  form.Unload();
}

constexpr ui::ControlDecl kCanvasControls[] = {
    {.name = "Canvas", .kind = ui::ControlKind::kCanvas, .left = 0, .top = 0, .width = 3000, .height = 1500},
};
constexpr ui::FormDecl kWithCanvas{.name = "WithCanvas", .caption = "With canvas", .clientWidth = 3000,
                                   .clientHeight = 1500, .controls = kCanvasControls};

// What the clipboard holds in `format`, as bytes; empty when nothing.
std::string ClipboardBytes(UINT format) {
  std::string bytes;
  if (!OpenClipboard(nullptr)) return bytes;
  if (HANDLE data = GetClipboardData(format); data != nullptr) {
    if (const void* memory = GlobalLock(data); memory != nullptr) {
      bytes.assign(static_cast<const char*>(memory), GlobalSize(data));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return bytes;
}

struct ClipboardHolder {
  HANDLE held = nullptr;  // set once the clipboard is open
  HANDLE done = nullptr;  // set to let it go
};

DWORD WINAPI HoldClipboard(void* parameter) {
  auto& holder = *static_cast<ClipboardHolder*>(parameter);
  if (!OpenClipboard(nullptr)) return 1;
  SetEvent(holder.held);
  WaitForSingleObject(holder.done, 10'000);
  CloseClipboard();
  return 0;
}

TEST(FormViews, ACanvasCopiedToTheClipboardReadsBackAsItsPictureAndTheText) {
  win32::Win32Process process{"Local\\Calorix.FormViewTest"};
  win32::Win32FormHost host{process};
  ui::Form form(kWithCanvas, host);
  form.Show();
  ui::Control& canvas = form["Canvas"];
  ui::Drawing drawing;
  drawing.background = ui::Rgb{255, 255, 255};
  drawing.operations.push_back(ui::FilledRect{{10, 20, 60, 50}, ui::Rgb{200, 30, 40}});
  canvas.Draw(drawing);
  const std::string text = "08/12/26 08:00, 45\r\n08/12/26 08:01, 46\r\n";
  ASSERT_EQ(host.CopyToClipboard(form.Handle(), canvas, text), ui::ClipboardCopy::kCopied);

  const std::string dib = ClipboardBytes(CF_DIB);
  ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER));
  BITMAPINFOHEADER header{};
  std::memcpy(&header, dib.data(), sizeof header);
  const int width = canvas.PixelWidth();
  const int height = canvas.PixelHeight();
  EXPECT_EQ(header.biWidth, width);
  EXPECT_EQ(header.biHeight, height);  // bottom-up
  ASSERT_EQ(header.biBitCount, 24);
  const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  ASSERT_GE(dib.size(), sizeof header + rowBytes * height);
  // Blue, green, red of the pixel at (x, y) from the top left.
  const auto pixel = [&](int x, int y) {
    const char* at = dib.data() + sizeof header + rowBytes * (height - 1 - y) + 3 * x;
    return ui::Rgb{static_cast<std::uint8_t>(at[2]), static_cast<std::uint8_t>(at[1]),
                   static_cast<std::uint8_t>(at[0])};
  };
  EXPECT_EQ(pixel(10, 20), (ui::Rgb{200, 30, 40}));
  EXPECT_EQ(pixel(59, 49), (ui::Rgb{200, 30, 40}));
  EXPECT_EQ(pixel(60, 50), (ui::Rgb{255, 255, 255}));
  EXPECT_EQ(pixel(0, 0), (ui::Rgb{255, 255, 255}));
  // The text, with its ending NUL.
  EXPECT_EQ(ClipboardBytes(CF_TEXT).substr(0, text.size() + 1), text + '\0');

  // Held by another thread throughout, the clipboard is reported in use.
  ClipboardHolder holder;
  holder.held = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  holder.done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, HoldClipboard, &holder, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(holder.held, 10'000), WAIT_OBJECT_0);
  EXPECT_EQ(host.CopyToClipboard(form.Handle(), canvas, "other"), ui::ClipboardCopy::kInUse);
  SetEvent(holder.done);
  WaitForSingleObject(thread, 10'000);
  for (HANDLE handle : {thread, holder.held, holder.done}) CloseHandle(handle);
  EXPECT_EQ(ClipboardBytes(CF_TEXT).substr(0, text.size()), text);
  form.Unload();
}

}  // namespace
