#pragma once
// Switches the whole system over to a new output folder after the output
// folder dialog has changed RecordSettings::folder.
#include "recorder/collaborators.h"
#include "recorder/recorder_state.h"
#include "recorder/ui_hooks.h"
#include "settings/record_settings.h"

namespace tarnovox {

// Empties CurrentFile and ActiveFileName, closes a running playback, makes the
// output folder the current directory (a failure is not reported), then
// rescans under the busy cursor and sorts. While a recording runs it does
// nothing and returns false: the recording writes to CurrentFile until it stops.
bool ChangeOutputFolder(const RecordSettings& settings, RecorderState& state, PlaybackControl& playback,
                        RecordingsLibrary& recordings, UiHooks& hooks);

}  // namespace tarnovox
