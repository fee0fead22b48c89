#pragma once
// Which layout the displays take in the current mode.
#include "recorder/recorder_state.h"
#include "settings/record_settings.h"

namespace tarnovox {

enum class MeterLayout { None, Stereo, Mono };

// During playback the layout follows the played file's channels; otherwise the
// configured output format (WAV channels, or the MP3 channel mode), also while
// monitoring, where the input is always captured in stereo. None when no rule
// applies (e.g. a played file of neither 1 nor 2 channels).
MeterLayout ChooseMeterLayout(const RecorderState& state, const RecordSettings& settings);

}  // namespace tarnovox
