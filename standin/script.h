// Scripting of the stand-in monitor: command lines, timed scenarios, the
// polled control file and the program's own command line. No Windows
// dependency, so it is unit-tested natively.
//
// Commands, one per line (blank lines and lines starting with '#' ignored):
//   set <cpu|sys|vcore|v33|v5|v12|fan1|fan2> <text>
//   limit <cpu|sys|fan1|fan2> <number>
//   alarm open <caption>
//   alarm close <caption>
//   drift on|off
//   show | hide | exit
// <text> and <caption> are the rest of the line after the single blank that
// follows the keyword, taken verbatim (blanks included; a trailing CR is not
// part of it). In a scenario file every command is prefixed by
// "at <seconds>", seconds since the program started (decimals allowed).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "monitor_layout.h"

namespace standin {

enum class CommandKind { Set, Limit, AlarmOpen, AlarmClose, DriftOn, DriftOff, Show, Hide, Exit };

struct Command {
  CommandKind kind = CommandKind::Show;
  Reading reading = Reading::None;  // Set, Limit
  std::string text;                 // Set: new text; AlarmOpen/AlarmClose: caption
  double number = 0;                // Limit
};

// What one line of a script says.
struct ParsedLine {
  std::optional<Command> command;  // empty for blank and comment lines, and on error
  std::string error;               // non-empty when the line is not understood
};

ParsedLine parseCommand(std::string_view line);

struct TimedCommand {
  double at = 0;  // seconds since start
  Command command;
};

struct ParsedScenario {
  std::vector<TimedCommand> commands;  // sorted by time, file order kept for ties
  std::vector<std::string> errors;     // "line N: ..." for each bad line
};

ParsedScenario parseScenario(std::string_view text);

// Hands out scenario commands as their time comes.
class ScenarioPlayer {
 public:
  explicit ScenarioPlayer(std::vector<TimedCommand> commands) : commands_(std::move(commands)) {}
  std::vector<Command> due(double elapsedSeconds);
  bool finished() const { return next_ >= commands_.size(); }

 private:
  std::vector<TimedCommand> commands_;
  size_t next_ = 0;
};

// Follows a file that others append command lines to. Only complete lines
// are handed out; a partial last line waits for its newline. If the file
// shrinks (rewritten), reading starts again from its beginning.
class ControlFileReader {
 public:
  explicit ControlFileReader(std::string path) : path_(std::move(path)) {}
  std::vector<std::string> poll();

 private:
  std::string path_;
  std::uint64_t offset_ = 0;
  std::string partial_;
};

// Splits off the complete lines of `buffer` (without "\n" or "\r\n"), keeping
// the unfinished rest in it.
std::vector<std::string> takeCompleteLines(std::string& buffer);

// The environment variable that asks for a slowly built main window, for a
// monitor started by another program that passes no arguments.
inline constexpr char kSlowBuildVariable[] = "VIAHM_SLOW_BUILD";

struct Options {
  double showAfter = 0;  // seconds before the main window is created
  double slowBuild = 0;  // > 0: the controls appear over this many seconds after the titled window
  bool neverShow = false;
  bool noDrift = false;
  std::string scenarioFile;
  std::string controlFile;
};

struct ParsedOptions {
  Options options;
  std::string error;  // non-empty for an unknown or malformed argument
};

// `args` excludes the program name. `slowBuildVariable` is the value of
// VIAHM_SLOW_BUILD (empty when unset); --slow-build on the command line wins.
ParsedOptions parseOptions(const std::vector<std::string>& args,
                           std::string_view slowBuildVariable = {});

}  // namespace standin
