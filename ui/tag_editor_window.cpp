#include "ui/tag_editor_window.h"

#include <QHideEvent>
#include <QShowEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "ui/file_list_rules.h"
#include "ui/companion_window.h"
#include "ui/skin_pictures.h"

namespace tarnovox {
namespace {

const QColor kWindowColour(0, 0, 160);
const QColor kSilver(192, 192, 192);

// "Small Fonts" bold, as on the main window.
QFont SmallBoldFont() {
  QFont font;
  font.setFamilies({"DejaVu Sans"});
  font.setPixelSize(9);
  font.setBold(true);
  return font;
}

// The end of a file as it was before a tag is written into it: its size and
// up to 128 last bytes, the only bytes a tag write can touch. A write that
// fails halfway (disk full, size limit) would otherwise leave half a tag.
class TagAreaSnapshot {
 public:
  explicit TagAreaSnapshot(const std::string& file) : file_(file) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    if (error) return;
    size_ = size;
    std::FILE* stream = std::fopen(file.c_str(), "rb");
    if (stream == nullptr) return;
    tail_.resize(static_cast<size_t>(std::min<std::uintmax_t>(size, 128)));
    const bool read = std::fseek(stream, static_cast<long>(size - tail_.size()), SEEK_SET) == 0 &&
                      std::fread(tail_.data(), 1, tail_.size(), stream) == tail_.size();
    std::fclose(stream);
    valid_ = read;
  }

  // Puts the size and the last bytes back; false when that failed too.
  bool Restore() const {
    if (!valid_) return false;
    std::error_code error;
    std::filesystem::resize_file(file_, size_, error);
    if (error) return false;
    std::FILE* stream = std::fopen(file_.c_str(), "r+b");
    if (stream == nullptr) return false;
    bool ok = std::fseek(stream, static_cast<long>(size_ - tail_.size()), SEEK_SET) == 0 &&
              std::fwrite(tail_.data(), 1, tail_.size(), stream) == tail_.size();
    ok = std::fclose(stream) == 0 && ok;
    return ok;
  }

 private:
  std::string file_;
  std::uintmax_t size_ = 0;
  std::vector<uint8_t> tail_;
  bool valid_ = false;
};

}  // namespace

TForm3::TForm3(const RecordSettings& settings, RecorderState& state, const DriveInfo& drives,
               PlaybackControl& playback, RecordingsLibrary& recordings, UiHooks& ui, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      settings_(settings),
      state_(state),
      drives_(drives),
      playback_(playback),
      recordings_(recordings),
      ui_(ui),
      tags_(state, *this, ui),
      ImageFormTag(TForm4::LoadSkinPicture("ImageFormTag")) {
  setObjectName("Form3");
  new CompanionWindow(this);  // owned by this window
  setWindowTitle("Tarnovox");
  setFixedSize(kWidth, kHeight);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kWindowColour);
  setPalette(palette);

  CreateLabels();
  CreateFields();
  CreateButtons();
  tags_.FillGenreList();
  DisableSave();
}

void TForm3::CreateLabels() {
  auto label = [this](const char* name, int left, int top, const char* text) {
    auto* created = new QLabel(text, this);
    created->setObjectName(name);
    created->setFont(SmallBoldFont());
    created->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette palette = created->palette();
    palette.setColor(QPalette::WindowText, kSilver);
    created->setPalette(palette);
    created->move(left, top);
    created->adjustSize();
    return created;
  };
  LabTitle = label("LabTitle", 60, 12, "Title");
  LabAlbum = label("LabAlbum", 55, 58, "Album");
  LabelGenre = label("LabelGenre", 53, 106, "Genre");
  LabArtist = label("LabArtist", 57, 154, "Artist");
  LabComment = label("LabComment", 46, 202, "Comment");
  LabYear = label("LabYear", 58, 248, "Year");
}

QLineEdit* TForm3::MakeEdit(const char* name, const QRect& place) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  edit->setGeometry(place);
  edit->setFrame(false);
  // No length limit here: the tag writer cuts each text to its field's width.
  edit->setMaxLength(32767);
  connect(edit, &QLineEdit::textChanged, this, [this] { FieldChanged(); });
  return edit;
}

void TForm3::CreateFields() {
  EditTitle = MakeEdit("EditTitle", QRect(18, 29, 215, 16));
  EditAlbum = MakeEdit("EditAlbum", QRect(18, 78, 215, 15));
  CmbBoxGenre = new QComboBox(this);
  CmbBoxGenre->setObjectName("CmbBoxGenre");
  CmbBoxGenre->setGeometry(16, 122, 219, 21);
  CmbBoxGenre->setEditable(true);
  CmbBoxGenre->setFrame(false);
  // What is typed is what gets compared with the genre names, case included;
  // completion or Enter must not turn it into another item.
  CmbBoxGenre->setCompleter(nullptr);
  CmbBoxGenre->setInsertPolicy(QComboBox::NoInsert);
  connect(CmbBoxGenre, &QComboBox::editTextChanged, this, [this] { FieldChanged(); });
  EditArtist = MakeEdit("EditArtist", QRect(18, 172, 215, 17));
  EditComment = MakeEdit("EditComment", QRect(18, 220, 215, 17));
  EditYear = MakeEdit("EditYear", QRect(18, 268, 113, 17));

  for (QWidget* field : std::initializer_list<QWidget*>{EditTitle, EditAlbum, CmbBoxGenre, EditArtist,
                                                        EditComment, EditYear}) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, kSilver);
    palette.setColor(QPalette::Button, kSilver);
    palette.setColor(QPalette::Text, Qt::black);
    field->setPalette(palette);
  }
  setTabOrder(EditTitle, EditAlbum);
  setTabOrder(EditAlbum, CmbBoxGenre);
  setTabOrder(CmbBoxGenre, EditArtist);
  setTabOrder(EditArtist, EditComment);
  setTabOrder(EditComment, EditYear);
}

void TForm3::CreateButtons() {
  ImageClose = new SkinButton(this, "ImageClose", "ImageClose", QRect(225, 5, 19, 19), QString());
  ImageClose->onClick = [this] { HideEditor(); };
  ImageSave = new SkinButton(this, "ImageSave", "ImageSave", QRect(200, 260, 27, 27), "Save");
  ImageSave->onClick = [this] { SaveTag(); };
}

void TForm3::SetImageBank(const TForm4* bank) {
  ImageClose->SetBank(bank);
  ImageSave->SetBank(bank);
  ResetButtonPictures();
}

void TForm3::ResetButtonPictures() {
  ImageClose->ShowNormal();
  ImageSave->ShowNormal();
}

void TForm3::ToggleAt(const QPoint& topLeft) {
  move(topLeft);
  if (shown_)
    HideEditor();
  else
    ShowAt(topLeft);
}

void TForm3::ShowAt(const QPoint& topLeft) {
  move(topLeft);
  shown_ = true;
  show();
}

void TForm3::HideEditor() {
  shown_ = false;
  hide();
}

void TForm3::ClearFields() {
  for (QLineEdit* edit : {EditTitle, EditArtist, EditAlbum, EditYear, EditComment}) edit->clear();
  CmbBoxGenre->setEditText(QString());
}

bool TForm3::CurrentFileIsMp3() const { return UpperExtension(state_.CurrentFile) == ".MP3"; }

void TForm3::FieldChanged() {
  if (CurrentFileIsMp3()) ImageSave->setEnabled(true);
}

bool TForm3::SaveTag() {
  // The recorder points CurrentFile at the file it is writing; a tag there
  // would end up in the middle of the recording.
  if (state_.recording) {
    ui_.ShowMessage("Cannot save the tag while recording");
    return false;
  }
  // Save may still be on from an MP3 while CurrentFile has moved to a WAV.
  if (!CurrentFileIsMp3()) return false;
  if (drives_.IsCdRom(settings_.Folder)) {
    ui_.ShowMessage("Cannot save to CDROM drive");
    return false;
  }
  // The player may hold the very file; close it whichever file it plays.
  ClosePlaybackForFileChange(playback_, state_);
  const std::string file = state_.CurrentFile;
  ui_.ProcessMessages();
  // Hot keys handled just now may have started a recording, or started and
  // stopped one, which leaves CurrentFile naming that take.
  if (state_.recording || state_.CurrentFile != file) {
    ui_.ShowMessage("Cannot save the tag while recording");
    return false;
  }
  if (!WriteKeepingFileOnFailure()) return false;
  RefreshRecordings();
  // The rescan leaves the last listed file picked; Play must play this one.
  state_.PickedFile = file;
  return true;
}

bool TForm3::WriteKeepingFileOnFailure() {
  const TagAreaSnapshot before(state_.CurrentFile);
  if (tags_.WriteId3v1Tag()) return true;
  // The writer has shown why; the file goes back to how it was.
  before.Restore();
  return false;
}

void TForm3::RefreshRecordings() {
  // The file's size changed, which the list shows.
  ui_.SetBusyCursor(true);
  recordings_.Rescan();
  recordings_.ApplySort();
  ui_.SetBusyCursor(false);
}

std::string TForm3::Text(TagField field) const {
  QString text;
  switch (field) {
    case TagField::EditTitle: text = EditTitle->text(); break;
    case TagField::EditArtist: text = EditArtist->text(); break;
    case TagField::EditAlbum: text = EditAlbum->text(); break;
    case TagField::EditYear: text = EditYear->text(); break;
    case TagField::EditComment: text = EditComment->text(); break;
    case TagField::CmbBoxGenre: text = CmbBoxGenre->currentText(); break;
  }
  return text.toLatin1().toStdString();
}

void TForm3::SetText(TagField field, const std::string& text) {
  const QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  switch (field) {
    case TagField::EditTitle: EditTitle->setText(shown); break;
    case TagField::EditArtist: EditArtist->setText(shown); break;
    case TagField::EditAlbum: EditAlbum->setText(shown); break;
    case TagField::EditYear: EditYear->setText(shown); break;
    case TagField::EditComment: EditComment->setText(shown); break;
    case TagField::CmbBoxGenre: CmbBoxGenre->setEditText(shown); break;
  }
}

void TForm3::AddGenreItem(const std::string& name) {
  CmbBoxGenre->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
  // A sorted box: the list shows the names alphabetically whatever their order.
  CmbBoxGenre->model()->sort(0);
  CmbBoxGenre->setEditText(QString());
}

void TForm3::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), kWindowColour);
  painter.drawPixmap(0, 0, ImageFormTag);
}

void TForm3::hideEvent(QHideEvent* event) {
  // Hidden by anyone (the main window, the window manager), not merely minimized.
  if (!event->spontaneous()) shown_ = false;
  QWidget::hideEvent(event);
}

void TForm3::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) shown_ = true;
  QWidget::showEvent(event);
}

void TForm3::mouseMoveEvent(QMouseEvent* event) {
  if (!drag_.Move(event)) ResetButtonPictures();
}

void TForm3::mousePressEvent(QMouseEvent* event) { drag_.Press(event); }
void TForm3::mouseReleaseEvent(QMouseEvent* event) { drag_.Release(event); }

}  // namespace tarnovox
