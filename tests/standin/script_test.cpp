#include "standin/script.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace standin {
namespace {

Command parseOk(std::string_view line) {
  ParsedLine p = parseCommand(line);
  EXPECT_TRUE(p.command.has_value()) << line << ": " << p.error;
  return p.command.value_or(Command{});
}

std::string parseError(std::string_view line) {
  ParsedLine p = parseCommand(line);
  EXPECT_FALSE(p.command.has_value()) << line;
  return p.error;
}

TEST(ParseCommand, SetKeepsTheTextVerbatim) {
  Command c = parseOk("set v12  12.50 ");
  EXPECT_EQ(c.kind, CommandKind::Set);
  EXPECT_EQ(c.reading, Reading::V12);
  EXPECT_EQ(c.text, " 12.50 ");
  EXPECT_EQ(parseOk("set cpu 80").text, "80");
  EXPECT_EQ(parseOk("set fan1 N/A\r\n").text, "N/A");
  EXPECT_EQ(parseOk("set sys ").text, "");
}

TEST(ParseCommand, SetKnowsEveryReadingName) {
  EXPECT_EQ(parseOk("set cpu 1").reading, Reading::CpuTemp);
  EXPECT_EQ(parseOk("set sys 1").reading, Reading::SysTemp);
  EXPECT_EQ(parseOk("set vcore 1").reading, Reading::Vcore);
  EXPECT_EQ(parseOk("set v33 1").reading, Reading::V33);
  EXPECT_EQ(parseOk("set v5 1").reading, Reading::V5);
  EXPECT_EQ(parseOk("set v12 1").reading, Reading::V12);
  EXPECT_EQ(parseOk("set fan1 1").reading, Reading::CpuFan);
  EXPECT_EQ(parseOk("set fan2 1").reading, Reading::SysFan);
}

TEST(ParseCommand, AlarmCaptionKeepsItsBlanks) {
  Command open = parseOk("alarm open CPU       Tempture Alarm !");
  EXPECT_EQ(open.kind, CommandKind::AlarmOpen);
  EXPECT_EQ(open.text, "CPU       Tempture Alarm !");
  Command close = parseOk("  alarm close System   Fan Alarm!");
  EXPECT_EQ(close.kind, CommandKind::AlarmClose);
  EXPECT_EQ(close.text, "System   Fan Alarm!");
  EXPECT_EQ(parseOk("alarm open  leading blank").text, " leading blank");
}

TEST(ParseCommand, SimpleCommands) {
  EXPECT_EQ(parseOk("drift on").kind, CommandKind::DriftOn);
  EXPECT_EQ(parseOk("drift off").kind, CommandKind::DriftOff);
  EXPECT_EQ(parseOk("show").kind, CommandKind::Show);
  EXPECT_EQ(parseOk("hide ").kind, CommandKind::Hide);
  EXPECT_EQ(parseOk("exit\r").kind, CommandKind::Exit);
  Command limit = parseOk("limit fan1 2000");
  EXPECT_EQ(limit.kind, CommandKind::Limit);
  EXPECT_EQ(limit.reading, Reading::CpuFan);
  EXPECT_DOUBLE_EQ(limit.number, 2000);
}

TEST(ParseCommand, BlankAndCommentLinesAreSkippedQuietly) {
  for (const char* line : {"", "   ", "# set cpu 99", "  # note", "\r\n"}) {
    ParsedLine p = parseCommand(line);
    EXPECT_FALSE(p.command.has_value()) << line;
    EXPECT_TRUE(p.error.empty()) << line;
  }
}

TEST(ParseCommand, RejectsMalformedLines) {
  EXPECT_FALSE(parseError("frobnicate").empty());
  EXPECT_FALSE(parseError("set gpu 50").empty());
  EXPECT_FALSE(parseError("set cpu").empty());
  EXPECT_FALSE(parseError("alarm open").empty());
  EXPECT_FALSE(parseError("alarm open ").empty());
  EXPECT_FALSE(parseError("alarm toggle X").empty());
  EXPECT_FALSE(parseError("drift maybe").empty());
  EXPECT_FALSE(parseError("show now").empty());
  EXPECT_FALSE(parseError("limit vcore 2").empty());
  EXPECT_FALSE(parseError("limit cpu hot").empty());
}

TEST(ParseScenario, ReadsTimedCommandsInTimeOrder) {
  ParsedScenario s = parseScenario(
      "# warm-up\n"
      "at 5 set cpu 80\n"
      "\n"
      "at 1.5 alarm open System   Tempture Alarm !\r\n"
      "at 5 set cpu 45\n"
      "at 0 show");
  ASSERT_TRUE(s.errors.empty());
  ASSERT_EQ(s.commands.size(), 4u);
  EXPECT_DOUBLE_EQ(s.commands[0].at, 0);
  EXPECT_EQ(s.commands[0].command.kind, CommandKind::Show);
  EXPECT_DOUBLE_EQ(s.commands[1].at, 1.5);
  EXPECT_EQ(s.commands[1].command.text, "System   Tempture Alarm !");
  EXPECT_EQ(s.commands[2].command.text, "80");  // ties keep file order
  EXPECT_EQ(s.commands[3].command.text, "45");
}

TEST(ParseScenario, ReportsBadLinesWithNumbers) {
  ParsedScenario s =
      parseScenario("at 1 show\nset cpu 50\nat x show\nat -1 show\nat 2 jump\nat 3\n");
  EXPECT_EQ(s.commands.size(), 1u);
  ASSERT_EQ(s.errors.size(), 5u);
  EXPECT_EQ(s.errors[0].rfind("line 2:", 0), 0u);
  EXPECT_EQ(s.errors[4].rfind("line 6:", 0), 0u);
}

TEST(ScenarioPlayer, HandsOutCommandsWhenDue) {
  ScenarioPlayer player(parseScenario("at 0 show\nat 1 hide\nat 2.5 exit\n").commands);
  EXPECT_EQ(player.due(0.0).size(), 1u);
  EXPECT_TRUE(player.due(0.9).empty());
  auto late = player.due(3.0);
  ASSERT_EQ(late.size(), 2u);
  EXPECT_EQ(late[1].kind, CommandKind::Exit);
  EXPECT_TRUE(player.finished());
}

TEST(TakeCompleteLines, KeepsThePartialTail) {
  std::string buf = "set cpu 80\r\nshow\nalarm op";
  auto lines = takeCompleteLines(buf);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "set cpu 80");
  EXPECT_EQ(lines[1], "show");
  EXPECT_EQ(buf, "alarm op");
}

class ControlFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = ::testing::TempDir() + "standin_control_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    std::remove(path_.c_str());
  }
  void TearDown() override { std::remove(path_.c_str()); }
  void append(const std::string& s) { std::ofstream(path_, std::ios::app | std::ios::binary) << s; }
  void rewrite(const std::string& s) {
    std::ofstream(path_, std::ios::trunc | std::ios::binary) << s;
  }
  std::string path_;
};

TEST_F(ControlFileTest, WaitsForTheFileAndForWholeLines) {
  ControlFileReader reader(path_);
  EXPECT_TRUE(reader.poll().empty());
  append("set cpu 8");
  EXPECT_TRUE(reader.poll().empty());
  append("0\nhide\n");
  auto lines = reader.poll();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "set cpu 80");
  EXPECT_TRUE(reader.poll().empty());
  append("exit\n");
  EXPECT_EQ(reader.poll(), std::vector<std::string>{"exit"});
}

TEST_F(ControlFileTest, StartsOverWhenTheFileShrinks) {
  ControlFileReader reader(path_);
  append("set cpu 80\nset sys 40\n");
  EXPECT_EQ(reader.poll().size(), 2u);
  rewrite("show\n");
  EXPECT_EQ(reader.poll(), std::vector<std::string>{"show"});
}

TEST(ParseOptions, ReadsEveryOption) {
  ParsedOptions p = parseOptions(
      {"--show-after", "2.5", "--no-drift", "--scenario", "a b.txt", "--control", "ctl.txt"});
  ASSERT_TRUE(p.error.empty()) << p.error;
  EXPECT_DOUBLE_EQ(p.options.showAfter, 2.5);
  EXPECT_TRUE(p.options.noDrift);
  EXPECT_FALSE(p.options.neverShow);
  EXPECT_EQ(p.options.scenarioFile, "a b.txt");
  EXPECT_EQ(p.options.controlFile, "ctl.txt");
  EXPECT_TRUE(parseOptions({"--never-show"}).options.neverShow);
}

TEST(ParseOptions, RejectsUnknownOrIncomplete) {
  EXPECT_FALSE(parseOptions({"--bogus"}).error.empty());
  EXPECT_FALSE(parseOptions({"--show-after"}).error.empty());
  EXPECT_FALSE(parseOptions({"--show-after", "soon"}).error.empty());
  EXPECT_FALSE(parseOptions({"--scenario"}).error.empty());
  EXPECT_TRUE(parseOptions({}).error.empty());
  EXPECT_FALSE(parseOptions({"--slow-build"}).error.empty());
  EXPECT_FALSE(parseOptions({"--slow-build", "-1"}).error.empty());
}

TEST(ParseOptions, SlowBuildFromTheEnvironmentOrTheCommandLine) {
  EXPECT_DOUBLE_EQ(parseOptions({}).options.slowBuild, 0);
  EXPECT_DOUBLE_EQ(parseOptions({}, "2").options.slowBuild, 2);
  EXPECT_DOUBLE_EQ(parseOptions({"--slow-build", "0.5"}).options.slowBuild, 0.5);
  // The command line wins over the inherited variable.
  EXPECT_DOUBLE_EQ(parseOptions({"--slow-build", "0"}, "2").options.slowBuild, 0);
  ParsedOptions bad = parseOptions({}, "slowly");
  EXPECT_NE(bad.error.find("VIAHM_SLOW_BUILD"), std::string::npos) << bad.error;
}

}  // namespace
}  // namespace standin
