#include "ui/change_output_folder.h"

#include <filesystem>
#include <system_error>

namespace tarnovox {

bool ChangeOutputFolder(const RecordSettings& settings, RecorderState& state, PlaybackControl& playback,
                        RecordingsLibrary& recordings, UiHooks& hooks) {
  if (state.Recording()) return false;
  state.CurrentFile.clear();
  state.ActiveFileName.clear();
  if (state.Playing() && playback.PlaybackOpen()) playback.ClosePlayback();
  std::error_code ignored;
  std::filesystem::current_path(settings.folder, ignored);
  hooks.SetBusyCursor(true);
  recordings.Rescan();
  hooks.SetBusyCursor(false);
  recordings.ApplySort();
  return true;
}

}  // namespace tarnovox
