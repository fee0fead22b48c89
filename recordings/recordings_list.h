#pragma once
// The listing of the recordings in the output folder and the order in which
// the file list window shows them.
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "recorder/collaborators.h"
#include "recorder/recorder_state.h"
#include "recordings/date_time_text.h"
#include "recordings/recording_entry.h"
#include "recordings/recordings_grid.h"
#include "settings/record_settings.h"

namespace tarnovox {

class RecordingsList : public RecordingsLibrary {
 public:
  // The order is RecordSettings::listSort and the folder RecordSettings::folder;
  // CurrentFile and PickedFile are those of RecorderState.
  RecordingsList(RecorderState& state, RecordSettings& settings,
                 DateTimeText dateTimeText = DateTimeText::FromSystemLocale());

  // The grid the list writes into; nullptr until the file list window exists.
  void AttachGrid(RecordingsGrid* grid) { grid_ = grid; }

  // Reads the output folder again: WAV, MP3 and WMA files that are ordinary
  // files, in enumeration order. Such files under 50 bytes hold no sound and are
  // deleted instead of listed (listed after all when the delete fails); the
  // file being recorded and files changed within the last 60 seconds are
  // listed as usual instead. Leaves the grid with the header and one empty
  // row, no data row selected, and PickedFile naming the last file listed. A
  // folder that cannot be read lists nothing. Callers run ApplySort() next.
  void Rescan() override;
  // Writes every row in the settings' order, rewrites RowFiles and selects the
  // row of CurrentFile when it is listed (exact match).
  void ApplySort() override;
  // A click on a column header (0 name, 1 size, 2 date): first click sorts the
  // column ascending, the next one descending, and so on. The folder is not
  // read again; the window repaints its header afterwards.
  void ToggleSort(int column);
  // Derives SortColumn from the settings' order, as done at start-up.
  void SortColumnForSort() override;

  // The file shown in grid row `row` (1 to Count); empty for the header row
  // and for rows out of range.
  const std::string& RowFile(int row) const;

  int32_t Count = 0;
  std::vector<RecordingEntry> Entries;  // scan order; Entries[0] is entry 1
  std::vector<std::string> RowFiles;    // RowFiles[r] for grid row r; [0] is the header
  int SortColumn = 0;                   // header drawn pressed: 0 Name, 1 Size, 2 Date

 private:
  std::vector<size_t> PlacementOrder(ListColumn column) const;
  void WriteRow(int row, const RecordingEntry& entry, ListSort sort);
  void ResetGrid();
  // Lists the ordinary file of entry, or deletes it when it holds no sound.
  // folder: the open folder's descriptor; info: the file's own stat.
  void AddFile(int folder, const struct stat& info, RecordingEntry entry);
  bool MayDeleteEmpty(const struct stat& info) const;
  bool IsTakeBeingRecorded(const struct stat& info) const;

  RecorderState& state_;
  RecordSettings& settings_;
  DateTimeText dateTimeText_;
  RecordingsGrid* grid_ = nullptr;
};

}  // namespace tarnovox
