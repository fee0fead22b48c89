#include "analysis/meter_layout.h"

namespace tarnovox {

namespace {

constexpr int32_t kMp3MonoMode = 3;

MeterLayout ByChannels(int channels) {
  if (channels == 2) return MeterLayout::Stereo;
  if (channels == 1) return MeterLayout::Mono;
  return MeterLayout::None;
}

}  // namespace

MeterLayout ChooseMeterLayout(const RecorderState& state, const RecordSettings& settings) {
  if (state.playing) return ByChannels(state.FileChannels);
  // Recording and not recording follow the same format rules.
  if (settings.Wav) {
    const MeterLayout layout = ByChannels(settings.Channels);
    if (layout != MeterLayout::None) return layout;
  }
  if (settings.MP3) return settings.Mode == kMp3MonoMode ? MeterLayout::Mono : MeterLayout::Stereo;
  return MeterLayout::None;
}

}  // namespace tarnovox
