#include "ui/tag_editor_window.h"

#include <QComboBox>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "ui/companion_window.h"
#include "ui/file_list_rules.h"
#include "ui/focus_marks.h"
#include "ui/program_name.h"
#include "ui/skin_button.h"
#include "ui/skin_pictures.h"

namespace tarnovox {
namespace {

const QColor kWindowColour(0, 0, 160);
const QColor kSilver(192, 192, 192);

// The window's texts, in one place and through tr() so they can be translated.
struct Texts {
  QString title = TagEditorWindow::tr("Title");
  QString album = TagEditorWindow::tr("Album");
  QString genre = TagEditorWindow::tr("Genre");
  QString artist = TagEditorWindow::tr("Artist");
  QString comment = TagEditorWindow::tr("Comment");
  QString year = TagEditorWindow::tr("Year");
  QString save = TagEditorWindow::tr("Save");
  static std::string WhileRecording() {
    return TagEditorWindow::tr("Cannot save the tag while recording").toStdString();
  }
  static std::string OnCdRom() { return TagEditorWindow::tr("Cannot save to CDROM drive").toStdString(); }
};

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

TagEditorWindow::TagEditorWindow(const RecordSettings& settings, RecorderState& state, const DriveInfo& drives,
                                 PlaybackControl& playback, RecordingsLibrary& recordings, UiHooks& ui,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      settings_(settings),
      state_(state),
      drives_(drives),
      playback_(playback),
      recordings_(recordings),
      ui_(ui),
      tags_(state, *this, ui),
      vorbisTags_(state, *this, ui),
      background_(SkinPictures::LoadSkinPicture("ImageFormTag")) {
  setObjectName("tagEditorWindow");
  new CompanionWindow(this);  // owned by this window
  setWindowTitle(kProgramName);
  setFixedSize(kWidth, kHeight);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kWindowColour);
  setPalette(palette);

  CreateLabels();
  CreateFields();
  CreateButtons();
  SetTabOrder();
  tags_.FillGenreList();
  DisableSave();
}

void TagEditorWindow::CreateLabels() {
  auto label = [this](const char* name, int left, int top, const QString& text) {
    auto* created = new QLabel(text, this);
    created->setObjectName(name);
    created->setFont(SmallBoldFont());
    created->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette palette = created->palette();
    palette.setColor(QPalette::WindowText, kSilver);
    created->setPalette(palette);
    created->move(left, top);
    created->adjustSize();
  };
  const Texts texts;
  label("titleLabel", 60, 12, texts.title);
  label("albumLabel", 55, 58, texts.album);
  label("genreLabel", 53, 106, texts.genre);
  label("artistLabel", 57, 154, texts.artist);
  label("commentLabel", 46, 202, texts.comment);
  label("yearLabel", 58, 248, texts.year);
}

QLineEdit* TagEditorWindow::MakeEdit(const char* name, const QRect& place) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  edit->setGeometry(place);
  edit->setFrame(false);
  // No length limit here: the tag writer cuts each text to its field's width.
  edit->setMaxLength(32767);
  connect(edit, &QLineEdit::textChanged, this, [this] { FieldChanged(); });
  return edit;
}

void TagEditorWindow::CreateFields() {
  titleEdit_ = MakeEdit("titleEdit", QRect(18, 29, 215, 16));
  albumEdit_ = MakeEdit("albumEdit", QRect(18, 78, 215, 15));
  genreBox_ = new QComboBox(this);
  genreBox_->setObjectName("genreBox");
  genreBox_->setGeometry(16, 122, 219, 21);
  genreBox_->setEditable(true);
  genreBox_->setFrame(false);
  // What is typed is what gets compared with the genre names, case included;
  // completion or Enter must not turn it into another item.
  genreBox_->setCompleter(nullptr);
  genreBox_->setInsertPolicy(QComboBox::NoInsert);
  connect(genreBox_, &QComboBox::editTextChanged, this, [this] { FieldChanged(); });
  artistEdit_ = MakeEdit("artistEdit", QRect(18, 172, 215, 17));
  commentEdit_ = MakeEdit("commentEdit", QRect(18, 220, 215, 17));
  yearEdit_ = MakeEdit("yearEdit", QRect(18, 268, 113, 17));

  for (QWidget* field : std::initializer_list<QWidget*>{titleEdit_, albumEdit_, genreBox_, artistEdit_,
                                                        commentEdit_, yearEdit_}) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, kSilver);
    palette.setColor(QPalette::Button, kSilver);
    palette.setColor(QPalette::Text, Qt::black);
    field->setPalette(palette);
  }
  // The labels beside the fields name them for a screen reader.
  const Texts texts;
  const std::pair<QWidget*, QString> names[] = {{titleEdit_, texts.title},     {albumEdit_, texts.album},
                                                {genreBox_, texts.genre},      {artistEdit_, texts.artist},
                                                {commentEdit_, texts.comment}, {yearEdit_, texts.year}};
  for (const auto& [field, name] : names) field->setAccessibleName(name);
}

// Tab goes down the six fields, then to Save and to the close button.
void TagEditorWindow::SetTabOrder() {
  setTabOrder(titleEdit_, albumEdit_);
  setTabOrder(albumEdit_, genreBox_);
  setTabOrder(genreBox_, artistEdit_);
  setTabOrder(artistEdit_, commentEdit_);
  setTabOrder(commentEdit_, yearEdit_);
  setTabOrder(yearEdit_, saveButton_);
  setTabOrder(saveButton_, closeButton_);
  focusMarks_ = new FocusMarks(this);
  focusMarks_->Watch({titleEdit_, albumEdit_, genreBox_, artistEdit_, commentEdit_, yearEdit_});
}

void TagEditorWindow::CreateButtons() {
  closeButton_ = new SkinButton(this, "closeButton", "ImageClose", QRect(225, 5, 19, 19), QString());
  closeButton_->setAccessibleName(tr("Close"));  // it has no hint to show
  connect(closeButton_, &SkinButton::clicked, this, [this] { HideEditor(); });
  saveButton_ = new SkinButton(this, "saveButton", "ImageSave", QRect(200, 260, 27, 27), Texts().save);
  connect(saveButton_, &SkinButton::clicked, this, [this] { SaveTag(); });
}

void TagEditorWindow::SetSkinPictures(const SkinPictures* pictures) {
  closeButton_->SetPictures(pictures);
  saveButton_->SetPictures(pictures);
  ResetButtonPictures();
}

void TagEditorWindow::ResetButtonPictures() {
  closeButton_->ShowNormal();
  saveButton_->ShowNormal();
}

void TagEditorWindow::ToggleAt(const QPoint& topLeft) {
  move(topLeft);
  if (shown_)
    HideEditor();
  else
    ShowAt(topLeft);
}

void TagEditorWindow::ShowAt(const QPoint& topLeft) {
  move(topLeft);
  shown_ = true;
  show();
}

void TagEditorWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Escape) return QWidget::keyPressEvent(event);
  event->accept();
  HideEditor();
}

void TagEditorWindow::HideEditor() {
  shown_ = false;
  hide();
}

void TagEditorWindow::ClearFields() {
  for (QLineEdit* edit : {titleEdit_, artistEdit_, albumEdit_, yearEdit_, commentEdit_}) edit->clear();
  genreBox_->setEditText(QString());
}

void TagEditorWindow::DisableSave() { saveButton_->setEnabled(false); }

bool TagEditorWindow::CurrentFileHasTag() const {
  return UpperExtension(state_.CurrentFile) == ".MP3" || IsVorbisCommentFile(state_.CurrentFile);
}

void TagEditorWindow::FieldChanged() {
  if (CurrentFileHasTag()) saveButton_->setEnabled(true);
}

bool TagEditorWindow::SaveTag() {
  // The recorder points CurrentFile at the file it is writing; a tag there
  // would end up in the middle of the recording.
  if (state_.Recording()) {
    ui_.ShowMessage(Texts::WhileRecording());
    return false;
  }
  // Save may still be on from a tagged file while CurrentFile has moved to a WAV.
  if (!CurrentFileHasTag()) return false;
  if (drives_.IsCdRom(settings_.folder)) {
    ui_.ShowMessage(Texts::OnCdRom());
    return false;
  }
  // The player may hold the very file; close it whichever file it plays.
  ClosePlaybackForFileChange(playback_, state_);
  const std::string file = state_.CurrentFile;
  // A FLAC or Opus file is replaced whole by a copy with the new comments.
  if (IsVorbisCommentFile(file) ? !vorbisTags_.Write() : !WriteKeepingFileOnFailure()) return false;
  RefreshRecordings();
  // The rescan leaves the last listed file picked; Play must play this one.
  state_.PickedFile = file;
  return true;
}

bool TagEditorWindow::WriteKeepingFileOnFailure() {
  const TagAreaSnapshot before(state_.CurrentFile);
  if (tags_.WriteId3v1Tag()) return true;
  // The writer has shown why; the file goes back to how it was.
  before.Restore();
  return false;
}

void TagEditorWindow::RefreshRecordings() {
  // The file's size changed, which the list shows.
  ui_.SetBusyCursor(true);
  recordings_.Rescan();
  recordings_.ApplySort();
  ui_.SetBusyCursor(false);
}

std::string TagEditorWindow::Text(TagField field) const {
  QString text;
  switch (field) {
    case TagField::EditTitle: text = titleEdit_->text(); break;
    case TagField::EditArtist: text = artistEdit_->text(); break;
    case TagField::EditAlbum: text = albumEdit_->text(); break;
    case TagField::EditYear: text = yearEdit_->text(); break;
    case TagField::EditComment: text = commentEdit_->text(); break;
    case TagField::CmbBoxGenre: text = genreBox_->currentText(); break;
  }
  return text.toLatin1().toStdString();
}

void TagEditorWindow::SetText(TagField field, const std::string& text) {
  const QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  switch (field) {
    case TagField::EditTitle: titleEdit_->setText(shown); break;
    case TagField::EditArtist: artistEdit_->setText(shown); break;
    case TagField::EditAlbum: albumEdit_->setText(shown); break;
    case TagField::EditYear: yearEdit_->setText(shown); break;
    case TagField::EditComment: commentEdit_->setText(shown); break;
    case TagField::CmbBoxGenre: genreBox_->setEditText(shown); break;
  }
}

void TagEditorWindow::AddGenreItem(const std::string& name) {
  genreBox_->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
  // A sorted box: the list shows the names alphabetically whatever their order.
  genreBox_->model()->sort(0);
  genreBox_->setEditText(QString());
}

void TagEditorWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), kWindowColour);
  // At 150 % the 2x picture is drawn smaller: smoothly, not by dropping pixels.
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(0, 0, background_);
  focusMarks_->Paint(painter);
}

void TagEditorWindow::hideEvent(QHideEvent* event) {
  // Hidden by anyone (the main window, the window manager), not merely minimized.
  if (!event->spontaneous()) shown_ = false;
  QWidget::hideEvent(event);
}

void TagEditorWindow::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) shown_ = true;
  QWidget::showEvent(event);
}

void TagEditorWindow::mouseMoveEvent(QMouseEvent* event) {
  if (!drag_.Move(event)) ResetButtonPictures();
}

void TagEditorWindow::mousePressEvent(QMouseEvent* event) { drag_.Press(event); }
void TagEditorWindow::mouseReleaseEvent(QMouseEvent* event) { drag_.Release(event); }

}  // namespace tarnovox
