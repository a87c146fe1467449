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
  // The menu item, then the event pump that brings a finished load in.
  void ToggleChart() {
    ChooseMenu("MnuViewChart");
    Pump();
  }
  void Pump() { Do([&] { desktop.ProcessPendingEvents(); }); }
  void Refresh() {
    Do([&] { app->chartWindow.Refresh(); });
    Pump();
  }
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
  // The record of `minute` minutes after 08:00 on 8 December 2026.
  static std::string Record(int minute, const std::string& temperature) {
    const auto twoDigits = [](int value) { return std::string(value < 10 ? "0" : "") + std::to_string(value); };
    const int since = 8 * 60 + minute;
    return twoDigits(8 + since / 1440) + "/12/26 " + twoDigits(since / 60 % 24) + ":" + twoDigits(since % 60) +
           ", " + temperature +
           " , 4500, " + temperature + " , 3200, 1.52, 3.31, 5.02,  12.16 \r\n";
  }
  // That many records a minute apart, from 08:00 on.
  static std::string Records(int count, const std::string& temperature) {
    std::string text;
    for (int minute = 0; minute < count; ++minute) text += Record(minute, temperature);
    return text;
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
  ToggleChart();
  ASSERT_TRUE(Chart().Visible());
  EXPECT_EQ(desktop.Window(Chart().Handle()).title, "HWM Data Chart");
  EXPECT_TRUE(Checked());
  TrayEvent(517);
  const auto& menu = host.MenusShown()[host.MenusShown().size() - 1];
  ASSERT_GE(menu.size(), 8u);
  EXPECT_EQ(menu[5], "View Data");
  EXPECT_EQ(menu[6], "[x] View Chart");
  EXPECT_EQ(menu[7], "View Dash Board");

  ToggleChart();
  EXPECT_FALSE(Chart().Loaded());
  EXPECT_FALSE(Checked());

  // Closed with its own close box, it unchecks the item too.
  ToggleChart();
  Do([&] { desktop.PostCloseRequest(Chart().Handle()); desktop.ProcessPendingEvents(); });
  EXPECT_FALSE(Chart().Loaded());
  EXPECT_FALSE(Checked());
}

TEST_F(ChartWindowTest, ItsPlaceAndSizeAreRememberedAndABrokenValueReadsAsTheDefault) {
  ASSERT_TRUE(Start());
  ToggleChart();
  const double width = Chart().Width();
  const double height = Chart().Height();
  EXPECT_EQ(Chart().Left(), (1024 * 15 - width) / 2);  // centred at first
  EXPECT_EQ(Chart().Top(), (768 * 15 - height) / 2);

  Do([&] {
    Chart().Move(300, 450);
    Chart().Resize(9000, 6000);
  });
  ToggleChart();
  EXPECT_EQ(Setting("ChartLeft"), "300");
  EXPECT_EQ(Setting("ChartTop"), "450");
  EXPECT_EQ(Setting("ChartWidth"), "9000");
  EXPECT_EQ(Setting("ChartHeight"), "6000");
  ToggleChart();
  EXPECT_EQ(Chart().Left(), 300);
  EXPECT_EQ(Chart().Top(), 450);
  EXPECT_EQ(Chart().Width(), 9000);
  EXPECT_EQ(Chart().Height(), 6000);
  ToggleChart();

  // Too small a size grows to the least one; a text that is no size, or
  // no place, reads as the default.
  Store("ChartWidth", "-5");
  Store("ChartHeight", "100");
  Store("ChartLeft", "left");
  ToggleChart();
  EXPECT_EQ(Chart().Width(), width);
  EXPECT_EQ(Chart().Height(), recorder::kChartMinHeightTwips);
  EXPECT_EQ(Chart().Left(), (1024 * 15 - width) / 2);
  EXPECT_EQ(Chart().Top(), 450);
}

TEST_F(ChartWindowTest, AConstantTemperatureIsAFlatLineAtItsRowOfTheUpperPanel) {
  WriteRecords(Records(120, "45"));
  ASSERT_TRUE(Start());
  ToggleChart();
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

TEST_F(ChartWindowTest, TheWheelZoomsAroundThePointerADragPansAndTheNearestRecordIsReadOut) {
  std::string text;
  for (int minute = 0; minute < 120; ++minute) text += Record(minute, std::to_string(30 + minute % 40));
  WriteRecords(text);
  ASSERT_TRUE(Start());
  ToggleChart();
  ui::Control& canvas = Chart()["Chart"];
  const ui::PixelRect plot =
      recorder::LayOutChart(canvas.PixelWidth(), canvas.PixelHeight(), 1.0, app->chartWindow.Shown())[0].plot;
  const auto mouse = [&](sim::SimFormHost::Mouse action, int x, int delta = 0) {
    host.PostMouse(canvas, action, x, plot.top + 5, delta);
    Do([&] { desktop.ProcessPendingEvents(); });
  };
  using Mouse = sim::SimFormHost::Mouse;
  const auto view = [&] { return app->chartWindow.InView(); };

  // One notch closer: the time under the pointer stays under it.
  const int x = plot.left + plot.Width() / 4;
  const auto all = view();
  const double pointed = recorder::TimeAtColumn(all, plot, x);
  mouse(Mouse::kWheel, x, 120);
  EXPECT_NEAR(view().Span(), all.Span() * 0.8, 1e-9);
  EXPECT_NEAR(recorder::TimeAtColumn(view(), plot, x), pointed, 1e-9);
  mouse(Mouse::kWheel, x, 120 * 100);
  EXPECT_EQ(view().Span(), recorder::kLeastSpanMinutes);
  mouse(Mouse::kWheel, x, -120 * 100);
  EXPECT_EQ(view().Span(), 2 * all.Span());

  // A drag to the right by a tenth of the plot shows a tenth of the span earlier.
  const auto before = view();
  mouse(Mouse::kLeftDown, x);
  mouse(Mouse::kMove, x + plot.Width() / 10);
  mouse(Mouse::kLeftUp, x + plot.Width() / 10);
  EXPECT_NEAR(view().from, before.from - before.Span() * (plot.Width() / 10) / plot.Width(), 1e-9);
  // Not past the records: the view's middle stays within them.
  mouse(Mouse::kLeftDown, plot.left);
  mouse(Mouse::kMove, plot.right * 20);
  mouse(Mouse::kLeftUp, plot.right * 20);
  EXPECT_NEAR((view().from + view().to) / 2, all.from, 1e-9);
  Do([&] { Chart().Get("Range", 4).Click(); });  // "All" again
  EXPECT_EQ(view(), all);

  // Hovering: a cross-hair, and the nearest record as the file has it.
  // "All" starts at the first record, 08:00.
  const int minute30 = plot.left + static_cast<int>(30 / all.Span() * plot.Width());
  mouse(Mouse::kMove, minute30);
  EXPECT_EQ(Status(), Record(30, "60").substr(0, Record(30, "60").size() - 2));
  EXPECT_EQ(LinesIn({96, 96, 96}).size(), 2u);
  mouse(Mouse::kLeave, 0);
  EXPECT_EQ(Status(), "120 records");
  EXPECT_TRUE(LinesIn({96, 96, 96}).empty());
  // A file changed since it was read is not read out as the record.
  WriteRecords(std::string(text.size(), 'x'));
  mouse(Mouse::kMove, minute30);
  EXPECT_EQ(Status(), "120 records");
}

TEST_F(ChartWindowTest, LinesAndMarginsGrowWithTheDisplaysDpi) {
  desktop.SetDisplayDpi(192);
  desktop.SetTwipsPerPixel(7.5, 7.5);
  WriteRecords(Record(0, "45") + Record(1, "46"));
  ASSERT_TRUE(Start());
  ToggleChart();
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
  ToggleChart();
  EXPECT_EQ(Chart().Get("Legend", 0).State(), 1);
  EXPECT_EQ(Chart().Get("Legend", 4).State(), 0);
  EXPECT_EQ(Setting("ChartSeries"), std::nullopt);  // restoring it writes nothing
  Do([&] {
    Chart().Get("Legend", 4).Click();  // Vcore on
    Chart().Get("Legend", 1).Click();  // CPU fan off
  });
  EXPECT_EQ(Setting("ChartSeries"), "10111000");
  ToggleChart();
  ToggleChart();
  EXPECT_EQ(Chart().Get("Legend", 1).State(), 0);
  EXPECT_EQ(Chart().Get("Legend", 4).State(), 1);
  ToggleChart();

  Store("ChartSeries", "1111");
  ToggleChart();
  EXPECT_EQ(recorder::ShownSeriesText(app->chartWindow.Shown()), "11110000");
}

TEST_F(ChartWindowTest, NewRecordsAppearLiveAndClearEmptiesTheChart) {
  Store("Record", "1");
  Store("ChkDatRec", "0");
  Store("RecDelay", "0.5");
  ASSERT_TRUE(Start());
  ToggleChart();
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
  ToggleChart();
  EXPECT_EQ(Status(), "2 records, 2 lines could not be read");
  // Edited outside: the earlier bytes changed, so it is read from the start.
  WriteRecords(Record(0, "47") + Record(1, "46") + Record(2, "45") + Record(3, "44") + Record(4, "43"));
  Refresh();
  EXPECT_EQ(Status(), "5 records");
  EXPECT_EQ(app->chartWindow.Store().Reading(0, recorder::ChartSeries::kCpuTemp), 470);
}

TEST_F(ChartWindowTest, WhileTheFileIsReadTheWindowShowsProgressAndStaysUsable) {
  WriteRecords(Records(3000, "45"));
  desktop.HoldBackgroundWork(true);
  ASSERT_TRUE(Start());
  ChooseMenu("MnuViewChart");
  EXPECT_EQ(Status(), "Reading the records: 0 %");
  EXPECT_TRUE(app->chartWindow.Store().Empty());
  EXPECT_TRUE(LinesIn(recorder::kSeriesColours[0]).empty());  // the empty chart
  Do([&] {
    Chart().Get("Range", 1).Click();
    Chart().Get("Legend", 4).Click();
    Chart().Resize(9000, 6000);
  });
  EXPECT_EQ(Setting("ChartSeries"), "11111000");
  Advance(1'000);
  EXPECT_EQ(Status(), "Reading the records: 0 %");
  // A record appended meanwhile is read once the load is done.
  WriteRecords(Records(3000, "45") + Record(3000, "46"));
  Do([&] { app->chartWindow.Refresh(); });

  desktop.FinishBackgroundWork();
  EXPECT_TRUE(app->chartWindow.Store().Empty());  // nothing crosses before `done`
  Pump();
  EXPECT_EQ(Status(), "3001 records");
  EXPECT_FALSE(LinesIn(recorder::kSeriesColours[0]).empty());
  Advance(1'000);
  EXPECT_EQ(Status(), "3001 records");
  EXPECT_EQ(recorder::LoadingStatus(0.427), "Reading the records: 42 %");
}

TEST_F(ChartWindowTest, ClosingOrEndingWhileTheFileIsReadDropsTheResult) {
  WriteRecords(Record(0, "45") + Record(1, "46"));
  desktop.HoldBackgroundWork(true);
  ASSERT_TRUE(Start());
  ChooseMenu("MnuViewChart");
  ChooseMenu("MnuViewChart");
  desktop.FinishBackgroundWork();
  Pump();
  EXPECT_FALSE(Chart().Loaded());
  EXPECT_TRUE(app->chartWindow.Store().Empty());

  // Opened again, then the program ends before the reading does.
  ChooseMenu("MnuViewChart");
  EXPECT_EQ(desktop.BackgroundWorkWaiting(), 1u);
  app.reset();
  desktop.FinishBackgroundWork();
  desktop.ProcessPendingEvents();
}

TEST_F(ChartWindowTest, ANewRecordIsReadAloneAndAnEditedSampleReadsTheFileAgain) {
  std::string text = Records(3000, "45");
  WriteRecords(text);
  ASSERT_TRUE(Start());
  ToggleChart();
  ASSERT_EQ(Status(), "3000 records");

  const std::uint64_t before = desktop.BytesRead();
  text += Record(3000, "46");
  WriteRecords(text);
  Refresh();
  EXPECT_EQ(Status(), "3001 records");
  // The new record and the two samples of 4 KiB, not the file again.
  EXPECT_LE(desktop.BytesRead() - before, 2 * 4096 + Record(3000, "46").size());

  // The same length, a reading changed in the head sample and then in the tail one.
  text.replace(text.find(Record(1, "45")), Record(1, "45").size(), Record(1, "47"));
  WriteRecords(text);
  Refresh();
  EXPECT_EQ(app->chartWindow.Store().Reading(1, recorder::ChartSeries::kCpuTemp), 470);
  text.replace(text.rfind(Record(2999, "45")), Record(2999, "45").size(), Record(2999, "48"));
  WriteRecords(text);
  Refresh();
  EXPECT_EQ(app->chartWindow.Store().Reading(2999, recorder::ChartSeries::kCpuTemp), 480);
  EXPECT_EQ(Status(), "3001 records");
}

TEST_F(ChartWindowTest, ALoadedFileHoldsItsRecordsAndAConstantWhateverItsLineLengths) {
  const auto expectTight = [&] {
    const auto& store = app->chartWindow.Store();
    EXPECT_LE(store.BytesHeld(), store.Count() * recorder::ChartStore::kBytesPerRecord + 8192);
  };
  // Many lines that are not records: counting lines guesses too many records.
  std::string text;
  for (int minute = 0; minute < 3000; ++minute) text += Record(minute, "45") + "-\r\n";
  WriteRecords(text);
  ASSERT_TRUE(Start());
  ToggleChart();
  EXPECT_EQ(app->chartWindow.Store().Count(), 3000u);
  expectTight();
  ToggleChart();

  // Long lines first, short ones after: the first piece guesses too few.
  text.clear();
  int minute = 0;
  for (; text.size() < (1u << 20); ++minute) text += Record(minute, "45" + std::string(600, ' '));
  for (; text.size() < (5u << 19); ++minute) text += Record(minute, "45");
  WriteRecords(text);
  ToggleChart();
  EXPECT_EQ(app->chartWindow.Store().Count(), static_cast<std::size_t>(minute));
  EXPECT_EQ(app->chartWindow.Store().UnreadLines(), 0u);
  expectTight();
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
  ToggleChart();
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
  ToggleChart();

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
