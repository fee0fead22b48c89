#include "ui/tform2.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QFont>
#include <QInputDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include "recordings/playback.h"
#include "ui/file_list_rules.h"
#include "ui/companion_window.h"
#include "ui/image_bank.h"

namespace tarnovox {
namespace {

const QColor kWindowColour(0, 0, 192);

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

TForm2::TForm2(RecordSettings& settings, RecorderState& state, RecordingsList& list, Playback& playback,
               UiHooks& ui, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      Commands(state, list, playback, ui),
      settings_(settings),
      state_(state),
      list_(list),
      playback_(playback) {
  setObjectName("Form2");
  new CompanionWindow(this);  // owned by this window
  setWindowTitle("Tarnovox");
  setFixedSize(kWidth, kHeight);
  setMouseTracking(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kWindowColour);
  setPalette(palette);
  setAutoFillBackground(true);
  background_ = TForm4::LoadSkinPicture("FileList");

  LabFile = new QLabel("File", this);
  LabFile->setObjectName("LabFile");
  QFont bold = LabFile->font();
  bold.setPixelSize(11);
  bold.setBold(true);
  LabFile->setFont(bold);
  QPalette labelPalette = LabFile->palette();
  labelPalette.setColor(QPalette::WindowText, QColor(192, 192, 192));
  LabFile->setPalette(labelPalette);
  LabFile->move(32, 9);
  LabFile->setMinimumWidth(340);

  CreateGrid();
  CreateBars();
  CreateMenu();
  ImageTag = new SkinButton(this, "ImageTag", "ImageTag", QRect(364, 265, 27, 27), "TAG Editor");
  ImageTag->onClick = [this] {
    if (toggleTagEditor) toggleTagEditor(QPoint(x() + width(), y()));
  };
  Commands.hooks.startPlayback = [this] { playback_.StartPlayback(); };
  Commands.hooks.askText = [this](const std::string& caption, const std::string& initial) {
    return AskText(this, caption, initial);
  };

  // The volume read at start-up, as its right channel; its change handler
  // gives both channels that value.
  TrackBarVolume->setValue(playback_.Volume().right);
  list_.AttachGrid(SGridFiles);
  list_.Rescan();
  list_.ApplySort();
}

void TForm2::CreateGrid() {
  SGridFiles = new FileGrid(this);
  SGridFiles->setGeometry(12, 34, 373, 225);
  SGridFiles->setColumnWidth(0, settings_.Col0);
  SGridFiles->setColumnWidth(1, settings_.Col1);
  SGridFiles->setColumnWidth(2, settings_.Col2);
  SGridFiles->Header()->sort = [this] { return settings_.Sort; };
  SGridFiles->Header()->sortColumn = [this] { return list_.SortColumn; };
  SGridFiles->Header()->released = [this](int x) { HeaderMouseUp(x); };
  SGridFiles->selectCell = [this](int row) { Commands.SGridFilesSelectCell(row); };
  SGridFiles->clicked = [this] { SGridFilesClick(); };
  SGridFiles->doubleClicked = [this] { Commands.SGridFilesDblClick(lastReleaseRow_); };
  SGridFiles->released = [this](int row) { SGridFilesMouseUp(row); };
  SGridFiles->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(SGridFiles, &QWidget::customContextMenuRequested, this, [this](const QPoint& place) {
    SGridFilesClick();
    PMenu->popup(SGridFiles->viewport()->mapToGlobal(place));
  });
}

void TForm2::CreateBars() {
  auto bar = [this](const char* name, int left, int width, int maximum, const char* hint) {
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(name);
    slider->setGeometry(left, 271, width, 17);
    slider->setRange(0, maximum);
    slider->setTickPosition(QSlider::NoTicks);
    slider->setToolTip(hint);
    return slider;
  };
  TrackBarPosition = bar("TrackBarPosition", 22, 211, 1000, "Playback Position");
  TrackBarPosition->setPageStep(50);
  TrackBarVolume = bar("TrackBarVolume", 258, 97, 65535, "Playback Volume");
  TrackBarVolume->setPageStep(4096);
  TrackBarVolume->setSingleStep(1024);
  connect(TrackBarPosition, &QSlider::valueChanged, this,
          [this](int position) { playback_.SeekToBarPosition(position); });
  connect(TrackBarVolume, &QSlider::valueChanged, this,
          [this](int position) { playback_.SetVolumeFromBar(position); });
}

void TForm2::CreateMenu() {
  PMenu = new QMenu(this);
  PMenu->setObjectName("PMenu");
  pmRename = PMenu->addAction("Rename File");
  pmWav2MP3 = PMenu->addAction("Convert  to MP3");
  pmDelete = PMenu->addAction("Delete File");
  // The style's pictures come from a search of the icon theme: done when the
  // menu first opens, not while the program starts.
  connect(PMenu, &QMenu::aboutToShow, this, [this] {
    if (!pmRename->icon().isNull()) return;
    pmRename->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    pmWav2MP3->setIcon(QIcon(FileKindPicture(1)));
    pmDelete->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
  });
  for (QAction* item : {pmRename, pmWav2MP3, pmDelete}) item->setEnabled(false);
  connect(pmRename, &QAction::triggered, this, [this] { Commands.pmRenameClick(); });
  connect(pmWav2MP3, &QAction::triggered, this, [this] { pmWav2MP3Click(); });
  connect(pmDelete, &QAction::triggered, this, [this] { Commands.pmDeleteClick(); });
}

void TForm2::SetImageBank(const TForm4* bank) {
  ImageTag->SetBank(bank);
  ImageTag->ShowNormal();
}

void TForm2::SGridFilesClick() {
  const FileMenuState menu = MenuStateFor(state_);
  pmRename->setEnabled(menu.pmRename);
  pmWav2MP3->setEnabled(menu.pmWav2MP3);
  pmDelete->setEnabled(menu.pmDelete);
}

void TForm2::SGridFilesMouseUp(int row) {
  lastReleaseRow_ = row;
  StoreColumnWidths();
}

void TForm2::HeaderMouseUp(int x) {
  lastReleaseRow_ = 0;
  FileGridHeader* header = SGridFiles->Header();
  const int column = HeaderClickColumn(header->logicalIndexAt(x - 5), header->logicalIndexAt(x),
                                       header->logicalIndexAt(x + 5));
  if (column >= 0) {
    list_.ToggleSort(column);
    header->viewport()->update();
  }
  StoreColumnWidths();
}

void TForm2::pmWav2MP3Click() {
  // While recording CurrentFile is the file being written.
  if (state_.recording) return;
  if (convert) convert();
}

void TForm2::StoreColumnWidths() {
  settings_.Col0 = SGridFiles->columnWidth(0);
  settings_.Col1 = SGridFiles->columnWidth(1);
  settings_.Col2 = SGridFiles->columnWidth(2);
}

void TForm2::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, background_);
}

void TForm2::showEvent(QShowEvent* event) {
  if (SGridFiles->Cell(0, 1).isEmpty()) list_.ApplySort();
  QWidget::showEvent(event);
}

void TForm2::mouseMoveEvent(QMouseEvent* event) {
  ImageTag->ShowNormal();
  QWidget::mouseMoveEvent(event);
}

}  // namespace tarnovox
