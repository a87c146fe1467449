// What the form views share: owners of the Win32 handles, the window class
// of every form, and the host's fonts, brushes, icons and live views.
// Private to the backend's form sources.
#pragma once

#include "platform/win32/win32_forms.h"
#include "platform/win32/win32_internal.h"

#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace calorix::platform::win32 {

inline constexpr char kFormClass[] = "CalorixForm";
inline constexpr char kCanvasClass[] = "CalorixCanvas";

[[noreturn]] void ThrowLastError(const char* what);

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
  // Gives the handle up to whoever takes it over (the clipboard, say).
  [[nodiscard]] Handle release() { return std::exchange(handle_, nullptr); }

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
struct DeleteDcRelease {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct GlobalFreeRelease {
  void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};

using OwnedWindow = Owned<HWND, DestroyWindowRelease>;
using OwnedFont = Owned<HFONT, DeleteObjectRelease>;
using OwnedBrush = Owned<HBRUSH, DeleteObjectRelease>;
using OwnedIcon = Owned<HICON, DestroyIconRelease>;
using OwnedMenu = Owned<HMENU, DestroyMenuRelease>;
using OwnedBitmap = Owned<HBITMAP, DeleteObjectRelease>;
using OwnedDc = Owned<HDC, DeleteDcRelease>;  // a memory device context
// Global memory for the clipboard, freed unless the clipboard took it.
using OwnedGlobal = Owned<HGLOBAL, GlobalFreeRelease>;

// A window class of the forms, registered for the host's lifetime.
class FormClass {
 public:
  // `background` NULL: the window paints all of itself.
  FormClass(HINSTANCE instance, WNDPROC procedure, const char* name, HBRUSH background);
  ~FormClass();
  FormClass(const FormClass&) = delete;
  FormClass& operator=(const FormClass&) = delete;

 private:
  HINSTANCE instance_;
  const char* name_;
};

inline COLORREF ToColor(ui::Rgb colour) { return RGB(colour.r, colour.g, colour.b); }

// A new font as the forms draw `spec` at `dpiY` (an empty face: the
// toolkit's default font); the caller owns it.
HFONT CreateFormFont(const ui::FontSpec& spec, int dpiY);

// What all views share: the class, fonts, brushes, icons, the live views.
struct Win32FormHost::Resources {
  Resources(Win32Process& processService, std::function<void()>& taskbarHandler);

  HFONT Font(const ui::FontSpec& spec);
  HBRUSH Brush(ui::Rgb colour);
  HICON Icon(int id);
  // The resource's picture for the small-icon size; NULL when there is none.
  HICON SmallIcon(int id);
  HICON SmallIconFor(HICON icon);
  HWND HiddenOwner();
  Win32FormView* ViewOf(HWND root) const;
  bool Filter(MSG& msg);
  int PixelsX(double twips) const { return static_cast<int>(std::lround(twips / twipsX)); }
  int PixelsY(double twips) const { return static_cast<int>(std::lround(twips / twipsY)); }

  Win32Process& process;
  std::function<void()>& onTaskbarCreated;
  // Makes the brushes: CreateSolidBrush, unless a test puts a failing one here.
  std::function<HBRUSH(COLORREF)> createBrush = [](COLORREF colour) { return CreateSolidBrush(colour); };
  HINSTANCE instance = nullptr;
  int dpiY = 96;
  double twipsX = 15, twipsY = 15;  // a pixel's size: 1440 / dpi
  UINT taskbarCreated = 0;
  FormClass formClass;
  FormClass canvasClass;
  std::map<std::tuple<std::string, double, bool>, OwnedFont> fonts;
  std::map<COLORREF, OwnedBrush> brushes;
  std::map<int, OwnedIcon> icons;
  std::map<int, OwnedIcon> smallIcons;  // by resource number
  OwnedWindow hiddenOwner;
  std::vector<Win32FormView*> views;  // in the order they were made
};

}  // namespace calorix::platform::win32
