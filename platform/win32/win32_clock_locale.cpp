#include <atomic>
#include <cstdio>

#include "platform/win32/win32_internal.h"

namespace calorix::platform::win32 {

namespace {

std::string LocaleText(LCTYPE what) {
  const int needed = GetLocaleInfoA(LOCALE_USER_DEFAULT, what, nullptr, 0);
  if (needed <= 0) return {};
  std::string text(static_cast<std::size_t>(needed), '\0');
  const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, what, text.data(), needed);
  if (length <= 0) return {};
  text.resize(static_cast<std::size_t>(length) - 1);  // the count includes the NUL
  return text;
}

using Formatter = int(WINAPI*)(LCID, DWORD, const SYSTEMTIME*, LPCSTR, LPSTR, int);

std::string FormatWith(Formatter format, DWORD flags, const SYSTEMTIME& when) {
  const int needed = format(LOCALE_USER_DEFAULT, flags, &when, nullptr, nullptr, 0);
  if (needed <= 0) return {};
  std::string text(static_cast<std::size_t>(needed), '\0');
  const int length = format(LOCALE_USER_DEFAULT, flags, &when, nullptr, text.data(), needed);
  if (length <= 0) return {};
  text.resize(static_cast<std::size_t>(length) - 1);
  return text;
}

using TickCount64 = ULONGLONG(WINAPI*)();

// GetTickCount64 came with Vista: looked up at run time, so that the 32-bit
// program still starts on XP. Constant-initialised, without a lock: the
// thread library calls this too, from inside its own locks.
TickCount64 SystemTickCount64() {
  static std::atomic<void*> found{nullptr};
  static std::atomic<bool> looked{false};
  if (!looked.load(std::memory_order_acquire)) {
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    found.store(kernel32 != nullptr ? reinterpret_cast<void*>(GetProcAddress(kernel32, "GetTickCount64"))
                                    : nullptr,
                std::memory_order_relaxed);
    looked.store(true, std::memory_order_release);
  }
  return reinterpret_cast<TickCount64>(found.load(std::memory_order_relaxed));
}

// Where it is missing (XP), the 32-bit tick count, which wraps every 49.7
// days, with its wraps counted: the high half of the state counts them, the
// low half is the last count seen. Reading it at least once per wrap keeps
// it right; the program reads it every few seconds.
std::uint64_t WrapCountingTicks() {
  static std::atomic<std::uint64_t> state{0};
  std::uint64_t seen = state.load();
  for (;;) {
    const DWORD ticks = GetTickCount();
    std::uint64_t wraps = seen >> 32;
    if (ticks < static_cast<DWORD>(seen)) ++wraps;
    const std::uint64_t now = (wraps << 32) | ticks;
    if (state.compare_exchange_weak(seen, now)) return now;
  }
}

}  // namespace

extern "C" ULONGLONG WINAPI CalorixTickCount64() {
  if (const TickCount64 system = SystemTickCount64()) return system();
  return WrapCountingTicks();
}

#if !defined(_WIN64)
// The static thread library that comes with the C++ runtime was built for
// Vista and calls GetTickCount64 through the import table, an import that
// alone would stop the 32-bit program from loading on XP. Defining the
// import's pointer here, before the system's import library is searched,
// sends those calls to CalorixTickCount64 instead.
extern "C" ULONGLONG(WINAPI* kTickCount64Import)() asm(
    "__imp__GetTickCount64@0");
ULONGLONG(WINAPI* kTickCount64Import)() = CalorixTickCount64;
#endif

std::uint64_t Win32Clock::MonotonicMs() { return CalorixTickCount64(); }

LocalDateTime Win32Clock::Now() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  return LocalDateTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::string Win32Locale::DecimalSeparator() { return LocaleText(LOCALE_SDECIMAL); }

std::string Win32Locale::DateSeparator() { return LocaleText(LOCALE_SDATE); }

std::string Win32Locale::TimeSeparator() { return LocaleText(LOCALE_STIME); }

std::string Win32Locale::FormatGeneralDate(const LocalDateTime& when) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(when.year);
  st.wMonth = static_cast<WORD>(when.month);
  st.wDay = static_cast<WORD>(when.day);  // the day of the week is ignored
  st.wHour = static_cast<WORD>(when.hour);
  st.wMinute = static_cast<WORD>(when.minute);
  st.wSecond = static_cast<WORD>(when.second);
  std::string date = FormatWith(::GetDateFormatA, DATE_SHORTDATE, st);
  const bool midnight = when.hour == 0 && when.minute == 0 && when.second == 0;
  std::string time = midnight ? std::string() : FormatWith(::GetTimeFormatA, 0, st);
  if (date.empty() && (midnight || time.empty())) {
    // The system rejects dates it cannot represent; the text must still be
    // readable in a log, so fall back to a neutral numeric form.
    char fallback[64];
    std::snprintf(fallback, sizeof fallback, "%04d-%02d-%02d %02d:%02d:%02d", when.year,
                  when.month, when.day, when.hour, when.minute, when.second);
    return fallback;
  }
  return time.empty() ? date : date + " " + time;
}

}  // namespace calorix::platform::win32
