#pragma once
// Magnitude spectrum of both channels of one buffer: a radix-2 transform on
// fixed arrays (no allocation per buffer), rectangular window, no averaging.
#include <array>
#include <cstdint>

namespace tarnovox {

class Spectrum {
 public:
  static constexpr int kMaxFftSize = 4096;
  static constexpr int kArraySize = 4411;

  // Transforms samples 1 to fftSize of each channel (sample 0 is not used, so
  // both arrays must hold fftSize + 1 samples). fftSize must be a power of two
  // from 2 to 4096; any other size leaves the magnitudes unchanged. TopBin
  // follows the configured rate (11025, 22050, 44100 Hz: 464, 928, 1857 - the
  // highest bins below 5, 10 and 20 kHz) and stays as it was for other rates.
  void ComputeSpectrum(const int16_t* left, const int16_t* right, int fftSize,
                       uint32_t samplePerSecond);

  // Highest bin computed; magnitudes are valid for bins 0 to TopBin.
  int32_t TopBin = 0;
  // Magnitude of bin k (k x 10.7666 Hz) at index k; a full-scale sine of
  // amplitude A gives about A at its bin.
  std::array<float, kArraySize> MagnitudeLeft{};
  std::array<float, kArraySize> MagnitudeRight{};

 private:
  struct Channel {
    std::array<int16_t, kMaxFftSize + 1> copy{};  // bit-reversed input, positions 1 to N
    std::array<float, kArraySize> real{};
    std::array<float, kArraySize> imaginary{};
  };

  static void LoadBitReversed(Channel& channel, const int16_t* samples, int n);
  void Butterflies(int n, int stages);
  void ScaleAndMeasure(Channel& channel, std::array<float, kArraySize>& magnitude, int n) const;

  Channel left_;
  Channel right_;
};

}  // namespace tarnovox
