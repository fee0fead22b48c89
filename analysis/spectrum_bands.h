#pragma once
// Groups the bins of a spectrum into 32 bands about a quarter wider each than
// the one below (band 1 is bin 1, band 29 ends at bin 2153) and weights them
// for display. Band 32 is never filled; bands above TopBin stay 0.
#include <array>

#include "analysis/spectrum.h"

namespace tarnovox {

class SpectrumBands {
 public:
  static constexpr int kBandCount = 32;

  // Recomputes BandLeft and BandRight from the magnitudes of bins 1 to TopBin.
  void GroupBands(const Spectrum& spectrum);

  // Weighted band values at indices 1 to 32 (index 0 unused); always multiples of 4.
  std::array<float, kBandCount + 1> BandLeft{};
  std::array<float, kBandCount + 1> BandRight{};

 private:
  void Weight();
};

}  // namespace tarnovox
