#pragma once
// The one record of persisted settings. Field names are the INI key names.
#include <cstdint>
#include <string>

namespace tarnovox {

// The MP3 switches are 32-bit values, 0 or all bits set: the form the encoder
// library's configuration takes.
constexpr int32_t kOn32 = -1;

struct RecordSettings {
  std::string Folder = "C:\\";
  bool Wav = false;
  uint32_t SamplePerSecond = 44100;
  uint16_t BitPerSample = 16;
  uint16_t Channels = 2;
  bool MP3 = true;
  int32_t BitRate = 128;
  int32_t Mode = 0;  // 0 stereo, 1 joint stereo, 3 mono
  int32_t VBR = 0;
  int32_t MinBitRate = 32;
  int32_t MaxBitRate = 320;
  int32_t VBRQuality = 0;
  int32_t Copyright = 0;
  int32_t Original = 0;
  int32_t Private = 0;
  int32_t Col0 = 160;
  int32_t Col1 = 40;
  int32_t Col2 = 160;
  int32_t Sort = 1;
  // The input recorded from, section "Input": a source name of the sound
  // server, empty for its default input, or "@DEFAULT_MONITOR@" for the sound
  // the computer plays.
  std::string Source;
};

}  // namespace tarnovox
