#pragma once
// The 44-byte RIFF WAVE header of a recording, and the small reader that
// describes a WAV file picked in the file list.
#include <array>
#include <cstdint>
#include <string>

#include "recorder/recorder_state.h"

namespace tarnovox {

constexpr uint32_t kWaveHeaderBytes = 44;

struct WaveHeaderFields {
  uint16_t channels = 2;
  uint32_t sampleRate = 44100;
  uint32_t bytesPerSecond = 176400;
  uint16_t blockAlign = 4;
  uint16_t bitsPerSample = 16;
  uint32_t dataBytes = 0;
  uint32_t trailingBytes = 0;  // chunks after "data" (with its pad byte), counted in the RIFF size
};

// RIFF size = data + 36 + trailing chunks; the 16-bit fields are written as their low byte and a 0.
std::array<uint8_t, kWaveHeaderBytes> MakeWaveHeader(const WaveHeaderFields& fields);

// Reads PickedFile through the WAV chunk reader and sets FileChannels and
// FileSampleRate when the file is at least 50 bytes and its "fmt " chunk,
// wherever it lies, is integer PCM of 1 or 2 channels at a rate above 0; leaves
// them unchanged otherwise. Returns the open error text ("Cannot open file ..."),
// or an empty string.
std::string ReadWaveInfo(RecorderState& state);

// "Cannot create file "%s". %s" and friends, with the system's reason for errno.
std::string StreamErrorText(const char* pattern, const std::string& path, int errorNumber);

}  // namespace tarnovox
