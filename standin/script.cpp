#include "script.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>

#include "readings.h"

namespace standin {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view stripLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  return line;
}

std::string_view skipBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  return s;
}

// Takes the next blank-separated word off the front of `rest`. Leaves `rest`
// starting at the blank after the word, so verbatim arguments keep theirs.
std::string_view takeWord(std::string_view& rest) {
  rest = skipBlanks(rest);
  size_t n = 0;
  while (n < rest.size() && !isBlank(rest[n])) ++n;
  std::string_view word = rest.substr(0, n);
  rest.remove_prefix(n);
  return word;
}

// The verbatim argument after a keyword: everything past the one blank.
std::optional<std::string> takeVerbatim(std::string_view rest) {
  if (rest.empty() || !isBlank(rest.front())) return std::nullopt;
  return std::string(rest.substr(1));
}

std::optional<double> parseNumber(std::string_view word) {
  double value = 0;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || end != word.data() + word.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

ParsedLine fail(std::string message) { return ParsedLine{std::nullopt, std::move(message)}; }

ParsedLine ok(Command c) { return ParsedLine{std::move(c), {}}; }

ParsedLine ok(CommandKind kind) {
  Command c;
  c.kind = kind;
  return ok(std::move(c));
}

ParsedLine parseSet(std::string_view rest) {
  std::string_view name = takeWord(rest);
  auto reading = readingFromName(name);
  if (!reading) return fail("set: unknown reading '" + std::string(name) + "'");
  auto text = takeVerbatim(rest);
  if (!text) return fail("set: missing text");
  return ok(Command{CommandKind::Set, *reading, std::move(*text), 0});
}

ParsedLine parseLimit(std::string_view rest) {
  std::string_view name = takeWord(rest);
  auto reading = readingFromName(name);
  bool adjustable = reading == Reading::CpuTemp || reading == Reading::SysTemp ||
                    reading == Reading::CpuFan || reading == Reading::SysFan;
  if (!adjustable) return fail("limit: expected cpu, sys, fan1 or fan2");
  auto value = parseNumber(takeWord(rest));
  if (!value || !skipBlanks(rest).empty()) return fail("limit: expected one number");
  return ok(Command{CommandKind::Limit, *reading, {}, *value});
}

ParsedLine parseAlarm(std::string_view rest) {
  std::string_view action = takeWord(rest);
  CommandKind kind;
  if (action == "open") {
    kind = CommandKind::AlarmOpen;
  } else if (action == "close") {
    kind = CommandKind::AlarmClose;
  } else {
    return fail("alarm: expected open or close");
  }
  auto caption = takeVerbatim(rest);
  if (!caption || caption->empty()) return fail("alarm: missing caption");
  return ok(Command{kind, Reading::None, std::move(*caption), 0});
}

ParsedLine parseDrift(std::string_view rest) {
  std::string_view state = takeWord(rest);
  if (!skipBlanks(rest).empty()) return fail("drift: expected on or off");
  if (state == "on") return ok(CommandKind::DriftOn);
  if (state == "off") return ok(CommandKind::DriftOff);
  return fail("drift: expected on or off");
}

ParsedLine parseBare(CommandKind kind, std::string_view word, std::string_view rest) {
  if (!skipBlanks(rest).empty()) return fail(std::string(word) + ": takes no argument");
  return ok(kind);
}

}  // namespace

ParsedLine parseCommand(std::string_view line) {
  std::string_view rest = skipBlanks(stripLineEnd(line));
  if (rest.empty() || rest.front() == '#') return {};
  std::string_view word = takeWord(rest);
  if (word == "set") return parseSet(rest);
  if (word == "limit") return parseLimit(rest);
  if (word == "alarm") return parseAlarm(rest);
  if (word == "drift") return parseDrift(rest);
  if (word == "show") return parseBare(CommandKind::Show, word, rest);
  if (word == "hide") return parseBare(CommandKind::Hide, word, rest);
  if (word == "exit") return parseBare(CommandKind::Exit, word, rest);
  return fail("unknown command '" + std::string(word) + "'");
}

ParsedScenario parseScenario(std::string_view text) {
  ParsedScenario result;
  int lineNo = 0;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNo;

    std::string_view rest = skipBlanks(stripLineEnd(line));
    if (rest.empty() || rest.front() == '#') continue;
    auto addError = [&](const std::string& what) {
      result.errors.push_back("line " + std::to_string(lineNo) + ": " + what);
    };
    if (takeWord(rest) != "at") {
      addError("expected 'at <seconds> <command>'");
      continue;
    }
    auto at = parseNumber(takeWord(rest));
    if (!at || *at < 0) {
      addError("bad time after 'at'");
      continue;
    }
    ParsedLine parsed = parseCommand(rest);
    if (!parsed.command) {
      addError(parsed.error.empty() ? "missing command" : parsed.error);
      continue;
    }
    result.commands.push_back({*at, std::move(*parsed.command)});
  }
  std::stable_sort(result.commands.begin(), result.commands.end(),
                   [](const TimedCommand& a, const TimedCommand& b) { return a.at < b.at; });
  return result;
}

std::vector<Command> ScenarioPlayer::due(double elapsedSeconds) {
  std::vector<Command> out;
  while (next_ < commands_.size() && commands_[next_].at <= elapsedSeconds) {
    out.push_back(commands_[next_++].command);
  }
  return out;
}

std::vector<std::string> takeCompleteLines(std::string& buffer) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t nl; (nl = buffer.find('\n', start)) != std::string::npos; start = nl + 1) {
    lines.emplace_back(stripLineEnd(std::string_view(buffer).substr(start, nl - start)));
  }
  buffer.erase(0, start);
  return lines;
}

std::vector<std::string> ControlFileReader::poll() {
  std::ifstream in(path_, std::ios::binary);
  if (!in) return {};
  in.seekg(0, std::ios::end);
  auto size = static_cast<std::uint64_t>(in.tellg());
  if (size < offset_) {  // rewritten from scratch
    offset_ = 0;
    partial_.clear();
  }
  if (size == offset_) return {};
  in.seekg(static_cast<std::streamoff>(offset_));
  std::string chunk(size - offset_, '\0');
  in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
  chunk.resize(static_cast<size_t>(in.gcount()));
  offset_ += chunk.size();
  partial_ += chunk;
  return takeCompleteLines(partial_);
}

ParsedOptions parseOptions(const std::vector<std::string>& args,
                           std::string_view slowBuildVariable) {
  ParsedOptions result;
  Options& o = result.options;
  if (!slowBuildVariable.empty()) {
    auto n = parseNumber(slowBuildVariable);
    if (!n || *n < 0) {
      return {o, std::string(kSlowBuildVariable) + " needs a number of seconds, not '" +
                     std::string(slowBuildVariable) + "'"};
    }
    o.slowBuild = *n;
  }
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool hasValue = i + 1 < args.size();
    if (a == "--never-show") {
      o.neverShow = true;
    } else if (a == "--no-drift") {
      o.noDrift = true;
    } else if (a == "--show-after" && hasValue) {
      auto n = parseNumber(args[++i]);
      if (!n || *n < 0) return {o, "--show-after needs a number of seconds"};
      o.showAfter = *n;
    } else if (a == "--slow-build" && hasValue) {
      auto n = parseNumber(args[++i]);
      if (!n || *n < 0) return {o, "--slow-build needs a number of seconds"};
      o.slowBuild = *n;
    } else if (a == "--scenario" && hasValue) {
      o.scenarioFile = args[++i];
    } else if (a == "--control" && hasValue) {
      o.controlFile = args[++i];
    } else {
      return {o, "unknown or incomplete argument '" + a + "'"};
    }
  }
  return result;
}

}  // namespace standin
