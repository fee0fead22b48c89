#pragma once
// The samples of a capture in the format a recording asked for, made by us
// from 16-bit stereo: sound servers mix stereo down to mono and round 8-bit
// samples each in their own way (one sums at -3 dB and can clip), so levels
// would depend on the server.
#include <cstddef>
#include <cstdint>

#include "platform/capture_stream.h"

namespace tarnovox {

// True when `format` is not 16-bit stereo, i.e. frames need converting.
bool NeedsConversion(const PcmFormat& format);

// Converts `frames` interleaved 16-bit stereo frames into `format` (1 or 2
// channels of 8 or 16 bits): mono is (L + R) / 2, 8-bit is the high byte
// offset by 128. Returns the bytes written to `out`.
size_t ConvertFromStereo16(const int16_t* in, size_t frames, const PcmFormat& format, uint8_t* out);

}  // namespace tarnovox
