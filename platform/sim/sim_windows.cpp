// The simulated desktop's windows: creation as a test arranges them, and
// the window manager's calls as the program makes them.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <utility>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_helpers.h"

namespace calorix::sim {

using detail::EqualsIgnoringCase;
using detail::Saturated;
using platform::Rect;

namespace {

// What GetWindowTextA hands back: at most bufferChars - 1 characters, and
// nothing behind a NUL, since the caller gets a C string.
std::string CutForBuffer(const std::string& text, int bufferChars) {
  if (bufferChars <= 0) return {};
  std::string cut = text.substr(0, static_cast<std::size_t>(bufferChars - 1));
  if (const auto nul = cut.find('\0'); nul != std::string::npos) cut.resize(nul);
  return cut;
}

// A rectangle at `left`, `top` of the given size, worked out wide: a window
// may be placed far off the screen without its edges wrapping around.
Rect Placed(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height) {
  return {Saturated(left), Saturated(top), Saturated(left + width), Saturated(top + height)};
}

// MulDiv: value * numerator / denominator, rounded half away from zero.
std::int64_t MulDivRounded(std::int64_t value, std::int64_t numerator, std::int64_t denominator) {
  const std::int64_t product = value * numerator;
  const std::int64_t half = denominator / 2;
  return product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
}

// Tokens for the two awarenesses a thread can have.
constexpr platform::DpiAwarenessToken kUnawareToken = 1;
constexpr platform::DpiAwarenessToken kAwareToken = 2;

}  // namespace

WindowHandle SimDesktop::CreateWindow(WindowHandle parent, std::string className,
                                      std::string title, Rect rect, int processId) {
  if (parent == 0) parent = desktop_;
  SimWindow* parentWindow = Find(parent);
  if (parentWindow == nullptr) throw std::invalid_argument("parent window does not exist");
  SimWindow window;
  // A handle set by a test may meet one in use (or 0): handles are never
  // shared, and the count stops rather than overflowing.
  while (nextHandle_ == 0 || windows_.contains(nextHandle_)) {
    if (nextHandle_ == std::numeric_limits<WindowHandle>::max())
      throw std::length_error("no window handle left");
    ++nextHandle_;
  }
  window.handle = nextHandle_;
  if (nextHandle_ != std::numeric_limits<WindowHandle>::max()) ++nextHandle_;
  window.parent = parent;
  window.className = std::move(className);
  window.title = std::move(title);
  window.processId = processId;
  window.dpiAware = processId == kCalorixProcess;  // only Calorix declares itself DPI-aware
  const std::int64_t originX = std::int64_t{parentWindow->rect.left} + parentWindow->clientOffsetX;
  const std::int64_t originY = std::int64_t{parentWindow->rect.top} + parentWindow->clientOffsetY;
  if (parent == desktop_) {
    window.rect = rect;
    window.clientOffsetX = 4;
    window.clientOffsetY = 23;
    window.systemMenu = std::vector<std::string>{"Restore", "Move",     "Size", "Minimize",
                                                 "Maximize", "-",       "Close"};
  } else {
    window.rect = {Saturated(originX + rect.left), Saturated(originY + rect.top),
                   Saturated(originX + rect.right), Saturated(originY + rect.bottom)};
  }
  parentWindow->children.push_back(window.handle);
  const WindowHandle handle = window.handle;
  windows_.emplace(handle, std::move(window));
  return handle;
}

WindowHandle SimDesktop::CreateTopLevel(std::string title, Rect rect, int processId) {
  return CreateWindow(desktop_, "SimFrame", std::move(title), rect, processId);
}

void SimDesktop::DestroyWindow(WindowHandle window) {
  SimWindow* target = Find(window);
  if (target == nullptr || window == desktop_) return;
  const std::vector<WindowHandle> children = target->children;
  for (const WindowHandle child : children) DestroyWindow(child);
  if (SimWindow* parent = Find(target->parent)) std::erase(parent->children, window);
  if (foreground_ == window) foreground_ = 0;
  windows_.erase(window);
}

void SimDesktop::SetWindowTitle(WindowHandle window, std::string title) {
  if (SimWindow* target = Find(window)) target->title = std::move(title);
}

void SimDesktop::SetMinimized(WindowHandle window, bool minimized) {
  if (SimWindow* target = Find(window)) target->minimized = minimized;
}

SimWindow* SimDesktop::Find(WindowHandle window) {
  const auto found = windows_.find(window);
  return found == windows_.end() ? nullptr : &found->second;
}

const SimWindow& SimDesktop::Window(WindowHandle window) const { return windows_.at(window); }

void SimDesktop::SetScreenPixels(int width, int height) {
  screenWidth_ = width;
  screenHeight_ = height;
  windows_.at(desktop_).rect = {0, 0, width, height};
}

void SimDesktop::SetTwipsPerPixel(double x, double y) {
  twipsX_ = x;
  twipsY_ = y;
}

WindowHandle SimDesktop::FindTopLevelWindow(std::string_view title) {
  for (const WindowHandle handle : windows_.at(desktop_).children)
    if (EqualsIgnoringCase(windows_.at(handle).title, title)) return handle;
  return 0;
}

void SimDesktop::CollectDescendants(const SimWindow& window, std::vector<WindowHandle>& out) const {
  for (const WindowHandle child : window.children) {
    out.push_back(child);
    CollectDescendants(windows_.at(child), out);
  }
}

void SimDesktop::EnumerateDescendants(WindowHandle parent,
                                      const std::function<bool(WindowHandle)>& visit) {
  // Like Windows, list the windows first and then visit those still alive,
  // so that the visitor may create or destroy windows.
  const SimWindow* start = Find(parent);
  if (start == nullptr) return;
  std::vector<WindowHandle> descendants;
  CollectDescendants(*start, descendants);
  for (const WindowHandle handle : descendants) {
    if (Find(handle) == nullptr) continue;
    if (!visit(handle)) return;
  }
}

std::string SimDesktop::WindowText(WindowHandle window, int bufferChars) {
  ++windowReads_;
  const SimWindow* target = Find(window);
  return target == nullptr ? std::string() : CutForBuffer(target->title, bufferChars);
}

std::string SimDesktop::ClassName(WindowHandle window, int bufferChars) {
  ++windowReads_;
  const SimWindow* target = Find(window);
  return target == nullptr ? std::string() : CutForBuffer(target->className, bufferChars);
}

WindowHandle SimDesktop::FirstChild(WindowHandle window) {
  const SimWindow* target = Find(window);
  return target == nullptr || target->children.empty() ? 0 : target->children.front();
}

WindowHandle SimDesktop::NextSibling(WindowHandle window) {
  const SimWindow* target = Find(window);
  if (target == nullptr || window == desktop_) return 0;
  const auto& siblings = windows_.at(target->parent).children;
  const auto at = std::find(siblings.begin(), siblings.end(), window);
  return at == siblings.end() || at + 1 == siblings.end() ? 0 : *(at + 1);
}

bool SimDesktop::IsChild(WindowHandle parent, WindowHandle window) {
  if (Find(parent) == nullptr) return false;
  for (const SimWindow* current = Find(window); current != nullptr && current->handle != desktop_;
       current = Find(current->parent)) {
    if (current->parent == parent) return true;
  }
  return false;
}

bool SimDesktop::IsIconic(WindowHandle window) {
  const SimWindow* target = Find(window);
  return target != nullptr && target->minimized;
}

bool SimDesktop::IsVisible(WindowHandle window) {
  const SimWindow* target = Find(window);
  return target != nullptr && target->visible;
}

bool SimDesktop::ShowWindow(WindowHandle window, platform::ShowCommand command) {
  SimWindow* target = Find(window);
  if (target == nullptr) return false;
  const bool wasVisible = target->visible;
  switch (command) {
    case platform::ShowCommand::Hide: target->visible = false; break;
    case platform::ShowCommand::Show: target->visible = true; break;
    case platform::ShowCommand::ShowNormal:
      target->visible = true;
      target->minimized = false;
      break;
    case platform::ShowCommand::ShowMinimized:
      target->visible = true;
      target->minimized = true;
      break;
  }
  return wasVisible;
}

std::int64_t SimDesktop::ToCaller(const SimWindow& window, std::int64_t value) const {
  if (!dpiVirtualisation_ || window.dpiAware == threadDpiAware_) return value;
  return window.dpiAware ? MulDivRounded(value, 96, displayDpi_)
                         : MulDivRounded(value, displayDpi_, 96);
}

std::int64_t SimDesktop::FromCaller(const SimWindow& window, std::int64_t value) const {
  if (!dpiVirtualisation_ || window.dpiAware == threadDpiAware_) return value;
  return window.dpiAware ? MulDivRounded(value, displayDpi_, 96)
                         : MulDivRounded(value, 96, displayDpi_);
}

platform::DpiAwarenessToken SimDesktop::AdoptWindowDpiAwareness(WindowHandle window) {
  const SimWindow* target = Find(window);
  if (!perWindowDpiCalls_ || target == nullptr) return 0;
  const platform::DpiAwarenessToken previous = threadDpiAware_ ? kAwareToken : kUnawareToken;
  threadDpiAware_ = target->dpiAware;
  return previous;
}

void SimDesktop::RestoreThreadDpiAwareness(platform::DpiAwarenessToken previous) {
  if (previous == kAwareToken || previous == kUnawareToken) threadDpiAware_ = previous == kAwareToken;
}

// Whatever the calling thread's awareness, as the ...ForPerMonitorDPI calls:
// an unaware window's own pixels are 96-dpi ones where the system
// virtualises them, everything else is physical.
std::optional<platform::Point> SimDesktop::ConvertedPoint(WindowHandle window,
                                                          platform::Point point, int fromDpi,
                                                          int toDpi) {
  const SimWindow* target = Find(window);
  if (!dpiConversionCalls_ || target == nullptr) return std::nullopt;
  if (!dpiVirtualisation_ || target->dpiAware) return point;
  return platform::Point{Saturated(MulDivRounded(point.x, toDpi, fromDpi)),
                         Saturated(MulDivRounded(point.y, toDpi, fromDpi))};
}

std::optional<platform::Point> SimDesktop::PhysicalToLogicalPoint(WindowHandle window,
                                                                  platform::Point physical) {
  return ConvertedPoint(window, physical, displayDpi_, 96);
}

std::optional<platform::Point> SimDesktop::LogicalToPhysicalPoint(WindowHandle window,
                                                                  platform::Point logical) {
  return ConvertedPoint(window, logical, 96, displayDpi_);
}

bool SimDesktop::MoveWindow(WindowHandle window, int left, int top, int width, int height,
                            bool /*repaint*/) {
  SimWindow* target = Find(window);
  if (target == nullptr || window == desktop_) return false;
  const SimWindow& parent = windows_.at(target->parent);
  const bool topLevel = target->parent == desktop_;
  const std::int64_t originX = topLevel ? 0 : std::int64_t{parent.rect.left} + parent.clientOffsetX;
  const std::int64_t originY = topLevel ? 0 : std::int64_t{parent.rect.top} + parent.clientOffsetY;
  const Rect before = target->rect;
  // The caller's rectangle, mapped edge by edge into the window's pixels.
  const std::int64_t ownLeft = FromCaller(*target, left);
  const std::int64_t ownTop = FromCaller(*target, top);
  const std::int64_t ownWidth = FromCaller(*target, std::int64_t{left} + width) - ownLeft;
  const std::int64_t ownHeight = FromCaller(*target, std::int64_t{top} + height) - ownTop;
  target->rect = Placed(originX + ownLeft, originY + ownTop, ownWidth, ownHeight);
  const std::int64_t dx = std::int64_t{target->rect.left} - before.left;
  const std::int64_t dy = std::int64_t{target->rect.top} - before.top;
  ++target->moveCount;
  // Descendants keep their place in the parent's client area.
  std::vector<WindowHandle> descendants;
  CollectDescendants(*target, descendants);
  for (const WindowHandle handle : descendants) {
    Rect& rect = windows_.at(handle).rect;
    rect = {Saturated(rect.left + dx), Saturated(rect.top + dy), Saturated(rect.right + dx),
            Saturated(rect.bottom + dy)};
  }
  return true;
}

std::optional<Rect> SimDesktop::GetWindowRect(WindowHandle window) {
  const SimWindow* target = Find(window);
  if (target == nullptr) return std::nullopt;
  const Rect& own = target->rect;
  return Rect{Saturated(ToCaller(*target, own.left)), Saturated(ToCaller(*target, own.top)),
              Saturated(ToCaller(*target, own.right)), Saturated(ToCaller(*target, own.bottom))};
}

bool SimDesktop::SetTopmost(WindowHandle window, platform::ZOrder insertAfter) {
  SimWindow* target = Find(window);
  if (target == nullptr) return false;
  target->topmost = insertAfter == platform::ZOrder::Topmost;
  return true;
}

bool SimDesktop::PostCloseRequest(WindowHandle window) {
  if (Find(window) == nullptr) return false;
  Post([this, window] {
    SimWindow* target = Find(window);
    if (target == nullptr) return;
    if (target->onClose) {
      auto onClose = target->onClose;  // the handler may destroy the window
      onClose();
    } else {
      DestroyWindow(window);
    }
  });
  return true;
}

std::optional<int> SimDesktop::SystemMenuItemCount(WindowHandle window) {
  const SimWindow* target = Find(window);
  if (target == nullptr || !target->systemMenu) return std::nullopt;
  return static_cast<int>(target->systemMenu->size());
}

bool SimDesktop::RemoveSystemMenuItem(WindowHandle window, int position) {
  SimWindow* target = Find(window);
  if (target == nullptr || !target->systemMenu || position < 0 ||
      position >= static_cast<int>(target->systemMenu->size()))
    return false;
  target->systemMenu->erase(target->systemMenu->begin() + position);
  return true;
}

bool SimDesktop::DrawMenuBar(WindowHandle window) { return Find(window) != nullptr; }

bool SimDesktop::ActivateByTitle(std::string_view title) {
  const WindowHandle window = FindTopLevelWindow(title);
  if (window == 0) return false;
  windows_.at(window).minimized = false;
  foreground_ = window;
  return true;
}

}  // namespace calorix::sim
