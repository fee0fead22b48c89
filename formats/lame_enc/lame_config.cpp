#include "formats/lame_enc/lame_config.h"

#include <algorithm>
#include <array>

namespace tarnovox::lame_enc {
namespace {

constexpr std::array<uint32_t, 9> kMpegRates = {8000, 11025, 12000, 16000, 22050,
                                                 24000, 32000, 44100, 48000};

bool IsMpegRate(uint32_t rate) {
  return std::find(kMpegRates.begin(), kMpegRates.end(), rate) != kMpegRates.end();
}

bool IsMpeg1Rate(uint32_t rate) { return rate == 32000 || rate == 44100 || rate == 48000; }

// LAME derives the MPEG version from the output rate. An MPEG-2 request for an
// MPEG-1 input rate therefore halves the rate; an MPEG-1 request for a lower
// rate keeps that rate (there is no MPEG-1 frame for it), so a 22050 Hz source
// is encoded at 22050 Hz.
uint32_t OutputRate(const BE_CONFIG& config) {
  if (config.dwReSampleRate != 0) return config.dwReSampleRate;
  if (config.dwMpegVersion == kMpegVersion2 && IsMpeg1Rate(config.dwSampleRate)) {
    return config.dwSampleRate / 2;
  }
  return config.dwSampleRate;
}

MPEG_mode LameMode(int32_t mode) {
  switch (mode) {
    case kModeJointStereo: return JOINT_STEREO;
    case kModeDualChannel: return DUAL_CHANNEL;
    case kModeMono: return MONO;
    default: return STEREO;
  }
}

void ApplyBitRates(const BE_CONFIG& config, lame_t gf) {
  if (config.bEnableVBR == 0) {
    lame_set_VBR(gf, vbr_off);
    lame_set_brate(gf, static_cast<int>(config.dwBitrate));
    return;
  }
  constexpr int32_t kVbrMethodAbr = 4;
  if (config.nVbrMethod == kVbrMethodAbr && config.dwVbrAbr_bps != 0) {
    lame_set_VBR(gf, vbr_abr);
    lame_set_VBR_mean_bitrate_kbps(gf, static_cast<int>(config.dwVbrAbr_bps / 1000));
  } else {
    lame_set_VBR(gf, vbr_default);
    lame_set_VBR_q(gf, std::clamp(config.nVBRQuality, 0, 9));
  }
  lame_set_VBR_min_bitrate_kbps(gf, static_cast<int>(config.dwBitrate));
  lame_set_VBR_max_bitrate_kbps(gf, static_cast<int>(config.dwMaxBitrate));
  // Without a hard minimum LAME drops below the minimum on quiet frames.
  lame_set_VBR_hard_min(gf, 1);
}

void ApplyHeaderBits(const BE_CONFIG& config, lame_t gf) {
  lame_set_extension(gf, config.bPrivate != 0);
  lame_set_error_protection(gf, config.bCRC != 0);
  lame_set_copyright(gf, config.bCopyright != 0);
  lame_set_original(gf, config.bOriginal != 0);  // LAME's own default is on
  lame_set_emphasis(gf, static_cast<int>(config.dwEmphasis));
  lame_set_strict_ISO(gf, config.bStrictIso != 0);
  lame_set_disable_reservoir(gf, config.bNoRes != 0);
  lame_set_bWriteVbrTag(gf, config.bWriteVBRHeader != 0);
  lame_set_write_id3tag_automatic(gf, 0);
}

// The quality counts only when its high byte confirms the low byte.
void ApplyQuality(const BE_CONFIG& config, lame_t gf) {
  const unsigned low = config.nQuality & 0xFFu;
  const unsigned high = config.nQuality >> 8;
  if (high == (~low & 0xFFu) && low <= 9) lame_set_quality(gf, static_cast<int>(low));
}

}  // namespace

int InputChannels(const BE_CONFIG& config) { return config.nMode == kModeMono ? 1 : 2; }

BE_ERR ApplyConfig(const BE_CONFIG& config, lame_t gf) {
  if (config.dwConfig != kBeConfigLame) return kBeErrInvalidFormat;
  if (config.nMode < kModeStereo || config.nMode > kModeMono) return kBeErrInvalidFormatParameters;
  if (!IsMpegRate(config.dwSampleRate) || !IsMpegRate(OutputRate(config))) {
    return kBeErrInvalidFormatParameters;
  }
  if (config.dwEmphasis > 3) return kBeErrInvalidFormatParameters;
  lame_set_in_samplerate(gf, static_cast<int>(config.dwSampleRate));
  lame_set_out_samplerate(gf, static_cast<int>(OutputRate(config)));
  lame_set_num_channels(gf, InputChannels(config));
  lame_set_mode(gf, LameMode(config.nMode));
  ApplyBitRates(config, gf);
  ApplyHeaderBits(config, gf);
  ApplyQuality(config, gf);
  if (lame_init_params(gf) < 0) return kBeErrInvalidFormatParameters;
  return kBeErrSuccessful;
}

}  // namespace tarnovox::lame_enc
