#pragma once
// A capture stream on a virtual clock. Advance(ms) lets time pass: while
// started, frames from a signal generator are kept in a buffer (as long as the
// real stream's unless told otherwise) that Read empties; frames that do not
// fit are counted as lost.
#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/capture_stream.h"
#include "tests/support/sound_check.h"

namespace tarnovox::testing {

class FakeCaptureStream : public CaptureStream {
 public:
  // Writes the bytes of frame `frame` (BlockAlign() bytes) in the open format.
  using Generator = std::function<void(uint64_t frame, const PcmFormat& format, uint8_t* out)>;

  FakeCaptureStream();

  void SetSource(const std::string& source) override { source_ = source; }
  uint32_t Open(const PcmFormat& format) override;
  std::string SubstituteNotice() const override { return notice_; }
  bool SubstituteEnded() const override { return !notice_.empty() && missingSources.count(source_) == 0; }
  void Start() override { started_ = open_ && lostCode_ == 0; }
  void Stop() override { started_ = false; }
  size_t Read(uint8_t* out, size_t maxBytes) override;
  size_t Available() const override { return kept_.size(); }
  void Close() override;
  std::string ErrorText(uint32_t code) const override;
  uint64_t OverrunFrames() const override { return overrunFrames_; }
  uint32_t LostCode() const override { return lostCode_; }
  // The stream stops delivering for good, as when the sound server goes away.
  void Lose(uint32_t code) { lostCode_ = code; started_ = false; }
  // The stream's input goes away (unplugged); the server stays. It is missing
  // from then on.
  void RemoveInput(uint32_t code) {
    Lose(code);
    inputRemoved_ = true;
    missingSources.insert(source_);
  }
  bool InputRemoved() const override { return inputRemoved_; }

  // Lets `ms` milliseconds of capture pass (only while started).
  void Advance(uint32_t ms);
  // Delivers exactly `frames` frames (only while started).
  void DeliverFrames(uint64_t frames);

  // Buffer length for the next Open.
  void SetBufferMs(uint32_t ms) { bufferMs_ = ms; }
  // The next Open fails with this code (0: succeed).
  void FailNextOpen(uint32_t code) { failNextOpen_ = code; }
  void SetGenerator(Generator generator) { generator_ = std::move(generator); }

  // Runs inside every Open, as whatever else happens while a stream opens.
  std::function<void()> onOpen;
  // Sources Open does not find: it opens the default input and says so.
  std::set<std::string> missingSources;
  // The input the last Open captures from ("" for the default input).
  const std::string& OpenedSource() const { return openedSource_; }

  bool IsOpen() const { return open_; }
  const PcmFormat& OpenedFormat() const { return format_; }
  // Frames produced by the generator so far (the frame number of the next one).
  uint64_t FramesGenerated() const { return nextFrame_; }

  // The default generator: a frame counter, so a file can be checked for lost,
  // repeated or reordered frames. 16-bit: the first channel carries the low 16
  // bits of the frame number, the second channel the next 16 bits. 8-bit: every
  // channel carries the low 8 bits.
  static void CounterGenerator(uint64_t frame, const PcmFormat& format, uint8_t* out);
  // Inverse of CounterGenerator for one 16-bit stereo frame.
  static uint32_t CounterOf16BitStereo(const uint8_t* frame);
  // How many 16-bit stereo frames after a 44-byte WAV header carry the frame
  // numbers first, first + 1, ... before one does not.
  static size_t ConsecutiveFrames(const std::vector<uint8_t>& wav, uint32_t first);

 private:
  PcmFormat format_;
  std::string source_, openedSource_, notice_;
  bool open_ = false;
  bool started_ = false;
  uint32_t failNextOpen_ = 0;
  uint64_t nextFrame_ = 0;
  uint64_t overrunFrames_ = 0;
  uint32_t lostCode_ = 0;
  bool inputRemoved_ = false;
  uint64_t remainderMicroFrames_ = 0;
  uint32_t bufferMs_ = 15000;
  size_t capacity_ = 0;  // bytes
  std::deque<uint8_t> kept_;
  Generator generator_;
};

// A 16-bit stereo WAV take of the counter generator's frames: `frames` long
// from the frame numbered `first`, its header true to the file, every frame once.
inline void ExpectCounterTake(const std::vector<uint8_t>& wav, uint32_t first, size_t frames) {
  EXPECT_EQ(wav.size(), 44 + 4 * frames);
  EXPECT_TRUE(ReadWav(wav).sizesMatch);
  EXPECT_EQ(FakeCaptureStream::ConsecutiveFrames(wav, first), frames);
}

// Frames that tell their number (low 10 bits, under any start level, on the
// left) and whether they are sound (the right channel at `level`) or silence.
void SetNumberedSound(FakeCaptureStream& stream, std::function<bool(uint64_t frame)> loud, int16_t level);
// How many frames of such a WAV from frame `at` on carry the numbers first, first + 1, ...
uint64_t NumberedRun(const std::vector<uint8_t>& wav, size_t at, uint64_t first);

}  // namespace tarnovox::testing
