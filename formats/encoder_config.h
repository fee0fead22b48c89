#pragma once
// The encoder configuration record as live recording and conversion fill it.
#include <cstdint>

#include "formats/lame_enc/lame_enc.h"
#include "settings/record_settings.h"

namespace tarnovox {

// Live recording: 44100 Hz whatever the WAV sample rate says, the settings'
// channel mode.
lame_enc::BE_CONFIG RecordingConfig(const RecordSettings& settings);

// Conversion: the source's own rate; stereo for 2 channels, mono for 1
// (never joint stereo; the settings' channel mode is not used).
lame_enc::BE_CONFIG ConversionConfig(const RecordSettings& settings, uint32_t sampleRate,
                                     uint16_t channels);

}  // namespace tarnovox
