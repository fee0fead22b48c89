#include "analysis/meter_layout.h"

namespace tarnovox {

namespace {

MeterLayout ByChannels(int channels) {
  if (channels == 2) return MeterLayout::Stereo;
  if (channels == 1) return MeterLayout::Mono;
  return MeterLayout::None;
}

}  // namespace

MeterLayout ChooseMeterLayout(const RecorderState& state, const RecordSettings& settings) {
  if (state.Playing()) return ByChannels(state.FileChannels);
  // Recording and not recording follow the same format rules.
  // WAV, FLAC and Opus take their channels from the WAV page.
  if (settings.format != OutputFormat::Mp3) return ByChannels(settings.channels);
  return settings.channelMode == ChannelMode::Mono ? MeterLayout::Mono : MeterLayout::Stereo;
}

}  // namespace tarnovox
