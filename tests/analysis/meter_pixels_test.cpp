#include <gtest/gtest.h>

#include <vector>

#include "analysis/meter_colours.h"
#include "analysis/meter_display.h"

namespace tarnovox {
namespace {

constexpr QRgb kOutside = 0xFF123456;
constexpr Rgb kBackground = MakeRgb(0, 0, 160);
constexpr Rgb kSilver = MakeRgb(192, 192, 192);
constexpr Rgb kBlack = MakeRgb(0, 0, 0);

Rgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

// One stereo redraw of the given samples and analysis results, as the window sees it.
struct StereoDraw {
  std::vector<int16_t> left = std::vector<int16_t>(8820, 0);
  std::vector<int16_t> right = std::vector<int16_t>(8820, 0);
  DisplayScales scales = DisplayScales::For(false, 4410);
  PeakMeter peaks;
  SpectrumBands bands;
  MeterDisplay display;
  ImageMeterCanvas canvas{400, 270, kOutside};

  const QImage& Draw() {
    display.SetMeterGeometry();
    display.ClearMeterBitmaps();
    display.DrawStereo({left.data(), right.data(), left.size(), 4410, false, scales, peaks, bands},
                       &canvas);
    return canvas.Image();
  }
};

// Only the background and silver (grid, labels) in the rectangle of the image.
void ExpectOnlyBackgroundAndSilver(const QImage& image, int x1, int y1, int x2, int y2) {
  for (int y = y1; y < y2; ++y) {
    for (int x = x1; x < x2; ++x) {
      const Rgb c = At(image, x, y);
      ASSERT_TRUE(c == kBackground || c == kSilver) << x << "," << y << " " << std::hex << c;
    }
  }
}

TEST(MeterDisplay, SilenceDrawsFlatTracesAtTheirLinesAndNothingElse) {
  StereoDraw d;
  const QImage& window = d.Draw();
  EXPECT_EQ(d.canvas.CopyCount(), 3);
  // The bitmaps land at their corners and nowhere else.
  EXPECT_EQ(window.pixel(15, 95), kOutside);
  EXPECT_EQ(At(window, 16, 95), kBackground);
  EXPECT_EQ(At(window, 186, 210), kBackground);
  EXPECT_EQ(window.pixel(187, 150), kOutside);
  EXPECT_EQ(window.pixel(100, 211), kOutside);
  EXPECT_EQ(At(window, 384, 212), kBackground);
  EXPECT_EQ(window.pixel(385, 150), kOutside);
  EXPECT_EQ(At(window, 14, 232), kBackground);
  EXPECT_EQ(At(window, 384, 255), kBackground);
  EXPECT_EQ(window.pixel(200, 256), kOutside);

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
  EXPECT_EQ(At(scope, 170, 28), kBackground);
  EXPECT_EQ(At(scope, 170, 86), kBackground);
  ExpectOnlyBackgroundAndSilver(scope, 0, 0, 171, 28);
  ExpectOnlyBackgroundAndSilver(scope, 0, 29, 171, 86);
  ExpectOnlyBackgroundAndSilver(scope, 0, 87, 171, 116);
  ExpectOnlyBackgroundAndSilver(d.display.SpectrumBitmap, 0, 0, 177, 118);
  ExpectOnlyBackgroundAndSilver(d.display.LevelBitmap, 0, 0, 371, 24);
  // Grid and separator lines.
  EXPECT_EQ(At(d.display.SpectrumBitmap, 1, 58), kSilver);
  EXPECT_EQ(At(d.display.SpectrumBitmap, 175, 58), kSilver);
  EXPECT_EQ(At(d.display.SpectrumBitmap, 176, 58), kBackground);
  EXPECT_EQ(At(scope, 17, 1), kSilver);
  EXPECT_EQ(At(scope, 17, 4), kBackground);
  EXPECT_EQ(At(scope, 4, 57), kSilver);
}

TEST(MeterDisplay, LevelBarsColoursSegmentsAndClipLamp) {
  StereoDraw d;
  d.peaks.PeakLeft = 32766;  // full length, no clip
  d.peaks.PeakRight = 32767;
  d.peaks.ClipHoldRight = 30;
  d.Draw();
  const QImage& level = d.display.LevelBitmap;
  const QImage& window = d.canvas.Image();
  for (int y = 1; y <= 10; ++y) {
    ASSERT_EQ(At(level, 368, y), MakeRgb(255, 128, 0)) << y;
    ASSERT_EQ(At(level, 367, y), MakeRgb(255, 129, 0)) << y;
    ASSERT_EQ(At(level, 366, y), kBackground) << y;  // segment gap
    ASSERT_EQ(At(level, 369, y), kBackground) << y;
  }
  EXPECT_EQ(At(level, 368, 0), kBackground);
  EXPECT_EQ(At(level, 368, 11), kBackground);
  EXPECT_EQ(At(level, 1, 5), MakeRgb(125, 131, 184));
  EXPECT_EQ(At(level, 122, 5), MakeRgb(187, 255, 60));
  EXPECT_EQ(At(level, 200, 5), MakeRgb(228, 255, 0));
  EXPECT_EQ(At(level, 301, 5), MakeRgb(255, 197, 0));
  EXPECT_EQ(At(level, 300, 5), kBackground);
  EXPECT_EQ(At(window, 14 + 368, 232 + 5), MakeRgb(255, 128, 0));

  // The right lamp: red inside x 366..370, y 15..22, outlined in the background.
  for (int x = 365; x <= 370; ++x) {
    for (int y = 14; y <= 23; ++y) {
      const bool inside = x >= 366 && y >= 15 && y <= 22;
      ASSERT_EQ(At(level, x, y), inside ? MakeRgb(255, 0, 0) : kBackground) << x << "," << y;
    }
  }
  EXPECT_EQ(At(level, 364, 18), MakeRgb(255, 132, 0));
  EXPECT_EQ(At(level, 368, 14), kBackground);

  d.peaks.ClipHoldRight = 1;
  d.peaks.ClipHoldLeft = 29;
  d.Draw();
  EXPECT_EQ(At(level, 368, 18), MakeRgb(197, 0, 0));
  EXPECT_EQ(At(level, 368, 5), MakeRgb(253, 0, 0));
  EXPECT_EQ(At(level, 368, 1), kBackground);
}

TEST(MeterDisplay, WaveformAboveTheTopEdgeIsDrawnOnRowOne) {
  StereoDraw d;
  std::fill(d.left.begin(), d.left.end(), 32767);
  std::fill(d.right.begin(), d.right.end(), -32768);
  d.Draw();
  const QImage& scope = d.display.ScopeBitmap;
  for (int x : {20, 50, 100, 150, 168}) {
    EXPECT_EQ(At(scope, x, 1), MakeRgb(255, 255, 255)) << x;
    EXPECT_EQ(At(scope, x, 0), kBackground) << x;
    EXPECT_EQ(At(scope, x, 114), MakeRgb(200, 255, 200)) << x;
  }
}

TEST(MeterDisplay, SpectrumBarsInTheirBandColours) {
  StereoDraw d;
  for (int b = 1; b <= 32; ++b) {
    d.bands.BandLeft[b] = 11400;  // 20 pixels
    d.bands.BandRight[b] = 5700;  // 10 pixels
  }
  d.Draw();
  const QImage& spectrum = d.display.SpectrumBitmap;
  const std::vector<std::pair<int, Rgb>> colours = {
      {1, MakeRgb(94, 183, 238)}, {10, MakeRgb(175, 255, 85)}, {11, MakeRgb(183, 255, 0)},
      {20, MakeRgb(255, 255, 0)}, {21, MakeRgb(255, 230, 0)},  {30, MakeRgb(255, 5, 0)},
      {31, MakeRgb(255, 236, 0)}, {32, MakeRgb(255, 211, 0)}};
  for (const auto& [b, colour] : colours) {
    const int x = 5 * b + 15;
    EXPECT_EQ(At(spectrum, x + 1, 48), colour) << b;
    EXPECT_EQ(At(spectrum, x + 1, 110), colour) << b;
    // Black outline inside the rectangle: rows 38..57 and 107..116.
    EXPECT_EQ(At(spectrum, x, 48), kBlack) << b;
    EXPECT_EQ(At(spectrum, x + 1, 38), kBlack) << b;
    EXPECT_EQ(At(spectrum, x + 1, 57), kBlack) << b;
    EXPECT_EQ(At(spectrum, x + 1, 37), kBackground) << b;
    EXPECT_EQ(At(spectrum, x + 1, 107), kBlack) << b;
    EXPECT_EQ(At(spectrum, x + 1, 116), kBlack) << b;
    EXPECT_EQ(At(spectrum, x + 1, 117), kBackground) << b;
    EXPECT_EQ(At(spectrum, x + 1, 106), kBackground) << b;
    if (b < 32) {
      EXPECT_EQ(At(spectrum, x + 3, 48), kBlack) << b;
      EXPECT_EQ(At(spectrum, x + 4, 48), kBackground) << b;
    }
  }
  EXPECT_EQ(At(spectrum, 19, 48), kBackground);
}

}  // namespace
}  // namespace tarnovox
