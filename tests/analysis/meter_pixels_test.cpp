#include <gtest/gtest.h>

#include <vector>

#include "tests/analysis/pixel_check.h"

namespace tarnovox {
namespace {

using namespace tarnovox::testing;

constexpr Rgb kOutside = 0x123456;

// One stereo redraw of the given samples and analysis results, as the window sees it.
struct StereoDraw {
  explicit StereoDraw(double imagePixelsPerWindowPixel = 1.0) : ratio(imagePixelsPerWindowPixel) {}

  std::vector<int16_t> left = std::vector<int16_t>(8820, 0);
  std::vector<int16_t> right = std::vector<int16_t>(8820, 0);
  DisplayScales scales = DisplayScales::For(false, 4410);
  PeakMeter peaks;
  SpectrumBands bands;
  MeterDisplay display;
  double ratio;
  ImageMeterCanvas canvas{400, 270, 0xFF000000 | kOutside, ratio};

  const QImage& Draw() {
    display.SetMeterGeometry(ratio);
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

// On a screen scaled to 200 % the bitmaps have twice the pixels: lines stay one
// pixel wide, areas (bars) cover twice the pixels and every level is the same.
TEST(MeterDisplay, AtTwiceTheResolutionLinesStayThinAndLevelsTheSame) {
  StereoDraw one;
  StereoDraw two(2.0);
  for (StereoDraw* d : {&one, &two}) {
    d->peaks.PeakLeft = 20000;
    d->peaks.PeakRight = 9000;
    for (int b = 1; b <= 32; ++b) d->bands.BandLeft[b] = 11400;  // 20 window pixels
    d->Draw();
  }
  const QImage& scope = two.display.ScopeBitmap;
  ASSERT_EQ(scope.size(), QSize(342, 232));
  ASSERT_EQ(two.display.LevelBitmap.size(), QSize(742, 48));
  // The flat left trace on window row 28: image row 56 only, dotted as at 100 %.
  for (int x = 0; x <= 168; ++x) {
    ASSERT_EQ(At(scope, 2 * x, 56), At(one.display.ScopeBitmap, x, 28)) << x;
    ASSERT_EQ(At(scope, 2 * x + 1, 56), At(one.display.ScopeBitmap, x, 28)) << x;
    EXPECT_EQ(At(two.canvas.Image(), 32 + 2 * x, 190 + 56), At(scope, 2 * x, 56)) << x;
  }
  ExpectOnlyBackgroundAndSilver(scope, 0, 55, 342, 56);
  ExpectOnlyBackgroundAndSilver(scope, 0, 57, 342, 58);
  // Level bars, right of the channel letters: each image pixel is its window pixel's.
  const QImage& level = two.display.LevelBitmap;
  for (int y = 0; y < 48; ++y)
    for (int x = 24; x < 742; ++x)
      ASSERT_EQ(At(level, x, y), At(one.display.LevelBitmap, x / 2, y / 2)) << x << "," << y;
  // A spectrum bar of 20 window pixels is 40 image pixels high, its outline one pixel.
  const QImage& spectrum = two.display.SpectrumBitmap;
  const int x = 2 * (5 * 7 + 15);
  ExpectPixels(spectrum, {{x, 100, kBlack}, {x + 1, 100, BandColour(7)}, {x + 7, 100, kBlack}, {x + 8, 100, kBackground},
                          {x + 2, 76, kBlack}, {x + 2, 77, BandColour(7)}, {x + 2, 75, kBackground},
                          {x + 2, 115, kBlack}, {x + 2, 114, BandColour(7)}});
}

}  // namespace
}  // namespace tarnovox
