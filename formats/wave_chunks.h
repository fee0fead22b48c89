#pragma once
// The one reader of WAV headers: walks the RIFF chunks of a file and finds
// its format ("fmt ") and its sound ("data"). The file list's description of
// a picked file and the WAV-to-MP3 conversion both read through it; each
// decides for itself what it accepts.
#include <cstdint>
#include <optional>

namespace tarnovox {

class RegularFile;

inline constexpr uint16_t kWaveFormatPcm = 1;
inline constexpr uint16_t kWaveFormatExtensible = 0xFFFE;

// The first "fmt " chunk. Fields the chunk's declared size does not reach
// read as 0.
struct WaveFormatChunk {
  uint32_t size = 0;      // as declared
  bool complete = false;  // the file holds its first min(size, 40) bytes; else no field is read
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint16_t bitsPerSample = 0;
  // Format tag 0xFFFE with the 40-byte extension: the sub-format's tag when
  // its GUID is of the standard family (the tag then 14 fixed bytes).
  bool extended = false;
  std::optional<uint16_t> subFormat;

  // Integer PCM: format tag 1, or 0xFFFE extended with the PCM sub-format,
  // in a chunk that holds the whole 16-byte PCM format.
  bool IsPcm() const {
    return complete && size >= 16 &&
           (formatTag == kWaveFormatPcm || (formatTag == kWaveFormatExtensible && subFormat == kWaveFormatPcm));
  }
};

// The first "data" chunk.
struct WaveDataChunk {
  uint64_t offset = 0;  // its first sample byte
  // As declared, cut to what the file holds; a declared 0 or 0xFFFFFFFF
  // (never filled in) is the rest of the file, up to 0xFFFFFFFF bytes.
  uint32_t bytes = 0;
};

struct WaveChunks {
  bool riffWave = false;  // the file begins "RIFF", a size, "WAVE"
  std::optional<WaveFormatChunk> format;
  std::optional<WaveDataChunk> data;
};

// Walks the chunks after "RIFF" size "WAVE" one by one (odd sizes padded to
// even) until both chunks are found or the file ends, skipping every other
// chunk. The RIFF size is not trusted (recorders that stopped early leave it
// wrong): the file's own size bounds every read. Chunks after both, and after
// a "data" chunk that runs to the end of the file, are never read. Nothing is
// found in a file that does not begin as a RIFF WAVE file.
WaveChunks ReadWaveChunks(const RegularFile& file);

}  // namespace tarnovox
