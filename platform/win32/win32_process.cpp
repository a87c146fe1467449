#include <process.h>

#include <atomic>
#include <system_error>
#include <utility>
#include <vector>

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

// Posted to the wake window when a piece of background work has finished;
// its lParam is the Win32Process that owns the work.
constexpr UINT kBackgroundWorkFinished = WM_APP + 1;
constexpr char kWakeClassName[] = "Calorix.BackgroundWake";

LRESULT CALLBACK WakeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kBackgroundWorkFinished) return DefWindowProcA(window, message, wParam, lParam);
  reinterpret_cast<Win32Process*>(lParam)->OnBackgroundWorkFinished();
  return 0;
}

// A message-only window: never shown, it only receives the posted wake-ups.
// Posted messages, unlike thread messages, are also dispatched by modal loops
// (a message box, a popup menu), so finished work is not lost there.
HWND CreateWakeWindow() {
  static const bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WakeProcedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kWakeClassName;
    return RegisterClassExA(&wc) != 0;
  }();
  const HWND window = registered ? CreateWindowExA(0, kWakeClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                                   nullptr, GetModuleHandleA(nullptr), nullptr)
                                 : nullptr;
  if (window == nullptr) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                            "CreateWindowEx (background work)");
  }
  return window;
}

}  // namespace

struct Win32Process::BackgroundJob {
  std::function<void()> work;
  std::function<void()> done;
  Win32Process* owner = nullptr;
  HWND wakeWindow = nullptr;
  std::exception_ptr error;  // thrown by `work`, rethrown on the main thread
  std::atomic<bool> finished = false;
  UniqueHandle thread;
};

namespace {

unsigned __stdcall RunBackgroundJob(void* argument) {
  auto& job = *static_cast<Win32Process::BackgroundJob*>(argument);
  try {
    job.work();
  } catch (...) {
    job.error = std::current_exception();
  }
  job.finished = true;
  // The job outlives this thread: the main thread waits for the thread before
  // letting go of it. A wake-up lost to a full queue is made up by the next.
  PostMessageA(job.wakeWindow, kBackgroundWorkFinished, 0, reinterpret_cast<LPARAM>(job.owner));
  return 0;
}

}  // namespace

Win32Process::Win32Process(std::string instanceMutexName)
    : instanceMutexName_(std::move(instanceMutexName)) {}

Win32Process::~Win32Process() {
  for (auto& [id, timer] : timers_) Disarm(timer);
  // Work still running is waited for; its `done` never runs.
  for (auto& [id, job] : jobs_)
    if (job->thread) WaitForSingleObject(job->thread.get(), INFINITE);
  jobs_.clear();
  if (wakeWindow_ != nullptr) DestroyWindow(wakeWindow_);
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

void Win32Process::RunInBackground(std::function<void()> work, std::function<void()> done) {
  if (wakeWindow_ == nullptr) wakeWindow_ = CreateWakeWindow();
  auto job = std::make_unique<BackgroundJob>();
  job->work = std::move(work);
  job->done = std::move(done);
  job->owner = this;
  job->wakeWindow = wakeWindow_;
  // _beginthreadex rather than CreateThread: the work uses the C runtime.
  BackgroundJob& started = *job;
  jobs_.emplace(nextJob_++, std::move(job));
  const std::uintptr_t thread = _beginthreadex(nullptr, 0, RunBackgroundJob, &started, 0, nullptr);
  if (thread != 0) {
    started.thread = UniqueHandle(reinterpret_cast<void*>(thread));
  } else {
    // No thread to be had (out of memory): the work is done here and now,
    // and `done` still comes from the loop.
    RunBackgroundJob(&started);
  }
}

// Runs from the wake window's procedure, so from whichever loop dispatched the
// message, as a timer's tick does.
void Win32Process::OnBackgroundWorkFinished() {
  std::vector<std::unique_ptr<BackgroundJob>> finished;
  for (auto it = jobs_.begin(); it != jobs_.end();) {
    if (!it->second->finished) {
      ++it;
      continue;
    }
    // The thread has only its return left to do.
    if (it->second->thread) WaitForSingleObject(it->second->thread.get(), INFINITE);
    finished.push_back(std::move(it->second));
    it = jobs_.erase(it);
  }
  // Each `done` may start new work: they run once the list is settled.
  for (const auto& job : finished) {
    // As for a timer's tick, an exception must not unwind through DispatchMessage.
    try {
      if (job->error) std::rethrow_exception(job->error);
      if (job->done) job->done();
    } catch (...) {
      DeferException(std::current_exception());
    }
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
