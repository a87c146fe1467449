// Every caption of the dashboard, the data viewer and the countdown dialog,
// written out here letter for letter: a changed blank or letter in a
// window's layout shows up as a difference.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "alarm/countdown_layout.h"
#include "platform/forms.h"
#include "recorder/data_form_layout.h"
#include "tray/layouts.h"

namespace calorix {
namespace {

// (control name, array index or -1) -> caption
using Captions = std::map<std::pair<std::string, int>, std::string>;

Captions CaptionsOf(const ui::FormDecl& form) {
  Captions captions;
  for (const ui::ControlDecl& control : form.controls) {
    const bool added =
        captions.emplace(std::pair(std::string(control.name), control.index), control.caption).second;
    EXPECT_TRUE(added) << "twice in " << form.name << ": " << control.name << "(" << control.index << ")";
  }
  return captions;
}

std::string Blanks(int count) { return std::string(static_cast<std::size_t>(count), ' '); }

TEST(Captions, Dashboard) {
  EXPECT_EQ(tray::kDashboardForm.name, "Form3");
  EXPECT_EQ(tray::kDashboardForm.caption, "DashBoard");
  const Captions expected{
      {{"Label1", 15}, "Case Temp"}, {{"Label1", 3}, ""},
      {{"Label1", 13}, "CPU Temp"},  {{"Label1", 1}, ""},
      {{"Label1", 14}, "System Fan"}, {{"Label1", 2}, ""},
      {{"Label1", 12}, "CPU Fan"},   {{"Label1", 0}, ""},
      {{"Label1", 8}, "+12v"},       {{"Label1", 4}, ""},
      {{"Label1", 9}, "+5v"},        {{"Label1", 5}, ""},
      {{"Label1", 10}, "+3.3v"},     {{"Label1", 6}, ""},
      {{"Label1", 11}, "Vcore"},     {{"Label1", 7}, ""},
  };
  EXPECT_EQ(CaptionsOf(tray::kDashboardForm), expected);
}

TEST(Captions, DataViewerAndItsTwoHeadingLines) {
  const std::string top = "   Date            CPU   CPU   Sys   Sys";
  const std::string bottom = "D / M / Y   Time   Temp  Fan   Temp  Fan   Vcore  3.3v    5v    12v";
  // The same lines counted out blank run by blank run, so that a slip in
  // either way of writing them shows.
  ASSERT_EQ(top, Blanks(3) + "Date" + Blanks(12) + "CPU" + Blanks(3) + "CPU" + Blanks(3) + "Sys" +
                     Blanks(3) + "Sys");
  ASSERT_EQ(top.size(), 40u);
  ASSERT_EQ(bottom, "D / M / Y" + Blanks(3) + "Time" + Blanks(3) + "Temp" + Blanks(2) + "Fan" +
                        Blanks(3) + "Temp" + Blanks(2) + "Fan" + Blanks(3) + "Vcore" + Blanks(2) +
                        "3.3v" + Blanks(4) + "5v" + Blanks(4) + "12v");
  ASSERT_EQ(bottom.size(), 67u);

  EXPECT_EQ(recorder::kDataForm.name, "DataForm");
  EXPECT_EQ(recorder::kDataForm.caption, " HWM Data Records");  // with its leading blank
  const Captions expected{
      {{"Label1", 0}, top},
      {{"Label1", 1}, bottom},
      {{"Text1", -1}, ""},
  };
  EXPECT_EQ(CaptionsOf(recorder::kDataForm), expected);
}

TEST(Captions, CountdownDialog) {
  EXPECT_EQ(alarm::kCountdownForm.name, "Form2");
  EXPECT_EQ(alarm::kCountdownForm.caption, "ALARM SHUT DOWN!");
  const Captions expected{
      {{"Label2", -1}, "WARNING! WARNING!"},
      {{"Label1", -1}, "ShutDown PC !!!!!"},
      {{"Command1", -1}, "CANCEL"},
  };
  EXPECT_EQ(CaptionsOf(alarm::kCountdownForm), expected);
}

}  // namespace
}  // namespace calorix
