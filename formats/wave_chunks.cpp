#include "formats/wave_chunks.h"

#include <algorithm>
#include <cstring>

#include "platform/regular_file.h"

namespace tarnovox {
namespace {

// KSDATAFORMAT_SUBTYPE_* GUIDs are the format tag in the first two bytes
// followed by these fourteen.
constexpr uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr uint32_t kLongestFormat = 40;
constexpr uint32_t kUnsizedData = 0xFFFFFFFF;

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Read32(const uint8_t* p) {
  return static_cast<uint32_t>(Read16(p)) | static_cast<uint32_t>(Read16(p + 2)) << 16;
}

bool ReadAll(const RegularFile& file, uint64_t offset, uint8_t* out, size_t bytes) {
  return file.ReadAt(static_cast<long>(offset), out, bytes) == static_cast<long>(bytes);
}

WaveFormatChunk ReadFormat(const RegularFile& file, uint64_t body, uint32_t size) {
  WaveFormatChunk format;
  format.size = size;
  uint8_t fields[kLongestFormat] = {};
  format.complete = ReadAll(file, body, fields, std::min(size, kLongestFormat));
  if (!format.complete) return format;
  format.formatTag = Read16(fields);
  format.channels = Read16(fields + 2);
  format.sampleRate = Read32(fields + 4);
  format.bitsPerSample = Read16(fields + 14);
  format.extended = format.formatTag == kWaveFormatExtensible && size >= kLongestFormat;
  if (format.extended && std::memcmp(fields + 26, kSubFormatTail, sizeof kSubFormatTail) == 0)
    format.subFormat = Read16(fields + 24);
  return format;
}

}  // namespace

WaveChunks ReadWaveChunks(const RegularFile& file) {
  WaveChunks found;
  const long size = file.Size();
  if (size < 12) return found;
  const auto fileSize = static_cast<uint64_t>(size);
  uint8_t head[12];
  found.riffWave = ReadAll(file, 0, head, sizeof head) && std::memcmp(head, "RIFF", 4) == 0 &&
                   std::memcmp(head + 8, "WAVE", 4) == 0;
  if (!found.riffWave) return found;
  for (uint64_t chunk = sizeof head; chunk + 8 <= fileSize && !(found.format && found.data);) {
    uint8_t header[8];
    if (!ReadAll(file, chunk, header, sizeof header)) break;
    const uint32_t chunkSize = Read32(header + 4);
    const uint64_t body = chunk + 8;
    if (!found.format && std::memcmp(header, "fmt ", 4) == 0) {
      found.format = ReadFormat(file, body, chunkSize);
    } else if (!found.data && std::memcmp(header, "data", 4) == 0) {
      // A writer that never came back to its header leaves 0 or all ones:
      // the sound then runs to the end of the file, and no chunk follows it.
      const bool unsized = chunkSize == 0 || chunkSize == kUnsizedData;
      const uint64_t bytes = unsized ? fileSize - body : std::min<uint64_t>(chunkSize, fileSize - body);
      found.data = WaveDataChunk{body, static_cast<uint32_t>(std::min<uint64_t>(bytes, kUnsizedData))};
      if (unsized) break;
    }
    chunk = body + chunkSize + (chunkSize & 1);
  }
  return found;
}

}  // namespace tarnovox
