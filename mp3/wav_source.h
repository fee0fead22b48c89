#pragma once
// The format of a WAV file about to be converted, read from its own header.
#include <cstdint>
#include <string>

namespace tarnovox {

struct WavSourceFormat {
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint16_t bitsPerSample = 0;
};

// Reads the canonical 44-byte header ("RIFF" ... "WAVE", a 16-byte "fmt "
// chunk, then "data"). Succeeds only for PCM with 1 or 2 channels and 8 or 16
// bits; otherwise returns false with the text to show in `error`.
bool ReadWavSourceFormat(const std::string& path, WavSourceFormat& format, std::string& error);

}  // namespace tarnovox
