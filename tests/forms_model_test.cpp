// The toolkit model's rules that every handler relies on.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/forms.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_forms.h"

namespace calorix::ui {
namespace {

constexpr ControlDecl kControls[] = {
    {.name = "Box", .kind = ControlKind::kCheckBox, .caption = "Box", .initialState = 1},
    {.name = "A", .kind = ControlKind::kOptionButton, .initialValue = true},
    {.name = "B", .kind = ControlKind::kOptionButton},
    {.name = "C", .kind = ControlKind::kOptionButton},
    {.name = "Other", .kind = ControlKind::kOptionButton, .container = "Frame", .initialValue = true},
    {.name = "Text", .kind = ControlKind::kTextBox},
    {.name = "Canvas", .kind = ControlKind::kCanvas, .width = 1500, .height = 600},
};
constexpr FormDecl kForm{.name = "Test", .caption = "Test", .clientWidth = 3000,
                         .clientHeight = 2000, .keyPreview = true, .controls = kControls};

class FormsModel : public ::testing::Test {
 protected:
  sim::SimDesktop desktop_;
  sim::SimFormHost host_{desktop_};
  Form form_{kForm, host_};
};

TEST_F(FormsModel, SettingACheckBoxFromCodeClicksItOnlyWhenItChanges) {
  int clicks = 0;
  form_["Box"].onClick = [&] { ++clicks; };
  form_["Box"].SetState(1);
  EXPECT_EQ(clicks, 0);
  form_["Box"].SetState(0);
  EXPECT_EQ(clicks, 1);
  form_["Box"].Click();  // the user's click toggles
  EXPECT_EQ(form_["Box"].State(), 1);
  EXPECT_EQ(clicks, 2);
}

TEST_F(FormsModel, SelectingAnOptionButtonDeselectsTheOthersOfItsGroupOnly) {
  int clicksA = 0, clicksB = 0;
  form_["A"].onClick = [&] { ++clicksA; };
  form_["B"].onClick = [&] { ++clicksB; };
  form_["B"].SetValue(true);
  EXPECT_FALSE(form_["A"].Value());
  EXPECT_TRUE(form_["B"].Value());
  EXPECT_TRUE(form_["Other"].Value());  // another container, another group
  EXPECT_EQ(clicksB, 1);
  EXPECT_EQ(clicksA, 0);  // being deselected is no click
  form_["B"].SetValue(true);
  EXPECT_EQ(clicksB, 1);
  form_["C"].Click();
  EXPECT_FALSE(form_["B"].Value());
  EXPECT_TRUE(form_["C"].Value());
}

TEST_F(FormsModel, ACanvasShowsItsDrawingAndTakesTheMouseInItsPixels) {
  Control& canvas = form_["Canvas"];
  int resizes = 0;
  canvas.onResize = [&] { ++resizes; };
  canvas.Move(15, 30, 1500, 600);
  EXPECT_EQ(resizes, 0);  // moved, not resized
  canvas.Move(0, 0, 3000, 750);
  EXPECT_EQ(resizes, 1);
  EXPECT_EQ(canvas.PixelWidth(), 200);
  EXPECT_EQ(canvas.PixelHeight(), 50);

  form_.Show();
  Drawing drawing;
  drawing.operations.push_back(FilledRect{{0, 0, 10, 10}, Rgb{1, 2, 3}});
  canvas.Draw(drawing);
  ASSERT_EQ(host_.CanvasShown(canvas).operations.size(), 1u);
  EXPECT_EQ(std::get<FilledRect>(host_.CanvasShown(canvas).operations[0]).colour, (Rgb{1, 2, 3}));

  std::vector<std::string> input;
  canvas.onMouseMove = [&](int x, int y) { input.push_back("move " + std::to_string(x) + "," + std::to_string(y)); };
  canvas.onMouseWheel = [&](int delta, int x, int y) {
    input.push_back("wheel " + std::to_string(delta) + " " + std::to_string(x) + "," + std::to_string(y));
  };
  canvas.onMouseDown = [&](int x, int) { input.push_back("down " + std::to_string(x)); };
  canvas.onMouseUp = [&](int x, int) { input.push_back("up " + std::to_string(x)); };
  using Mouse = sim::SimFormHost::Mouse;
  host_.PostMouse(canvas, Mouse::kMove, 5, 6);
  host_.PostMouse(canvas, Mouse::kWheel, 7, 8, -120);
  host_.PostMouse(canvas, Mouse::kLeftDown, 9, 0);
  host_.PostMouse(canvas, Mouse::kLeftUp, 10, 0);
  EXPECT_TRUE(input.empty());  // handled as the events come in
  desktop_.ProcessPendingEvents();
  EXPECT_EQ(input, (std::vector<std::string>{"move 5,6", "wheel -120 7,8", "down 9", "up 10"}));

  form_.Unload();  // the view is gone, and what it showed with it
  EXPECT_TRUE(host_.CanvasShown(canvas).operations.empty());
}

TEST_F(FormsModel, KeyPreviewLetsTheFormSeeAndCancelKeysFirst) {
  int controlKeys = 0;
  form_["Text"].onKeyPress = [&](int&) { ++controlKeys; };
  form_.onKeyPress = [](int& key) {
    if (key == 27) key = 0;
  };
  form_.KeyPress(&form_["Text"], 27);
  EXPECT_EQ(controlKeys, 0);
  form_.KeyPress(&form_["Text"], 'a');
  EXPECT_EQ(controlKeys, 1);
}

TEST_F(FormsModel, UnloadingRunsTheHandlersAndTheNextLoadStartsFromTheDesign) {
  std::vector<std::string> calls;
  form_.onLoad = [&] { calls.push_back("load"); };
  form_.onQueryUnload = [&] { calls.push_back("query"); };
  form_.onUnload = [&] { calls.push_back("unload"); };
  form_.Show();
  const auto window = form_.Handle();
  EXPECT_TRUE(desktop_.IsVisible(window));
  form_["Box"].SetState(0);
  form_.Unload();
  EXPECT_FALSE(desktop_.IsWindow(window));
  EXPECT_FALSE(form_.Loaded());
  form_.Unload();  // not loaded: nothing
  form_.Load();
  EXPECT_EQ(form_["Box"].State(), 1);
  EXPECT_EQ(calls, (std::vector<std::string>{"load", "query", "unload", "load"}));
}

TEST_F(FormsModel, ACaretOutsideTheTextIsRefused) {
  form_["Text"].SetText("ab\r\n");
  EXPECT_TRUE(form_["Text"].SetSelectionStart(2));
  EXPECT_FALSE(form_["Text"].SetSelectionStart(-2));
  EXPECT_FALSE(form_["Text"].SetSelectionStart(5));
  EXPECT_EQ(form_["Text"].SelectionStart(), 2);
}

TEST_F(FormsModel, ATimerWithIntervalZeroDoesNotTick) {
  FormTimer timer(desktop_, 1000, false);
  int ticks = 0;
  timer.onTick = [&] { ++ticks; };
  timer.SetEnabled(true);
  desktop_.Advance(3000);
  EXPECT_EQ(ticks, 3);
  timer.SetInterval(500);
  desktop_.Advance(1000);
  EXPECT_EQ(ticks, 5);
  timer.SetInterval(0);
  desktop_.Advance(5000);
  EXPECT_EQ(ticks, 5);
}

TEST_F(FormsModel, TheClientWidthIsTheOuterWidthLessTheFrame) {
  form_.Load();
  const double frame = sim::SimFormHost::kFrameWidthPixels * desktop_.TwipsPerPixelX();
  EXPECT_EQ(form_.FrameWidth(), frame);
  EXPECT_EQ(form_.Width(), 3000 + frame);
  EXPECT_EQ(form_.ClientWidth(), 3000);
  form_.Resize(5000, 2500);
  EXPECT_EQ(form_.ClientWidth(), 5000 - frame);
}

TEST_F(FormsModel, AWindowBroughtUpWithoutActivationLeavesTheKeyboardWhereItIs) {
  const platform::WindowHandle other = desktop_.CreateTopLevel("Another program");
  desktop_.SetForegroundWindow(other);
  form_.Show(Activation::kKeepFocus);
  EXPECT_TRUE(desktop_.Window(form_.Handle()).visible);
  EXPECT_EQ(desktop_.ForegroundWindow(), other);

  form_.SetWindowState(WindowState::kMinimized);
  form_.SetWindowState(WindowState::kNormal, Activation::kKeepFocus);
  EXPECT_FALSE(desktop_.Window(form_.Handle()).minimized);
  EXPECT_EQ(desktop_.ForegroundWindow(), other);

  form_.SetWindowState(WindowState::kMinimized);
  form_.SetWindowState(WindowState::kNormal);  // restored by the user's request
  EXPECT_EQ(desktop_.ForegroundWindow(), form_.Handle());

  desktop_.SetForegroundWindow(other);
  form_.Hide();
  form_.Show();
  EXPECT_EQ(desktop_.ForegroundWindow(), form_.Handle());
}

TEST_F(FormsModel, AFormIsMovedToTheWholePixelItsWindowSitsOn) {
  desktop_.SetTwipsPerPixel(7.5, 12);  // 192 dots per inch across, 120 down
  form_.Move(2647.5 + 3, 4254);        // 353.4 and 354.5 pixels
  EXPECT_EQ(form_.Left(), 353 * 7.5);
  EXPECT_EQ(form_.Top(), 355 * 12);
  form_.Move(-10, -20);                // -1.33 and -1.67 pixels
  EXPECT_EQ(form_.Left(), -7.5);
  EXPECT_EQ(form_.Top(), -24);
}

TEST(PixelGrid, LeavesWhatNoGridHoldsAsItIs) {
  EXPECT_EQ(OnPixelGrid(5287.5, 15), 5295);  // halves away from zero, as the views round
  EXPECT_EQ(OnPixelGrid(-7.5, 15), -15);
  EXPECT_EQ(OnPixelGrid(1e300, 15), 1e300);
  EXPECT_TRUE(std::isnan(OnPixelGrid(std::nan(""), 15)));
  EXPECT_EQ(OnPixelGrid(HUGE_VAL, 15), HUGE_VAL);
  EXPECT_EQ(OnPixelGrid(100.4, 0), 100.4);
}

}  // namespace
}  // namespace calorix::ui
