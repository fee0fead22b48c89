#pragma once
// The encoding of one WAV file through a FileEncoder (FLAC, and any format
// with such an encoder). The target is written under a hidden part name and
// takes its name only once complete, so an existing target survives every
// failure and a cancel, and no part file stays.
#include <atomic>
#include <functional>

#include "formats/file_encoder.h"
#include "formats/mp3_conversion.h"

namespace tarnovox {

// `request.config` is not used: the encoder carries its own settings.
ConversionOutcome ConvertWavWithEncoder(FileEncoder& encoder, const ConversionRequest& request,
                                        const std::function<void(int)>& progress, const std::atomic<bool>& cancel);

}  // namespace tarnovox
