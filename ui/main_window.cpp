#include "ui/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "ui/skin_pictures.h"

namespace tarnovox {
namespace {

const QColor kWindowColour(0, 0, 160);

}  // namespace

TForm1::TForm1(const RecordSettings& settings, RecorderState& state, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      Labels(this),
      settings_(settings),
      state_(state),
      backBuffer_(kWidth, kHeight, QImage::Format_RGB32) {
  setObjectName("Form1");
  setWindowTitle("Tarnovox");
  setFixedSize(kWidth, kHeight);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kWindowColour);
  setPalette(palette);

  // ImageForm1: the 400 x 300 background cut to the window's 399 x 299.
  backBuffer_.fill(kWindowColour);
  QPainter painter(&backBuffer_);
  painter.drawPixmap(0, 0, TForm4::LoadSkinPicture("Background"));
  painter.end();

  CreateButtons();
  BindButtons();
  UpdateFormatLabels();
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - QPoint(kWidth / 2, kHeight / 2));

  TimerRec.setInterval(100);
  TimerStatus.setInterval(500);
  connect(&TimerRec, &QTimer::timeout, this, [this] {
    // RecordTick keeps the file list docked first, shown or not.
    DockFileList();
    RunHook(hooks.recordTick);
  });
  connect(&TimerStatus, &QTimer::timeout, this, [this] { StatusTick(); });
}

void TForm1::CreateButtons() {
  auto button = [this](const char* name, const char* picture, int left, int top, int size, const char* hint) {
    buttons_.push_back(new SkinButton(this, name, picture, QRect(left, top, size, size), hint));
    return buttons_.back();
  };
  ImageFolder = button("ImageFolder", "ImageFolder", 5, 5, 19, "Output Folder");
  ImageSetting = button("ImageSetting", "ImageSetting", 32, 5, 19, "Record Settings");
  Imagehelp = button("Imagehelp", "ImageHelp", 291, 5, 19, "Help");
  ImageInfo = button("ImageInfo", "ImageInfo", 318, 5, 19, "About ");
  ImageMin = button("ImageMin", "ImageMin", 345, 5, 19, "Minimize");
  ImageClose = button("ImageClose", "ImageClose", 372, 5, 19, "Close");
  ImageControl = button("ImageControl", "ImageControl", 10, 266, 27, "Recording Control");
  ImageRecord = button("ImageRecord", "ImageRecord", 46, 266, 27, "Record F5");
  ImagePause = button("ImagePause", "ImagePause", 82, 266, 27, "Pause/Resume F7");
  ImageStop = button("ImageStop", "ImageStop", 118, 266, 27, "Stop F9");
  ImagePlay = button("ImagePlay", "ImagePlay", 154, 266, 27, "Play");
  ImageShowHide = button("ImageShowHide", "ImageShow", 364, 266, 27, "Show/Hide File List");
}

void TForm1::BindButtons() {
  auto thenReset = [this](std::function<void()> action) {
    return [this, action] {
      action();
      ResetButtonPictures();
    };
  };
  ImageFolder->onClick = [this] { ImageFolderAction(); };
  ImageSetting->onClick = thenReset([this] {
    RunHook(hooks.recordSettings);
    UpdateFormatLabels();
  });
  Imagehelp->onClick = thenReset([this] { RunHook(hooks.help); });
  ImageInfo->onClick = thenReset([this] { RunHook(hooks.about); });
  ImageMin->onClick = thenReset([this] { showMinimized(); });
  ImageClose->onClick = [this] { close(); };
  ImageControl->onClick = thenReset([this] { RunHook(hooks.recordingMixer); });
  ImageRecord->enabledWhen = [this] { return !state_.recording && !state_.playing; };
  ImageRecord->onClick = [this] { RunHook(hooks.record); };
  ImagePause->onClick = [this] { RunHook(hooks.pause); };
  ImageStop->onClick = [this] { RunHook(hooks.stop); };
  ImagePlay->enabledWhen = [this] { return !state_.recording; };
  ImagePlay->onClick = [this] { RunHook(hooks.play); };
  ImageShowHide->onClick = [this] { ImageShowHideAction(); };
}

void TForm1::ImageFolderAction() {
  if (state_.recording) return;
  const std::string previous = settings_.Folder;
  RunHook(hooks.outputFolder);
  ResetButtonPictures();
  if (settings_.Folder != previous && !settings_.Folder.empty()) {
    RunHook(hooks.changeOutputFolder);
    ResetButtonPictures();
  }
}

void TForm1::ImageShowHideAction() {
  ListShown = !ListShown;
  ImageShowHide->SetPictureName(ListShown ? "ImageHide" : "ImageShow");
  ImageShowHide->ShowPicture(ListShown ? "ImageHide2" : "ImageShow2");
  if (fileList_ == nullptr) return;
  if (ListShown) {
    DockFileList();
    fileList_->show();
  } else {
    fileList_->hide();
    RunHook(hooks.hideTagEditor);
  }
}

void TForm1::SetFileList(QWidget* fileList, QLabel* fileLabel) {
  fileList_ = fileList;
  fileListLabel_ = fileLabel;
  AddCompanion(fileList);
  DockFileList();
}

void TForm1::AddCompanion(QWidget* window) {
  if (window != nullptr) companions_.push_back(window);
}

void TForm1::DockFileList() {
  // The frame and the client area coincide on a borderless window.
  if (fileList_ != nullptr) fileList_->move(x(), y() + height());
}

void TForm1::SetImageBank(const TForm4* bank) {
  bank_ = bank;
  for (SkinButton* button : buttons_) button->SetBank(bank);
  ResetButtonPictures();
}

void TForm1::StartTimers() {
  TimerRec.start();
  TimerStatus.start();
}

void TForm1::ResetButtonPictures() {
  ImageShowHide->SetPictureName(ListShown ? "ImageHide" : "ImageShow");
  for (SkinButton* button : buttons_) button->ShowNormal();
}

void TForm1::StatusTick() {
  const QString title = status_.Title(state_);
  if (windowTitle() != title) setWindowTitle(title);
  RunHook(hooks.pollPlayback);
  Labels.ShowStatus(status_.Labels(state_));
  if (fileListLabel_ != nullptr) {
    // TForm2's LabFile shows the same name in the same colour.
    if (fileListLabel_->text() != Labels.LabFile->text()) fileListLabel_->setText(Labels.LabFile->text());
    const QColor colour = Labels.LabFile->palette().color(QPalette::WindowText);
    if (fileListLabel_->palette().color(QPalette::WindowText) != colour) {
      QPalette palette = fileListLabel_->palette();
      palette.setColor(QPalette::WindowText, colour);
      fileListLabel_->setPalette(palette);
    }
  }
  Labels.ShowFolder(QString::fromStdString(settings_.Folder));
  status_.ToggleBlink();
}

void TForm1::UpdateTimeDisplay() { Labels.ShowTime(status_.UpdateTime(state_)); }

void TForm1::UpdateFormatLabels() {
  tarnovox::UpdateFormatLabels(settings_, format_);
  Labels.ShowFormat(format_);
}

void TForm1::CopyBitmap(int x, int y, const QImage& bitmap) {
  QPainter painter(&backBuffer_);
  painter.drawImage(x, y, bitmap);
  painter.end();
  // Within the paint sequence the buffer is drawn right afterwards.
  if (!inPaint_) update(QRect(x, y, bitmap.width(), bitmap.height()));
}

void TForm1::ClearMeters() { RunHook(hooks.clearMeters); }

void TForm1::paintEvent(QPaintEvent* event) {
  // A whole-window paint (shown, uncovered, restored) runs the paint sequence;
  // the partial repaints of a label, a button or a display do not, or every
  // label change would take the hover picture off the button under the pointer.
  if (event->rect() == rect()) {
    inPaint_ = true;
    RunHook(hooks.paintMeters);
    UpdateFormatLabels();
    ResetButtonPictures();
    inPaint_ = false;
  }
  QPainter painter(this);
  painter.drawImage(event->rect(), backBuffer_, event->rect());
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (hooks.closeQuery && !hooks.closeQuery()) {
    event->ignore();
    return;
  }
  // A companion left on screen would keep the program running, with the hot
  // keys grabbed, after its main window is gone.
  for (QWidget* window : companions_) window->hide();
  event->accept();
}

void TForm1::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) {
    if (isMinimized()) {
      state_.Minimized = true;
      // The companions leave the screen with this window, whatever the window
      // manager does with tool windows, and come back where they were.
      hiddenByMinimize_.clear();
      for (QWidget* window : companions_) {
        if (!window->isVisible()) continue;
        hiddenByMinimize_.push_back(window);
        window->hide();
      }
    } else if (state_.Minimized) {
      setWindowTitle("Tarnovox");
      state_.Minimized = false;
      DockFileList();
      for (QWidget* window : hiddenByMinimize_) window->show();
      hiddenByMinimize_.clear();
    }
  }
  QWidget::changeEvent(event);
}

void TForm1::mouseMoveEvent(QMouseEvent* event) {
  if (!drag_.Move(event)) ResetButtonPictures();
}

void TForm1::mousePressEvent(QMouseEvent* event) { drag_.Press(event); }
void TForm1::mouseReleaseEvent(QMouseEvent* event) { drag_.Release(event); }

}  // namespace tarnovox
