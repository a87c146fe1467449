#include "platform/sim/sim_desktop.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace calorix::sim {

using platform::Rect;

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// What GetWindowTextA hands back: at most bufferChars - 1 characters, and
// nothing behind a NUL, since the caller gets a C string.
std::string CutForBuffer(const std::string& text, int bufferChars) {
  if (bufferChars <= 0) return {};
  std::string cut = text.substr(0, static_cast<std::size_t>(bufferChars - 1));
  if (const auto nul = cut.find('\0'); nul != std::string::npos) cut.resize(nul);
  return cut;
}

std::string TwoDigits(int value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%02d", value);
  return buffer;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

SimDesktop::SimDesktop()
    : platform_{*this, *this, *this, *this, *this, *this, *this, *this, *this, *this} {
  SimWindow desktop;
  desktop.handle = nextHandle_++;
  desktop.className = "#32769";
  desktop.rect = {0, 0, screenWidth_, screenHeight_};
  desktop_ = desktop.handle;
  windows_.emplace(desktop_, std::move(desktop));

  std::string pattern = (std::filesystem::temp_directory_path() / "calorix-sim-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
  root_ = pattern;
  cwd_ = root_ / "cwd";
  programFolder_ = root_ / "program";
  std::filesystem::create_directories(cwd_);
  std::filesystem::create_directories(programFolder_);
}

SimDesktop::~SimDesktop() {
  std::error_code ignored;  // a leftover temporary folder is harmless
  std::filesystem::remove_all(root_, ignored);
}

// ---- Windows ----------------------------------------------------------------

WindowHandle SimDesktop::CreateWindow(WindowHandle parent, std::string className,
                                      std::string title, Rect rect, int processId) {
  if (parent == 0) parent = desktop_;
  SimWindow* parentWindow = Find(parent);
  if (parentWindow == nullptr) throw std::invalid_argument("parent window does not exist");
  SimWindow window;
  window.handle = nextHandle_++;
  window.parent = parent;
  window.className = std::move(className);
  window.title = std::move(title);
  window.processId = processId;
  const int originX = parentWindow->rect.left + parentWindow->clientOffsetX;
  const int originY = parentWindow->rect.top + parentWindow->clientOffsetY;
  if (parent == desktop_) {
    window.rect = rect;
    window.clientOffsetX = 4;
    window.clientOffsetY = 23;
    window.systemMenu = std::vector<std::string>{"Restore", "Move",     "Size", "Minimize",
                                                 "Maximize", "-",       "Close"};
  } else {
    window.rect = {originX + rect.left, originY + rect.top, originX + rect.right,
                   originY + rect.bottom};
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

void SimDesktop::SetTwipsPerPixel(int x, int y) {
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

bool SimDesktop::MoveWindow(WindowHandle window, int left, int top, int width, int height,
                            bool /*repaint*/) {
  SimWindow* target = Find(window);
  if (target == nullptr || window == desktop_) return false;
  const SimWindow& parent = windows_.at(target->parent);
  const int originX = target->parent == desktop_ ? 0 : parent.rect.left + parent.clientOffsetX;
  const int originY = target->parent == desktop_ ? 0 : parent.rect.top + parent.clientOffsetY;
  const int dx = originX + left - target->rect.left;
  const int dy = originY + top - target->rect.top;
  target->rect = {originX + left, originY + top, originX + left + width, originY + top + height};
  ++target->moveCount;
  // Descendants keep their place in the parent's client area.
  std::vector<WindowHandle> descendants;
  CollectDescendants(*target, descendants);
  for (const WindowHandle handle : descendants) {
    Rect& rect = windows_.at(handle).rect;
    rect = {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
  }
  return true;
}

std::optional<Rect> SimDesktop::GetWindowRect(WindowHandle window) {
  const SimWindow* target = Find(window);
  if (target == nullptr) return std::nullopt;
  return target->rect;
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
  return true;
}

// ---- Time ---------------------------------------------------------------------

void SimDesktop::At(std::uint64_t atMs, std::function<void()> action) {
  scheduled_.push_back({atMs, scheduleOrder_++, std::move(action)});
}

bool SimDesktop::RunNextDue(std::uint64_t untilMs) {
  // The earliest of the scheduled actions and the enabled timers.
  std::optional<std::uint64_t> earliest;
  auto scheduled = scheduled_.end();
  for (auto it = scheduled_.begin(); it != scheduled_.end(); ++it) {
    if (it->atMs > untilMs) continue;
    if (!earliest || it->atMs < *earliest ||
        (it->atMs == *earliest && it->order < scheduled->order)) {
      earliest = it->atMs;
      scheduled = it;
    }
  }
  std::optional<platform::TimerId> timerId;
  for (const auto& [id, timer] : timers_) {
    if (!timer.enabled || timer.intervalMs <= 0 || timer.dueMs > untilMs) continue;
    if (!earliest || timer.dueMs < *earliest) {
      earliest = timer.dueMs;
      timerId = id;
      scheduled = scheduled_.end();
    }
  }
  if (!earliest) return false;
  nowMs_ = std::max(nowMs_, *earliest);
  if (timerId) {
    Timer& timer = timers_.at(*timerId);
    timer.dueMs = nowMs_ + static_cast<std::uint64_t>(timer.intervalMs);
    auto onTick = timer.onTick;  // the tick may change or destroy the timer
    onTick();
  } else {
    auto action = std::move(scheduled->action);
    scheduled_.erase(scheduled);
    action();
  }
  ProcessPendingEvents();
  return true;
}

void SimDesktop::Advance(std::uint64_t ms) {
  const std::uint64_t until = nowMs_ + ms;
  while (RunNextDue(until)) {
  }
  nowMs_ = std::max(nowMs_, until);
  ProcessPendingEvents();
}

int SimDesktop::EnabledTimerInterval(platform::TimerId timer) const {
  const auto found = timers_.find(timer);
  if (found == timers_.end() || !found->second.enabled) return 0;
  return found->second.intervalMs;
}

platform::LocalDateTime SimDesktop::Now() {
  // The local time set by the test, moved on by the virtual time since.
  platform::LocalDateTime when = localBase_;
  std::uint64_t seconds = (nowMs_ - localBaseMs_) / 1000;
  std::uint64_t total = when.second + seconds;
  when.second = static_cast<int>(total % 60);
  total = when.minute + total / 60;
  when.minute = static_cast<int>(total % 60);
  total = when.hour + total / 60;
  when.hour = static_cast<int>(total % 24);
  for (std::uint64_t days = total / 24; days > 0; --days) {
    if (++when.day > DaysInMonth(when.year, when.month)) {
      when.day = 1;
      if (++when.month > 12) {
        when.month = 1;
        ++when.year;
      }
    }
  }
  return when;
}

std::string SimDesktop::FormatGeneralDate(const platform::LocalDateTime& when) {
  std::string text = TwoDigits(when.day) + dateSep_ + TwoDigits(when.month) + dateSep_ +
                     std::to_string(when.year);
  if (when.hour != 0 || when.minute != 0 || when.second != 0)
    text += " " + TwoDigits(when.hour) + timeSep_ + TwoDigits(when.minute) + timeSep_ +
            TwoDigits(when.second);
  return text;
}

// ---- Process --------------------------------------------------------------------

void SimDesktop::ProcessPendingEvents() {
  ++eventPumps_;
  // Events posted while handling these wait for the next pump, as messages
  // posted from a handler do.
  std::deque<std::function<void()>> batch;
  batch.swap(pending_);
  while (!batch.empty()) {
    auto event = std::move(batch.front());
    batch.pop_front();
    event();
  }
}

void SimDesktop::WaitForEvents(int timeoutMs) {
  const std::uint64_t until = nowMs_ + static_cast<std::uint64_t>(std::max(timeoutMs, 0));
  // Wake at the first thing that happens, or at the time-out.
  if (pending_.empty() && !RunNextDue(until)) nowMs_ = std::max(nowMs_, until);
  ProcessPendingEvents();
}

platform::TimerId SimDesktop::CreateTimer(std::function<void()> onTick) {
  const platform::TimerId id = nextTimer_++;
  timers_[id].onTick = std::move(onTick);
  return id;
}

void SimDesktop::SetTimer(platform::TimerId timer, int intervalMs, bool enabled) {
  const auto found = timers_.find(timer);
  if (found == timers_.end()) return;
  Timer& state = found->second;
  const bool restart = enabled && (!state.enabled || state.intervalMs != intervalMs);
  state.intervalMs = intervalMs;
  state.enabled = enabled && intervalMs > 0;
  if (restart) state.dueMs = nowMs_ + static_cast<std::uint64_t>(std::max(intervalMs, 0));
}

void SimDesktop::DestroyTimer(platform::TimerId timer) { timers_.erase(timer); }

void SimDesktop::EndProgram(int exitCode) { throw ProgramEnded{exitCode}; }

// ---- Dialogs, system --------------------------------------------------------------

platform::MessageAnswer SimDesktop::ShowMessage(const platform::MessageBoxRequest& request) {
  messageBoxes_.push_back(request);
  if (messageHook_) messageHook_(request);
  if (!answers_.empty()) {
    const platform::MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  return request.buttons == platform::MessageButtons::YesNo ? platform::MessageAnswer::No
                                                            : platform::MessageAnswer::Ok;
}

bool SimDesktop::ExitSession(std::uint32_t flags) {
  exitWindows_.push_back(flags);
  return true;
}

// ---- Shell and tray ----------------------------------------------------------------

void SimDesktop::OnLaunch(std::string file, std::function<void(const ShellExecuteCall&)> launch) {
  launchers_[std::move(file)] = std::move(launch);
}

bool SimDesktop::NotifyIcon(platform::TrayOperation operation, const platform::TrayRecord& record) {
  const auto id = std::make_pair(record.hWnd, record.uID);
  bool accepted = false;
  switch (operation) {
    case platform::TrayOperation::Add:
      accepted = trayIcons_.emplace(id, record).second;
      break;
    case platform::TrayOperation::Modify:
      if (auto found = trayIcons_.find(id); found != trayIcons_.end()) {
        found->second = record;
        accepted = true;
      }
      break;
    case platform::TrayOperation::Delete:
      accepted = trayIcons_.erase(id) > 0;
      break;
  }
  trayRequests_.push_back({operation, record, accepted});
  return accepted;
}

std::int64_t SimDesktop::ExecuteFile(WindowHandle owner, std::string_view verb,
                                      std::string_view file, std::string_view parameters,
                                      std::string_view directory, platform::ShowCommand show) {
  ShellExecuteCall call{owner,           std::string(verb),      std::string(file),
                        std::string(parameters), std::string(directory), show};
  shellExecutes_.push_back(call);
  const auto launcher = launchers_.find(call.file);
  if (launcher == launchers_.end()) return 2;  // SE_ERR_FNF
  auto launch = launcher->second;
  launch(call);
  return 42;
}

bool SimDesktop::StartCommandLine(std::string_view commandLine) {
  commandLines_.emplace_back(commandLine);
  return true;
}

std::string SimDesktop::SystemProgramPath(std::string_view exeName) {
  return "C:\\Windows\\system32\\" + std::string(exeName);
}

// ---- Registry ------------------------------------------------------------------------

void SimDesktop::PutRegistryValue(platform::RegistryRoot root, std::string path, std::string name,
                                  std::int32_t type, std::string bytes) {
  registry_[{root, std::move(path)}][std::move(name)] = {type, std::move(bytes)};
}

void SimDesktop::RemoveRegistryKey(platform::RegistryRoot root, const std::string& path) {
  registry_.erase({root, path});
}

std::optional<platform::Registry::Key> SimDesktop::OpenKey(platform::RegistryRoot root,
                                                           std::string_view path) {
  for (const auto& [keyPath, values] : registry_) {
    if (keyPath.first == root && EqualsIgnoringCase(keyPath.second, path)) {
      const Key key = nextKey_++;
      openKeys_[key] = keyPath;
      return key;
    }
  }
  return std::nullopt;
}

platform::RegistryQuery SimDesktop::QueryValue(Key key, std::string_view valueName,
                                               std::uint32_t bufferSize) {
  platform::RegistryQuery query;
  if (failNextQuery_) {
    query.status = *failNextQuery_;
    failNextQuery_.reset();
    return query;
  }
  const auto open = openKeys_.find(key);
  if (open == openKeys_.end()) {
    query.status = 6;  // ERROR_INVALID_HANDLE
    return query;
  }
  const auto& values = registry_[open->second];
  const auto value = std::find_if(values.begin(), values.end(), [&](const auto& entry) {
    return EqualsIgnoringCase(entry.first, valueName);
  });
  if (value == values.end()) {
    query.status = platform::kRegFileNotFound;
    return query;
  }
  query.type = value->second.type;
  query.size = static_cast<std::uint32_t>(value->second.bytes.size());
  if (bufferSize == 0) {  // asking for the size only
    if (auto action = std::exchange(afterSizeQuery_, nullptr)) action();
    return query;
  }
  if (bufferSize < query.size) {
    query.status = platform::kRegMoreData;
    return query;
  }
  query.data = value->second.bytes;
  return query;
}

bool SimDesktop::CloseKey(Key key) {
  const bool known = openKeys_.erase(key) > 0;
  return known && !failClose_;
}

std::string SimDesktop::ErrorDescription(std::int32_t status) {
  switch (status) {
    case platform::kRegFileNotFound: return "The system cannot find the file specified.";
    case platform::kRegAccessDenied: return "Access is denied.";
    case platform::kRegMoreData: return "More data is available.";
    default: return "Unknown error " + std::to_string(status) + ".";
  }
}

// ---- Settings store ---------------------------------------------------------------------

std::optional<std::string> SimDesktop::Setting(const std::string& section,
                                               const std::string& key) const {
  const auto foundSection = settings_.find(section);
  if (foundSection == settings_.end()) return std::nullopt;
  const auto found = foundSection->second.find(key);
  if (found == foundSection->second.end()) return std::nullopt;
  return found->second;
}

std::optional<std::string> SimDesktop::Read(std::string_view section, std::string_view key) {
  return Setting(std::string(section), std::string(key));
}

bool SimDesktop::Write(std::string_view section, std::string_view key, std::string_view value) {
  if (failSettingsWrites_) return false;
  ++settingsWrites_;
  settings_[std::string(section)][std::string(key)] = std::string(value);
  return true;
}

bool SimDesktop::DeleteAll() {
  if (failSettingsWrites_) return false;
  settings_.clear();
  return true;
}

// ---- Files ------------------------------------------------------------------------------

std::filesystem::path SimDesktop::Resolve(std::string_view name) const {
  // The program joins folders with "\"; the simulated files live on Linux.
  std::string path(name);
  std::replace(path.begin(), path.end(), '\\', '/');
  std::filesystem::path resolved(path);
  return (resolved.is_absolute() ? resolved : cwd_ / resolved).lexically_normal();
}

void SimDesktop::LockFile(const std::string& name, bool locked) {
  if (locked) lockedFiles_.insert(Resolve(name));
  else lockedFiles_.erase(Resolve(name));
}

bool SimDesktop::Append(std::string_view name, std::string_view text) {
  const auto path = Resolve(name);
  if (lockedFiles_.contains(path)) return false;
  std::ofstream file(path, std::ios::binary | std::ios::app);
  if (!file) return false;
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  return static_cast<bool>(file);
}

std::optional<std::string> SimDesktop::ReadAll(std::string_view name) {
  const auto path = Resolve(name);
  if (lockedFiles_.contains(path) || !std::filesystem::is_regular_file(path)) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

bool SimDesktop::CanOpenForReading(std::string_view name) { return ReadAll(name).has_value(); }

std::optional<std::uint64_t> SimDesktop::Size(std::string_view name) {
  std::error_code error;
  const auto size = std::filesystem::file_size(Resolve(name), error);
  if (error) return std::nullopt;
  return size;
}

bool SimDesktop::Exists(std::string_view name) {
  std::error_code error;
  return std::filesystem::exists(Resolve(name), error);
}

bool SimDesktop::Delete(std::string_view name) {
  const auto path = Resolve(name);
  if (lockedFiles_.contains(path) || !std::filesystem::is_regular_file(path)) return false;
  std::error_code error;
  return std::filesystem::remove(path, error);
}

}  // namespace calorix::sim
