#include <gtest/gtest.h>

#include "core/numbers.h"
#include "core/settings_store.h"
#include "core/settings_version.h"
#include "platform/sim/sim_desktop.h"

namespace calorix {
namespace {

namespace keys = settings::keys;

class SettingsTest : public ::testing::Test {
 protected:
  void Store(const settings::Key& key, std::string text) {
    desktop_.SettingsData()[std::string(key.section)][std::string(key.name)] = std::move(text);
  }
  std::optional<std::string> Stored(const settings::Key& key) {
    return desktop_.Setting(std::string(key.section), std::string(key.name));
  }

  sim::SimDesktop desktop_;
  SettingsStore store_{desktop_, desktop_};
};

TEST_F(SettingsTest, AnEmptyStoreGivesEveryDefault) {
  EXPECT_EQ(store_.ReadInteger(keys::kVersion), 0);
  EXPECT_EQ(store_.ReadInteger(keys::kLeft), -1);
  EXPECT_EQ(store_.ReadInteger(keys::kTop), -1);
  for (const auto& key : {keys::kForceSD, keys::kFastSD, keys::kFan, keys::kSys, keys::kSysFan,
                          keys::kTemp, keys::kVolts, keys::kTipAsF, keys::kSDmsgs, keys::kRecord,
                          keys::kDashOn, keys::kPosition})
    EXPECT_EQ(store_.ReadState(key), 0) << key.name;
  EXPECT_EQ(store_.ReadState(keys::kAlrmBuzz), 1);
  EXPECT_EQ(store_.ReadState(keys::kSView), 1);
  EXPECT_EQ(store_.ReadState(keys::kChkDatRec), 1);
  EXPECT_EQ(store_.ReadText(keys::kAlarm), "");
  EXPECT_EQ(store_.ReadNumber(keys::kRecDelay), 5);
  EXPECT_FALSE(store_.ReadYesNo(keys::kSwapCpuSys));
  EXPECT_FALSE(store_.ReadYesNo(keys::kCPUSysTemp));
  EXPECT_FALSE(store_.ReadYesNo(keys::kNoIcon));
  EXPECT_TRUE(store_.ReadYesNo(keys::kCpuOnly));
  EXPECT_EQ(store_.ReadNumber(keys::kDBLeft, 6975), 6975);  // the caller's computed default
  EXPECT_EQ(store_.ReadInteger(keys::kHWMLeft), -100);
  EXPECT_EQ(store_.ReadInteger(keys::kHWMTop), -100);
  EXPECT_EQ(desktop_.SettingsWriteCount(), 0);
}

TEST_F(SettingsTest, StoredTextsConvertToTheirForms) {
  Store(keys::kLeft, "1200");
  Store(keys::kTop, "44.5");  // a number text rounds, halves to even
  Store(keys::kTemp, "1");
  Store(keys::kCpuOnly, "False");
  Store(keys::kNoIcon, "-1");  // any non-zero number is true
  Store(keys::kRecDelay, ".5");
  Store(keys::kHWMLeft, "-98");
  EXPECT_EQ(store_.ReadInteger(keys::kLeft), 1200);
  EXPECT_EQ(store_.ReadInteger(keys::kTop), 44);
  EXPECT_EQ(store_.ReadState(keys::kTemp), 1);
  EXPECT_FALSE(store_.ReadYesNo(keys::kCpuOnly));
  EXPECT_TRUE(store_.ReadYesNo(keys::kNoIcon));
  EXPECT_EQ(store_.ReadNumber(keys::kRecDelay), 0.5);
  EXPECT_EQ(store_.ReadInteger(keys::kHWMLeft), -98);
}

TEST_F(SettingsTest, TextsThatDoNotConvertReadAsTheDefault) {
  Store(keys::kLeft, "left");
  Store(keys::kTop, "1e999");
  Store(keys::kAlrmBuzz, "7");
  Store(keys::kFan, "yes");
  Store(keys::kCpuOnly, "maybe");
  Store(keys::kRecDelay, "");
  Store(keys::kHWMTop, "99999999999");
  Store(keys::kVersion, "");
  EXPECT_EQ(store_.ReadInteger(keys::kLeft), -1);
  EXPECT_EQ(store_.ReadInteger(keys::kTop), -1);
  EXPECT_EQ(store_.ReadState(keys::kAlrmBuzz), 1);
  EXPECT_EQ(store_.ReadState(keys::kFan), 0);
  EXPECT_TRUE(store_.ReadYesNo(keys::kCpuOnly));
  EXPECT_EQ(store_.ReadNumber(keys::kRecDelay), 5);
  EXPECT_EQ(store_.ReadInteger(keys::kHWMTop), -100);
  EXPECT_EQ(store_.ReadInteger(keys::kVersion), 0);
}

TEST_F(SettingsTest, NumbersFollowTheUsersDecimalSeparator) {
  desktop_.SetDecimalSeparator(",");
  store_.WriteNumber(keys::kRecDelay, 0.5);
  EXPECT_EQ(Stored(keys::kRecDelay), "0,5");
  EXPECT_EQ(store_.ReadNumber(keys::kRecDelay), 0.5);
  store_.WriteNumber(keys::kDBLeft, 6975);
  EXPECT_EQ(Stored(keys::kDBLeft), "6975");
  Store(keys::kTop, "12,5");
  EXPECT_EQ(store_.ReadInteger(keys::kTop), 12);
}

TEST(NumberText, FormatsAndParsesSingles) {
  EXPECT_EQ(FormatNumberText(0.1, "."), "0.1");
  EXPECT_EQ(FormatNumberText(5, "."), "5");
  EXPECT_EQ(FormatNumberText(-3, ","), "-3");
  EXPECT_EQ(FormatNumberText(12.5, ","), "12,5");
  EXPECT_EQ(FormatIntervalText(0.5), ".5");
  EXPECT_EQ(FormatIntervalText(12.5), "12.5");
  EXPECT_EQ(FormatIntervalText(60), "60");
  EXPECT_EQ(ParseNumberText(" 7 ", "."), 7);
  EXPECT_EQ(ParseNumberText("1.5.", "."), std::nullopt);
  EXPECT_EQ(ParseNumberText("-", "."), std::nullopt);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
}

TEST_F(SettingsTest, FirstRunWritesTheVersionAndAsksForTheOptionsWindow) {
  const auto outcome = ApplySettingsVersionRule(store_, desktop_.Platform());
  EXPECT_TRUE(outcome.showOptions);
  EXPECT_FALSE(outcome.reset);
  EXPECT_EQ(Stored(keys::kVersion), "44");
  EXPECT_TRUE(desktop_.MessageBoxes().empty());
}

TEST_F(SettingsTest, AnOlderVersionDeletesEverySettingAndTellsTheUserOnce) {
  Store(keys::kVersion, "43");
  Store(keys::kTemp, "1");
  Store(keys::kHWMLeft, "12");
  const auto outcome = ApplySettingsVersionRule(store_, desktop_.Platform());
  EXPECT_TRUE(outcome.showOptions);
  EXPECT_TRUE(outcome.reset);
  EXPECT_EQ(Stored(keys::kTemp), std::nullopt);
  EXPECT_EQ(Stored(keys::kHWMLeft), std::nullopt);
  EXPECT_EQ(Stored(keys::kVersion), "44");
  ASSERT_EQ(desktop_.MessageBoxes().size(), 1u);
  const auto& box = desktop_.MessageBoxes()[0];
  EXPECT_EQ(box.text, "This version requires you to readjust all user settings!");
  EXPECT_EQ(box.title, "Calorix Version Check");
  EXPECT_EQ(box.icon, platform::MessageIcon::Information);
  EXPECT_TRUE(box.systemModal);

  const auto next = ApplySettingsVersionRule(store_, desktop_.Platform());
  EXPECT_FALSE(next.showOptions);
  EXPECT_EQ(desktop_.MessageBoxes().size(), 1u);
}

TEST_F(SettingsTest, ANewerVersionIsAcceptedAndNotRewritten) {
  Store(keys::kVersion, "45");
  Store(keys::kTemp, "1");
  const int writes = desktop_.SettingsWriteCount();
  const auto outcome = ApplySettingsVersionRule(store_, desktop_.Platform());
  EXPECT_FALSE(outcome.showOptions);
  EXPECT_EQ(Stored(keys::kVersion), "45");
  EXPECT_EQ(Stored(keys::kTemp), "1");
  EXPECT_EQ(desktop_.SettingsWriteCount(), writes);
}

TEST_F(SettingsTest, SavOptionsWritesTheFourButtonsInOrder) {
  EXPECT_TRUE(SavOptions(store_, {.swapCpuSys = true, .cpuSysTemp = false, .noIcon = false,
                                  .cpuOnly = false}));
  EXPECT_EQ(Stored(keys::kSwapCpuSys), "True");
  EXPECT_EQ(Stored(keys::kCPUSysTemp), "False");
  EXPECT_EQ(Stored(keys::kNoIcon), "False");
  EXPECT_EQ(Stored(keys::kCpuOnly), "False");
}

TEST_F(SettingsTest, AFailedWriteEndsSavOptions) {
  desktop_.FailSettingsWrites(true);
  EXPECT_FALSE(SavOptions(store_, {}));
  EXPECT_EQ(Stored(keys::kSwapCpuSys), std::nullopt);
  EXPECT_EQ(Stored(keys::kCpuOnly), std::nullopt);
}

}  // namespace
}  // namespace calorix
