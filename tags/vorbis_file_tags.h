#pragma once
// FLAC and Ogg Opus files for the file list and the tag editor: their rate and
// channels, and the editor's six fields as Vorbis comments (TITLE, ARTIST,
// ALBUM, DATE, COMMENT, GENRE), read and written through TagLib.
#include <string>

#include "recorder/recorder_state.h"
#include "recorder/ui_hooks.h"
#include "tags/tag_editor_fields.h"

namespace tarnovox {

// Whether `name` ends in ".flac" or ".opus" in any letter case.
bool IsVorbisCommentFile(const std::string& name);

class VorbisFileTags {
 public:
  // Failures are shown through ui.ShowMessage, the application's error box.
  VorbisFileTags(RecorderState& state, TagEditorFields& editor, UiHooks& ui);

  // Describes RecorderState::PickedFile: FileSampleRate and FileChannels from
  // its stream, the editor's fields from its comments (the caller has emptied
  // them). A file that is no FLAC or Ogg Opus stream as its extension says is
  // refused with a message, and nothing is set.
  void Describe();

  // Writes the editor's fields into RecorderState::CurrentFile as its Vorbis
  // comments; an empty field removes its comment. The file is copied beside
  // itself, the copy's comments are written, and only the complete, synced
  // copy replaces the file, so a failure (a full disk, a crash) leaves the
  // file as it was. Returns false after showing why.
  bool Write();

 private:
  RecorderState& state_;
  TagEditorFields& editor_;
  UiHooks& ui_;
};

}  // namespace tarnovox
