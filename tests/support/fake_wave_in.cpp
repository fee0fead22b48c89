#include "tests/support/fake_wave_in.h"

#include <algorithm>

namespace tarnovox::testing {

FakeWaveIn::FakeWaveIn() : generator_(CounterGenerator) {}

uint32_t FakeWaveIn::Open(const WaveFormat& format) {
  if (failNextOpen_ != 0) {
    uint32_t code = failNextOpen_;
    failNextOpen_ = 0;
    return code;
  }
  format_ = format;
  const bool missing = missingSources.count(source_) != 0;
  openedSource_ = missing ? "" : source_;
  notice_ = missing ? MissingInputMessage(source_) : "";
  open_ = true;
  started_ = false;
  queue_.clear();
  fill_ = 0;
  overrunFrames_ = 0;
  lostCode_ = 0;
  backlog_.clear();
  backlogCapacity_ = static_cast<size_t>(backlogMs_) * format.samplesPerSec / 1000 * format.blockAlign;
  return 0;
}

void FakeWaveIn::Prepare(WaveBuffer& buffer) { buffer.flags.fetch_or(kWavePrepared); }
void FakeWaveIn::Unprepare(WaveBuffer& buffer) { buffer.flags.fetch_and(~kWavePrepared); }

void FakeWaveIn::AddBuffer(WaveBuffer& buffer) {
  buffer.flags.store((buffer.flags.load() & ~kWaveDone) | kWaveInQueue);
  queue_.push_back(&buffer);
  DrainBacklog();
}

void FakeWaveIn::DrainBacklog() {
  const uint32_t frameBytes = format_.blockAlign;
  std::vector<uint8_t> frame(frameBytes);
  while (backlog_.size() >= frameBytes && !queue_.empty()) {
    std::copy_n(backlog_.begin(), frameBytes, frame.begin());
    Fill(frame.data());
    backlog_.erase(backlog_.begin(), backlog_.begin() + frameBytes);
  }
}

bool FakeWaveIn::Fill(const uint8_t* frame) {
  if (queue_.empty()) return false;
  const uint32_t frameBytes = format_.blockAlign;
  WaveBuffer& head = *queue_.front();
  std::copy(frame, frame + frameBytes, head.data + fill_);
  fill_ += frameBytes;
  if (fill_ + frameBytes > head.bufferLength) {
    HandBack(head, fill_);
    queue_.pop_front();
    fill_ = 0;
  }
  return true;
}

void FakeWaveIn::Start() { started_ = open_ && lostCode_ == 0; }

void FakeWaveIn::HandBack(WaveBuffer& buffer, uint32_t bytes) {
  buffer.bytesRecorded.store(bytes, std::memory_order_release);
  buffer.flags.store((buffer.flags.load() & ~kWaveInQueue) | kWaveDone, std::memory_order_release);
}

void FakeWaveIn::Stop() {
  started_ = false;
  if (!queue_.empty() && fill_ > 0) {
    HandBack(*queue_.front(), fill_);
    queue_.pop_front();
    fill_ = 0;
  }
}

void FakeWaveIn::Reset() {
  started_ = false;
  for (size_t i = 0; i < queue_.size(); ++i) HandBack(*queue_[i], i == 0 ? fill_ : 0);
  queue_.clear();
  fill_ = 0;
}

void FakeWaveIn::Close() {
  Reset();
  backlog_.clear();
  open_ = false;
}

std::string FakeWaveIn::ErrorText(uint32_t code) const {
  return "Simulated device error " + std::to_string(code);
}

void FakeWaveIn::Advance(uint32_t ms) {
  if (!started_) return;
  // Whole frames per elapsed time, carrying the fraction so long runs stay exact.
  uint64_t microFrames = static_cast<uint64_t>(ms) * format_.samplesPerSec + remainderMicroFrames_;
  remainderMicroFrames_ = microFrames % 1000;
  DeliverFrames(microFrames / 1000);
}

void FakeWaveIn::DeliverFrames(uint64_t frames) {
  if (!started_) return;
  const uint32_t frameBytes = format_.blockAlign;
  std::vector<uint8_t> frame(frameBytes);
  for (uint64_t f = 0; f < frames; ++f) {
    generator_(nextFrame_++, format_, frame.data());
    if (Fill(frame.data())) continue;
    if (backlog_.size() + frameBytes > backlogCapacity_) {
      ++overrunFrames_;
      continue;
    }
    backlog_.insert(backlog_.end(), frame.begin(), frame.end());
  }
}

void FakeWaveIn::CounterGenerator(uint64_t frame, const WaveFormat& format, uint8_t* out) {
  if (format.bitsPerSample == 8) {
    for (int c = 0; c < format.channels; ++c) out[c] = static_cast<uint8_t>(frame);
    return;
  }
  for (int c = 0; c < format.channels; ++c) {
    uint16_t value = static_cast<uint16_t>(frame >> (16 * (c % 2)));
    out[2 * c] = static_cast<uint8_t>(value);
    out[2 * c + 1] = static_cast<uint8_t>(value >> 8);
  }
}

uint32_t FakeWaveIn::CounterOf16BitStereo(const uint8_t* frame) {
  return static_cast<uint32_t>(frame[0] | frame[1] << 8) | static_cast<uint32_t>(frame[2] | frame[3] << 8) << 16;
}

size_t FakeWaveIn::ConsecutiveFrames(const std::vector<uint8_t>& wav, uint32_t first) {
  size_t k = 0;
  while (44 + 4 * (k + 1) <= wav.size() && CounterOf16BitStereo(&wav[44 + 4 * k]) == first + k) ++k;
  return k;
}

}  // namespace tarnovox::testing
