#include "ui/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <cmath>

#include "ui/program_name.h"
#include "ui/skin_button.h"
#include "ui/skin_pictures.h"

namespace tarnovox {
namespace {

const QColor kWindowColour(0, 0, 160);

// The buttons' hints, in one place and through tr() so they can be translated.
struct Texts {
  QString outputFolder = MainWindow::tr("Output Folder");
  QString recordSettings = MainWindow::tr("Record Settings");
  QString help = MainWindow::tr("Help");
  QString about = MainWindow::tr("About ");  // the trailing space is kept on purpose
  QString minimize = MainWindow::tr("Minimize");
  QString close = MainWindow::tr("Close");
  QString recordingMixer = MainWindow::tr("Recording Control");
  QString record = MainWindow::tr("Record F5");
  QString pause = MainWindow::tr("Pause/Resume F7");
  QString stop = MainWindow::tr("Stop F9");
  QString play = MainWindow::tr("Play");
  QString fileList = MainWindow::tr("Show/Hide File List");
};

// The window's picture at the screen's resolution: on a screen scaled above
// 100 % it has that many pixels per window pixel, so the skin and the meters
// are drawn sharp instead of being enlarged.
QImage BackBuffer(double devicePixelRatio) {
  QImage buffer(static_cast<int>(std::lround(MainWindow::kWidth * devicePixelRatio)),
                static_cast<int>(std::lround(MainWindow::kHeight * devicePixelRatio)), QImage::Format_RGB32);
  buffer.setDevicePixelRatio(devicePixelRatio);
  return buffer;
}

}  // namespace

MainWindow::MainWindow(const RecordSettings& settings, RecorderState& state, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      labels_(this),
      settings_(settings),
      state_(state) {
  setObjectName("mainWindow");
  setWindowTitle(kProgramName);
  setFixedSize(kWidth, kHeight);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kWindowColour);
  setPalette(palette);

  DrawBackground();
  CreateButtons();
  ConnectButtons();
  UpdateFormatLabels();
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - QPoint(kWidth / 2, kHeight / 2));

  statusTimer_.setInterval(500);
  connect(&statusTimer_, &QTimer::timeout, this, [this] { StatusTick(); });
}

void MainWindow::CreateButtons() {
  auto button = [this](const char* name, const char* picture, int left, int top, int size, const QString& hint) {
    buttons_.push_back(new SkinButton(this, name, picture, QRect(left, top, size, size), hint));
    return buttons_.back();
  };
  const Texts texts;
  folderButton_ = button("folderButton", "ImageFolder", 5, 5, 19, texts.outputFolder);
  recordSettingsButton_ = button("recordSettingsButton", "ImageSetting", 32, 5, 19, texts.recordSettings);
  helpButton_ = button("helpButton", "ImageHelp", 291, 5, 19, texts.help);
  aboutButton_ = button("aboutButton", "ImageInfo", 318, 5, 19, texts.about);
  minimizeButton_ = button("minimizeButton", "ImageMin", 345, 5, 19, texts.minimize);
  closeButton_ = button("closeButton", "ImageClose", 372, 5, 19, texts.close);
  recordingMixerButton_ = button("recordingMixerButton", "ImageControl", 10, 266, 27, texts.recordingMixer);
  recordButton_ = button("recordButton", "ImageRecord", 46, 266, 27, texts.record);
  pauseButton_ = button("pauseButton", "ImagePause", 82, 266, 27, texts.pause);
  stopButton_ = button("stopButton", "ImageStop", 118, 266, 27, texts.stop);
  playButton_ = button("playButton", "ImagePlay", 154, 266, 27, texts.play);
  fileListButton_ = button("fileListButton", "ImageShow", 364, 266, 27, texts.fileList);
}

void MainWindow::ConnectButtons() {
  // The buttons that open something put every picture back once it returned.
  const auto thenReset = [this](SkinButton* button, std::function<void()> action) {
    connect(button, &SkinButton::clicked, this, [this, action = std::move(action)] {
      action();
      ResetButtonPictures();
    });
  };
  connect(folderButton_, &SkinButton::clicked, this, [this] { ChooseOutputFolder(); });
  thenReset(recordSettingsButton_, [this] {
    emit recordSettingsRequested();
    UpdateFormatLabels();
  });
  thenReset(helpButton_, [this] { emit helpRequested(); });
  thenReset(aboutButton_, [this] { emit aboutRequested(); });
  thenReset(minimizeButton_, [this] { showMinimized(); });
  connect(closeButton_, &SkinButton::clicked, this, [this] { close(); });
  thenReset(recordingMixerButton_, [this] { emit recordingMixerRequested(); });
  recordButton_->enabledWhen = [this] { return !state_.Recording() && !state_.Playing(); };
  connect(recordButton_, &SkinButton::clicked, this, &MainWindow::recordClicked);
  connect(pauseButton_, &SkinButton::clicked, this, &MainWindow::pauseClicked);
  connect(stopButton_, &SkinButton::clicked, this, &MainWindow::stopClicked);
  playButton_->enabledWhen = [this] { return !state_.Recording(); };
  connect(playButton_, &SkinButton::clicked, this, &MainWindow::playClicked);
  connect(fileListButton_, &SkinButton::clicked, this, [this] { ToggleFileList(); });
}

void MainWindow::ChooseOutputFolder() {
  if (state_.Recording()) return;
  const std::string previous = settings_.folder;
  emit outputFolderRequested();
  ResetButtonPictures();
  if (settings_.folder != previous && !settings_.folder.empty()) {
    emit outputFolderChanged();
    ResetButtonPictures();
  }
}

void MainWindow::ToggleFileList() {
  fileListShown_ = !fileListShown_;
  fileListButton_->SetPictureName(fileListShown_ ? "ImageHide" : "ImageShow");
  fileListButton_->ShowPicture(fileListShown_ ? "ImageHide2" : "ImageShow2");
  if (fileList_ == nullptr) return;
  if (fileListShown_) {
    DockFileList();
    fileList_->show();
  } else {
    fileList_->hide();
    emit fileListHidden();
  }
}

void MainWindow::SetFileList(QWidget* fileList, QLabel* fileLabel) {
  fileList_ = fileList;
  fileListLabel_ = fileLabel;
  AddCompanion(fileList);
  DockFileList();
}

void MainWindow::AddCompanion(QWidget* window) {
  if (window != nullptr) companions_.push_back(window);
}

void MainWindow::DockFileList() {
  // The frame and the client area coincide on a borderless window.
  if (fileList_ != nullptr) fileList_->move(x(), y() + height());
}

void MainWindow::SetSkinPictures(const SkinPictures* pictures) {
  for (SkinButton* button : buttons_) button->SetPictures(pictures);
  ResetButtonPictures();
}

void MainWindow::StartTimers() { statusTimer_.start(); }

// The file list follows the main window wherever it goes, shown or not.
void MainWindow::moveEvent(QMoveEvent*) { DockFileList(); }
void MainWindow::resizeEvent(QResizeEvent*) { DockFileList(); }

void MainWindow::ResetButtonPictures() {
  fileListButton_->SetPictureName(fileListShown_ ? "ImageHide" : "ImageShow");
  for (SkinButton* button : buttons_) button->ShowNormal();
}

void MainWindow::StatusTick() {
  ShowTitle();
  emit playbackPollDue();
  ShowStatusLabels();
  status_.ToggleBlink();
}

void MainWindow::ShowRecorderState() {
  ShowTitle();
  ShowStatusLabels();
}

void MainWindow::ShowTitle() {
  const QString title = status_.Title(state_);
  if (windowTitle() != title) setWindowTitle(title);
}

void MainWindow::ShowStatusLabels() {
  labels_.ShowStatus(status_.Labels(state_));
  if (fileListLabel_ != nullptr) labels_.CopyFileTo(fileListLabel_);
  labels_.ShowFolder(QString::fromStdString(settings_.folder));
}

// The window's picture, new at the ratio of the screen the window is on now:
// the skin's 400 x 300 background cut to the window's 399 x 299. The meters
// size their bitmaps to it at the next full repaint.
void MainWindow::DrawBackground() {
  backBuffer_ = BackBuffer(devicePixelRatioF());
  backBuffer_.fill(kWindowColour);
  const QPixmap background = SkinPictures::LoadSkinPicture("Background");
  QPainter painter(&backBuffer_);
  // A picture of another ratio (the 2x one at 150 %, or on a 100 % screen
  // beside a 200 % one) is drawn smoothly, not by dropping pixels.
  if (background.devicePixelRatio() != backBuffer_.devicePixelRatio())
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(0, 0, background);
}

void MainWindow::UpdateTimeDisplay() { labels_.ShowTime(status_.UpdateTime(state_)); }

void MainWindow::UpdateFormatLabels() {
  tarnovox::UpdateFormatLabels(settings_, format_);
  labels_.ShowFormat(format_);
}

void MainWindow::CopyBitmap(int x, int y, const QImage& bitmap) {
  QPainter painter(&backBuffer_);
  painter.drawImage(x, y, bitmap);
  painter.end();
  // Within the paint sequence the buffer is drawn right afterwards.
  if (!inPaint_) update(QRectF(QPointF(x, y), bitmap.deviceIndependentSize()).toAlignedRect());
}

void MainWindow::paintEvent(QPaintEvent* event) {
  // A whole-window paint (shown, uncovered, restored) runs the paint sequence;
  // the partial repaints of a label, a button or a display do not, or every
  // label change would take the hover picture off the button under the pointer.
  if (event->rect() == rect()) {
    // Moved to a screen of another scale: the picture is drawn again at its ratio.
    if (devicePixelRatioF() != backBuffer_.devicePixelRatio()) DrawBackground();
    inPaint_ = true;
    emit metersPaintDue();
    UpdateFormatLabels();
    ResetButtonPictures();
    inPaint_ = false;
  }
  QPainter painter(this);
  // The buffer's own pixels of that part of the window.
  const double ratio = backBuffer_.devicePixelRatio();
  const QRectF part = event->rect();
  painter.drawImage(part, backBuffer_, QRectF(part.topLeft() * ratio, part.size() * ratio));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closeQuery_ && !closeQuery_()) {
    event->ignore();
    return;
  }
  // A companion left on screen would keep the program running, with the hot
  // keys grabbed, after its main window is gone.
  for (QWidget* window : companions_) window->hide();
  event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
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
      setWindowTitle(kProgramName);
      state_.Minimized = false;
      DockFileList();
      for (QWidget* window : hiddenByMinimize_) window->show();
      hiddenByMinimize_.clear();
    }
  }
  QWidget::changeEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
  if (!drag_.Move(event)) ResetButtonPictures();
}

void MainWindow::mousePressEvent(QMouseEvent* event) { drag_.Press(event); }
void MainWindow::mouseReleaseEvent(QMouseEvent* event) { drag_.Release(event); }

}  // namespace tarnovox
