#include "ui/file_list_rules.h"

namespace tarnovox {

FileMenuState MenuStateFor(const RecorderState& state, const std::vector<std::string>& selected) {
  FileMenuState menu;
  if (state.Recording()) return menu;
  if (selected.size() > 1) {
    menu.renameFile = !state.CurrentFile.empty();
    menu.deleteFile = true;
    for (const std::string& file : selected) menu.convert = menu.convert || UpperExtension(file) == ".WAV";
    return menu;
  }
  if (state.CurrentFile.empty()) return menu;
  menu.renameFile = true;
  menu.deleteFile = true;
  menu.convert = UpperExtension(state.CurrentFile) == ".WAV";
  return menu;
}

SortMark SortMarkFor(ListSort sort, int column) {
  if (column != static_cast<int>(sort.column)) return SortMark::None;
  return sort.order == SortOrder::Ascending ? SortMark::Up : SortMark::Down;
}

int HeaderClickColumn(int columnLeft, int column, int columnRight) {
  if (column < 0 || columnLeft != column || columnRight != column) return -1;
  return column;
}

void ClosePlaybackForFileChange(PlaybackControl& playback, RecorderState& state) {
  if (!playback.PlaybackOpen() && !state.Playing()) return;
  playback.ClosePlayback();
}

}  // namespace tarnovox
