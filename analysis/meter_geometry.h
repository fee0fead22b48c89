#pragma once
// Where the three live displays sit in the main window's client area, and the
// lines derived from their sizes. All divisions truncate, as the drawing
// coordinates rely on it.
#include <cstdint>

namespace tarnovox {

struct MeterRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  // A display's bitmap is one pixel larger than its rectangle's extent.
  constexpr int BitmapWidth() const { return Width() + 1; }
  constexpr int BitmapHeight() const { return Height() + 1; }
};

constexpr MeterRect kScopeRect{16, 95, 186, 210};
constexpr MeterRect kSpectrumRect{208, 95, 384, 212};
constexpr MeterRect kLevelRect{14, 232, 384, 255};

// The rectangles and lines the drawing uses; set on every paint of the window.
struct MeterGeometry {
  MeterRect ScopeRect;
  MeterRect SpectrumRect;
  MeterRect LevelRect;
  int ScopeQuarter = 0;       // centre of the left (or only) waveform in stereo
  int ScopeHalf = 0;          // separator, and centre of the mono waveform
  int ScopeThreeQuarter = 0;  // centre of the right waveform
  int SpectrumHalf = 0;       // the line the left bars stand on

  static constexpr MeterGeometry Standard() {
    MeterGeometry g;
    g.ScopeRect = kScopeRect;
    g.SpectrumRect = kSpectrumRect;
    g.LevelRect = kLevelRect;
    g.ScopeQuarter = kScopeRect.Height() / 4;
    g.ScopeHalf = kScopeRect.Height() / 2;
    g.ScopeThreeQuarter = 3 * kScopeRect.Height() / 4;
    g.SpectrumHalf = kSpectrumRect.Height() / 2;
    return g;
  }
};

}  // namespace tarnovox
