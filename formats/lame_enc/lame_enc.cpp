// The entry points of liblame_enc.so. Streams live in a small fixed table;
// a handle is its slot number plus one, so 0 is never a valid handle.
#include "formats/lame_enc/lame_enc.h"

#include <lame/lame.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "formats/lame_enc/lame_config.h"

#define LAME_ENC_EXPORT __attribute__((visibility("default")))

namespace tarnovox::lame_enc {
namespace {

constexpr size_t kMaxStreams = 32;

struct Stream {
  lame_t gf = nullptr;
  int channels = 0;
  uint32_t samplesPerChunk = 0;  // 16-bit values, all channels
  uint32_t bufferSize = 0;
  bool flushed = false;
  bool vbrHeader = false;
};

// Encoding holds only its stream's lock, so conversions on several threads
// encode at the same time; opening, flushing and closing a stream hold the
// table's lock first, then the stream's.
std::mutex tableMutex;
std::array<Stream, kMaxStreams> streams;
std::array<std::mutex, kMaxStreams> streamMutexes;
// The VBR header of the stream flushed last, kept for beWriteVBRHeader, which
// callers use after the stream is closed.
std::vector<uint8_t> lastVbrHeader;

bool ValidHandle(HBE_STREAM handle) { return handle != 0 && handle <= kMaxStreams; }

// The caller holds the stream's lock.
Stream* Find(HBE_STREAM handle) {
  if (!ValidHandle(handle)) return nullptr;
  Stream& stream = streams[handle - 1];
  return stream.gf != nullptr ? &stream : nullptr;
}

std::unique_lock<std::mutex> LockStream(HBE_STREAM handle) {
  return ValidHandle(handle) ? std::unique_lock(streamMutexes[handle - 1]) : std::unique_lock<std::mutex>();
}

// lame.h's worst case for one call: 1.25 x samples per channel + 7200, which
// also covers the 7200 bytes a flush may need.
uint32_t WorstCaseOutput(int frameSize) { return static_cast<uint32_t>((5 * frameSize + 3) / 4 + 7200); }

BE_ERR FromLameResult(int result) {
  if (result == -1) return kBeErrBufferTooSmall;
  return result < 0 ? kBeErrInvalidFormatParameters : kBeErrSuccessful;
}

void KeepVbrHeader(Stream& stream) {
  lastVbrHeader.clear();
  if (!stream.vbrHeader) return;
  std::vector<uint8_t> frame(2880);  // the largest MPEG audio frame
  size_t size = lame_get_lametag_frame(stream.gf, frame.data(), frame.size());
  if (size <= frame.size()) frame.resize(size);
  lastVbrHeader = std::move(frame);
}

}  // namespace
}  // namespace tarnovox::lame_enc

using namespace tarnovox::lame_enc;

extern "C" {

LAME_ENC_EXPORT BE_ERR beInitStream(BE_CONFIG* config, uint32_t* samples, uint32_t* bufferSize,
                                    HBE_STREAM* stream) {
  if (!config || !samples || !bufferSize || !stream) return kBeErrInvalidFormatParameters;
  std::lock_guard lock(tableMutex);
  size_t slot = 0;
  while (slot < kMaxStreams && streams[slot].gf != nullptr) ++slot;
  if (slot == kMaxStreams) return kBeErrNoMoreHandles;
  lame_t gf = lame_init();
  if (!gf) return kBeErrNoMoreHandles;
  BE_ERR error = ApplyConfig(*config, gf);
  if (error != kBeErrSuccessful) {
    lame_close(gf);
    return error;
  }
  Stream& entry = streams[slot];
  std::lock_guard streamLock(streamMutexes[slot]);
  entry = Stream{gf, InputChannels(*config), 0, 0, false, config->bWriteVBRHeader != 0};
  const int frameSize = lame_get_framesize(gf);
  entry.samplesPerChunk = static_cast<uint32_t>(frameSize * entry.channels);
  entry.bufferSize = WorstCaseOutput(frameSize);
  *samples = entry.samplesPerChunk;
  *bufferSize = entry.bufferSize;
  *stream = static_cast<HBE_STREAM>(slot + 1);
  return kBeErrSuccessful;
}

LAME_ENC_EXPORT BE_ERR beEncodeChunk(HBE_STREAM handle, uint32_t samples, const int16_t* pcm,
                                     uint8_t* output, uint32_t* outputBytes) {
  const auto lock = LockStream(handle);
  Stream* stream = Find(handle);
  if (!stream || stream->flushed) return kBeErrInvalidHandle;
  if (!output || !outputBytes || (samples > 0 && !pcm)) return kBeErrInvalidFormatParameters;
  if (samples > stream->samplesPerChunk) return kBeErrInvalidFormatParameters;
  const int frames = static_cast<int>(samples) / stream->channels;
  const int bufferSize = static_cast<int>(stream->bufferSize);
  // LAME's API takes non-const sample pointers but only reads them.
  short* data = const_cast<short*>(pcm);
  int result = stream->channels == 1
                   ? lame_encode_buffer(stream->gf, data, data, frames, output, bufferSize)
                   : lame_encode_buffer_interleaved(stream->gf, data, frames, output, bufferSize);
  *outputBytes = result > 0 ? static_cast<uint32_t>(result) : 0;
  return FromLameResult(result);
}

LAME_ENC_EXPORT BE_ERR beDeinitStream(HBE_STREAM handle, uint8_t* output, uint32_t* outputBytes) {
  std::lock_guard lock(tableMutex);
  const auto streamLock = LockStream(handle);
  Stream* stream = Find(handle);
  if (!stream || stream->flushed) return kBeErrInvalidHandle;
  if (!output || !outputBytes) return kBeErrInvalidFormatParameters;
  int result = lame_encode_flush(stream->gf, output, static_cast<int>(stream->bufferSize));
  *outputBytes = result > 0 ? static_cast<uint32_t>(result) : 0;
  stream->flushed = true;
  if (result >= 0) KeepVbrHeader(*stream);
  return FromLameResult(result);
}

LAME_ENC_EXPORT BE_ERR beCloseStream(HBE_STREAM handle) {
  std::lock_guard lock(tableMutex);
  const auto streamLock = LockStream(handle);
  Stream* stream = Find(handle);
  if (!stream) return kBeErrInvalidHandle;
  lame_close(stream->gf);
  *stream = Stream{};
  return kBeErrSuccessful;
}

LAME_ENC_EXPORT void beVersion(BE_VERSION* version) {
  if (!version) return;
  std::memset(version, 0, sizeof(*version));
  lame_version_t lame{};
  get_lame_version_numerical(&lame);
  version->byDLLMajorVersion = 1;
  version->byDLLMinorVersion = 32;
  version->byMajorVersion = static_cast<uint8_t>(lame.major);
  version->byMinorVersion = static_cast<uint8_t>(lame.minor);
  version->byDay = 1;
  version->byMonth = 1;
  version->wYear = 2024;
  std::snprintf(version->zHomepage, sizeof(version->zHomepage), "%s", get_lame_url());
  version->byAlphaLevel = static_cast<uint8_t>(lame.alpha);
  version->byBetaLevel = static_cast<uint8_t>(lame.beta);
}

// Writes the VBR header of the last flushed stream over the placeholder frame
// at the start of the file. Only streams configured with bWriteVBRHeader have one.
LAME_ENC_EXPORT BE_ERR beWriteVBRHeader(const char* mp3File) {
  std::lock_guard lock(tableMutex);
  if (!mp3File || lastVbrHeader.empty()) return kBeErrInvalidHandle;
  std::FILE* file = std::fopen(mp3File, "r+b");
  if (!file) return kBeErrInvalidFormatParameters;
  size_t written = std::fwrite(lastVbrHeader.data(), 1, lastVbrHeader.size(), file);
  bool ok = std::fclose(file) == 0 && written == lastVbrHeader.size();
  return ok ? kBeErrSuccessful : kBeErrInvalidFormatParameters;
}

}  // extern "C"
