#include "tests/support/fake_capture_stream.h"

#include <algorithm>
#include <cstring>

namespace tarnovox::testing {

FakeCaptureStream::FakeCaptureStream() : generator_(CounterGenerator) {}

uint32_t FakeCaptureStream::Open(const PcmFormat& format) {
  if (onOpen) onOpen();
  if (failNextOpen_ != 0) {
    const uint32_t code = failNextOpen_;
    failNextOpen_ = 0;
    return code;
  }
  format_ = format;
  const bool missing = missingSources.count(source_) != 0;
  openedSource_ = missing ? "" : source_;
  notice_ = missing ? MissingInputMessage(source_) : "";
  open_ = true;
  started_ = false;
  overrunFrames_ = 0;
  lostCode_ = 0;
  inputRemoved_ = false;
  kept_.clear();
  capacity_ = static_cast<size_t>(bufferMs_) * format.sampleRate / 1000 * format.BlockAlign();
  return 0;
}

size_t FakeCaptureStream::Read(uint8_t* out, size_t maxBytes) {
  const size_t frameBytes = format_.BlockAlign();
  const size_t bytes = std::min(maxBytes, kept_.size()) / frameBytes * frameBytes;
  std::copy_n(kept_.begin(), bytes, out);
  kept_.erase(kept_.begin(), kept_.begin() + static_cast<std::ptrdiff_t>(bytes));
  return bytes;
}

void FakeCaptureStream::Close() {
  kept_.clear();
  open_ = false;
  started_ = false;
}

std::string FakeCaptureStream::ErrorText(uint32_t code) const {
  return "Simulated device error " + std::to_string(code);
}

void FakeCaptureStream::Advance(uint32_t ms) {
  if (!started_) return;
  // Whole frames per elapsed time, carrying the fraction so long runs stay exact.
  const uint64_t microFrames = static_cast<uint64_t>(ms) * format_.sampleRate + remainderMicroFrames_;
  remainderMicroFrames_ = microFrames % 1000;
  DeliverFrames(microFrames / 1000);
}

void FakeCaptureStream::DeliverFrames(uint64_t frames) {
  if (!started_) return;
  const uint32_t frameBytes = format_.BlockAlign();
  std::vector<uint8_t> frame(frameBytes);
  for (uint64_t f = 0; f < frames; ++f) {
    generator_(nextFrame_++, format_, frame.data());
    if (kept_.size() + frameBytes > capacity_) {
      ++overrunFrames_;
      continue;
    }
    kept_.insert(kept_.end(), frame.begin(), frame.end());
  }
}

void FakeCaptureStream::CounterGenerator(uint64_t frame, const PcmFormat& format, uint8_t* out) {
  if (format.bitsPerSample == 8) {
    for (int c = 0; c < format.channels; ++c) out[c] = static_cast<uint8_t>(frame);
    return;
  }
  for (int c = 0; c < format.channels; ++c) {
    const uint16_t value = static_cast<uint16_t>(frame >> (16 * (c % 2)));
    out[2 * c] = static_cast<uint8_t>(value);
    out[2 * c + 1] = static_cast<uint8_t>(value >> 8);
  }
}

uint32_t FakeCaptureStream::CounterOf16BitStereo(const uint8_t* frame) {
  return static_cast<uint32_t>(frame[0] | frame[1] << 8) | static_cast<uint32_t>(frame[2] | frame[3] << 8) << 16;
}

size_t FakeCaptureStream::ConsecutiveFrames(const std::vector<uint8_t>& wav, uint32_t first) {
  size_t k = 0;
  while (44 + 4 * (k + 1) <= wav.size() && CounterOf16BitStereo(&wav[44 + 4 * k]) == first + k) ++k;
  return k;
}

void SetNumberedSound(FakeCaptureStream& stream, std::function<bool(uint64_t)> loud, int16_t level) {
  stream.SetGenerator([loud = std::move(loud), level](uint64_t frame, const PcmFormat&, uint8_t* out) {
    const int16_t samples[2] = {static_cast<int16_t>(frame & 0x3ff), static_cast<int16_t>(loud(frame) ? level : 0)};
    std::memcpy(out, samples, 4);
  });
}

uint64_t NumberedRun(const std::vector<uint8_t>& wav, size_t at, uint64_t first) {
  uint64_t k = 0;
  while (44 + 4 * (at + k + 1) <= wav.size() &&
         (wav[44 + 4 * (at + k)] | wav[45 + 4 * (at + k)] << 8) == static_cast<int>((first + k) & 0x3ff))
    ++k;
  return k;
}

}  // namespace tarnovox::testing
