#include "ui/file_list_window.h"

#include <QFile>
#include <QFont>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QSlider>
#include <QStyle>
#include <string_view>

#include "recordings/playback.h"
#include "ui/companion_window.h"
#include "ui/file_grid.h"
#include "ui/file_list_rules.h"
#include "ui/focus_marks.h"
#include "ui/marked_position_bar.h"
#include "ui/program_name.h"
#include "ui/skin_button.h"
#include "ui/skin_pictures.h"

namespace tarnovox {
namespace {

const QColor kWindowColour(0, 0, 192);

// The window's texts, in one place and through tr() so they can be translated.
struct Texts {
  QString file = FileListWindow::tr("File");
  QString positionBar = FileListWindow::tr("Playback Position");
  QString volumeBar = FileListWindow::tr("Playback Volume");
  QString tagEditor = FileListWindow::tr("TAG Editor");
  QString rename = FileListWindow::tr("Rename File");
  QString convert = FileListWindow::tr("Convert  to MP3");  // the double space is kept on purpose
  // The same double space, so the three conversions line up as one family.
  QString convertFlac = FileListWindow::tr("Convert  to FLAC");
  QString convertOpus = FileListWindow::tr("Convert  to Opus");
  QString remove = FileListWindow::tr("Delete File");
};

// The initial text is a file name as the file system has it, bytes that need
// not be valid UTF-8: an answer left as shown gives back those very bytes.
std::optional<std::string> AskText(QWidget* parent, const std::string& caption, const std::string& initial) {
  bool ok = false;
  const QString shown = QFile::decodeName(QByteArray::fromStdString(initial));
  const QString answer = QInputDialog::getText(parent, QString::fromStdString(caption), QString(),
                                               QLineEdit::Normal, shown, &ok);
  if (!ok) return std::nullopt;
  if (answer == shown) return initial;
  return QFile::encodeName(answer).toStdString();
}

}  // namespace

FileListWindow::FileListWindow(RecordSettings& settings, RecorderState& state, RecordingsList& list,
                               Playback& playback, UiHooks& ui, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      commands_(state, list, playback, ui),
      settings_(settings),
      state_(state),
      list_(list),
      playback_(playback) {
  setObjectName("fileListWindow");
  new CompanionWindow(this);  // owned by this window
  setWindowTitle(kProgramName);
  setFixedSize(kWidth, kHeight);
  setMouseTracking(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kWindowColour);
  setPalette(palette);
  setAutoFillBackground(true);
  background_ = SkinPictures::LoadSkinPicture("FileList");

  CreateFileLabel();
  CreateGrid();
  CreateBars();
  CreateMenu();
  tagEditorButton_ = new SkinButton(this, "tagEditorButton", "ImageTag", QRect(364, 265, 27, 27),
                                    Texts().tagEditor);
  connect(tagEditorButton_, &SkinButton::clicked, this,
          [this] { emit tagEditorToggleRequested(QPoint(x() + width(), y())); });
  connect(&commands_, &FileListCommands::playRequested, this, [this] { playback_.StartPlayback(); });
  commands_.askText = [this](const std::string& caption, const std::string& initial) {
    return AskText(this, caption, initial);
  };

  // The volume read at start-up, as its right channel; its change handler
  // gives both channels that value.
  volumeBar_->setValue(playback_.Volume().right);
  list_.AttachGrid(grid_);
  list_.Rescan();
  list_.ApplySort();
  SetTabOrder();
}

// Tab goes from the grid to the position bar, the volume bar and the tag
// editor's button, and leaves the grid instead of moving between its cells.
void FileListWindow::SetTabOrder() {
  grid_->setTabKeyNavigation(false);
  setTabOrder(grid_, positionBar_);
  setTabOrder(positionBar_, volumeBar_);
  setTabOrder(volumeBar_, tagEditorButton_);
  focusMarks_ = new FocusMarks(this);
  focusMarks_->Watch({grid_, positionBar_, volumeBar_});
}

void FileListWindow::CreateFileLabel() {
  fileLabel_ = new QLabel(Texts().file, this);
  fileLabel_->setObjectName("fileLabel");
  QFont bold = fileLabel_->font();
  bold.setPixelSize(11);
  bold.setBold(true);
  fileLabel_->setFont(bold);
  QPalette labelPalette = fileLabel_->palette();
  labelPalette.setColor(QPalette::WindowText, QColor(192, 192, 192));
  fileLabel_->setPalette(labelPalette);
  fileLabel_->move(32, 9);
  fileLabel_->setMinimumWidth(340);
}

void FileListWindow::CreateGrid() {
  grid_ = new FileGrid(this);
  grid_->setObjectName("grid");
  grid_->setAccessibleName(tr("Recordings"));
  grid_->setGeometry(12, 34, 373, 225);
  for (int column = 0; column < 3; ++column) grid_->setColumnWidth(column, settings_.columnWidths[column]);
  grid_->Header()->sort = [this] { return settings_.listSort; };
  grid_->Header()->sortColumn = [this] { return list_.SortColumn; };
  connect(grid_->Header(), &FileGridHeader::releasedAt, this, [this](int x) { SortByHeaderAt(x); });
  connect(grid_, &FileGrid::rowPicked, this, [this](int row) {
    commands_.PickRow(row);
    UpdateMenuForCurrentFile();
  });
  connect(grid_, &FileGrid::rowReleased, this, [this](int row) {
    RememberRelease(row);
    UpdateMenuForCurrentFile();
  });
  connect(grid_, &FileGrid::rowDoubleClicked, this, [this] { commands_.PlayPicked(lastReleaseRow_); });
  grid_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(grid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& place) {
    UpdateMenuForCurrentFile();
    contextMenu_->popup(grid_->viewport()->mapToGlobal(place));
  });
}

void FileListWindow::CreateBars() {
  auto bar = [this](const char* name, int left, int width, int maximum, const QString& hint) {
    auto* slider = std::string_view(name) == "positionBar" ? new MarkedPositionBar(this)
                                                            : new QSlider(Qt::Horizontal, this);
    slider->setObjectName(name);
    slider->setGeometry(left, 271, width, 17);
    slider->setRange(0, maximum);
    slider->setTickPosition(QSlider::NoTicks);
    slider->setToolTip(hint);
    slider->setAccessibleName(hint);
    return slider;
  };
  const Texts texts;
  positionBar_ = static_cast<MarkedPositionBar*>(bar("positionBar", 22, 211, 1000, texts.positionBar));
  positionBar_->setPageStep(50);
  volumeBar_ = bar("volumeBar", 258, 97, 65535, texts.volumeBar);
  volumeBar_->setPageStep(4096);
  volumeBar_->setSingleStep(1024);
  connect(positionBar_, &QSlider::valueChanged, this,
          [this](int position) { playback_.SeekToBarPosition(position); });
  connect(volumeBar_, &QSlider::valueChanged, this,
          [this](int position) { playback_.SetVolumeFromBar(position); });
  // While the list has the focus, Ctrl+Right and Ctrl+Left go to the next and
  // the previous mark of the file that plays.
  for (const auto& [key, forward] : {std::pair{Qt::Key_Right, true}, std::pair{Qt::Key_Left, false}}) {
    auto* jump = new QShortcut(QKeySequence(Qt::CTRL | key), grid_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(jump, &QShortcut::activated, this, [this, forward = forward] { playback_.JumpToMark(forward); });
  }
}

void FileListWindow::CreateMenu() {
  const Texts texts;
  contextMenu_ = new QMenu(this);
  contextMenu_->setObjectName("contextMenu");
  renameAction_ = contextMenu_->addAction(texts.rename);
  renameAction_->setObjectName("renameAction");
  convertAction_ = contextMenu_->addAction(texts.convert);
  convertAction_->setObjectName("convertAction");
  convertFlacAction_ = contextMenu_->addAction(texts.convertFlac);
  convertFlacAction_->setObjectName("convertFlacAction");
  convertOpusAction_ = contextMenu_->addAction(texts.convertOpus);
  convertOpusAction_->setObjectName("convertOpusAction");
  deleteAction_ = contextMenu_->addAction(texts.remove);
  deleteAction_->setObjectName("deleteAction");
  // The style's pictures come from a search of the icon theme: done when the
  // menu first opens, not while the program starts.
  connect(contextMenu_, &QMenu::aboutToShow, this, [this] {
    if (!renameAction_->icon().isNull()) return;
    renameAction_->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    for (QAction* convert : {convertAction_, convertFlacAction_, convertOpusAction_})
      convert->setIcon(QIcon(FileKindPicture(1)));
    deleteAction_->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
  });
  for (QAction* item : contextMenu_->actions()) item->setEnabled(false);
  connect(renameAction_, &QAction::triggered, this, [this] { commands_.RenameCurrentFile(); });
  for (const auto& [action, format] : {std::pair{convertAction_, ConversionTarget::Mp3},
                                       std::pair{convertFlacAction_, ConversionTarget::Flac},
                                       std::pair{convertOpusAction_, ConversionTarget::Opus}}) {
    connect(action, &QAction::triggered, this, [this, format = format] { ConvertSelected(format); });
  }
  connect(deleteAction_, &QAction::triggered, this, [this] { DeleteSelected(); });
}

void FileListWindow::SetSkinPictures(const SkinPictures* pictures) {
  tagEditorButton_->SetPictures(pictures);
  tagEditorButton_->ShowNormal();
}

void FileListWindow::SetPositionBar(int position) { positionBar_->setValue(position); }
void FileListWindow::EnablePositionBar(bool enabled) { positionBar_->setEnabled(enabled); }
void FileListWindow::ShowMarks(const std::vector<int>& positions) { positionBar_->SetMarks(positions); }
void FileListWindow::SetVolumeBar(int position) { volumeBar_->setValue(position); }
void FileListWindow::SetGridEnabled(bool enabled) { grid_->setEnabled(enabled); }

void FileListWindow::UpdateMenuForCurrentFile() {
  const FileMenuState menu = MenuStateFor(state_, SelectedFiles());
  renameAction_->setEnabled(menu.renameFile);
  for (QAction* convert : {convertAction_, convertFlacAction_, convertOpusAction_}) convert->setEnabled(menu.convert);
  deleteAction_->setEnabled(menu.deleteFile);
}

void FileListWindow::RememberRelease(int row) {
  lastReleaseRow_ = row;
  StoreColumnWidths();
}

void FileListWindow::SortByHeaderAt(int x) {
  lastReleaseRow_ = 0;
  FileGridHeader* header = grid_->Header();
  const int column = HeaderClickColumn(header->logicalIndexAt(x - 5), header->logicalIndexAt(x),
                                       header->logicalIndexAt(x + 5));
  if (column >= 0) {
    list_.ToggleSort(column);
    header->viewport()->update();
  }
  StoreColumnWidths();
}

void FileListWindow::ConvertSelected(ConversionTarget format) {
  // While recording the current file is the file being written.
  if (state_.Recording()) return;
  emit convertRequested(SelectedFiles(), format);
}

void FileListWindow::DeleteSelected() {
  const std::vector<std::string> files = SelectedFiles();
  if (files.size() > 1) commands_.DeleteFiles(files);
  else commands_.DeleteCurrentFile();
}

// One highlighted row is the current file's, unless a pause kept the current
// file while the user moved on: the current file is what one row works on.
std::vector<std::string> FileListWindow::SelectedFiles() const {
  std::vector<std::string> files;
  for (int row : grid_->SelectedRows()) files.push_back(list_.RowFile(row));
  if (files.size() > 1) return files;
  if (state_.CurrentFile.empty()) return {};
  return {state_.CurrentFile};
}

void FileListWindow::StoreColumnWidths() {
  for (int column = 0; column < 3; ++column) settings_.columnWidths[column] = grid_->columnWidth(column);
}

void FileListWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // At 150 % the 2x picture is drawn smaller: smoothly, not by dropping pixels.
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(0, 0, background_);
  focusMarks_->Paint(painter);
}

void FileListWindow::showEvent(QShowEvent* event) {
  // A grid without rows gets them again from the list.
  if (grid_->Cell(0, 1).isEmpty()) list_.ApplySort();
  QWidget::showEvent(event);
}

void FileListWindow::mouseMoveEvent(QMouseEvent* event) {
  tagEditorButton_->ShowNormal();
  QWidget::mouseMoveEvent(event);
}

}  // namespace tarnovox
