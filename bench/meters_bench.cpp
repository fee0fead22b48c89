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

namespace tarnovox {
namespace {

// A stream that opens and never delivers: the blocks come from the benchmark.
class IdleStream : public CaptureStream {
 public:
  uint32_t Open(const PcmFormat&) override { return 0; }
  void Start() override {}
  void Stop() override {}
  size_t Read(uint8_t*, size_t) override { return 0; }
  size_t Available() const override { return 0; }
  void Close() override {}
  std::string ErrorText(uint32_t) const override { return {}; }
};

int16_t TestSignal(size_t frame, int channel) {
  const double t = static_cast<double>(frame) / 44100.0;
  const double f = channel == 0 ? 1000.0 : 3150.0;
  return static_cast<int16_t>(12000 * std::sin(2 * M_PI * f * t) + 4000 * std::sin(2 * M_PI * 97 * t));
}

// Forty blocks of 100 ms of 44100 Hz 16-bit stereo, as monitoring hands them over.
std::vector<MeterBlock> MonitorBlocks() {
  std::vector<MeterBlock> blocks(40);
  for (size_t b = 0; b < blocks.size(); ++b) {
    blocks[b].pcm.resize(17640);
    for (size_t i = 0; i < 4410; ++i) {
      for (int c = 0; c < 2; ++c) {
        const uint16_t v = static_cast<uint16_t>(TestSignal(b * 4410 + i, c));
        blocks[b].pcm[i * 4 + 2 * c] = static_cast<uint8_t>(v & 0xFF);
        blocks[b].pcm[i * 4 + 2 * c + 1] = static_cast<uint8_t>(v >> 8);
      }
    }
  }
  return blocks;
}

void BM_MeterTick(benchmark::State& bench) {
  IdleStream monitor, mp3;
  RecordSettings settings;
  RecorderState state;
  CaptureEngine engine(monitor, mp3);
  engine.OpenMonitoring("");
  const std::vector<MeterBlock> blocks = MonitorBlocks();
  auto analysis = std::make_unique<MeterAnalysis>(engine, settings, state);
  ImageMeterCanvas canvas(400, 270, 0xFF000000);
  analysis->SetCanvas(&canvas);
  size_t index = 0;
  for (auto _ : bench) {
    analysis->Analyse(blocks[index], true);
    index = (index + 1) % blocks.size();
    benchmark::DoNotOptimize(canvas.Image().constBits());
  }
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
