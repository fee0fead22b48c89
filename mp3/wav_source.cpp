#include "mp3/wav_source.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "core/wave_format.h"

namespace tarnovox {
namespace {

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Read32(const uint8_t* p) {
  return static_cast<uint32_t>(Read16(p)) | static_cast<uint32_t>(Read16(p + 2)) << 16;
}

bool CanonicalHeader(const uint8_t* head) {
  return std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0 &&
         std::memcmp(head + 12, "fmt ", 4) == 0 && Read32(head + 16) == 16 &&
         std::memcmp(head + 36, "data", 4) == 0;
}

}  // namespace

bool ReadWavSourceFormat(const std::string& path, WavSourceFormat& format, std::string& error) {
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = StreamErrorText("Cannot open file \"%s\". %s", path, errno ? errno : ENOENT);
    return false;
  }
  uint8_t head[kWaveHeaderBytes];
  in.read(reinterpret_cast<char*>(head), sizeof head);
  const bool complete = in.gcount() == static_cast<std::streamsize>(sizeof head);
  if (complete && CanonicalHeader(head)) {
    format.channels = Read16(head + 22);
    format.sampleRate = Read32(head + 24);
    format.bitsPerSample = Read16(head + 34);
    const bool pcm = Read16(head + 20) == 1;
    const bool channelsOk = format.channels == 1 || format.channels == 2;
    const bool bitsOk = format.bitsPerSample == 8 || format.bitsPerSample == 16;
    if (pcm && channelsOk && bitsOk) return true;
  }
  error = "Can not convert \"" + path + "\": only PCM WAV files with 1 or 2 channels and 8 or 16 bits can be converted.";
  return false;
}

}  // namespace tarnovox
