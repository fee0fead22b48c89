#pragma once
// TForm3, the tag editor: a small borderless skinned window with the six
// fields of an MP3 file's ID3 version 1 tag and a Save button. The file list
// window shows and hides it (ToggleAt), empties and fills its fields when a row
// is picked (ClearFields, DescribePickedMp3, DisableSave); the editor itself
// only notices changes and saves the fields into RecorderState::CurrentFile.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPoint>
#include <QWidget>

#include "recorder/collaborators.h"
#include "recorder/recorder_state.h"
#include "recorder/ui_hooks.h"
#include "platform/drive_info.h"
#include "settings/record_settings.h"
#include "tags/mp3_file_tags.h"
#include "tags/tag_editor_fields.h"
#include "ui/background_drag.h"
#include "ui/skin_button.h"

namespace tarnovox {

class TForm4;

class TForm3 : public QWidget, public TagEditorFields {
 public:
  static constexpr int kWidth = 249, kHeight = 299;

  // FormCreate: the genre list is filled and Save starts disabled.
  TForm3(const RecordSettings& settings, RecorderState& state, const DriveInfo& drives, PlaybackControl& playback,
         RecordingsLibrary& recordings, UiHooks& ui, QWidget* parent = nullptr);

  // Until a bank is attached the buttons keep the skin's normal pictures.
  void SetImageBank(const TForm4* bank);

  // The file list's tag button: places the window's top left corner there and
  // shows it when it is hidden (however it was hidden), hides it otherwise.
  void ToggleAt(const QPoint& topLeft);
  void ShowAt(const QPoint& topLeft);
  // Hides the window and clears the shown flag (own close button, file list hidden).
  void HideEditor();
  bool Shown() const { return shown_; }

  // For the file list's row selection: empties the six fields; describes
  // RecorderState::PickedFile (frame header and tag, Mp3FileTags); turns Save off
  // again, since filling the fields counts as a change.
  void ClearFields();
  void DescribePickedMp3() { tags_.DescribeMp3File(); }
  void DisableSave() { ImageSave->setEnabled(false); }
  Mp3FileTags& Tags() { return tags_; }

  // The save command. Refused while recording (the file being written must not
  // get a tag in its middle), also when a recording ran while pending messages
  // were processed, for a current file that is not an MP3, and for an
  // output folder on a CD-ROM drive. Closes a playback first. A failed write
  // leaves the file as it was. Returns true when the tag was written.
  bool SaveTag();

  // TagEditorFields: Latin-1 texts of the six fields.
  std::string Text(TagField field) const override;
  void SetText(TagField field, const std::string& text) override;
  void AddGenreItem(const std::string& name) override;

  void ResetButtonPictures();

  QLabel* LabTitle;
  QLabel* LabAlbum;
  QLabel* LabelGenre;
  QLabel* LabArtist;
  QLabel* LabComment;
  QLabel* LabYear;
  QLineEdit* EditTitle;
  QLineEdit* EditAlbum;
  QComboBox* CmbBoxGenre;
  QLineEdit* EditArtist;
  QLineEdit* EditComment;
  QLineEdit* EditYear;
  SkinButton* ImageClose;
  SkinButton* ImageSave;

 protected:
  void paintEvent(QPaintEvent* event) override;  // FormPaint
  void hideEvent(QHideEvent* event) override;
  void showEvent(QShowEvent* event) override;  // shown again by the main window's restore
  // The background picture ImageFormTag: resets the buttons, drags the window.
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void CreateLabels();
  void CreateFields();
  void CreateButtons();
  QLineEdit* MakeEdit(const char* name, const QRect& place);
  // The Change handlers of all six fields.
  void FieldChanged();
  bool CurrentFileIsMp3() const;
  bool WriteKeepingFileOnFailure();
  void RefreshRecordings();

  const RecordSettings& settings_;
  RecorderState& state_;
  const DriveInfo& drives_;
  PlaybackControl& playback_;
  RecordingsLibrary& recordings_;
  UiHooks& ui_;
  Mp3FileTags tags_;
  QPixmap ImageFormTag;
  bool shown_ = false;
  BackgroundDrag drag_{*this};
};

}  // namespace tarnovox
