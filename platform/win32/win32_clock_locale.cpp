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

}  // namespace

std::uint64_t Win32Clock::MonotonicMs() { return GetTickCount64(); }

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
