#include "formats/wav_source.h"

#include <cerrno>

#include "formats/wave_chunks.h"
#include "formats/wave_format.h"
#include "platform/regular_file.h"

namespace tarnovox {
namespace {

std::string Refusal(const std::string& path, const std::string& reason) {
  return "Can not convert \"" + path + "\": " + reason;
}

std::string SizeRefusal(uint32_t size) {
  return "its \"fmt \" chunk has " + std::to_string(size) + " bytes; 16, 18 or 40 are supported.";
}

// Why a complete "fmt " chunk cannot be converted, or an empty string.
std::string FormatRefusal(const WaveFormatChunk& format) {
  if (format.size < 16) return SizeRefusal(format.size);
  const std::string shape = std::to_string(format.channels) + (format.channels == 1 ? " channel, " : " channels, ") +
                            std::to_string(format.bitsPerSample) + " bits";
  if (!format.IsPcm()) {
    std::string found = "format tag " + std::to_string(format.formatTag);
    if (format.extended)
      found += format.subFormat ? ", sub-format " + std::to_string(*format.subFormat) : ", unknown sub-format";
    return "it is not a PCM WAV file: " + found + ", " + shape + ".";
  }
  if (format.size != 16 && format.size != 18 && format.size != 40) return SizeRefusal(format.size);
  const bool channelsOk = format.channels == 1 || format.channels == 2;
  const bool bitsOk = format.bitsPerSample == 8 || format.bitsPerSample == 16;
  if (!channelsOk || !bitsOk) return "it has " + shape + "; only 1 or 2 channels of 8 or 16 bits can be converted.";
  return {};
}

// Why the file cannot be converted, or an empty string.
std::string Refusal(const WaveChunks& chunks) {
  if (!chunks.riffWave) return "it is not a WAV file (no RIFF WAVE header).";
  if (!chunks.format) return "it has no \"fmt \" chunk.";
  if (!chunks.format->complete) return "its \"fmt \" chunk is cut short.";
  if (std::string reason = FormatRefusal(*chunks.format); !reason.empty()) return reason;
  if (!chunks.data) return "it has no \"data\" chunk.";
  const uint32_t frameBytes = chunks.format->channels * (chunks.format->bitsPerSample / 8u);
  if (chunks.data->bytes == 0) return "it holds no sound: its \"data\" chunk is empty.";
  if (chunks.data->bytes < frameBytes)
    return "it holds no sound: its \"data\" chunk has " + std::to_string(chunks.data->bytes) +
           " bytes, less than one sample of every channel.";
  return {};
}

}  // namespace

bool ReadWavSourceFormat(const std::string& path, WavSourceFormat& format, std::string& error) {
  // A FIFO named like a WAV file would block for good.
  const RegularFile file(path);
  if (!file.IsOpen()) {
    error = StreamErrorText("Cannot open file \"%s\". %s", path, errno);
    return false;
  }
  const WaveChunks chunks = ReadWaveChunks(file);
  if (const std::string reason = Refusal(chunks); !reason.empty()) {
    error = Refusal(path, reason);
    return false;
  }
  format.channels = chunks.format->channels;
  format.sampleRate = chunks.format->sampleRate;
  format.bitsPerSample = chunks.format->bitsPerSample;
  format.dataOffset = chunks.data->offset;
  format.dataBytes = chunks.data->bytes;
  return true;
}

}  // namespace tarnovox
