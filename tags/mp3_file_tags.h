#pragma once
// Reads the first frame header and the ID3 version 1 tag of an MP3 file for
// the file list and the tag editor, and writes the tag the editor holds.
#include "recorder/recorder_state.h"
#include "recorder/ui_hooks.h"
#include "tags/tag_editor_fields.h"

namespace tarnovox {

class Mp3FileTags {
 public:
  // File errors are shown through ui.ShowMessage, the application's error box.
  Mp3FileTags(RecorderState& state, TagEditorFields& editor, UiHooks& ui);

  // Adds the 148 genre names, in table order, to the editor's genre box.
  void FillGenreList();

  // Describes RecorderState::PickedFile. Files under 1000 bytes and files with
  // no frame sync in their first 3104 bytes are left alone: FileSampleRate and
  // FileChannels keep their values and the editor is not filled. Otherwise both
  // are set from the first frame header and, when the file ends with a tag, the
  // editor's six fields are filled from it (the caller has emptied them).
  void DescribeMp3File();

  // Writes the editor's fields as a tag into RecorderState::CurrentFile: over
  // the last 128 bytes when they are a tag, else appended. Returns false, after
  // showing "Cannot open file "<path>". <reason>" or "Stream write error", when
  // nothing (or not all) could be written.
  bool WriteId3v1Tag();

 private:
  RecorderState& state_;
  TagEditorFields& editor_;
  UiHooks& ui_;
};

}  // namespace tarnovox
