#include <gtest/gtest.h>

#include <vector>

#include "tests/analysis/pixel_check.h"

namespace tarnovox {
namespace {

using namespace tarnovox::testing;

constexpr Rgb kOutside = 0x123456;

// One stereo redraw of the given samples and analysis results, as the window sees it.
struct StereoDraw {
  std::vector<int16_t> left = std::vector<int16_t>(8820, 0);
  std::vector<int16_t> right = std::vector<int16_t>(8820, 0);
  DisplayScales scales = DisplayScales::For(false, 4410);
  PeakMeter peaks;
  SpectrumBands bands;
  MeterDisplay display;
  ImageMeterCanvas canvas{400, 270, 0xFF000000 | kOutside};

  const QImage& Draw() {
    display.SetMeterGeometry();
    display.ClearMeterBitmaps();
    display.DrawStereo({left.data(), right.data(), left.size(), 4410, false, scales, peaks, bands},
                       &canvas);
    return canvas.Image();
  }
};

TEST(MeterDisplay, SilenceDrawsFlatTracesAtTheirLinesAndNothingElse) {
  StereoDraw d;
  const QImage& window = d.Draw();
  EXPECT_EQ(d.canvas.CopyCount(), 3);
  // The bitmaps land at their corners and nowhere else.
  ExpectPixels(window, {{15, 95, kOutside}, {16, 95, kBackground}, {186, 210, kBackground}, {187, 150, kOutside},
                        {100, 211, kOutside}, {384, 212, kBackground}, {385, 150, kOutside}, {14, 232, kBackground},
                        {384, 255, kBackground}, {200, 256, kOutside}});

  // The traces run from x 0 to 168 on rows 28 and 86; the dotted grid lines on
  // those rows (3 on, 3 off from x = 1) cover them in places.
  const QImage& scope = d.display.ScopeBitmap;
  for (int x = 0; x <= 168; ++x) {
    const bool dot = x >= 1 && (x - 1) % 6 < 3;
    ASSERT_EQ(At(scope, x, 28), dot ? kSilver : MakeRgb(255, 255, 255)) << x;
    if (x % 17 != 0 || x == 0) {
      ASSERT_EQ(At(scope, x, 86), dot ? kSilver : MakeRgb(200, 255, 200)) << x;
    }
    EXPECT_EQ(At(window, 16 + x, 95 + 28), At(scope, x, 28));
  }
  ExpectOnlyBackgroundAndSilver(scope, 0, 0, 171, 28);
  ExpectOnlyBackgroundAndSilver(scope, 0, 29, 171, 86);
  ExpectOnlyBackgroundAndSilver(scope, 0, 87, 171, 116);
  ExpectOnlyBackgroundAndSilver(d.display.SpectrumBitmap, 0, 0, 177, 118);
  ExpectOnlyBackgroundAndSilver(d.display.LevelBitmap, 0, 0, 371, 24);
}

// The colours come from meter_colours.h; what is checked here is where the
// painters put them.
TEST(MeterDisplay, LevelBarsSegmentsAndClipLampsInPlace) {
  StereoDraw d;
  d.peaks.PeakLeft = 32766;  // full length, no clip
  d.peaks.PeakRight = 32767;
  d.peaks.ClipHoldRight = 30;
  d.Draw();
  const QImage& level = d.display.LevelBitmap;
  for (int y = 1; y <= 10; ++y)
    ExpectPixels(level, {{368, y, LevelColour(378)}, {366, y, kBackground} /* segment gap */, {369, y, kBackground}});
  ExpectPixels(level, {{368, 0, kBackground}, {368, 11, kBackground}, {300, 5, kBackground}});
  EXPECT_EQ(At(d.canvas.Image(), 14 + 368, 232 + 5), LevelColour(378));

  // A lamp: its colour inside x 366..370 and rows top..top + 7, outlined in the background.
  auto expectLamp = [&](int top, int32_t hold) {
    for (int x = 365; x <= 370; ++x)
      for (int y = top - 1; y <= top + 8; ++y)
        ASSERT_EQ(At(level, x, y), x >= 366 && y >= top && y <= top + 7 ? ClipLampColour(hold) : kBackground)
            << x << "," << y;
  };
  expectLamp(15, 30);
  d.peaks.ClipHoldRight = 1;
  d.peaks.ClipHoldLeft = 29;
  d.Draw();
  expectLamp(2, 29);
  expectLamp(15, 1);
}

TEST(MeterDisplay, WaveformAboveTheTopEdgeIsDrawnOnRowOne) {
  StereoDraw d;
  std::fill(d.left.begin(), d.left.end(), 32767);
  std::fill(d.right.begin(), d.right.end(), -32768);
  d.Draw();
  for (int x : {20, 50, 100, 150, 168})
    ExpectPixels(d.display.ScopeBitmap,
                 {{x, 1, MakeRgb(255, 255, 255)}, {x, 0, kBackground}, {x, 114, MakeRgb(200, 255, 200)}});
}

TEST(MeterDisplay, SpectrumBarsInTheirBandColours) {
  StereoDraw d;
  for (int b = 1; b <= 32; ++b) {
    d.bands.BandLeft[b] = 11400;  // 20 pixels
    d.bands.BandRight[b] = 5700;  // 10 pixels
  }
  d.Draw();
  const QImage& spectrum = d.display.SpectrumBitmap;
  for (int b : {1, 10, 11, 20, 21, 31, 32}) {
    SCOPED_TRACE(b);
    const int x = 5 * b + 15;
    const Rgb colour = BandColour(b);
    // Black outline inside the rectangle: rows 38..57 and 107..116.
    ExpectPixels(spectrum, {{x + 1, 48, colour}, {x + 1, 110, colour}, {x, 48, kBlack}, {x + 1, 38, kBlack},
                            {x + 1, 57, kBlack}, {x + 1, 37, kBackground}, {x + 1, 107, kBlack}, {x + 1, 116, kBlack},
                            {x + 1, 117, kBackground}, {x + 1, 106, kBackground}});
    if (b < 32) ExpectPixels(spectrum, {{x + 3, 48, kBlack}, {x + 4, 48, kBackground}});
  }
  EXPECT_EQ(At(spectrum, 19, 48), kBackground);
}

}  // namespace
}  // namespace tarnovox
