#include "analysis/spectrum_bands.h"

#include <cmath>

namespace tarnovox {

namespace {

// The band limits advance on a scale of 10.8 Hz per bin, and a band is complete
// once its upper frequency is 1.25 times its lower. Six limits fall exactly on
// the ratio 1.25 in exact arithmetic (after bins 4, 9, 229, 359, 449 and 879).
// The running sum is formed in extended precision (x87 long double) and rounded
// to double at every step, and that rounding decides the ties; plain double
// arithmetic decides some of them the other way.
class BandWalk {
 public:
  // Moves past bin j; true when bin j was the last of its band.
  bool BinDone() {
    f_ = static_cast<double>(static_cast<long double>(f_) + 10.8L);
    if (static_cast<long double>(f_) / lower_ >= 1.25L) {
      lower_ = f_;
      return true;
    }
    return false;
  }

 private:
  double lower_ = 10.8;
  double f_ = 10.8;
};

}  // namespace

void SpectrumBands::GroupBands(const Spectrum& spectrum) {
  BandLeft.fill(0);
  BandRight.fill(0);
  const int top = spectrum.TopBin < Spectrum::kArraySize ? spectrum.TopBin
                                                        : Spectrum::kArraySize - 1;
  BandWalk walk;
  int b = 1;
  for (int j = 1; j <= top; ++j) {
    BandLeft[b] += spectrum.MagnitudeLeft[j];
    BandRight[b] += spectrum.MagnitudeRight[j];
    if (walk.BinDone() && ++b == kBandCount) break;
  }
  Weight();
}

// The lowest five bands get extra weight (5 down to 1), every band is damped by
// 1 + b/10; the result is rounded half to even and then multiplied by 4.
void SpectrumBands::Weight() {
  for (int b = 1; b <= kBandCount; ++b) {
    const long double w = b <= 5 ? 6 - b : 1;
    const long double damping = 0.1L * b + 1;
    BandLeft[b] = static_cast<float>(4 * std::nearbyint(w * BandLeft[b] / damping));
    BandRight[b] = static_cast<float>(4 * std::nearbyint(w * BandRight[b] / damping));
  }
}

}  // namespace tarnovox
