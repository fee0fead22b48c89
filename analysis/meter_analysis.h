#pragma once
// Level and spectrum analysis of the blocks of sound the recorder's tick hands
// over, and the drawing of the three live displays. One instance for the
// program; the recorder calls it through CaptureAnalysis, the main window's
// paint handler calls the geometry and drawing operations directly.
#include <memory>
#include <vector>

#include "analysis/display_scales.h"
#include "analysis/meter_canvas.h"
#include "analysis/meter_display.h"
#include "analysis/peak_meter.h"
#include "analysis/sample_split.h"
#include "analysis/spectrum.h"
#include "analysis/spectrum_bands.h"
#include "recorder/capture_engine.h"
#include "recorder/collaborators.h"
#include "recorder/recorder_state.h"
#include "settings/record_settings.h"

namespace tarnovox {

class MeterAnalysis : public CaptureAnalysis {
 public:
  MeterAnalysis(const CaptureEngine& engine, const RecordSettings& settings, const RecorderState& state);

  // The window canvas the bitmaps are copied to; without one they are only drawn.
  // The bitmaps are sized for the canvas's device pixel ratio from now on.
  void SetCanvas(MeterCanvas* canvas) {
    canvas_ = canvas;
    SetMeterGeometry();
  }

  // Splits the block, measures its peaks and, with `draw`, refreshes the meters.
  void Analyse(const MeterBlock& block, bool draw) override;

  // De-interleaves the block into LeftSamples and RightSamples, in the format it
  // was captured in, and sets the display scales. A block whose bytes do not
  // hold its frames leaves everything unchanged.
  void Split(const MeterBlock& block);
  void MeasurePeaks();
  // Spectrum, bands and the layout of the current mode, drawn and copied.
  void RefreshMeters();

  void ComputeSpectrum();
  void GroupBands();

  // At the canvas's device pixel ratio, once there is a canvas.
  void SetMeterGeometry() { display_.SetMeterGeometry(canvas_ != nullptr ? canvas_->DevicePixelRatio() : 1.0); }
  void ClearMeterBitmaps() { display_.ClearMeterBitmaps(); }
  // Both do nothing at all while the capture device is closed.
  void DrawStereoMeters();
  void DrawMonoMeters();

  const DisplayScales& Scales() const { return scales_; }
  const PeakMeter& Peaks() const { return peaks_; }
  const Spectrum& Transform() const { return *spectrum_; }
  const SpectrumBands& Bands() const { return bands_; }
  const MeterDisplay& Display() const { return display_; }
  const std::vector<int16_t>& LeftSamples() const { return left_; }
  const std::vector<int16_t>& RightSamples() const { return right_; }

 private:
  MeterFrame Frame() const;

  const CaptureEngine& engine_;
  const RecordSettings& settings_;
  const RecorderState& state_;
  MeterCanvas* canvas_ = nullptr;
  DisplayScales scales_;
  PeakMeter peaks_;
  std::unique_ptr<Spectrum> spectrum_;  // about 100 kB of fixed transform arrays
  SpectrumBands bands_;
  MeterDisplay display_;
  uint32_t frames_ = 4410;
  uint16_t fftSize_ = 4096;
  // The last block split into channels; twice its frames long, as the
  // transform reads up to FftSize + 1 samples.
  std::vector<int16_t> left_, right_;
  bool eightBitTake_ = false;
};

}  // namespace tarnovox
