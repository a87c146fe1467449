#include "standin/readings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace standin {
namespace {

TEST(LeadingNumber, ParsesMonitorTexts) {
  EXPECT_DOUBLE_EQ(leadingNumber(" 1.52 ").value(), 1.52);
  EXPECT_DOUBLE_EQ(leadingNumber("4500").value(), 4500);
  EXPECT_DOUBLE_EQ(leadingNumber("+12.1").value(), 12.1);
  EXPECT_DOUBLE_EQ(leadingNumber("80C").value(), 80);
  EXPECT_DOUBLE_EQ(leadingNumber("-5").value(), -5);
  EXPECT_FALSE(leadingNumber("N/A").has_value());
  EXPECT_FALSE(leadingNumber("   ").has_value());
  EXPECT_FALSE(leadingNumber("").has_value());
}

TEST(AlarmCaption, MatchesTheMonitorsWording) {
  EXPECT_STREQ(alarmCaption(Alarm::CpuTemp), "CPU Tempture Alarm !");
  EXPECT_STREQ(alarmCaption(Alarm::Voltage), "Voltage Abnormal !");
  EXPECT_STREQ(alarmCaption(Alarm::CpuFan), "CPU Fan Alarm!");
  EXPECT_STREQ(alarmCaption(Alarm::SysTemp), "System Temperture Alarm !");
  EXPECT_STREQ(alarmCaption(Alarm::SysFan), "System Fan Alarm!");
}

TEST(Readings, StartQuietWithTheLayoutTexts) {
  Readings r(1);
  EXPECT_EQ(r.text(Reading::CpuTemp), "45");
  EXPECT_EQ(r.text(Reading::V12), " 12.16 ");
  for (Alarm a : kAllAlarms) EXPECT_FALSE(r.raised(a)) << alarmCaption(a);
}

TEST(Readings, TemperatureAlarmsAreStrictlyAboveTheLimit) {
  Readings r(1);
  r.set(Reading::CpuTemp, "70");
  EXPECT_FALSE(r.raised(Alarm::CpuTemp));
  r.set(Reading::CpuTemp, "71");
  EXPECT_TRUE(r.raised(Alarm::CpuTemp));
  r.set(Reading::SysTemp, "55");
  EXPECT_FALSE(r.raised(Alarm::SysTemp));
  r.set(Reading::SysTemp, "56");
  EXPECT_TRUE(r.raised(Alarm::SysTemp));
  r.limits().cpuTempMax = 80;
  EXPECT_FALSE(r.raised(Alarm::CpuTemp));
}

TEST(Readings, FanAlarmsAreStrictlyBelowTheLimit) {
  Readings r(1);
  r.set(Reading::CpuFan, "1500");
  EXPECT_FALSE(r.raised(Alarm::CpuFan));
  r.set(Reading::CpuFan, "1499");
  EXPECT_TRUE(r.raised(Alarm::CpuFan));
  r.set(Reading::SysFan, "0");
  EXPECT_TRUE(r.raised(Alarm::SysFan));
  r.set(Reading::SysFan, "1000");
  EXPECT_FALSE(r.raised(Alarm::SysFan));
}

TEST(Readings, AnyVoltageOutOfRangeRaisesTheVoltageAlarm) {
  Readings r(1);
  r.set(Reading::V12, " 12.50 ");
  EXPECT_FALSE(r.raised(Alarm::Voltage));
  r.set(Reading::V12, " 13.50 ");
  EXPECT_TRUE(r.raised(Alarm::Voltage));
  r.set(Reading::V12, " 12.16 ");
  r.set(Reading::Vcore, " 1.20 ");
  EXPECT_TRUE(r.raised(Alarm::Voltage));
  r.set(Reading::Vcore, " 1.52 ");
  r.set(Reading::V5, " 4.20 ");
  EXPECT_TRUE(r.raised(Alarm::Voltage));
}

TEST(Readings, NonNumericTextRaisesNothing) {
  Readings r(1);
  r.set(Reading::CpuFan, "N/A");
  r.set(Reading::Vcore, "");
  for (Alarm a : kAllAlarms) EXPECT_FALSE(r.raised(a));
}

TEST(Readings, SetPinsTheTextAgainstDrift) {
  Readings r(7);
  r.set(Reading::V12, " 12.50 ");
  for (int i = 0; i < 50; ++i) r.step();
  EXPECT_EQ(r.text(Reading::V12), " 12.50 ");
}

TEST(Readings, NoDriftKeepsEverythingFixed) {
  Readings r(7);
  r.setDrift(false);
  auto before = r.texts();
  for (int i = 0; i < 50; ++i) r.step();
  EXPECT_EQ(r.texts(), before);
}

// An hour of drift: texts change, keep their formats, and never alarm.
TEST(Readings, DriftIsAliveButStaysWithinLimits) {
  for (unsigned seed : {1u, 2u, 3u}) {
    Readings r(seed);
    int cpuChanges = 0;
    std::string lastCpu = r.text(Reading::CpuTemp);
    for (int i = 0; i < 3600; ++i) {
      r.step();
      for (Alarm a : kAllAlarms) ASSERT_FALSE(r.raised(a)) << alarmCaption(a) << " tick " << i;
      cpuChanges += r.text(Reading::CpuTemp) != lastCpu;
      lastCpu = r.text(Reading::CpuTemp);
      double cpu = leadingNumber(lastCpu).value();
      EXPECT_GE(cpu, 38);
      EXPECT_LE(cpu, 60);
      const std::string& v12 = r.text(Reading::V12);
      ASSERT_GE(v12.size(), 3u);
      EXPECT_EQ(v12.front(), ' ');
      EXPECT_EQ(v12.back(), ' ');
      EXPECT_EQ(r.text(Reading::CpuFan).find('.'), std::string::npos);
    }
    EXPECT_GT(cpuChanges, 100);
    EXPECT_LT(cpuChanges, 3000);
  }
}

TEST(Readings, FansDipNowAndThen) {
  Readings r(5);
  double lowest = 1e9;
  for (int i = 0; i < 3600; ++i) {
    r.step();
    lowest = std::min(lowest, leadingNumber(r.text(Reading::CpuFan)).value());
  }
  EXPECT_LT(lowest, 4200);
  EXPECT_GT(lowest, 1500);
}

TEST(Readings, DriftOnReleasesAPinnedReadingTowardsNormal) {
  Readings r(3);
  r.set(Reading::CpuTemp, "85");
  EXPECT_TRUE(r.raised(Alarm::CpuTemp));
  r.setDrift(true);
  for (int i = 0; i < 60; ++i) r.step();
  EXPECT_FALSE(r.raised(Alarm::CpuTemp));
  EXPECT_LE(leadingNumber(r.text(Reading::CpuTemp)).value(), 50);
}

TEST(ReadingFromName, KnowsScriptNames) {
  EXPECT_EQ(readingFromName("fan2"), Reading::SysFan);
  EXPECT_FALSE(readingFromName("CPU").has_value());
}

}  // namespace
}  // namespace standin
