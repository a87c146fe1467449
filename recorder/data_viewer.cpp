#include "recorder/data_viewer.h"

#include <cmath>

#include "core/app.h"
#include "core/message_boxes.h"
#include "recorder/recorder.h"

namespace calorix::recorder {

namespace {

constexpr int kEscape = 27;
constexpr int kTextBoxMarginTwips = 500;

}  // namespace

DataViewer::DataViewer(App& app) : app_(app) {
  app_.dataForm.onKeyPress = [this](int& key) { OnKeyPress(key); };
  app_.dataForm["Text1"].onKeyPress = [this](int& key) { OnKeyPress(key); };
  app_.dataForm.onQueryUnload = [this] { OnQueryUnload(); };
  app_.dataForm.onResize = [this] { OnResize(); };
  app_.dataForm["Text1"].onChange = [this] { OnTextChange(); };
  app_.form1["Command6"].onClick = [this] { Edit(); };
}

void DataViewer::ShowNormal(ui::Activation activation) {
  app_.dataForm.Load();
  app_.dataForm.SetWindowState(ui::WindowState::kNormal, activation);
  app_.dataForm.Show(activation);
}

void DataViewer::OnKeyPress(int& keyCode) {
  if (keyCode != kEscape) return;
  keyCode = 0;
  app_.dataForm.Unload();
}

void DataViewer::OnQueryUnload() {
  app_.recorder.DatViewOpen = 0;
  app_.menu["MnuVwDat"].checked = false;
}

void DataViewer::OnResize() {
  ui::Form& form = app_.dataForm;
  if (form.State() != ui::WindowState::kNormal) return;
  // The client area keeps its designed width, so that the text box (and a
  // record line in it) fits; the outer width adds the frame to it.
  const double width = form.Decl().clientWidth + form.FrameWidth();
  double height = form.Height();
  if (height < kViewerMinHeightTwips) height = kViewerMinHeightTwips;
  if (width != form.Width() || height != form.Height()) {
    form.Resize(width, height);  // runs this handler again with the corrected size
    return;
  }
  form["Text1"].SetHeight(static_cast<int>(std::lround(form.ClientHeight())) - kTextBoxMarginTwips);
}

void DataViewer::OnTextChange() {
  ui::Control& text = app_.dataForm["Text1"];
  // Just before the final line break, so the last record is in view; a
  // text too short for that leaves the caret where it is.
  text.SetSelectionStart(static_cast<int>(text.Text().size()) - 2);
}

void DataViewer::Edit() {
  auto& platform = app_.platform;
  // The same file the recorder writes: the one in the current directory.
  if (!platform.files.Size(kRecordFileName)) {
    platform.dialogs.ShowMessage(ProgramBox("File not found: " + std::string(kRecordFileName) +
                                                "\r\nThere is no recorded data to edit!",
                                            platform::MessageIcon::Critical));
    return;
  }
  app_.recorder.DatViewOpen = 0;
  app_.dataForm.Unload();
  std::string path = platform.files.CurrentDirectory();
  if (!path.ends_with('\\')) path += '\\';
  path += kRecordFileName;
  platform.shell.ExecuteFile(app_.form1.Handle(), "", path, "", "", platform::ShowCommand::ShowNormal);
}

}  // namespace calorix::recorder
