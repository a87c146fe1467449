// The forms' windows under Wine: what the handling of a window message
// throws never unwinds through the system's frames. It comes back through
// the program's own message loop, and the program goes on.
#include <gtest/gtest.h>

#include <cstdint>
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

}  // namespace
