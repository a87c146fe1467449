// The simulated desktop's virtual clock: scheduled actions, timers, the
// local time, and the event pump that runs posted events.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <thread>
#include <utility>

#include "platform/sim/sim_desktop.h"

namespace calorix::sim {

namespace {

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

void SimDesktop::RunInBackground(std::function<void()> work, std::function<void()> done) {
  backgroundWork_.push_back({std::move(work), std::move(done)});
  if (!holdBackgroundWork_) FinishBackgroundWork();
}

void SimDesktop::FinishBackgroundWork() {
  while (!backgroundWork_.empty()) {
    BackgroundWork next = std::move(backgroundWork_.front());
    backgroundWork_.pop_front();
    std::exception_ptr error;
    std::thread worker([&] {
      try {
        next.work();
      } catch (...) {
        error = std::current_exception();
      }
    });
    worker.join();
    // As on Windows, `done` comes through the event loop, and a failed work's
    // exception reaches the program there instead.
    if (error) Post([error] { std::rethrow_exception(error); });
    else Post(std::move(next.done));
  }
}

void SimDesktop::EndProgram(int exitCode) { throw ProgramEnded{exitCode}; }

}  // namespace calorix::sim
