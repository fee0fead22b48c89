#pragma once
// Pixel checks of the meter bitmaps and the window image they are copied to.
#include <gtest/gtest.h>

#include <initializer_list>

#include "analysis/meter_colours.h"
#include "analysis/meter_display.h"

namespace tarnovox::testing {

constexpr Rgb kBackground = MakeRgb(0, 0, 160);
constexpr Rgb kSilver = MakeRgb(192, 192, 192);
constexpr Rgb kBlack = MakeRgb(0, 0, 0);
constexpr Rgb kRed = MakeRgb(255, 0, 0);

inline Rgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

struct Pixel {
  int x, y;
  Rgb colour;
};

inline void ExpectPixels(const QImage& image, std::initializer_list<Pixel> pixels) {
  for (const Pixel& p : pixels) EXPECT_EQ(At(image, p.x, p.y), p.colour) << p.x << "," << p.y;
}

// Only the background and silver (grid, labels) in the rectangle [x1, x2) x [y1, y2).
inline void ExpectOnlyBackgroundAndSilver(const QImage& image, int x1, int y1, int x2, int y2) {
  for (int y = y1; y < y2; ++y) {
    for (int x = x1; x < x2; ++x) {
      const Rgb c = At(image, x, y);
      ASSERT_TRUE(c == kBackground || c == kSilver) << x << "," << y << " " << std::hex << c;
    }
  }
}

}  // namespace tarnovox::testing
