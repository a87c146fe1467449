#include "platform/forms.h"

#include <cmath>
#include <stdexcept>

namespace calorix::ui {

// ---- Control ----------------------------------------------------------------

Control::Control(Form& form, const ControlDecl& decl) : form_(form), decl_(decl) { ResetToDesign(); }

void Control::ResetToDesign() {
  state_ = decl_.initialState;
  value_ = decl_.initialValue;
  caption_ = std::string(decl_.caption);
  text_ = decl_.kind == ControlKind::kComboBox ? std::string(decl_.caption) : std::string();
  selectionStart_ = 0;
  enabled_ = true;
  left_ = decl_.left;
  top_ = decl_.top;
  width_ = decl_.width;
  height_ = decl_.height;
  list_.clear();
  drawing_ = {};
}

int Control::PixelWidth() const {
  return static_cast<int>(std::lround(width_ / form_.Host().TwipsPerPixelX()));
}

int Control::PixelHeight() const {
  return static_cast<int>(std::lround(height_ / form_.Host().TwipsPerPixelY()));
}

void Control::Changed() { form_.ControlChanged(*this); }

void Control::SetState(int state) {
  if (state == state_) return;
  state_ = state;
  Changed();
  if (onClick) onClick();
}

void Control::SetValue(bool value) {
  if (value == value_) return;
  value_ = value;
  if (value) form_.DeselectGroup(*this);
  Changed();
  if (value && onClick) onClick();
}

void Control::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Changed();
}

void Control::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  Changed();
  if (onChange) onChange();
}

bool Control::SetSelectionStart(int position) {
  if (position < 0 || position > static_cast<int>(text_.size())) return false;
  selectionStart_ = position;
  Changed();
  return true;
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed();
}

void Control::SetHeight(int twips) {
  if (twips == height_) return;
  height_ = twips;
  Changed();
}

void Control::Move(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const bool resized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed();
  if (resized && onResize) onResize();
}

void Control::Draw(Drawing drawing) {
  drawing_ = std::move(drawing);
  Changed();
}

void Control::AddListItem(std::string item) {
  list_.push_back(std::move(item));
  Changed();
}

void Control::Click() {
  switch (decl_.kind) {
    case ControlKind::kCheckBox: SetState(state_ == 1 ? 0 : 1); break;
    case ControlKind::kOptionButton:
      if (value_) {
        if (onClick) onClick();  // clicking the selected button clicks it again
      } else {
        SetValue(true);
      }
      break;
    default:
      if (onClick) onClick();
      break;
  }
}

void Control::KeyPress(int keyCode) {
  if (onKeyPress) onKeyPress(keyCode);
}

void Control::MouseMove(int x, int y) {
  if (onMouseMove) onMouseMove(x, y);
}

void Control::MouseWheel(int delta, int x, int y) {
  if (onMouseWheel) onMouseWheel(delta, x, y);
}

void Control::MouseDown(int x, int y) {
  if (onMouseDown) onMouseDown(x, y);
}

void Control::MouseUp(int x, int y) {
  if (onMouseUp) onMouseUp(x, y);
}

void Control::MouseLeave() {
  if (onMouseLeave) onMouseLeave();
}

// ---- PopupMenu --------------------------------------------------------------

PopupMenu::PopupMenu(std::span<const MenuItemDecl> items) {
  for (const MenuItemDecl& decl : items) items_.push_back(Item{&decl, false, true, {}});
}

PopupMenu::Item& PopupMenu::operator[](std::string_view name) {
  for (Item& item : items_)
    if (item.decl->name == name) return item;
  throw std::out_of_range("no menu item " + std::string(name));
}

void PopupMenu::Choose(std::string_view name) {
  Item& item = (*this)[name];
  if (item.Separator() || !item.enabled) return;
  if (item.onClick) item.onClick();
}

// ---- Form -------------------------------------------------------------------

Form::Form(const FormDecl& decl, FormHost& host) : decl_(decl), host_(host) {
  for (const ControlDecl& control : decl.controls)
    controls_.push_back(std::make_unique<Control>(*this, control));
  caption_ = std::string(decl.caption);
  width_ = decl.clientWidth;
  height_ = decl.clientHeight;
}

Form::~Form() = default;

Control& Form::Get(std::string_view name, int index) {
  for (auto& control : controls_)
    if (control->Decl().name == name && control->Decl().index == index) return *control;
  throw std::out_of_range("no control " + std::string(name) + " on " + std::string(decl_.name));
}

double Form::ClientWidth() const { return width_ - frameWidth_; }

double Form::ClientHeight() const { return height_ - frameHeight_; }

void Form::SetFrameSize(double width, double height) {
  width_ += width - frameWidth_;
  height_ += height - frameHeight_;
  frameWidth_ = width;
  frameHeight_ = height;
}

platform::WindowHandle Form::Handle() {
  Load();
  return view_ ? view_->Handle() : 0;
}

void Form::Load() {
  if (loaded_) return;
  loaded_ = true;
  visible_ = false;
  state_ = WindowState::kNormal;
  caption_ = std::string(decl_.caption);
  for (auto& control : controls_) control->ResetToDesign();
  view_ = host_.CreateView(*this);
  if (onLoad) onLoad();
}

void Form::Show(Activation activation) {
  Load();
  if (!loaded_) return;  // the load handler unloaded it again
  visible_ = true;
  activation_ = activation;
  Changed();
}

void Form::Hide() {
  if (!loaded_) return;
  visible_ = false;
  Changed();
}

void Form::Unload() {
  if (!loaded_) return;
  if (onQueryUnload) onQueryUnload();
  if (onUnload) onUnload();
  if (!loaded_) return;  // a handler unloaded it already
  loaded_ = false;
  visible_ = false;
  view_.reset();
}

void Form::SetWindowState(WindowState state, Activation activation) {
  if (!loaded_ || state == state_) return;
  state_ = state;
  activation_ = activation;
  Changed();
  if (onResize) onResize();
}

void Form::Move(double left, double top) {
  // Centring halves a difference in twips, which may fall between pixels;
  // the window can only be at a whole one, and that is the place to keep.
  left_ = OnPixelGrid(left, host_.TwipsPerPixelX());
  top_ = OnPixelGrid(top, host_.TwipsPerPixelY());
  if (loaded_) Changed();
}

void Form::Resize(double width, double height) {
  width_ = width;
  height_ = height;
  if (!loaded_) return;
  Changed();
  if (onResize) onResize();
}

void Form::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  if (loaded_) Changed();
}

void Form::SetIcon(platform::IconHandle icon) {
  icon_ = icon;
  if (loaded_) Changed();
}

void Form::KeyPress(Control* focused, int keyCode) {
  if (decl_.keyPreview && onKeyPress) onKeyPress(keyCode);
  if (keyCode != 0 && focused != nullptr) focused->KeyPress(keyCode);
  if (keyCode != 0 && !decl_.keyPreview && onKeyPress) onKeyPress(keyCode);
}

void Form::DeselectGroup(const Control& selected) {
  for (auto& control : controls_) {
    if (control.get() == &selected || control->Decl().kind != ControlKind::kOptionButton) continue;
    if (control->Decl().container != selected.Decl().container || !control->Value()) continue;
    control->SetValue(false);
  }
}

void Form::ControlChanged(const Control& control) {
  if (view_) view_->ControlChanged(control);
}

void Form::Changed() {
  if (view_) view_->FormChanged();
}

// ---- FormTimer --------------------------------------------------------------

FormTimer::FormTimer(platform::Process& process, int intervalMs, bool enabled)
    : process_(process), interval_(intervalMs), enabled_(enabled) {
  id_ = process_.CreateTimer([this] {
    if (onTick) onTick();
  });
  Apply();
}

FormTimer::~FormTimer() { process_.DestroyTimer(id_); }

void FormTimer::SetInterval(int intervalMs) {
  if (intervalMs == interval_) return;
  interval_ = intervalMs;
  Apply();
}

void FormTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Apply();
}

void FormTimer::Apply() { process_.SetTimer(id_, interval_, enabled_ && interval_ > 0); }

// ---- Pixel grid -------------------------------------------------------------

double OnPixelGrid(double twips, double twipsPerPixel) {
  constexpr double kLimit = 9007199254740992.0;  // 2^53: every whole number below is exact
  if (!(twipsPerPixel > 0)) return twips;
  const double pixels = twips / twipsPerPixel;
  if (!(std::fabs(pixels) <= kLimit)) return twips;
  return std::round(pixels) * twipsPerPixel;
}

}  // namespace calorix::ui
