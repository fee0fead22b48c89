#include "analysis/display_scales.h"

#include "analysis/meter_geometry.h"

namespace tarnovox {

DisplayScales DisplayScales::For(bool eightBit, uint16_t framesPerBuffer) {
  // Full scale of a peak, of the summed waveform swing and of a band value.
  const long double meterDivisor = eightBit ? 128.0L : 32767.0L;
  const long double scopeDivisor = eightBit ? 512.0L : 4.0L * 32767.0L;
  const long double spectrumDivisor = eightBit ? 256.0L : 2.0L * 32767.0L;
  // The quotients are formed in extended precision and stored as single floats.
  DisplayScales s;
  s.MeterScale = static_cast<float>((kLevelRect.right - kLevelRect.left - 2) / meterDivisor);
  s.ScopeScale = static_cast<float>((kScopeRect.bottom - kScopeRect.top - 2) / scopeDivisor);
  s.ScopeStep = static_cast<float>(static_cast<long double>(kScopeRect.right - kScopeRect.left) /
                                   framesPerBuffer);
  s.SpectrumScale =
      static_cast<float>((kSpectrumRect.bottom - kSpectrumRect.top - 2) / spectrumDivisor);
  return s;
}

}  // namespace tarnovox
