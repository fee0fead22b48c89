#pragma once
// What the file list window does with the recordings list: picking a row,
// double-click play, rename and delete of one row or several. No widgets: the window forwards its
// events here, and what the tag editor and playback are to do is announced as
// signals, so the rules can be tested on their own.
#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "recorder/collaborators.h"
#include "recorder/recorder_state.h"
#include "recorder/ui_hooks.h"
#include "recordings/recordings_list.h"

namespace tarnovox {

class FileListCommands : public QObject {
  Q_OBJECT

 public:
  FileListCommands(RecorderState& state, RecordingsList& list, PlaybackControl& playback, UiHooks& ui);

  // An input box: caption and initial text in; the answer, or nullopt when
  // cancelled. Unset, every rename counts as cancelled.
  using AskText = std::function<std::optional<std::string>(const std::string& caption, const std::string& initial)>;
  AskText askText;

  // Makes the row's file current and describes it. Does nothing for the
  // header, an empty row, the file already current, or while a recording runs
  // or anything is paused.
  void PickRow(int row);
  // The double-click: plays the picked file unless the last release was on
  // the header.
  void PlayPicked(int lastReleaseRow);
  // Renames CurrentFile within the folder. A name that another file already
  // has replaces that file only when the user agrees; a failed rename shows
  // the system's reason and keeps CurrentFile.
  // Rename and delete do nothing while recording; a recording that starts
  // while one of their dialogs is open cancels them with a message, leaving
  // every file and the recorder's names as they are.
  void RenameCurrentFile();
  // Deletes CurrentFile after the question; only Yes deletes.
  void DeleteCurrentFile();
  // Deletes the files of several rows (bare names or paths) after one
  // question naming how many there are, each with its label file; a failure
  // names its file, and the others are deleted all the same.
  void DeleteFiles(const std::vector<std::string>& files);

 signals:
  // A row's file is being made current, in this order: pickStarted (the tag
  // editor empties its fields), mp3Picked for an MP3 (its frame header and
  // tag are to be described from PickedFile) or vorbisPicked for a FLAC or
  // Opus file (its stream and comments), pickFinished (filling the
  // fields counted as a change: the editor turns Save off again).
  void pickStarted();
  void mp3Picked();
  void vorbisPicked();
  void pickFinished();
  // CurrentFile is to be played.
  void playRequested();

 private:
  // True, after saying so, when a recording runs now.
  bool RecordingStartedMeanwhile(const std::string& message);
  bool CurrentFileExists() const;
  static bool IsRegularFile(const std::string& path);
  void CloseRunningPlayback();
  void RescanAndSort();
  // Moves `from` to `to` without replacing an existing `to`; "" or the reason.
  static std::string MoveFile(const std::string& from, const std::string& to, bool replace);
  static std::string MoveRecording(const std::string& from, const std::string& to, bool replace);

  RecorderState& state_;
  RecordingsList& list_;
  PlaybackControl& playback_;
  UiHooks& ui_;
};

}  // namespace tarnovox
