// One recording tick's analysis and drawing at 44100 Hz stereo, and the
// transform alone. The tick has 100 ms; the meters should take a small part.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "analysis/meter_analysis.h"
#include "analysis/spectrum.h"
#include "recorder/capture_engine.h"
#include "recorder/ui_hooks.h"

namespace tarnovox {
namespace {

// A device that is never opened: the ring is filled by the benchmark.
class IdleWaveIn : public WaveIn {
 public:
  uint32_t Open(const WaveFormat&) override { return 0; }
  void Prepare(WaveBuffer&) override {}
  void Unprepare(WaveBuffer&) override {}
  void AddBuffer(WaveBuffer&) override {}
  void Start() override {}
  void Stop() override {}
  void Reset() override {}
  void Close() override {}
  std::string ErrorText(uint32_t) const override { return {}; }
};

class SilentHooks : public UiHooks {
 public:
  void ShowMessage(const std::string&) override {}
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
  void ProcessMessages() override {}
  void SetBusyCursor(bool) override {}
  void UpdateTimeDisplay() override {}
  void UpdateFormatLabels() override {}
};

int16_t TestSignal(size_t frame, int channel) {
  const double t = static_cast<double>(frame) / 44100.0;
  const double f = channel == 0 ? 1000.0 : 3150.0;
  return static_cast<int16_t>(12000 * std::sin(2 * M_PI * f * t) + 4000 * std::sin(2 * M_PI * 97 * t));
}

void FillMonitorRing(CaptureEngine& engine) {
  engine.FramesPerBuffer = 4410;
  engine.FftSize = 4096;
  engine.BlockAlign = 4;
  engine.BytesPerBuffer = 17640;
  engine.PcmRing.assign(CaptureEngine::kBufferCount * 17640u, 0);
  engine.LeftSamples.assign(8820, 0);
  engine.RightSamples.assign(8820, 0);
  for (size_t frame = 0; frame < CaptureEngine::kBufferCount * 4410u; ++frame) {
    for (int c = 0; c < 2; ++c) {
      const uint16_t v = static_cast<uint16_t>(TestSignal(frame, c));
      engine.PcmRing[frame * 4 + 2 * c] = static_cast<uint8_t>(v & 0xFF);
      engine.PcmRing[frame * 4 + 2 * c + 1] = static_cast<uint8_t>(v >> 8);
    }
  }
  engine.DeviceOpen = true;
}

void BM_MeterTick(benchmark::State& bench) {
  IdleWaveIn device;
  SilentHooks hooks;
  RecordSettings settings;
  RecorderState state;
  CaptureEngine engine(device, settings, state, hooks);
  FillMonitorRing(engine);
  auto analysis = std::make_unique<MeterAnalysis>(engine, settings, state);
  ImageMeterCanvas canvas(400, 270, 0xFF000000);
  analysis->SetCanvas(&canvas);
  int index = 0;
  for (auto _ : bench) {
    engine.CurrentBufferIndex = index;
    index = (index + 1) % CaptureEngine::kBufferCount;
    analysis->SplitMonitorBuffer();
    analysis->MeasurePeaks();
    analysis->RefreshMeters();
    benchmark::DoNotOptimize(canvas.Image().constBits());
  }
  engine.DeviceOpen = false;
}
BENCHMARK(BM_MeterTick)->Unit(benchmark::kMicrosecond);

void BM_SpectrumOnly(benchmark::State& bench) {
  std::vector<int16_t> left(8820);
  std::vector<int16_t> right(8820);
  for (size_t i = 0; i < left.size(); ++i) {
    left[i] = TestSignal(i, 0);
    right[i] = TestSignal(i, 1);
  }
  auto spectrum = std::make_unique<Spectrum>();
  for (auto _ : bench) {
    spectrum->ComputeSpectrum(left.data(), right.data(), 4096, 44100);
    benchmark::DoNotOptimize(spectrum->MagnitudeLeft.data());
  }
}
BENCHMARK(BM_SpectrumOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarnovox

int main(int argc, char** argv) {
  // The channel labels need fonts; the offscreen platform needs no display.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
