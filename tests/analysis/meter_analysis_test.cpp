#include <gtest/gtest.h>

#include <cmath>

#include "analysis/meter_analysis.h"
#include "recorder/capture_engine.h"
#include "tests/support/fake_capture_stream.h"
#include "tests/analysis/pixel_check.h"

namespace tarnovox {
namespace {

using namespace tarnovox::testing;

void PutSample(const PcmFormat& format, int channel, int value, uint8_t* out) {
  if (format.bitsPerSample == 8) {
    out[channel] = static_cast<uint8_t>(value);
  } else {
    out[2 * channel] = static_cast<uint8_t>(value & 0xFF);
    out[2 * channel + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
  }
}

// The capture engine on a virtual-time stream, feeding the analysis the
// newest block of every tick, which draws onto an image standing in for the window.
class MeterAnalysisTest : public ::testing::Test {
 protected:
  MeterAnalysisTest() {
    settings.format = OutputFormat::Wav;
    analysis.SetCanvas(&canvas);
  }

  // Left: a 1 kHz sine of full scale; right: the given constant.
  void SineLeft(int rightValue) {
    device.SetGenerator([rightValue](uint64_t frame, const PcmFormat& format, uint8_t* out) {
      const double phase = 2 * M_PI * 1000.0 * static_cast<double>(frame) / format.sampleRate;
      PutSample(format, 0, static_cast<int>(std::lround(32767 * std::sin(phase))), out);
      if (format.channels == 2) PutSample(format, 1, rightValue, out);
    });
  }

  void Tick() {
    device.Advance(100);
    engine.Pump();
    MeterBlock block;
    if (engine.TakeNewestBlock(block)) analysis.Analyse(block, true);
  }
  // A WAV take's stream in the format of the settings.
  void OpenTakeStream() {
    ASSERT_EQ(engine.OpenWavTakeStream(PcmFormat{settings.sampleRate, settings.channels, settings.bitsPerSample}, ""),
              0u);
    engine.BeginTake(nullptr);
  }

  testing::FakeCaptureStream device;
  testing::FakeCaptureStream mp3Stream;
  RecordSettings settings;
  RecorderState state;
  CaptureEngine engine{device, mp3Stream};
  MeterAnalysis analysis{engine, settings, state};
  ImageMeterCanvas canvas{400, 270, 0xFF123456};
};

TEST_F(MeterAnalysisTest, MonitoringToneReachesBandSixteenAndLightsTheLamp) {
  SineLeft(0);
  engine.OpenMonitoring("");
  Tick();
  EXPECT_EQ(analysis.Peaks().PeakLeft, 32767);
  EXPECT_EQ(analysis.Peaks().PeakRight, 0);
  EXPECT_EQ(analysis.Peaks().ClipHoldLeft, 30);
  EXPECT_EQ(canvas.CopyCount(), 3);
  const SpectrumBands& bands = analysis.Bands();
  int loudest = 1;
  for (int b = 1; b <= 32; ++b) {
    if (bands.BandLeft[b] > bands.BandLeft[loudest]) loudest = b;
    EXPECT_EQ(bands.BandRight[b], 0.0f);
  }
  EXPECT_EQ(loudest, 16);
  // Band 16's left bar (x 95..98) rises from the middle line; the lamp is lit.
  ExpectPixels(canvas.Image(), {{208 + 96, 95 + 50, MakeRgb(223, 255, 0)}, {208 + 96, 95 + 110, kBackground},
                                {14 + 368, 232 + 5, kRed}, {14 + 368, 232 + 18, kBackground}});
  Tick();
  EXPECT_EQ(analysis.Peaks().ClipHoldLeft, 30);
}

TEST_F(MeterAnalysisTest, EightBitWavRecordingClipsOnlyOnByte255) {
  settings.bitsPerSample = 8;
  settings.sampleRate = 11025;
  state.mode = RecorderMode::Recording;
  device.SetGenerator([](uint64_t, const PcmFormat&, uint8_t* out) { out[0] = 255; out[1] = 0; });
  OpenTakeStream();
  Tick();
  EXPECT_EQ(analysis.Peaks().PeakLeft, 128);
  EXPECT_EQ(analysis.Peaks().PeakRight, 127);
  EXPECT_EQ(analysis.Peaks().ClipHoldLeft, 30);
  EXPECT_EQ(analysis.Peaks().ClipHoldRight, 0);
  EXPECT_FLOAT_EQ(analysis.Scales().MeterScale, 368.0f / 128);
  EXPECT_FLOAT_EQ(analysis.Scales().ScopeStep, 170.0f / 1102);
  EXPECT_EQ(analysis.Transform().TopBin, 464);
}

TEST_F(MeterAnalysisTest, SixteenBitMonoGivesIdenticalChannelsAndTheMonoLayout) {
  settings.channels = 1;
  state.mode = RecorderMode::Recording;
  SineLeft(0);
  OpenTakeStream();
  Tick();
  EXPECT_EQ(analysis.LeftSamples(), analysis.RightSamples());
  EXPECT_EQ(analysis.Peaks().PeakLeft, analysis.Peaks().PeakRight);
  EXPECT_EQ(analysis.Bands().BandLeft, analysis.Bands().BandRight);
  EXPECT_GT(analysis.Bands().BandLeft[16], 0.0f);

  const MeterDisplay& display = analysis.Display();
  // The lower half of the spectrum stays empty; the bar rises from the middle.
  ExpectOnlyBackgroundAndSilver(display.SpectrumBitmap, 0, 59, 177, 118);
  EXPECT_EQ(At(display.SpectrumBitmap, 96, 50), MakeRgb(223, 255, 0));
  // One level bar on rows 8..17 (the lamp covers its end), none on rows 1 or 23.
  ExpectPixels(display.LevelBitmap, {{100, 8, MakeRgb(176, 233, 82)}, {100, 17, MakeRgb(176, 233, 82)},
                                     {100, 7, kBackground}, {100, 18, kBackground}, {368, 12, kRed},
                                     {368, 7, kBackground}});
  // The mono trace swings around the half line and there is no separator.
  EXPECT_EQ(At(display.ScopeBitmap, 0, 57), MakeRgb(255, 255, 255));
}

TEST_F(MeterAnalysisTest, ClosedDeviceDrawsAndCopiesNothing) {
  SineLeft(1000);
  engine.OpenMonitoring("");
  Tick();
  ASSERT_EQ(canvas.CopyCount(), 3);
  engine.CloseMonitoring();
  const QImage before = canvas.Image().copy();
  analysis.SetMeterGeometry();
  analysis.ClearMeterBitmaps();
  analysis.DrawStereoMeters();
  analysis.DrawMonoMeters();
  EXPECT_EQ(canvas.CopyCount(), 3);
  EXPECT_EQ(canvas.Image(), before);
  const QImage& scope = analysis.Display().ScopeBitmap;
  for (int y = 0; y < scope.height(); ++y)
    for (int x = 0; x < scope.width(); ++x) ASSERT_EQ(At(scope, x, y), kBackground) << x << "," << y;
}

}  // namespace
}  // namespace tarnovox
