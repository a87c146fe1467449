#include <system_error>
#include <utility>

#include "platform/win32/win32_internal.h"

namespace calorix::platform::win32 {

namespace {

// A thread timer's procedure gets no context pointer: the owner is looked up
// by the system's timer id.
std::map<UINT_PTR, Win32Process*>& TimerOwners() {
  static std::map<UINT_PTR, Win32Process*> owners;
  return owners;
}

void CALLBACK TimerProc(HWND, UINT, UINT_PTR osTimerId, DWORD) {
  auto& owners = TimerOwners();
  const auto found = owners.find(osTimerId);
  // A WM_TIMER already queued when its timer was killed arrives here too.
  if (found == owners.end()) return;
  found->second->OnOsTimer(osTimerId);
}

// The single-instance mutex belongs to the process, not to one platform
// object: it stays open until the process ends and is asked about once.
struct InstanceMutex {
  UniqueHandle handle;
  bool another = false;
};

std::map<std::string, InstanceMutex>& InstanceMutexes() {
  static std::map<std::string, InstanceMutex> mutexes;
  return mutexes;
}

}  // namespace

Win32Process::Win32Process(std::string instanceMutexName)
    : instanceMutexName_(std::move(instanceMutexName)) {}

Win32Process::~Win32Process() {
  for (auto& [id, timer] : timers_) Disarm(timer);
}

void Win32Process::DeferException(std::exception_ptr error) {
  if (!pending_) pending_ = std::move(error);
}

bool Win32Process::Filtered(MSG& msg) { return filter_ && filter_(msg); }

void Win32Process::RethrowPending() {
  if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
}

void Win32Process::ProcessPendingEvents() {
  MSG msg{};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Put it back so the main loop still sees it and ends.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (!Filtered(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    RethrowPending();
  }
}

void Win32Process::WaitForEvents(int timeoutMs) {
  const DWORD timeout = timeoutMs > 0 ? static_cast<DWORD>(timeoutMs) : 0;
  // MWMO_INPUTAVAILABLE: also wake for messages that arrived before the call
  // and were already noticed (but not removed) by an earlier peek.
  MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  ProcessPendingEvents();
}

TimerId Win32Process::CreateTimer(std::function<void()> onTick) {
  const TimerId id = nextTimer_++;
  timers_[id].onTick = std::move(onTick);
  return id;
}

void Win32Process::Disarm(Timer& timer) {
  if (timer.osId == 0) return;
  TimerOwners().erase(timer.osId);
  // Fails only for an id the system no longer knows; nothing is left to stop.
  KillTimer(nullptr, timer.osId);
  timer.osId = 0;
  timer.intervalMs = 0;
}

void Win32Process::SetTimer(TimerId id, int intervalMs, bool enabled) {
  const auto found = timers_.find(id);
  if (found == timers_.end()) return;
  Timer& timer = found->second;
  if (!enabled || intervalMs <= 0) {
    Disarm(timer);
    return;
  }
  if (timer.osId != 0 && timer.intervalMs == intervalMs) return;
  Disarm(timer);
  const UINT_PTR osId = ::SetTimer(nullptr, 0, static_cast<UINT>(intervalMs), TimerProc);
  if (osId == 0) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                            "SetTimer");
  }
  timer.osId = osId;
  timer.intervalMs = intervalMs;
  TimerOwners()[osId] = this;
}

void Win32Process::DestroyTimer(TimerId id) {
  const auto found = timers_.find(id);
  if (found == timers_.end()) return;
  Disarm(found->second);
  timers_.erase(found);
}

void Win32Process::OnOsTimer(std::uintptr_t osTimerId) {
  for (auto& [id, timer] : timers_) {
    if (timer.osId != osTimerId) continue;
    // A copy: the callback may destroy or re-arm its own timer.
    const std::function<void()> tick = timer.onTick;
    if (!tick) return;
    // An exception must not unwind through DispatchMessage (the system may
    // swallow it there); it is rethrown once DispatchMessage returns.
    try {
      tick();
    } catch (...) {
      if (!pending_) pending_ = std::current_exception();
    }
    return;
  }
}

bool Win32Process::IsAnotherInstanceRunning() {
  auto& mutexes = InstanceMutexes();
  if (const auto found = mutexes.find(instanceMutexName_); found != mutexes.end()) {
    return found->second.another;
  }
  InstanceMutex entry;
  entry.handle = UniqueHandle(CreateMutexA(nullptr, FALSE, instanceMutexName_.c_str()));
  const DWORD error = GetLastError();
  // Access denied: the mutex exists and was made by another user's copy.
  entry.another = entry.handle ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
  const bool another = entry.another;
  mutexes.emplace(instanceMutexName_, std::move(entry));
  return another;
}

std::string Win32Process::CommandLine() {
  const std::string_view line = GetCommandLineA();
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  // The program's name ends at the first blank outside quotes.
  bool quoted = false;
  for (; i < line.size(); ++i) {
    if (line[i] == '"') {
      quoted = !quoted;
    } else if (!quoted && (line[i] == ' ' || line[i] == '\t')) {
      break;
    }
  }
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  return std::string(line.substr(i));
}

void Win32Process::EndProgram(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

int Win32Process::RunMessageLoop() {
  MSG msg{};
  for (;;) {
    const BOOL result = GetMessageA(&msg, nullptr, 0, 0);
    if (result == 0) return static_cast<int>(msg.wParam);
    if (result == -1) return -1;
    if (!Filtered(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    RethrowPending();
  }
}

}  // namespace calorix::platform::win32
