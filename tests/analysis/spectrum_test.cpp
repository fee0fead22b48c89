#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <vector>

#include "analysis/sample_split.h"
#include "analysis/spectrum.h"
#include "analysis/spectrum_bands.h"

namespace tarnovox {
namespace {

// Samples 0 to 4410 of a deterministic noise.
std::vector<int16_t> Noise(int amplitude) {
  std::vector<int16_t> s(4411);
  uint32_t state = 12345;
  for (auto& v : s) {
    state = state * 1664525u + 1013904223u;
    v = static_cast<int16_t>(static_cast<int>(state >> 16) % (2 * amplitude + 1) - amplitude);
  }
  return s;
}

// Every bin lands in exactly one band, never in a lower one than the bin
// before, and bins 1 to 1857 fill bands 1 to 29 and nothing above.
TEST(SpectrumBands, EachBinFillsOneBandInRisingOrderUpToBand29) {
  auto spectrum = std::make_unique<Spectrum>();
  SpectrumBands bands;
  spectrum->TopBin = 1857;
  std::vector<int> bandOfBin;
  for (int j = 1; j <= 1857; ++j) {
    spectrum->MagnitudeLeft.fill(0);
    spectrum->MagnitudeLeft[j] = 1000;
    bands.GroupBands(*spectrum);
    std::vector<int> lit;
    for (int b = 1; b <= 32; ++b)
      if (bands.BandLeft[b] != 0) lit.push_back(b);
    ASSERT_EQ(lit.size(), 1u) << "bin " << j;
    ASSERT_GE(lit[0], bandOfBin.empty() ? 1 : bandOfBin.back()) << "bin " << j;
    bandOfBin.push_back(lit[0]);
  }
  EXPECT_EQ(bandOfBin.front(), 1);
  EXPECT_EQ(bandOfBin.back(), 29);
  EXPECT_EQ(std::set<int>(bandOfBin.begin(), bandOfBin.end()).size(), 29u) << "a band got no bin";
}

TEST(Spectrum, TopBinFollowsTheConfiguredRateAndHigherBandsStayZero) {
  const std::vector<int16_t> noise = Noise(8000);
  struct Case { uint32_t rate; int fft; int topBin; int lastBand; };
  for (const Case c : {Case{11025, 1024, 464, 23}, Case{22050, 2048, 928, 26},
                       Case{44100, 4096, 1857, 29}, Case{11025, 4096, 464, 23}}) {
    auto spectrum = std::make_unique<Spectrum>();
    SpectrumBands bands;
    spectrum->ComputeSpectrum(noise.data(), noise.data(), c.fft, c.rate);
    EXPECT_EQ(spectrum->TopBin, c.topBin);
    bands.GroupBands(*spectrum);
    for (int b = 1; b <= 32; ++b) EXPECT_EQ(bands.BandLeft[b] != 0, b <= c.lastBand) << c.rate << " Hz band " << b;
    EXPECT_EQ(bands.BandLeft, bands.BandRight);
  }
}

TEST(Spectrum, SinePeaksAtItsBinAndSilenceGivesZeros) {
  const double amplitude = 10000;
  std::vector<int16_t> sine(4411);
  for (size_t i = 0; i < sine.size(); ++i)
    sine[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * M_PI * 1000 * i / 44100.0)));
  const std::vector<int16_t> silence(4411, 0);
  auto spectrum = std::make_unique<Spectrum>();
  spectrum->ComputeSpectrum(sine.data(), silence.data(), 4096, 44100);
  int peakBin = 0;
  for (int k = 0; k <= spectrum->TopBin; ++k) {
    if (spectrum->MagnitudeLeft[k] > spectrum->MagnitudeLeft[peakBin]) peakBin = k;
    ASSERT_EQ(spectrum->MagnitudeRight[k], 0.0f) << k;
  }
  EXPECT_EQ(peakBin, 93);
  EXPECT_NEAR(spectrum->MagnitudeLeft[93], amplitude, 0.05 * amplitude);
  EXPECT_LT(spectrum->MagnitudeLeft[300], 0.01 * amplitude);
  // Which band the tone lands in is checked through the capture engine in
  // meter_analysis_test.cpp.
}

// 8-bit mono is the one layout the capture tests do not record.
TEST(SampleSplit, EightBitMonoFillsBothChannels) {
  const uint8_t bytes[] = {255, 0};
  int16_t left[2], right[2];
  SplitFrames(bytes, 1, 2, FrameLayout::Mono8, left, right);
  EXPECT_EQ(std::vector<int16_t>(left, left + 2), std::vector<int16_t>({128, -127}));
  EXPECT_EQ(std::vector<int16_t>(right, right + 2), std::vector<int16_t>({128, -127}));
}

}  // namespace
}  // namespace tarnovox
