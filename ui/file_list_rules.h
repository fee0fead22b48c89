#pragma once
// The file list window's rules that need no widget: which menu items a state
// allows, which sort mark a header shows and what counts as a click on a header.
#include <string>
#include <vector>

#include "recorder/collaborators.h"
#include "recorder/recorder_state.h"
#include "recordings/recording_files.h"  // UpperExtension
#include "settings/record_settings.h"

namespace tarnovox {

// Which of the context menu's items are enabled.
struct FileMenuState {
  bool renameFile = false;
  bool convert = false;  // the three conversions
  bool deleteFile = false;
};

// Rename and delete need a current file, conversion a WAV one; with several
// rows `selected` (their files), delete needs nothing more and conversion a WAV
// file among them. While a recording runs CurrentFile is the recording itself,
// which no menu item may touch, so everything is off then.
FileMenuState MenuStateFor(const RecorderState& state, const std::vector<std::string>& selected = {});

enum class SortMark { None, Up, Down };
// Up when the list is sorted by the column ascending, Down when descending.
SortMark SortMarkFor(ListSort sort, int column);

// A release on the header sorts only when the columns under x - 5, x and x + 5
// are one and the same, so the end of a column-width drag never counts.
// Returns that column, or -1.
int HeaderClickColumn(int columnLeft, int column, int columnRight);

// Closes a playback, running or paused, before the list changes its file. No
// recording runs here, so a pause can only be the playback's own and ends with
// it: left set, it would hold every later Play and selection back.
void ClosePlaybackForFileChange(PlaybackControl& playback, RecorderState& state);

}  // namespace tarnovox
