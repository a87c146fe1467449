// The wildcard match the window walk uses to find the monitor's buttons and
// its title label, checked against a table-driven matcher of the same rules:
// "*" any run, "?" any one character, "#" one digit, "[...]" one listed
// character ("a-z" ranges, "!" first to negate), everything else itself.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "monitor/monitor_contract.h"
#include "monitor/window_control.h"

using calorix::fuzz::Shown;

namespace {

struct Token {
  enum Kind { kStar, kAny, kDigit, kList, kChar } kind;
  char c = 0;
  std::string list;  // for kList, without the brackets
};

std::vector<Token> Tokens(std::string_view pattern) {
  std::vector<Token> tokens;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char p = pattern[i];
    if (p == '*') {
      tokens.push_back({Token::kStar});
    } else if (p == '?') {
      tokens.push_back({Token::kAny});
    } else if (p == '#') {
      tokens.push_back({Token::kDigit});
    } else if (p == '[' && pattern.find(']', i + 1) != std::string_view::npos) {
      const std::size_t close = pattern.find(']', i + 1);
      tokens.push_back({Token::kList, 0, std::string(pattern.substr(i + 1, close - i - 1))});
      i = close;
    } else {
      tokens.push_back({Token::kChar, p});
    }
  }
  return tokens;
}

bool InList(char c, std::string_view list) {
  const bool negate = !list.empty() && list.front() == '!';
  if (negate) list.remove_prefix(1);
  bool found = false;
  std::size_t i = 0;
  while (i < list.size()) {
    if (i + 2 < list.size() && list[i + 1] == '-') {
      if (list[i] <= c && c <= list[i + 2]) found = true;
      i += 3;
    } else {
      if (list[i] == c) found = true;
      i += 1;
    }
  }
  return found != negate;
}

bool TokenMatches(const Token& token, char c) {
  switch (token.kind) {
    case Token::kAny: return true;
    case Token::kDigit: return c >= '0' && c <= '9';
    case Token::kList: return InList(c, token.list);
    case Token::kChar: return c == token.c;
    case Token::kStar: return false;
  }
  return false;
}

// match[t][j]: tokens t.. match text j..
bool Reference(std::string_view text, std::string_view pattern) {
  const std::vector<Token> tokens = Tokens(pattern);
  const std::size_t n = tokens.size(), m = text.size();
  std::vector<std::vector<char>> match(n + 1, std::vector<char>(m + 1, 0));
  match[n][m] = 1;
  for (std::size_t t = n; t-- > 0;) {
    for (std::size_t j = m + 1; j-- > 0;) {
      if (tokens[t].kind == Token::kStar)
        match[t][j] = match[t + 1][j] || (j < m && match[t][j + 1]);
      else
        match[t][j] = j < m && TokenMatches(tokens[t], text[j]) && match[t + 1][j + 1];
    }
  }
  return match[0][0];
}

void Check(std::string_view text, std::string_view pattern) {
  const bool got = calorix::monitor::MatchesPattern(text, pattern);
  const bool expected = Reference(text, pattern);
  FUZZ_CHECK(got == expected, "\"%s\" against \"%s\" gave %d, not %d", Shown(text).c_str(),
             Shown(pattern).c_str(), got, expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);

  // Any window text against the patterns the program itself uses.
  static constexpr std::string_view kProgramPatterns[] = {
      calorix::monitor::kCloseButtonText, calorix::monitor::kMinimizeButtonText,
      calorix::monitor::kTitleLabelPattern, "*", "Button", "Static"};
  if (data[0] < 128) {
    for (const std::string_view pattern : kProgramPatterns) Check(rest, pattern);
    // A title label is the fixed words and anything after them.
    const bool label = rest.starts_with("VIA Hardware Monitor System ");
    FUZZ_CHECK(calorix::monitor::MatchesPattern(rest, calorix::monitor::kTitleLabelPattern) == label,
               "title label \"%s\" read wrongly", Shown(rest).c_str());
    return 0;
  }

  // Any pattern against any text. The matcher backtracks on "*", so the
  // patterns are kept to a few stars and the texts short; the program's own
  // patterns have at most one. Pattern bytes are kept to ASCII, as the
  // program's patterns are.
  const std::size_t split = data[0] % 33;
  if (rest.size() < split) return 0;
  std::string pattern(rest.substr(0, split));
  for (char& c : pattern) c = static_cast<char>(c & 0x7f);
  const std::string_view text = rest.substr(split, 64);
  int stars = 0;
  for (const char c : pattern) stars += c == '*';
  if (stars > 3) return 0;
  Check(text, pattern);
  return 0;
}
