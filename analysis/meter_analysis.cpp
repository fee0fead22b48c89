#include "analysis/meter_analysis.h"

#include <algorithm>

#include "analysis/meter_layout.h"
#include "analysis/sample_split.h"

namespace tarnovox {

MeterAnalysis::MeterAnalysis(const CaptureEngine& engine, const RecordSettings& settings,
                             const RecorderState& state)
    : engine_(engine),
      settings_(settings),
      state_(state),
      spectrum_(std::make_unique<Spectrum>()),
      left_(2 * frames_, 0),
      right_(2 * frames_, 0) {}

void MeterAnalysis::Analyse(const MeterBlock& block, bool draw) {
  Split(block);
  MeasurePeaks();
  if (draw) RefreshMeters();
}

void MeterAnalysis::Split(const MeterBlock& block) {
  const FrameLayout layout = LayoutOf(block.format.bitsPerSample, block.format.channels);
  const size_t frames = block.frames;
  const size_t blockAlign = block.format.BlockAlign();
  if (frames == 0 || blockAlign < BytesReadPerFrame(layout)) return;
  if ((frames - 1) * blockAlign + BytesReadPerFrame(layout) > block.pcm.size()) return;
  if (frames != frames_ || left_.size() != 2 * frames) {
    frames_ = static_cast<uint32_t>(frames);
    left_.assign(2 * frames, 0);
    right_.assign(2 * frames, 0);
  }
  fftSize_ = block.fftSize;
  SplitFrames(block.pcm.data(), blockAlign, frames, layout, left_.data(), right_.data());
  scales_ = DisplayScales::For(IsEightBit(layout), block.frames);
  eightBitTake_ = block.format.bitsPerSample == 8;
}

void MeterAnalysis::MeasurePeaks() {
  const size_t frames = std::min<size_t>(frames_, std::min(left_.size(), right_.size()));
  peaks_.MeasurePeaks(left_.data(), right_.data(), frames, eightBitTake_);
}

void MeterAnalysis::ComputeSpectrum() {
  // The transform reads samples 1 to FftSize.
  const size_t needed = static_cast<size_t>(fftSize_) + 1;
  if (left_.size() < needed || right_.size() < needed) return;
  spectrum_->ComputeSpectrum(left_.data(), right_.data(), fftSize_, settings_.sampleRate);
}

void MeterAnalysis::GroupBands() { bands_.GroupBands(*spectrum_); }

void MeterAnalysis::RefreshMeters() {
  ComputeSpectrum();
  GroupBands();
  ClearMeterBitmaps();
  switch (ChooseMeterLayout(state_, settings_)) {
    case MeterLayout::Stereo: DrawStereoMeters(); break;
    case MeterLayout::Mono: DrawMonoMeters(); break;
    case MeterLayout::None: break;
  }
}

void MeterAnalysis::DrawStereoMeters() {
  if (!engine_.MonitoringOpen()) return;
  display_.DrawStereo(Frame(), canvas_);
}

void MeterAnalysis::DrawMonoMeters() {
  if (!engine_.MonitoringOpen()) return;
  display_.DrawMono(Frame(), canvas_);
}

MeterFrame MeterAnalysis::Frame() const {
  const size_t count = std::min(left_.size(), right_.size());
  return MeterFrame{left_.data(), right_.data(), count, static_cast<uint16_t>(frames_), state_.Recording(), scales_, peaks_, bands_};
}

}  // namespace tarnovox
