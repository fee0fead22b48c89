#pragma once
// Level and spectrum analysis of the buffers the capture poll hands over, and
// the drawing of the three live displays. One instance for the program; the
// capture engine calls it through CaptureAnalysis, the main window's paint
// handler calls the geometry and drawing operations directly.
#include <memory>

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
  MeterAnalysis(CaptureEngine& engine, const RecordSettings& settings, const RecorderState& state);

  // The window canvas the bitmaps are copied to; without one they are only drawn.
  void SetCanvas(MeterCanvas* canvas) { canvas_ = canvas; }

  // De-interleave buffer CurrentBufferIndex of the ring into the engine's
  // LeftSamples and RightSamples and set the display scales. The monitoring
  // split reads 16-bit stereo; the recording split reads the format the device
  // was opened with. A buffer that does not lie wholly inside the ring, or
  // sample arrays too small for it, leave everything unchanged.
  void SplitMonitorBuffer() override;
  void SplitRecordBuffer() override;
  void MeasurePeaks() override;
  // Spectrum, bands and the layout of the current mode, drawn and copied.
  void RefreshMeters() override;

  void ComputeSpectrum();
  void GroupBands();

  void SetMeterGeometry() { display_.SetMeterGeometry(); }
  void ClearMeterBitmaps() { display_.ClearMeterBitmaps(); }
  // Both do nothing at all while the capture device is closed.
  void DrawStereoMeters();
  void DrawMonoMeters();

  const DisplayScales& Scales() const { return scales_; }
  const PeakMeter& Peaks() const { return peaks_; }
  const Spectrum& Transform() const { return *spectrum_; }
  const SpectrumBands& Bands() const { return bands_; }
  const MeterDisplay& Display() const { return display_; }

 private:
  void Split(FrameLayout layout);
  MeterFrame Frame() const;

  CaptureEngine& engine_;
  const RecordSettings& settings_;
  const RecorderState& state_;
  MeterCanvas* canvas_ = nullptr;
  DisplayScales scales_;
  PeakMeter peaks_;
  std::unique_ptr<Spectrum> spectrum_;  // about 100 kB of fixed transform arrays
  SpectrumBands bands_;
  MeterDisplay display_;
};

}  // namespace tarnovox
