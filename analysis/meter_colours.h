#pragma once
// The colours of the live displays, as 0xRRGGBB values.
#include <cstdint>

namespace tarnovox {

using Rgb = uint32_t;

constexpr Rgb MakeRgb(int red, int green, int blue) {
  // Each component is taken on 8 bits, so out-of-range table values wrap.
  return (static_cast<Rgb>(red & 0xFF) << 16) | (static_cast<Rgb>(green & 0xFF) << 8) |
         static_cast<Rgb>(blue & 0xFF);
}

constexpr Rgb kMeterBackground = MakeRgb(0, 0, 160);  // also the main window's colour
constexpr Rgb kMeterSilver = MakeRgb(192, 192, 192);
constexpr Rgb kLeftTraceColour = MakeRgb(255, 255, 255);
constexpr Rgb kRightTraceColour = MakeRgb(200, 255, 200);
constexpr Rgb kBarOutline = MakeRgb(0, 0, 0);

// Brush of spectrum band b (1 to 32): blue-green through green and yellow to red.
// Bands 31 and 32 wrap their green component (236 and 211).
constexpr Rgb BandColour(int b) {
  if (b <= 10) return MakeRgb(85 + 9 * b, 175 + 8 * b, 255 - 17 * b);
  if (b <= 20) return MakeRgb(175 + 8 * (b - 10), 255, 0);
  return MakeRgb(255, 255 - 25 * (b - 20), 0);
}

// Pen of level-meter column value v (1 to 378): grey blue, green, yellow, orange.
constexpr Rgb LevelColour(int v) {
  if (v <= 125) return MakeRgb(125 + v / 2, v + 130, 185 - v);
  if (v <= 250) return MakeRgb(125 + v / 2, 255, 0);
  return MakeRgb(255, 506 - v, 0);
}

// Clip lamp brush for a hold counter of 1 to 30: 197, 0, 0 up to 255, 0, 0.
constexpr Rgb ClipLampColour(int32_t hold) { return MakeRgb(195 + 2 * hold, 0, 0); }

}  // namespace tarnovox
