#pragma once
// The format and the sample data's place in a WAV file about to be converted,
// read by the WAV chunk reader (formats/wave_chunks.h).
#include <cstdint>
#include <string>

namespace tarnovox {

struct WavSourceFormat {
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint16_t bitsPerSample = 0;
  uint64_t dataOffset = 0;  // first sample byte
  uint32_t dataBytes = 0;   // the data chunk's size as the chunk reader gives it
};

// Takes the first "fmt " (16, 18 or 40 bytes; format tag 1, or 0xFFFE with the
// PCM sub-format) and the first "data" chunk, wherever they lie among other
// chunks. Succeeds only for 1 or 2 channels of 8 or 16 bits with at least one
// sample of every channel; otherwise returns false with the text to show in
// `error`, naming what the file holds.
bool ReadWavSourceFormat(const std::string& path, WavSourceFormat& format, std::string& error);

}  // namespace tarnovox
