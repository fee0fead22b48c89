#pragma once
// Factors that fit sample, peak and band values to the display rectangles.
#include <cstdint>

namespace tarnovox {

struct DisplayScales {
  float MeterScale = 0;     // level-meter pixels per unit of peak
  float ScopeScale = 0;     // waveform pixels per unit of sample
  float ScopeStep = 0;      // waveform pixels per frame
  float SpectrumScale = 0;  // spectrum pixels per unit of band value

  // The scales for 16-bit or 8-bit sample data (8-bit samples span -127 to 128,
  // so they get divisors of their own). framesPerBuffer must not be 0.
  static DisplayScales For(bool eightBit, uint16_t framesPerBuffer);
};

}  // namespace tarnovox
