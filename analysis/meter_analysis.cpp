#include "analysis/meter_analysis.h"

#include "analysis/meter_layout.h"
#include "analysis/sample_split.h"

namespace tarnovox {

MeterAnalysis::MeterAnalysis(CaptureEngine& engine, const RecordSettings& settings,
                             const RecorderState& state)
    : engine_(engine), settings_(settings), state_(state), spectrum_(std::make_unique<Spectrum>()) {}

void MeterAnalysis::SplitMonitorBuffer() { Split(FrameLayout::Stereo16); }

void MeterAnalysis::SplitRecordBuffer() {
  // During an MP3 recording the device stays open in the monitoring format, so
  // the open format covers both kinds of recording.
  Split(LayoutOf(engine_.Format.bitsPerSample, engine_.Format.channels));
}

void MeterAnalysis::Split(FrameLayout layout) {
  const size_t frames = engine_.FramesPerBuffer;
  const int32_t index = engine_.CurrentBufferIndex;
  if (frames == 0 || index < 0 || engine_.BlockAlign < BytesReadPerFrame(layout)) return;
  const size_t start = static_cast<size_t>(index) * engine_.BytesPerBuffer;
  const size_t end = start + (frames - 1) * engine_.BlockAlign + BytesReadPerFrame(layout);
  if (end > engine_.PcmRing.size() || engine_.LeftSamples.size() < frames ||
      engine_.RightSamples.size() < frames) {
    return;
  }
  SplitFrames(engine_.PcmRing.data() + start, engine_.BlockAlign, frames, layout,
              engine_.LeftSamples.data(), engine_.RightSamples.data());
  scales_ = DisplayScales::For(IsEightBit(layout), engine_.FramesPerBuffer);
}

void MeterAnalysis::MeasurePeaks() {
  size_t frames = engine_.FramesPerBuffer;
  if (frames > engine_.LeftSamples.size()) frames = engine_.LeftSamples.size();
  if (frames > engine_.RightSamples.size()) frames = engine_.RightSamples.size();
  const bool eightBitWav = state_.recording && settings_.Wav && settings_.BitPerSample == 8;
  peaks_.MeasurePeaks(engine_.LeftSamples.data(), engine_.RightSamples.data(), frames,
                      eightBitWav);
}

void MeterAnalysis::ComputeSpectrum() {
  // The transform reads samples 1 to FftSize.
  const size_t needed = static_cast<size_t>(engine_.FftSize) + 1;
  if (engine_.LeftSamples.size() < needed || engine_.RightSamples.size() < needed) return;
  spectrum_->ComputeSpectrum(engine_.LeftSamples.data(), engine_.RightSamples.data(),
                             engine_.FftSize, settings_.SamplePerSecond);
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
  if (!engine_.DeviceOpen) return;
  display_.DrawStereo(Frame(), canvas_);
}

void MeterAnalysis::DrawMonoMeters() {
  if (!engine_.DeviceOpen) return;
  display_.DrawMono(Frame(), canvas_);
}

MeterFrame MeterAnalysis::Frame() const {
  const size_t count = engine_.LeftSamples.size() < engine_.RightSamples.size()
                           ? engine_.LeftSamples.size()
                           : engine_.RightSamples.size();
  return MeterFrame{engine_.LeftSamples.data(), engine_.RightSamples.data(), count,
                    engine_.FramesPerBuffer, state_.recording, scales_, peaks_, bands_};
}

}  // namespace tarnovox
