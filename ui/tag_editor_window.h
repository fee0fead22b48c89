#pragma once
// TagEditorWindow: a small borderless skinned window with the six fields of an
// MP3 file's ID3 version 1 tag and a Save button. The file list window shows
// and hides it (ToggleAt), empties and fills its fields when a row is picked
// (ClearFields, DescribePickedMp3, DisableSave); the editor itself only
// notices changes and saves the fields into RecorderState::CurrentFile.
#include <QPixmap>
#include <QPoint>
#include <QWidget>

#include "platform/drive_info.h"
#include "recorder/collaborators.h"
#include "recorder/recorder_state.h"
#include "recorder/ui_hooks.h"
#include "settings/record_settings.h"
#include "tags/mp3_file_tags.h"
#include "tags/tag_editor_fields.h"
#include "tags/vorbis_file_tags.h"
#include "ui/background_drag.h"

class QComboBox;
class QLineEdit;

namespace tarnovox {

class FocusMarks;
class SkinButton;
class SkinPictures;

class TagEditorWindow : public QWidget, public TagEditorFields {
  Q_OBJECT

 public:
  static constexpr int kWidth = 249, kHeight = 299;

  // Fills the genre list; Save starts disabled.
  TagEditorWindow(const RecordSettings& settings, RecorderState& state, const DriveInfo& drives,
                  PlaybackControl& playback, RecordingsLibrary& recordings, UiHooks& ui, QWidget* parent = nullptr);

  // Until the loaded pictures are attached the buttons keep the skin's normal ones.
  void SetSkinPictures(const SkinPictures* pictures);

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
  // The same for a FLAC or Opus file (stream and Vorbis comments, VorbisFileTags).
  void DescribePickedVorbis() { vorbisTags_.Describe(); }
  void DisableSave();

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

 protected:
  void paintEvent(QPaintEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void showEvent(QShowEvent* event) override;  // shown again by the main window's restore
  // The background picture: resets the buttons, drags the window.
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  // Escape closes the editor, as its cross does.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateLabels();
  void CreateFields();
  void CreateButtons();
  void SetTabOrder();
  QLineEdit* MakeEdit(const char* name, const QRect& place);
  // Any of the six fields changed.
  void FieldChanged();
  // Whether CurrentFile is a file whose tag the editor writes: MP3, FLAC, Opus.
  bool CurrentFileHasTag() const;
  bool WriteKeepingFileOnFailure();
  void RefreshRecordings();

  const RecordSettings& settings_;
  RecorderState& state_;
  const DriveInfo& drives_;
  PlaybackControl& playback_;
  RecordingsLibrary& recordings_;
  UiHooks& ui_;
  Mp3FileTags tags_;
  VorbisFileTags vorbisTags_;
  QPixmap background_;
  QLineEdit* titleEdit_ = nullptr;
  QLineEdit* albumEdit_ = nullptr;
  QComboBox* genreBox_ = nullptr;
  QLineEdit* artistEdit_ = nullptr;
  QLineEdit* commentEdit_ = nullptr;
  QLineEdit* yearEdit_ = nullptr;
  SkinButton* closeButton_ = nullptr;
  SkinButton* saveButton_ = nullptr;
  FocusMarks* focusMarks_ = nullptr;
  bool shown_ = false;
  BackgroundDrag drag_{*this};
};

}  // namespace tarnovox
