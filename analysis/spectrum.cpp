#include "analysis/spectrum.h"

#include <cmath>

namespace tarnovox {

namespace {

int32_t TopBinFor(uint32_t samplePerSecond, int32_t current) {
  switch (samplePerSecond) {
    case 11025: return 464;
    case 22050: return 928;
    case 44100: return 1857;
    default: return current;
  }
}

bool IsPowerOfTwo(int n) { return n >= 2 && (n & (n - 1)) == 0; }

}  // namespace

void Spectrum::ComputeSpectrum(const int16_t* left, const int16_t* right, int fftSize,
                               uint32_t samplePerSecond) {
  TopBin = TopBinFor(samplePerSecond, TopBin);
  const int n = fftSize;
  if (!IsPowerOfTwo(n) || n > kMaxFftSize) return;
  const int stages = static_cast<int>(std::lround(std::log(n) / std::log(2.0) + 0.1));
  LoadBitReversed(left_, left, n);
  LoadBitReversed(right_, right, n);
  Butterflies(n, stages);
  ScaleAndMeasure(left_, MagnitudeLeft, n);
  ScaleAndMeasure(right_, MagnitudeRight, n);
}

// Positions are 1-based: position i of the copy receives the sample at
// r(i - 1) + 1, r reversing the stage count's bits.
void Spectrum::LoadBitReversed(Channel& channel, const int16_t* samples, int n) {
  int j = 1;
  for (int i = 1; i < n; ++i) {
    if (j >= i) {
      channel.copy[i] = samples[j];
      channel.copy[j] = samples[i];
    }
    int k = n / 2;
    while (j > k) {
      j -= k;
      k /= 2;  // exact: k is a power of two, and j > 1 never holds once k is 1 (i < N)
    }
    j += k;
  }
  channel.copy[n] = samples[n];
  for (int i = 1; i <= n; ++i) {
    channel.real[i] = channel.copy[i];
    channel.imaginary[i] = 0;
  }
}

// Decimation in time, in place on positions 1 to N. The twiddles come from a
// recurrence seeded with 3.1416 rather than full-precision pi; they and the
// butterfly products are double, the arrays single precision.
void Spectrum::Butterflies(int n, int stages) {
  float* lr = left_.real.data();
  float* li = left_.imaginary.data();
  float* rr = right_.real.data();
  float* ri = right_.imaginary.data();
  for (int s = 1; s <= stages; ++s) {
    const int le = 1 << s;
    const int half = le / 2;
    const double sr = std::cos(3.1416 / half);
    const double si = -std::sin(3.1416 / half);
    double ur = 1.0;
    double ui = 0.0;
    for (int j = 1; j <= half; ++j) {
      for (int i = j; i <= n; i += le) {
        const int ip = i + half;
        double tr = lr[ip] * ur - li[ip] * ui;
        double ti = li[ip] * ur + lr[ip] * ui;
        lr[ip] = static_cast<float>(lr[i] - tr);
        li[ip] = static_cast<float>(li[i] - ti);
        lr[i] = static_cast<float>(lr[i] + tr);
        li[i] = static_cast<float>(li[i] + ti);
        tr = rr[ip] * ur - ri[ip] * ui;
        ti = ri[ip] * ur + rr[ip] * ui;
        rr[ip] = static_cast<float>(rr[i] - tr);
        ri[ip] = static_cast<float>(ri[i] - ti);
        rr[i] = static_cast<float>(rr[i] + tr);
        ri[i] = static_cast<float>(ri[i] + ti);
      }
      const double oldUr = ur;
      ur = oldUr * sr - ui * si;
      ui = ui * sr + oldUr * si;
    }
  }
}

// Scales by 2/N and moves bin k from position k + 1 to index k, ascending so
// the shift can be done in place, then takes the magnitudes.
void Spectrum::ScaleAndMeasure(Channel& channel, std::array<float, kArraySize>& magnitude,
                               int n) const {
  // Bins above N/2 mirror the lower ones and position N + 1 does not exist.
  const int top = TopBin < n / 2 ? TopBin : n / 2;
  for (int k = 0; k <= top; ++k) {
    channel.real[k] = static_cast<float>(2.0 * channel.real[k + 1] / n);
    channel.imaginary[k] = static_cast<float>(2.0 * channel.imaginary[k + 1] / n);
  }
  for (int k = 0; k <= top; ++k) {
    const double re = channel.real[k];
    const double im = channel.imaginary[k];
    magnitude[k] = static_cast<float>(std::sqrt(re * re + im * im));
  }
}

}  // namespace tarnovox
