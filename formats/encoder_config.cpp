#include "formats/encoder_config.h"

#include <cstring>

namespace tarnovox {

using namespace lame_enc;

namespace {

// The configuration's switches are 32-bit values, 0 or all bits set.
constexpr int32_t kOn32 = -1;
int32_t Switch32(bool on) { return on ? kOn32 : 0; }

int32_t EncoderMode(ChannelMode mode) {
  switch (mode) {
    case ChannelMode::Stereo: return kModeStereo;
    case ChannelMode::JointStereo: return kModeJointStereo;
    case ChannelMode::DualChannel: return kModeDualChannel;
    case ChannelMode::Mono: return kModeMono;
  }
  return kModeStereo;
}

BE_CONFIG CommonConfig(const RecordSettings& settings) {
  BE_CONFIG config;
  std::memset(&config, 0, sizeof(config));  // btReserved and every unset field zero
  config.dwConfig = kBeConfigLame;
  config.dwStructVersion = 1;
  config.dwStructSize = kBeConfigSize;
  config.dwReSampleRate = 0;
  config.dwBitrate = static_cast<uint32_t>(settings.vbr ? settings.minBitRate : settings.bitRate);
  config.dwMaxBitrate = static_cast<uint32_t>(settings.maxBitRate);
  config.nPreset = -1;
  config.dwMpegVersion = kMpegVersion1;
  config.dwPsyModel = 0;
  config.dwEmphasis = 0;
  config.bPrivate = Switch32(settings.privateFlag);
  config.bCRC = 0;
  config.bCopyright = Switch32(settings.copyright);
  config.bOriginal = Switch32(settings.original);
  config.bWriteVBRHeader = 0;
  config.bEnableVBR = Switch32(settings.vbr);
  config.nVBRQuality = settings.vbrQuality;
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
  config.nMode = EncoderMode(settings.channelMode);
  return config;
}

BE_CONFIG ConversionConfig(const RecordSettings& settings, uint32_t sampleRate, uint16_t channels) {
  BE_CONFIG config = CommonConfig(settings);
  config.dwSampleRate = sampleRate;
  config.nMode = channels == 1 ? kModeMono : kModeStereo;
  return config;
}

}  // namespace tarnovox
