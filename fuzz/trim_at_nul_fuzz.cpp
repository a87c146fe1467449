// Cutting a window text at its first NUL: the part before it, exactly, in
// the result and in the argument.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "monitor/text_scraper.h"

using calorix::fuzz::Shown;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string original(reinterpret_cast<const char*>(data), size);
  std::string text = original;
  const std::string result = calorix::monitor::TrimAtNul(text);

  const auto nul = original.find('\0');
  const std::string expected = nul == std::string::npos ? original : original.substr(0, nul);
  FUZZ_CHECK(result == expected, "\"%s\" cut to \"%s\"", Shown(original).c_str(),
             Shown(result).c_str());
  FUZZ_CHECK(text == result, "the argument of \"%s\" became \"%s\"", Shown(original).c_str(),
             Shown(text).c_str());
  FUZZ_CHECK(result.find('\0') == std::string::npos, "a NUL is left in \"%s\"",
             Shown(result).c_str());

  // Cutting again changes nothing.
  std::string again = result;
  FUZZ_CHECK(calorix::monitor::TrimAtNul(again) == result, "a second cut of \"%s\" changed it",
             Shown(result).c_str());
  return 0;
}
