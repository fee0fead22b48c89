#include "formats/wave_format.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "formats/wave_chunks.h"
#include "platform/regular_file.h"

namespace tarnovox {
namespace {

constexpr long kShortestDescribedFile = 50;

void Put32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// The recorder only uses values below 256; the high byte is always written as 0.
void PutLowByte16(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = 0;
}

}  // namespace

std::array<uint8_t, kWaveHeaderBytes> MakeWaveHeader(const WaveHeaderFields& f) {
  std::array<uint8_t, kWaveHeaderBytes> h{};
  std::memcpy(&h[0], "RIFF", 4);
  Put32(&h[4], f.dataBytes + 36 + f.trailingBytes);
  std::memcpy(&h[8], "WAVE", 4);
  std::memcpy(&h[12], "fmt ", 4);
  Put32(&h[16], 16);
  h[20] = 1;
  h[21] = 0;
  PutLowByte16(&h[22], f.channels);
  Put32(&h[24], f.sampleRate);
  Put32(&h[28], f.bytesPerSecond);
  PutLowByte16(&h[32], f.blockAlign);
  PutLowByte16(&h[34], f.bitsPerSample);
  std::memcpy(&h[36], "data", 4);
  Put32(&h[40], f.dataBytes);
  return h;
}

std::string StreamErrorText(const char* pattern, const std::string& path, int errorNumber) {
  std::string text = pattern;
  text.replace(text.find("%s"), 2, path);
  text.replace(text.find("%s"), 2, std::strerror(errorNumber));
  return text;
}

std::string ReadWaveInfo(RecorderState& state) {
  const RegularFile file(state.PickedFile);
  if (!file.IsOpen()) return StreamErrorText("Cannot open file \"%s\". %s", state.PickedFile, errno);
  // A file this short holds no sound, like those the folder scan removes.
  if (file.Size() < kShortestDescribedFile) return {};
  const WaveChunks chunks = ReadWaveChunks(file);
  if (!chunks.format || !chunks.format->IsPcm()) return {};
  const WaveFormatChunk& format = *chunks.format;
  // The meters and the conversion know mono and stereo only, and a rate of 0
  // would divide by zero downstream: such a header describes nothing.
  if (format.channels < 1 || format.channels > 2 || format.sampleRate == 0) return {};
  state.FileChannels = format.channels;
  state.FileSampleRate = format.sampleRate;
  return {};
}

}  // namespace tarnovox
