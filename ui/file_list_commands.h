#pragma once
// What the file list window does with the recordings list: selecting a row,
// double-click play, rename and delete. No widgets: the window forwards its
// events here, and the tag editor, the input dialog and playback are reached
// through hooks so the rules can be tested on their own.
#include <functional>
#include <optional>
#include <string>

#include "recorder/collaborators.h"
#include "recorder/recorder_state.h"
#include "recorder/ui_hooks.h"
#include "recordings/recordings_list.h"

namespace tarnovox {

class FileListCommands {
 public:
  FileListCommands(RecorderState& state, RecordingsList& list, PlaybackControl& playback, UiHooks& ui);

  struct Hooks {
    std::function<void()> startPlayback;   // plays CurrentFile
    std::function<void()> describeMp3;     // frame header and tag of PickedFile
    std::function<void()> clearTagFields;  // the editor's six fields
    std::function<void()> disableTagSave;
    // An input box: caption, initial text; nullopt when cancelled.
    std::function<std::optional<std::string>(const std::string&, const std::string&)> askText;
  };
  Hooks hooks;

  // SGridFilesSelectCell: makes the row's file current and describes it. Does
  // nothing for the header, an empty row, the file already current, or while a
  // recording runs or anything is paused.
  void SGridFilesSelectCell(int row);
  // SGridFilesDblClick: plays the picked file unless the last release was on
  // the header.
  void SGridFilesDblClick(int lastReleaseRow);
  // Renames CurrentFile within the folder. A name that another file already
  // has replaces that file only when the user agrees; a failed rename shows
  // the system's reason and keeps CurrentFile.
  // Rename and delete do nothing while recording; a recording that starts
  // while one of their dialogs is open cancels them with a message, leaving
  // every file and the recorder's names as they are.
  void pmRenameClick();
  // Deletes CurrentFile after the question; only Yes deletes.
  void pmDeleteClick();

 private:
  // True, after saying so, when a recording runs now.
  bool RecordingStartedMeanwhile(const std::string& action);
  bool CurrentFileExists() const;
  void CloseRunningPlayback();
  void RescanAndSort();
  // Moves `from` to `to` without replacing an existing `to`; "" or the reason.
  static std::string MoveFile(const std::string& from, const std::string& to, bool replace);

  RecorderState& state_;
  RecordingsList& list_;
  PlaybackControl& playback_;
  UiHooks& ui_;
};

}  // namespace tarnovox
