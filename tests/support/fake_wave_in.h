#pragma once
// A capture device on a virtual clock. Advance(ms) lets time pass: the queued
// buffers fill in queue order from a signal generator, as a winmm driver fills
// them. Stop hands back the buffer in progress partly filled, as winmm does.
// Frames that find no queued buffer wait in a backlog (default as long as the
// real device's) that AddBuffer empties, kept by Stop and Reset.
#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/wave_in.h"

namespace tarnovox::testing {

class FakeWaveIn : public WaveIn {
 public:
  // Writes the bytes of frame `frame` (blockAlign bytes) in the open format.
  using Generator = std::function<void(uint64_t frame, const WaveFormat& format, uint8_t* out)>;

  FakeWaveIn();

  uint32_t Open(const WaveFormat& format) override;
  void SetSource(const std::string& source) override { source_ = source; }
  std::string SubstituteNotice() const override { return notice_; }
  bool SubstituteEnded() const override { return !notice_.empty() && missingSources.count(source_) == 0; }
  void Prepare(WaveBuffer& buffer) override;
  void Unprepare(WaveBuffer& buffer) override;
  void AddBuffer(WaveBuffer& buffer) override;
  void Start() override;
  void Stop() override;
  void Reset() override;
  void Close() override;
  std::string ErrorText(uint32_t code) const override;
  uint64_t OverrunFrames() const override { return overrunFrames_; }
  uint32_t LostCode() const override { return lostCode_; }
  // The device stops delivering for good, as when the sound server goes away.
  void Lose(uint32_t code) { lostCode_ = code; started_ = false; }

  // Lets `ms` milliseconds of capture pass (only while started).
  void Advance(uint32_t ms);
  // Delivers exactly `frames` frames (only while started).
  void DeliverFrames(uint64_t frames);

  // Backlog length for the next Open (0: frames without a buffer are lost).
  void SetBacklogMs(uint32_t ms) { backlogMs_ = ms; }

  // The next Open fails with this code (0: succeed).
  void FailNextOpen(uint32_t code) { failNextOpen_ = code; }
  void SetGenerator(Generator generator) { generator_ = std::move(generator); }

  // Sources Open does not find: it opens the default input and says so.
  std::set<std::string> missingSources;
  // The input the last Open captures from ("" for the default input).
  const std::string& OpenedSource() const { return openedSource_; }

  bool IsOpen() const { return open_; }
  const WaveFormat& OpenedFormat() const { return format_; }
  size_t QueuedCount() const { return queue_.size(); }
  // Frames produced by the generator so far (the frame number of the next one).
  uint64_t FramesGenerated() const { return nextFrame_; }

  // The default generator: a frame counter, so a file can be checked for lost,
  // repeated or reordered frames. 16-bit: the first channel carries the low 16
  // bits of the frame number, the second channel the next 16 bits. 8-bit: every
  // channel carries the low 8 bits.
  static void CounterGenerator(uint64_t frame, const WaveFormat& format, uint8_t* out);
  // Inverse of CounterGenerator for one 16-bit stereo frame.
  static uint32_t CounterOf16BitStereo(const uint8_t* frame);
  // How many 16-bit stereo frames after a 44-byte WAV header carry the frame
  // numbers first, first + 1, ... before one does not.
  static size_t ConsecutiveFrames(const std::vector<uint8_t>& wav, uint32_t first);

 private:
  void HandBack(WaveBuffer& buffer, uint32_t bytes);
  // Puts one frame into the head buffer; false when no buffer is queued.
  bool Fill(const uint8_t* frame);
  void DrainBacklog();

  WaveFormat format_;
  std::string source_, openedSource_, notice_;
  bool open_ = false;
  bool started_ = false;
  uint32_t failNextOpen_ = 0;
  std::deque<WaveBuffer*> queue_;
  uint32_t fill_ = 0;  // bytes already in the buffer at the head of the queue
  uint64_t nextFrame_ = 0;
  uint64_t overrunFrames_ = 0;
  uint32_t lostCode_ = 0;
  uint64_t remainderMicroFrames_ = 0;
  uint32_t backlogMs_ = 15000;
  size_t backlogCapacity_ = 0;  // bytes
  std::deque<uint8_t> backlog_;
  Generator generator_;
};

}  // namespace tarnovox::testing
