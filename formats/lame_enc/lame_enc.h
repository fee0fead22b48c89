#pragma once
// Public interface of liblame_enc.so, the MP3 encoder library that the program
// loads at run time. Every entry point has C linkage and returns 0 on success;
// the configuration record is the packed 331-byte LHV1 form.
#include <cstddef>
#include <cstdint>

namespace tarnovox::lame_enc {

using BE_ERR = uint32_t;
using HBE_STREAM = uint32_t;

constexpr BE_ERR kBeErrSuccessful = 0;
constexpr BE_ERR kBeErrInvalidFormat = 1;
constexpr BE_ERR kBeErrInvalidFormatParameters = 2;
constexpr BE_ERR kBeErrNoMoreHandles = 3;
constexpr BE_ERR kBeErrInvalidHandle = 4;
constexpr BE_ERR kBeErrBufferTooSmall = 5;

constexpr uint32_t kBeConfigLame = 256;  // dwConfig of the LHV1 layout
constexpr uint32_t kBeConfigSize = 331;

constexpr int32_t kModeStereo = 0;
constexpr int32_t kModeJointStereo = 1;
constexpr int32_t kModeDualChannel = 2;
constexpr int32_t kModeMono = 3;

constexpr uint32_t kMpegVersion2 = 0;
constexpr uint32_t kMpegVersion1 = 1;

#pragma pack(push, 1)
struct BE_CONFIG {
  uint32_t dwConfig;
  uint32_t dwStructVersion;
  uint32_t dwStructSize;
  uint32_t dwSampleRate;
  uint32_t dwReSampleRate;
  int32_t nMode;
  uint32_t dwBitrate;
  uint32_t dwMaxBitrate;
  int32_t nPreset;
  uint32_t dwMpegVersion;
  uint32_t dwPsyModel;
  uint32_t dwEmphasis;
  int32_t bPrivate;
  int32_t bCRC;
  int32_t bCopyright;
  int32_t bOriginal;
  int32_t bWriteVBRHeader;
  int32_t bEnableVBR;
  int32_t nVBRQuality;
  uint32_t dwVbrAbr_bps;
  int32_t nVbrMethod;
  int32_t bNoRes;
  int32_t bStrictIso;
  uint16_t nQuality;  // low byte quality 0..9, high byte its ones' complement
  uint8_t btReserved[237];
};

struct BE_VERSION {
  uint8_t byDLLMajorVersion;
  uint8_t byDLLMinorVersion;
  uint8_t byMajorVersion;  // of the LAME engine
  uint8_t byMinorVersion;
  uint8_t byDay;  // release date of this library
  uint8_t byMonth;
  uint16_t wYear;
  char zHomepage[129];
  uint8_t byAlphaLevel;
  uint8_t byBetaLevel;
  uint8_t byMMXEnabled;
  uint8_t btReserved[125];
};
#pragma pack(pop)

static_assert(sizeof(BE_CONFIG) == kBeConfigSize);
static_assert(offsetof(BE_CONFIG, dwConfig) == 0);
static_assert(offsetof(BE_CONFIG, dwStructVersion) == 4);
static_assert(offsetof(BE_CONFIG, dwStructSize) == 8);
static_assert(offsetof(BE_CONFIG, dwSampleRate) == 12);
static_assert(offsetof(BE_CONFIG, dwReSampleRate) == 16);
static_assert(offsetof(BE_CONFIG, nMode) == 20);
static_assert(offsetof(BE_CONFIG, dwBitrate) == 24);
static_assert(offsetof(BE_CONFIG, dwMaxBitrate) == 28);
static_assert(offsetof(BE_CONFIG, nPreset) == 32);
static_assert(offsetof(BE_CONFIG, dwMpegVersion) == 36);
static_assert(offsetof(BE_CONFIG, dwPsyModel) == 40);
static_assert(offsetof(BE_CONFIG, dwEmphasis) == 44);
static_assert(offsetof(BE_CONFIG, bPrivate) == 48);
static_assert(offsetof(BE_CONFIG, bCRC) == 52);
static_assert(offsetof(BE_CONFIG, bCopyright) == 56);
static_assert(offsetof(BE_CONFIG, bOriginal) == 60);
static_assert(offsetof(BE_CONFIG, bWriteVBRHeader) == 64);
static_assert(offsetof(BE_CONFIG, bEnableVBR) == 68);
static_assert(offsetof(BE_CONFIG, nVBRQuality) == 72);
static_assert(offsetof(BE_CONFIG, dwVbrAbr_bps) == 76);
static_assert(offsetof(BE_CONFIG, nVbrMethod) == 80);
static_assert(offsetof(BE_CONFIG, bNoRes) == 84);
static_assert(offsetof(BE_CONFIG, bStrictIso) == 88);
static_assert(offsetof(BE_CONFIG, nQuality) == 92);
static_assert(offsetof(BE_CONFIG, btReserved) == 94);
static_assert(sizeof(BE_VERSION) == 265);

// Entry point types, as the loader resolves them by name.
using BeInitStreamFn = BE_ERR (*)(BE_CONFIG* config, uint32_t* samples, uint32_t* bufferSize,
                                  HBE_STREAM* stream);
using BeEncodeChunkFn = BE_ERR (*)(HBE_STREAM stream, uint32_t samples, const int16_t* pcm,
                                   uint8_t* output, uint32_t* outputBytes);
using BeDeinitStreamFn = BE_ERR (*)(HBE_STREAM stream, uint8_t* output, uint32_t* outputBytes);
using BeCloseStreamFn = BE_ERR (*)(HBE_STREAM stream);
using BeVersionFn = void (*)(BE_VERSION* version);
using BeWriteVBRHeaderFn = BE_ERR (*)(const char* mp3File);

}  // namespace tarnovox::lame_enc

extern "C" {
tarnovox::lame_enc::BE_ERR beInitStream(tarnovox::lame_enc::BE_CONFIG* config, uint32_t* samples,
                                        uint32_t* bufferSize, tarnovox::lame_enc::HBE_STREAM* stream);
tarnovox::lame_enc::BE_ERR beEncodeChunk(tarnovox::lame_enc::HBE_STREAM stream, uint32_t samples,
                                         const int16_t* pcm, uint8_t* output, uint32_t* outputBytes);
tarnovox::lame_enc::BE_ERR beDeinitStream(tarnovox::lame_enc::HBE_STREAM stream, uint8_t* output,
                                          uint32_t* outputBytes);
tarnovox::lame_enc::BE_ERR beCloseStream(tarnovox::lame_enc::HBE_STREAM stream);
void beVersion(tarnovox::lame_enc::BE_VERSION* version);
tarnovox::lame_enc::BE_ERR beWriteVBRHeader(const char* mp3File);
}
