#include "formats/wav_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "formats/wave_format.h"
#include "platform/regular_file.h"

namespace tarnovox {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// KSDATAFORMAT_SUBTYPE_* GUIDs are the format tag in the first two bytes
// followed by these fourteen.
constexpr uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Read32(const uint8_t* p) {
  return static_cast<uint32_t>(Read16(p)) | static_cast<uint32_t>(Read16(p + 2)) << 16;
}

struct ChunkWalk {
  std::ifstream& in;
  uint64_t fileSize;
  bool ReadAt(uint64_t offset, uint8_t* out, size_t bytes) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(bytes));
    return in.gcount() == static_cast<std::streamsize>(bytes);
  }
};

std::string Refusal(const std::string& path, const std::string& reason) {
  return "Can not convert \"" + path + "\": " + reason;
}

// Checks one "fmt " chunk body of `size` bytes and fills the format from it.
// Returns the reason it cannot be converted, or an empty string.
std::string ReadFmt(const uint8_t* fmt, uint32_t size, WavSourceFormat& format) {
  if (size < 16) return "its \"fmt \" chunk has " + std::to_string(size) + " bytes; 16, 18 or 40 are supported.";
  const uint16_t tag = Read16(fmt);
  format.channels = Read16(fmt + 2);
  format.sampleRate = Read32(fmt + 4);
  format.bitsPerSample = Read16(fmt + 14);
  const std::string shape = std::to_string(format.channels) + (format.channels == 1 ? " channel, " : " channels, ") +
                            std::to_string(format.bitsPerSample) + " bits";
  std::string found = "format tag " + std::to_string(tag);
  bool pcm = tag == kFormatPcm;
  if (tag == kFormatExtensible && size >= 40) {
    const uint8_t* subFormat = fmt + 24;
    const bool knownTail = std::memcmp(subFormat + 2, kSubFormatTail, sizeof kSubFormatTail) == 0;
    found += knownTail ? ", sub-format " + std::to_string(Read16(subFormat)) : ", unknown sub-format";
    pcm = knownTail && Read16(subFormat) == kFormatPcm;
  }
  if (!pcm) return "it is not a PCM WAV file: " + found + ", " + shape + ".";
  if (size != 16 && size != 18 && size != 40) {
    return "its \"fmt \" chunk has " + std::to_string(size) + " bytes; 16, 18 or 40 are supported.";
  }
  const bool channelsOk = format.channels == 1 || format.channels == 2;
  const bool bitsOk = format.bitsPerSample == 8 || format.bitsPerSample == 16;
  if (!channelsOk || !bitsOk) {
    return "it has " + shape + "; only 1 or 2 channels of 8 or 16 bits can be converted.";
  }
  return {};
}

}  // namespace

bool ReadWavSourceFormat(const std::string& path, WavSourceFormat& format, std::string& error) {
  // A FIFO named like a WAV file would block the open below for good.
  if (const RegularFile checked(path); !checked.IsOpen()) {
    error = StreamErrorText("Cannot open file \"%s\". %s", path, errno);
    return false;
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) {
    error = StreamErrorText("Cannot open file \"%s\". %s", path, errno ? errno : ENOENT);
    return false;
  }
  ChunkWalk walk{in, static_cast<uint64_t>(in.tellg())};
  uint8_t head[12];
  if (!walk.ReadAt(0, head, sizeof head) || std::memcmp(head, "RIFF", 4) != 0 ||
      std::memcmp(head + 8, "WAVE", 4) != 0) {
    error = Refusal(path, "it is not a WAV file (no RIFF WAVE header).");
    return false;
  }
  bool haveFmt = false, haveData = false;
  // The RIFF size is not trusted: recorders that stopped early leave it wrong.
  for (uint64_t chunk = sizeof head; chunk + 8 <= walk.fileSize && !(haveFmt && haveData);) {
    uint8_t header[8];
    if (!walk.ReadAt(chunk, header, sizeof header)) break;
    const uint32_t size = Read32(header + 4);
    const uint64_t body = chunk + 8;
    if (!haveFmt && std::memcmp(header, "fmt ", 4) == 0) {
      uint8_t fmt[40] = {};
      const uint32_t wanted = std::min<uint32_t>(size, sizeof fmt);
      if (!walk.ReadAt(body, fmt, wanted)) {
        error = Refusal(path, "its \"fmt \" chunk is cut short.");
        return false;
      }
      const std::string reason = ReadFmt(fmt, size, format);
      if (!reason.empty()) {
        error = Refusal(path, reason);
        return false;
      }
      haveFmt = true;
    } else if (!haveData && std::memcmp(header, "data", 4) == 0) {
      format.dataOffset = body;
      format.dataBytes = static_cast<uint32_t>(std::min<uint64_t>(size, walk.fileSize - body));
      haveData = true;
    }
    chunk = body + size + (size & 1);
  }
  if (!haveFmt || !haveData) {
    error = Refusal(path, haveFmt ? "it has no \"data\" chunk." : "it has no \"fmt \" chunk.");
    return false;
  }
  return true;
}

}  // namespace tarnovox
