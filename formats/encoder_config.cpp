#include "formats/encoder_config.h"

#include <cstring>

namespace tarnovox {

using namespace lame_enc;

namespace {

BE_CONFIG CommonConfig(const RecordSettings& settings) {
  BE_CONFIG config;
  std::memset(&config, 0, sizeof(config));  // btReserved and every unset field zero
  config.dwConfig = kBeConfigLame;
  config.dwStructVersion = 1;
  config.dwStructSize = kBeConfigSize;
  config.dwReSampleRate = 0;
  config.dwBitrate = static_cast<uint32_t>(settings.VBR != 0 ? settings.MinBitRate : settings.BitRate);
  config.dwMaxBitrate = static_cast<uint32_t>(settings.MaxBitRate);
  config.nPreset = -1;
  config.dwMpegVersion = kMpegVersion1;
  config.dwPsyModel = 0;
  config.dwEmphasis = 0;
  config.bPrivate = settings.Private;
  config.bCRC = 0;
  config.bCopyright = settings.Copyright;
  config.bOriginal = settings.Original;
  config.bWriteVBRHeader = 0;
  config.bEnableVBR = settings.VBR;
  config.nVBRQuality = settings.VBRQuality;
  config.dwVbrAbr_bps = 0;
  config.nVbrMethod = 0;
  config.bNoRes = kOn32;
  config.bStrictIso = 0;
  config.nQuality = 0xFD02;  // quality 2, confirmed by its complement in the high byte
  return config;
}

}  // namespace

BE_CONFIG RecordingConfig(const RecordSettings& settings) {
  BE_CONFIG config = CommonConfig(settings);
  config.dwSampleRate = 44100;
  config.nMode = settings.Mode;
  return config;
}

BE_CONFIG ConversionConfig(const RecordSettings& settings, uint32_t sampleRate, uint16_t channels) {
  BE_CONFIG config = CommonConfig(settings);
  config.dwSampleRate = sampleRate;
  config.nMode = channels == 1 ? kModeMono : kModeStereo;
  return config;
}

}  // namespace tarnovox
