// The chart window: opened from the tray menu, its place and choices
// remembered, and the record file drawn in it.
#include <climits>
#include <filesystem>
#include <fstream>
#include <set>

#include "recorder/chart_window.h"
#include "recorder/recorder.h"
#include "tests/support/app_fixture.h"

namespace calorix::testing {
namespace {

class ChartWindowTest : public AppTest {
 protected:
  void SetUp() override {
    ReturningUser();
    monitor.Start();
  }
  ui::Form& Chart() { return app->chartForm; }
  bool Checked() { return app->menu["MnuViewChart"].checked; }
  std::string Status() { return Chart()["Status"].Caption(); }
  const sim::SimFormHost::Clipboard& Copied() { return host.ClipboardHeld(); }
  void CopyClick() {
    Do([&] { Chart()["Copy"].Click(); });
  }
  const ui::Drawing& Shown() { return host.CanvasShown(Chart()["Chart"]); }
  void WriteRecords(const std::string& text) {
    std::ofstream(desktop.CurrentDirectoryPath() / recorder::kRecordFileName, std::ios::binary) << text;
  }
  // The record of 8 December 2026, `minute` minutes after 08:00.
  static std::string Record(int minute, const std::string& temperature) {
    const auto twoDigits = [](int value) { return std::string(value < 10 ? "0" : "") + std::to_string(value); };
    return "08/12/26 " + twoDigits(8 + minute / 60) + ":" + twoDigits(minute % 60) + ", " + temperature +
           " , 4500, " + temperature + " , 3200, 1.52, 3.31, 5.02,  12.16 \r\n";
  }
  // The lines of the CPU temperature; the rows of their points.
  std::set<int> CpuTempRows(const ui::PixelRect& plot, int& leftmost, int& rightmost) {
    std::set<int> rows;
    leftmost = INT_MAX;
    rightmost = INT_MIN;
    for (const ui::Polyline* line : LinesIn(recorder::kSeriesColours[0])) {
      for (const ui::PixelPoint& point : line->points) {
        rows.insert(point.y);
        leftmost = std::min(leftmost, point.x - plot.left);
        rightmost = std::max(rightmost, point.x - plot.left);
      }
    }
    return rows;
  }
  std::vector<const ui::Polyline*> LinesIn(ui::Rgb colour) {
    std::vector<const ui::Polyline*> lines;
    for (const auto& operation : Shown().operations)
      if (const auto* line = std::get_if<ui::Polyline>(&operation); line && line->colour == colour)
        lines.push_back(line);
    return lines;
  }
};

TEST_F(ChartWindowTest, TheMenuItemOpensAndClosesTheChartAndShowsWhetherItIsOpen) {
  ASSERT_TRUE(Start());
  ChooseMenu("MnuViewChart");
  ASSERT_TRUE(Chart().Visible());
  EXPECT_EQ(desktop.Window(Chart().Handle()).title, "HWM Data Chart");
  EXPECT_TRUE(Checked());
  TrayEvent(517);
  const auto& menu = host.MenusShown()[host.MenusShown().size() - 1];
  ASSERT_GE(menu.size(), 8u);
  EXPECT_EQ(menu[5], "View Data");
  EXPECT_EQ(menu[6], "[x] View Chart");
  EXPECT_EQ(menu[7], "View Dash Board");

  ChooseMenu("MnuViewChart");
  EXPECT_FALSE(Chart().Loaded());
  EXPECT_FALSE(Checked());

  // Closed with its own close box, it unchecks the item too.
  ChooseMenu("MnuViewChart");
  Do([&] { desktop.PostCloseRequest(Chart().Handle()); desktop.ProcessPendingEvents(); });
  EXPECT_FALSE(Chart().Loaded());
  EXPECT_FALSE(Checked());
}

TEST_F(ChartWindowTest, ItsPlaceAndSizeAreRememberedAndABrokenValueReadsAsTheDefault) {
  ASSERT_TRUE(Start());
  ChooseMenu("MnuViewChart");
  const double width = Chart().Width();
  const double height = Chart().Height();
  EXPECT_EQ(Chart().Left(), (1024 * 15 - width) / 2);  // centred at first
  EXPECT_EQ(Chart().Top(), (768 * 15 - height) / 2);

  Do([&] {
    Chart().Move(300, 450);
    Chart().Resize(9000, 6000);
  });
  ChooseMenu("MnuViewChart");
  EXPECT_EQ(Setting("ChartLeft"), "300");
  EXPECT_EQ(Setting("ChartTop"), "450");
  EXPECT_EQ(Setting("ChartWidth"), "9000");
  EXPECT_EQ(Setting("ChartHeight"), "6000");
  ChooseMenu("MnuViewChart");
  EXPECT_EQ(Chart().Left(), 300);
  EXPECT_EQ(Chart().Top(), 450);
  EXPECT_EQ(Chart().Width(), 9000);
  EXPECT_EQ(Chart().Height(), 6000);
  ChooseMenu("MnuViewChart");

  // Too small a size grows to the least one; a text that is no size, or
  // no place, reads as the default.
  Store("ChartWidth", "-5");
  Store("ChartHeight", "100");
  Store("ChartLeft", "left");
  ChooseMenu("MnuViewChart");
  EXPECT_EQ(Chart().Width(), width);
  EXPECT_EQ(Chart().Height(), recorder::kChartMinHeightTwips);
  EXPECT_EQ(Chart().Left(), (1024 * 15 - width) / 2);
  EXPECT_EQ(Chart().Top(), 450);
}

TEST_F(ChartWindowTest, AConstantTemperatureIsAFlatLineAtItsRowOfTheUpperPanel) {
  std::string text;
  for (int minute = 0; minute < 120; ++minute) text += Record(minute, "45");
  WriteRecords(text);
  ASSERT_TRUE(Start());
  ChooseMenu("MnuViewChart");
  EXPECT_EQ(Status(), "120 records");

  ui::Control& canvas = Chart()["Chart"];
  const auto panels = recorder::LayOutChart(canvas.PixelWidth(), canvas.PixelHeight(), 1.0, app->chartWindow.Shown());
  ASSERT_EQ(panels.size(), 2u);  // no voltage shown
  const ui::PixelRect plot = panels[0].plot;
  // A flat line sits halfway between the panel's top and bottom rows.
  const int row = plot.top + plot.Height() / 2;
  int leftmost = 0, rightmost = 0;
  EXPECT_EQ(CpuTempRows(plot, leftmost, rightmost), std::set<int>{row});
  EXPECT_EQ(leftmost, 0);
  EXPECT_GT(rightmost, plot.Width() * 95 / 100);
  EXPECT_EQ(LinesIn(recorder::kSeriesColours[0]).size(), 1u);
  // Its tick label is beside it.
  bool labelled = false;
  for (const auto& operation : Shown().operations)
    if (const auto* label = std::get_if<ui::TextAt>(&operation); label && label->text == "45")
      labelled = label->at.y == row;
  EXPECT_TRUE(labelled);

  // The last hour: the line comes in from the left edge.
  Do([&] { Chart().Get("Range", 0).Click(); });
  EXPECT_EQ(CpuTempRows(plot, leftmost, rightmost), std::set<int>{row});
  EXPECT_EQ(leftmost, 0);
}

TEST_F(ChartWindowTest, LinesAndMarginsGrowWithTheDisplaysDpi) {
  desktop.SetDisplayDpi(192);
  desktop.SetTwipsPerPixel(7.5, 7.5);
  WriteRecords(Record(0, "45") + Record(1, "46"));
  ASSERT_TRUE(Start());
  ChooseMenu("MnuViewChart");
  const auto lines = LinesIn(recorder::kSeriesColours[0]);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->width, 2);
  ui::Control& canvas = Chart()["Chart"];
  const auto at96 = recorder::LayOutChart(canvas.PixelWidth(), canvas.PixelHeight(), 1.0, app->chartWindow.Shown());
  const auto at192 = recorder::LayOutChart(canvas.PixelWidth(), canvas.PixelHeight(), 2.0, app->chartWindow.Shown());
  EXPECT_EQ(at192[0].plot.left, 2 * at96[0].plot.left);
  EXPECT_EQ(lines[0]->points.front().x, at192[0].plot.left);
}

TEST_F(ChartWindowTest, TheLegendChoiceIsRemembered) {
  ASSERT_TRUE(Start());
  ChooseMenu("MnuViewChart");
  EXPECT_EQ(Chart().Get("Legend", 0).State(), 1);
  EXPECT_EQ(Chart().Get("Legend", 4).State(), 0);
  EXPECT_EQ(Setting("ChartSeries"), std::nullopt);  // restoring it writes nothing
  Do([&] {
    Chart().Get("Legend", 4).Click();  // Vcore on
    Chart().Get("Legend", 1).Click();  // CPU fan off
  });
  EXPECT_EQ(Setting("ChartSeries"), "10111000");
  ChooseMenu("MnuViewChart");
  ChooseMenu("MnuViewChart");
  EXPECT_EQ(Chart().Get("Legend", 1).State(), 0);
  EXPECT_EQ(Chart().Get("Legend", 4).State(), 1);
  ChooseMenu("MnuViewChart");

  Store("ChartSeries", "1111");
  ChooseMenu("MnuViewChart");
  EXPECT_EQ(recorder::ShownSeriesText(app->chartWindow.Shown()), "11110000");
}

TEST_F(ChartWindowTest, NewRecordsAppearLiveAndClearEmptiesTheChart) {
  Store("Record", "1");
  Store("ChkDatRec", "0");
  Store("RecDelay", "0.5");
  ASSERT_TRUE(Start());
  ChooseMenu("MnuViewChart");
  EXPECT_EQ(Status(), "0 records");
  Advance(3'000);  // the first cycle records
  EXPECT_EQ(Status(), "1 record");
  Advance(30'000);
  EXPECT_EQ(Status(), "2 records");
  EXPECT_EQ(app->chartWindow.Store().BytesFed(), FileText(std::string(recorder::kRecordFileName)).size());

  desktop.QueueAnswer(platform::MessageAnswer::Yes);
  Click("Command4");
  EXPECT_EQ(Status(), "0 records");
  EXPECT_TRUE(LinesIn(recorder::kSeriesColours[0]).empty());
  Advance(30'000);
  EXPECT_EQ(Status(), "1 record");
}

TEST_F(ChartWindowTest, TheStatusLineCountsLinesThatAreNotRecordsAndAnEditIsReadAgain) {
  WriteRecords(Record(0, "45") + "not a record\r\n" + Record(1, "46") + "08/12/26 08:02, 4\r\n");
  ASSERT_TRUE(Start());
  ChooseMenu("MnuViewChart");
  EXPECT_EQ(Status(), "2 records, 2 lines could not be read");
  // Edited outside: the earlier bytes changed, so it is read from the start.
  WriteRecords(Record(0, "47") + Record(1, "46") + Record(2, "45") + Record(3, "44") + Record(4, "43"));
  Do([&] { app->chartWindow.Refresh(); });
  EXPECT_EQ(Status(), "5 records");
  EXPECT_EQ(app->chartWindow.Store().Reading(0, recorder::ChartSeries::kCpuTemp), 470);
}

TEST_F(ChartWindowTest, CopyPutsThePictureAndTheLinesOfTheRecordsInViewOnTheClipboard) {
  // Three hours of records with a line that is not one, a record ended
  // with LF alone, and time going back after the last.
  std::string file, all, lastHour;
  for (int minute = 0; minute < 180; ++minute) {
    std::string line = Record(minute, "45");
    if (minute == 150) line.erase(line.size() - 2, 1);
    file += line;
    all += Record(minute, "45");
    if (minute >= 120) lastHour += Record(minute, "45");
    if (minute == 100) file += "not a record\r\n";
  }
  file += Record(130, "50");
  all += Record(130, "50");
  lastHour += Record(130, "50");
  WriteRecords(file);
  ASSERT_TRUE(Start());
  ChooseMenu("MnuViewChart");
  ui::Control& canvas = Chart()["Chart"];

  CopyClick();
  EXPECT_EQ(Copied().text, all);
  EXPECT_EQ(Status(), "Copied the chart and 181 records.");
  EXPECT_EQ(Copied().picture, canvas.Drawn());
  EXPECT_EQ(Copied().pictureWidth, canvas.PixelWidth());
  EXPECT_EQ(Copied().pictureHeight, canvas.PixelHeight());
  EXPECT_EQ(Copied().owner, Chart().Handle());

  // The last hour: only its records, the one that went back in time last.
  Do([&] { Chart().Get("Range", 0).Click(); });
  CopyClick();
  EXPECT_EQ(Copied().text, lastHour);
  EXPECT_EQ(Status(), "Copied the chart and 61 records.");
  EXPECT_EQ(Copied().picture, canvas.Drawn());
}

TEST_F(ChartWindowTest, ABusyClipboardOrAChangedRecordFileIsToldInTheStatusLine) {
  std::string file;
  for (int minute = 0; minute < 10; ++minute) file += Record(minute, "45");
  WriteRecords(file);
  ASSERT_TRUE(Start());
  ChooseMenu("MnuViewChart");

  host.SetClipboardBusy(true);
  CopyClick();
  EXPECT_EQ(Status(), "The clipboard is in use by another program; nothing was copied.");
  EXPECT_EQ(Copied().copies, 0);
  host.SetClipboardBusy(false);

  // Cut short under the chart: the lines still there are copied.
  WriteRecords(file.substr(0, file.size() / 2));
  CopyClick();
  EXPECT_EQ(Copied().text, file.substr(0, file.size() / 2));
  EXPECT_EQ(Status(), "Copied the chart and 5 of 10 records; the others could not be read back from the record file.");

  // Rewritten with other minutes at the same places: none of it is copied,
  // and neither is anything once the file is gone; the picture still is.
  WriteRecords(Record(50, "45") + Record(51, "45"));
  CopyClick();
  EXPECT_EQ(Copied().text, "");
  std::filesystem::remove(desktop.CurrentDirectoryPath() / recorder::kRecordFileName);
  CopyClick();
  EXPECT_EQ(Copied().text, "");
  EXPECT_EQ(Status(), "Copied the chart only; its records could not be read back from the record file.");
  EXPECT_EQ(Copied().copies, 3);
  EXPECT_EQ(Copied().picture, Chart()["Chart"].Drawn());
}

}  // namespace
}  // namespace calorix::testing
