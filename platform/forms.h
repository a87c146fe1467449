// The windowing toolkit's model: forms, their controls, popup menus and
// timers, each declared once as data and kept as plain state.
//
// The model is the truth. A backend's view (a real window, or a window on
// the simulated desktop) only mirrors it, and sends the user's input back
// into the same calls a program makes (Click, KeyPress, ...), so a click
// from code and a click by the user run the same handler.
//
// Behaviour of the controls:
// - a check box's state is 0 or 1; an option button's value is true/false;
// - setting a state from code runs the click handler whenever it changes
//   (for an option button: whenever it becomes selected), as a click does;
// - selecting an option button deselects the others of its group.
// - a canvas shows a list of drawing operations in its own pixels, which the
//   program rebuilds when what it shows changes, and reports the mouse over
//   it in the same pixels.
// Positions and sizes are in twips (1/1440 inch). A form's place is kept on
// the host's pixel grid: a window sits on whole pixels, and the place the
// program reads (and stores) is the one the window really has.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/platform.h"

namespace calorix::ui {

enum class ControlKind {
  kLabel, kCheckBox, kOptionButton, kFrame, kButton, kComboBox, kTextBox, kImage, kCanvas
};
enum class Align { kLeft, kRight, kCenter };
enum class BorderStyle { kFixedSingle, kSizable, kFixedToolWindow, kFixedDialog };
enum class WindowState { kNormal, kMinimized };
// Whether bringing a window up (showing it, restoring it from minimised)
// takes the keyboard focus. A window the user asks for does; one the program
// brings back on its own leaves the focus with whatever the user is typing in.
enum class Activation { kActivate, kKeepFocus };

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// ---- A canvas's drawing, in pixels of its own area --------------------------

struct PixelPoint {
  int x = 0, y = 0;
  bool operator==(const PixelPoint&) const = default;
};

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom outside
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(PixelPoint point) const {
    return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
  }
  bool operator==(const PixelRect&) const = default;
};

struct FilledRect {
  PixelRect rect;
  Rgb colour;
  bool operator==(const FilledRect&) const = default;
};

// Straight lines from each point to the next.
struct Polyline {
  std::vector<PixelPoint> points;
  Rgb colour;
  int width = 1;
  bool operator==(const Polyline&) const = default;
};

enum class TextBaseline { kTop, kMiddle, kBottom };

// One line of text in the canvas's font, placed by its anchor point.
struct TextAt {
  PixelPoint at;
  std::string text;
  Rgb colour;
  Align align = Align::kLeft;  // where `at` is on the text's width
  TextBaseline baseline = TextBaseline::kTop;
  bool operator==(const TextAt&) const = default;
};

using DrawOperation = std::variant<FilledRect, Polyline, TextAt>;

// Painted in order over the background.
struct Drawing {
  Rgb background{255, 255, 255};
  std::vector<DrawOperation> operations;
  bool operator==(const Drawing&) const = default;
};

struct FontSpec {
  std::string_view face;  // empty: the system's default font
  double points = 0;
  bool bold = false;
};

struct ControlDecl {
  std::string_view name;
  int index = -1;  // element of a control array, or -1
  ControlKind kind = ControlKind::kLabel;
  std::string_view caption;
  std::string_view tooltip;
  int left = 0, top = 0, width = 0, height = 0;  // twips, in the form's client area
  int tabIndex = -1;
  std::string_view container;   // the frame the control sits in ("" = the form)
  std::string_view settingsKey; // the setting behind the control, for readers of the table
  int initialState = 0;         // check box
  bool initialValue = false;    // option button
  std::optional<Rgb> background;  // none: transparent or the system colour
  std::optional<Rgb> foreground;
  FontSpec font;
  Align align = Align::kLeft;
  bool border = false;
  bool multiLine = false;
  bool readOnly = false;
  bool verticalScroll = false;
  // A text box with a horizontal scroll bar keeps each line on one row
  // instead of wrapping it at the box's edge.
  bool horizontalScroll = false;
  bool visible = true;
};

struct FormDecl {
  std::string_view name;
  std::string_view caption;
  int clientWidth = 0, clientHeight = 0;  // twips
  BorderStyle border = BorderStyle::kFixedSingle;
  bool minButton = false;
  bool maxButton = false;
  bool showInTaskbar = true;
  bool keyPreview = false;
  std::optional<Rgb> background;
  int iconId = 0;  // icon group of the window, 0 for none
  std::span<const ControlDecl> controls;
};

struct MenuItemDecl {
  std::string_view name;
  std::string_view caption;  // "-" is a separator
};

class Form;

class Control {
 public:
  Control(Form& form, const ControlDecl& decl);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const ControlDecl& Decl() const { return decl_; }

  int State() const { return state_; }      // check box: 0 or 1
  bool Value() const { return value_; }     // option button
  const std::string& Caption() const { return caption_; }
  const std::string& Text() const { return text_; }  // combo box, text box
  int SelectionStart() const { return selectionStart_; }
  bool Enabled() const { return enabled_; }
  // Place and size in twips, as designed until the program moves the control.
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::vector<std::string>& ListItems() const { return list_; }
  // A canvas's size in the host's pixels, as the views round it.
  int PixelWidth() const;
  int PixelHeight() const;
  const Drawing& Drawn() const { return drawing_; }

  // Setting a state that differs runs the click handler, as a click does.
  void SetState(int state);
  void SetValue(bool value);
  void SetCaption(std::string caption);
  // Runs the change handler when the text differs.
  void SetText(std::string text);
  // Fails (false) for a position outside the text, as the toolkit does.
  bool SetSelectionStart(int position);
  void SetEnabled(bool enabled);
  void SetHeight(int twips);
  // Runs the resize handler when the size differs.
  void Move(int left, int top, int width, int height);
  void AddListItem(std::string item);
  // A canvas's new content; its view repaints.
  void Draw(Drawing drawing);

  // The user's click: a check box toggles, an option button is selected,
  // a button runs its handler.
  void Click();
  // A key pressed while the control has the focus; the handler may cancel
  // it by setting the key code to 0.
  void KeyPress(int keyCode);
  // The mouse over a canvas, in its pixels: moved, the wheel turned (by
  // `delta`, 120 a notch, away from the user positive), the left button
  // pressed and released, and the pointer gone from the canvas.
  void MouseMove(int x, int y);
  void MouseWheel(int delta, int x, int y);
  void MouseDown(int x, int y);
  void MouseUp(int x, int y);
  void MouseLeave();

  std::function<void()> onClick;
  std::function<void()> onChange;
  std::function<void(int& keyCode)> onKeyPress;
  std::function<void()> onResize;
  std::function<void(int x, int y)> onMouseMove;
  std::function<void(int delta, int x, int y)> onMouseWheel;
  std::function<void(int x, int y)> onMouseDown;
  std::function<void(int x, int y)> onMouseUp;
  std::function<void()> onMouseLeave;

  void ResetToDesign();

 private:
  void Changed();

  Form& form_;
  const ControlDecl& decl_;
  int state_ = 0;
  bool value_ = false;
  std::string caption_;
  std::string text_;
  int selectionStart_ = 0;
  bool enabled_ = true;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  std::vector<std::string> list_;
  Drawing drawing_;
};

class PopupMenu {
 public:
  struct Item {
    const MenuItemDecl* decl;
    bool checked = false;
    bool enabled = true;
    std::function<void()> onClick;
    bool Separator() const { return decl->caption == "-"; }
  };

  explicit PopupMenu(std::span<const MenuItemDecl> items);
  Item& operator[](std::string_view name);
  const std::vector<Item>& Items() const { return items_; }
  // Runs the chosen item's handler (nothing for a separator or a disabled item).
  void Choose(std::string_view name);

 private:
  std::vector<Item> items_;
};

class FormView;
class FormHost;

class Form {
 public:
  Form(const FormDecl& decl, FormHost& host);
  ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const FormDecl& Decl() const { return decl_; }
  FormHost& Host() const { return host_; }
  Control& operator[](std::string_view name) { return Get(name); }
  Control& Get(std::string_view name, int index = -1);
  std::vector<std::unique_ptr<Control>>& Controls() { return controls_; }

  bool Loaded() const { return loaded_; }
  bool Visible() const { return visible_; }
  WindowState State() const { return state_; }
  double Left() const { return left_; }
  double Top() const { return top_; }
  double Width() const { return width_; }    // outer size, twips
  double Height() const { return height_; }
  double ClientWidth() const;
  double ClientHeight() const;
  double FrameWidth() const { return frameWidth_; }  // borders, twips
  // The view tells the size of the window's frame (caption and borders), in
  // twips; the outer size grows by it so the client area keeps its size.
  void SetFrameSize(double width, double height);
  const std::string& Caption() const { return caption_; }
  platform::IconHandle Icon() const { return icon_; }
  // The window's handle; loads the form when it is not loaded yet.
  platform::WindowHandle Handle();

  // Loads the form (its load handler runs) when it is not loaded.
  void Load();
  void Show(Activation activation = Activation::kActivate);
  void Hide();
  // Unloads: query-unload, unload, then the window goes. Controls return
  // to their design-time state for the next load.
  void Unload();
  void SetWindowState(WindowState state, Activation activation = Activation::kActivate);
  // How the latest Show or SetWindowState asked the window to come up; a
  // view reads it when it shows or restores the window.
  Activation ShowActivation() const { return activation_; }
  // Moves to the nearest whole pixel of the host's screen.
  void Move(double left, double top);
  void Resize(double width, double height);
  void SetCaption(std::string caption);
  void SetIcon(platform::IconHandle icon);
  // A key pressed in the window: with key preview the form sees it first.
  void KeyPress(Control* focused, int keyCode);
  // Selecting an option button deselects the others on the same container.
  void DeselectGroup(const Control& selected);

  std::function<void()> onLoad;
  std::function<void()> onQueryUnload;
  std::function<void()> onUnload;
  std::function<void()> onResize;
  std::function<void(int& keyCode)> onKeyPress;
  // The mouse moved over the window (or the shell's tray callback came in
  // its place): x in pixels.
  std::function<void(int x)> onMouseMove;

  FormView* View() { return view_.get(); }
  void ControlChanged(const Control& control);

 private:
  void Changed();

  const FormDecl& decl_;
  FormHost& host_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::unique_ptr<FormView> view_;
  bool loaded_ = false;
  bool visible_ = false;
  WindowState state_ = WindowState::kNormal;
  Activation activation_ = Activation::kActivate;
  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  double frameWidth_ = 0, frameHeight_ = 0;
  std::string caption_;
  platform::IconHandle icon_ = 0;
};

// A timer owned by a form: an interval in milliseconds and an enabled flag.
// An interval of 0 keeps it from ticking.
class FormTimer {
 public:
  FormTimer(platform::Process& process, int intervalMs, bool enabled);
  ~FormTimer();
  FormTimer(const FormTimer&) = delete;
  FormTimer& operator=(const FormTimer&) = delete;

  int Interval() const { return interval_; }
  bool Enabled() const { return enabled_; }
  void SetInterval(int intervalMs);
  void SetEnabled(bool enabled);

  std::function<void()> onTick;

 private:
  void Apply();
  platform::Process& process_;
  platform::TimerId id_;
  int interval_;
  bool enabled_;
};

// A backend's mirror of one form.
class FormView {
 public:
  virtual ~FormView() = default;
  virtual platform::WindowHandle Handle() = 0;
  // The form's own state changed (visibility, window state, place, caption, icon).
  virtual void FormChanged() = 0;
  virtual void ControlChanged(const Control& control) = 0;
};

enum class ClipboardCopy { kCopied, kInUse, kFailed };

// What a backend offers the toolkit.
class FormHost {
 public:
  virtual ~FormHost() = default;
  virtual std::unique_ptr<FormView> CreateView(Form& form) = 0;
  // Shows the popup menu at the mouse position and returns the chosen
  // item's name, or nothing when it was dismissed.
  virtual std::optional<std::string> TrackPopupMenu(const PopupMenu& menu,
                                                    platform::WindowHandle owner) = 0;
  // An icon resource by its number, or the window icon of a form's
  // declaration; 0 when there is none.
  virtual platform::IconHandle LoadIconResource(int id) = 0;
  // The same icon resource at exactly the system's small-icon size (the
  // tray's picture): the picture drawn for that size, never one scaled to it.
  virtual platform::IconHandle LoadSmallIconResource(int id) = 0;
  // Puts on the clipboard, replacing what it held, both the canvas's
  // picture (its current drawing at its pixel size, in its font, as its view
  // paints it) and `text` (ANSI bytes, line ends as given), with `owner`'s
  // window as the clipboard's owner. Nothing is copied when another program
  // still holds the clipboard after a few brief tries, or when the copy
  // cannot be made.
  virtual ClipboardCopy CopyToClipboard(platform::WindowHandle owner, const Control& canvas,
                               std::string_view text) = 0;
  // A screen pixel's size in twips (1440 / dpi; 7.5 at 192 dpi).
  virtual double TwipsPerPixelX() = 0;
  virtual double TwipsPerPixelY() = 0;
};

// `twips` moved to the nearest whole pixel (halves away from zero, as the
// views round). Values no pixel grid holds (NaN, infinite, beyond 2^53
// pixels) and a pixel size that is not positive leave it as it is.
double OnPixelGrid(double twips, double twipsPerPixel);

}  // namespace calorix::ui
