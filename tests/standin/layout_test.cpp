#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

#include "standin/monitor_layout.h"

namespace standin {
namespace {

int countText(std::string_view text) {
  int n = 0;
  for (const ControlSpec& c : kControls) n += text == c.text;
  return n;
}

TEST(Layout, ReadingsSitAtTheirEnumerationIndices) {
  EXPECT_EQ(kControls[12].reading, Reading::CpuTemp);
  EXPECT_EQ(kControls[18].reading, Reading::SysTemp);
  EXPECT_EQ(kControls[23].reading, Reading::Vcore);
  EXPECT_EQ(kControls[27].reading, Reading::V33);
  EXPECT_EQ(kControls[29].reading, Reading::V5);
  EXPECT_EQ(kControls[31].reading, Reading::V12);
  EXPECT_EQ(kControls[39].reading, Reading::CpuFan);
  EXPECT_EQ(kControls[41].reading, Reading::SysFan);
}

TEST(Layout, EachReadingAppearsOnceAndIsAStatic) {
  std::set<Reading> seen;
  for (const ControlSpec& c : kControls) {
    if (c.reading == Reading::None) continue;
    EXPECT_TRUE(seen.insert(c.reading).second);
    EXPECT_STREQ(c.className, "Static");
  }
  EXPECT_EQ(seen.size(), 8u);
}

TEST(Layout, InitialReadingTextsHaveTheMonitorsFormat) {
  EXPECT_STREQ(kControls[12].text, "45");
  EXPECT_STREQ(kControls[23].text, " 1.52 ");
  EXPECT_STREQ(kControls[27].text, " 3.31 ");
  EXPECT_STREQ(kControls[29].text, " 5.02 ");
  EXPECT_STREQ(kControls[31].text, " 12.16 ");
  EXPECT_STREQ(kControls[39].text, "4500");
}

TEST(Layout, HasEnoughControls) { EXPECT_GE(kControlCount, 45); }

TEST(Layout, HasButtonsAndVersionLabel) {
  int buttons = 0;
  int versionLabels = 0;
  for (const ControlSpec& c : kControls) {
    std::string_view text = c.text;
    if ((text == "&Close" || text == "&Minimize") && c.style == kStylePushButton) {
      EXPECT_STREQ(c.className, "Button");
      ++buttons;
    }
    if (text.starts_with("VIA Hardware Monitor System ")) {
      EXPECT_STREQ(c.className, "Static");
      ++versionLabels;
    }
  }
  EXPECT_EQ(buttons, 2);
  EXPECT_EQ(versionLabels, 1);
  EXPECT_EQ(countText("&Close"), 1);
  EXPECT_EQ(countText("&Minimize"), 1);
}

TEST(Layout, ParentsAreEarlierGroupBoxes) {
  for (int i = 0; i < kControlCount; ++i) {
    int p = kControls[i].parent;
    if (p < 0) continue;
    ASSERT_LT(p, i);
    EXPECT_EQ(kControls[p].style, kStyleGroupBox);
    EXPECT_STREQ(kControls[p].className, "Button");
  }
}

// Depth-first order: a group box's children come right after it, before
// its next sibling, so every parent is the nearest open group box.
TEST(Layout, ChildrenFollowTheirGroupBoxContiguously) {
  int groupsWithChildren = 0;
  for (int i = 0; i < kControlCount; ++i) {
    if (kControls[i].style != kStyleGroupBox) continue;
    int j = i + 1;
    while (j < kControlCount && kControls[j].parent == i) ++j;
    groupsWithChildren += j > i + 1;
    for (int k = j; k < kControlCount; ++k) EXPECT_NE(kControls[k].parent, i) << "control " << k;
  }
  EXPECT_GE(groupsWithChildren, 1);
}

TEST(Layout, ControlsFitInsideTheirParent) {
  for (int i = 0; i < kControlCount; ++i) {
    const ControlSpec& c = kControls[i];
    int w = c.parent < 0 ? kMainWidth - 16 : kControls[c.parent].width;
    int h = c.parent < 0 ? kMainHeight - 38 : kControls[c.parent].height;
    EXPECT_GE(c.x, 0) << i;
    EXPECT_GE(c.y, 0) << i;
    EXPECT_LE(c.x + c.width, w) << i;
    EXPECT_LE(c.y + c.height, h) << i;
  }
}

bool overlaps(const ControlSpec& a, const ControlSpec& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

TEST(Layout, SiblingsDoNotOverlap) {
  for (int i = 0; i < kControlCount; ++i) {
    for (int j = i + 1; j < kControlCount; ++j) {
      if (kControls[i].parent != kControls[j].parent) continue;
      EXPECT_FALSE(overlaps(kControls[i], kControls[j])) << i << " and " << j;
    }
  }
}

TEST(Layout, ReadingIndexFindsTheSlots) {
  EXPECT_EQ(readingIndex(Reading::CpuTemp), 12);
  EXPECT_EQ(readingIndex(Reading::SysFan), 41);
  EXPECT_EQ(readingIndex(Reading::None), -1);
  EXPECT_STREQ(kMainTitle, "VIA HWM");
}

}  // namespace
}  // namespace standin
