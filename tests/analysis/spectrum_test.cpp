#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "analysis/sample_split.h"
#include "analysis/spectrum.h"
#include "analysis/spectrum_bands.h"

namespace tarnovox {
namespace {

// First bin of bands 1 to 30; a band ends where the next begins.
const int kFirstBin[] = {1,   2,   3,   4,   6,   8,   11,  14,  18,   23,   29,   37,   47,   59,   74,
                         93,  117, 147, 184, 230, 288, 360, 450, 563, 704, 881, 1102, 1378, 1723, 2154};

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

TEST(SpectrumBands, BinsFallInTheTabledBandsAndBand32StaysEmpty) {
  auto spectrum = std::make_unique<Spectrum>();
  SpectrumBands bands;
  spectrum->TopBin = 1857;
  for (int band = 1; band <= 29; ++band) {
    for (int j = kFirstBin[band - 1]; j < std::min(kFirstBin[band], 1858); ++j) {
      spectrum->MagnitudeLeft.fill(0);
      spectrum->MagnitudeRight.fill(0);
      spectrum->MagnitudeLeft[j] = 1000;
      spectrum->MagnitudeRight[j] = 2000;
      bands.GroupBands(*spectrum);
      for (int b = 1; b <= 32; ++b) {
        ASSERT_EQ(bands.BandLeft[b] != 0, b == band) << "bin " << j << " band " << b;
        ASSERT_EQ(bands.BandRight[b] != 0, b == band) << "bin " << j << " band " << b;
      }
    }
  }
  // Weighting: 4 x round(w x value / (1 + b/10)), halves to even.
  spectrum->MagnitudeLeft.fill(0);
  spectrum->MagnitudeLeft[1] = 1.1f;   // 5 x 1.1 / 1.1 = 5 -> 20
  spectrum->MagnitudeLeft[6] = 3.75f;  // band 5: 3.75 / 1.5 = 2.5 -> 2 -> 8
  spectrum->MagnitudeLeft[23] = 7.0f;  // band 10: 7 / 2 = 3.5 -> 4 -> 16
  spectrum->MagnitudeLeft[93] = 13.0f;  // band 16: 13 / 2.6 = 5 -> 20
  bands.GroupBands(*spectrum);
  EXPECT_EQ(bands.BandLeft[1], 20.0f);
  EXPECT_EQ(bands.BandLeft[5], 8.0f);
  EXPECT_EQ(bands.BandLeft[10], 16.0f);
  EXPECT_EQ(bands.BandLeft[16], 20.0f);
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
    for (int b = 1; b <= 32; ++b) {
      EXPECT_EQ(bands.BandLeft[b] != 0, b <= c.lastBand) << c.rate << " Hz band " << b;
    }
    EXPECT_EQ(bands.BandLeft, bands.BandRight);
  }
}

TEST(Spectrum, SinePeaksAtItsBinAndSilenceGivesZeros) {
  const double amplitude = 10000;
  std::vector<int16_t> sine(4411);
  for (size_t i = 0; i < sine.size(); ++i) {
    sine[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * M_PI * 1000 * i / 44100.0)));
  }
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

TEST(SampleSplit, LayoutsGiveTheirChannels) {
  // Frames of 4 bytes: sample 0x1234 then 0xFEDC (-292).
  const uint8_t stereo16[] = {0x34, 0x12, 0xDC, 0xFE, 0x00, 0x80, 0xFF, 0x7F};
  int16_t left[2];
  int16_t right[2];
  SplitFrames(stereo16, 4, 2, FrameLayout::Stereo16, left, right);
  EXPECT_EQ(left[0], 0x1234);
  EXPECT_EQ(right[0], -292);
  EXPECT_EQ(left[1], -32768);
  EXPECT_EQ(right[1], 32767);
  SplitFrames(stereo16, 2, 2, FrameLayout::Mono16, left, right);
  EXPECT_EQ(left[1], -292);
  EXPECT_EQ(right[1], -292);
  const uint8_t bytes[] = {255, 0, 127, 128};
  SplitFrames(bytes, 2, 2, FrameLayout::Stereo8, left, right);
  EXPECT_EQ(left[0], 128);
  EXPECT_EQ(right[0], -127);
  EXPECT_EQ(left[1], 0);
  EXPECT_EQ(right[1], 1);
  SplitFrames(bytes, 1, 2, FrameLayout::Mono8, left, right);
  EXPECT_EQ(left[1], -127);
  EXPECT_EQ(right[1], -127);
}

}  // namespace
}  // namespace tarnovox
