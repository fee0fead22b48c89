#pragma once
// Which monitored frames a take that shares the monitoring stream writes: it
// begins the pre-record stretch before the command, or, with a start level,
// waits for the first frame that reaches the level and begins that stretch
// before it; with a silence pause it stops writing after that long below the
// level and goes on, again with the stretch before the onset, when sound
// returns. Frames are numbered as in PreRecordRing; every range handed out
// starts where the one before ended or later, so no frame is written twice.
#include <cstddef>
#include <cstdint>
#include <functional>

namespace tarnovox {

struct TakeRules {
  uint64_t preFrames = 0;      // frames before the command or the onset
  int32_t level = 0;           // 0: the take starts at once; else the 16-bit peak that starts it
  uint64_t silenceFrames = 0;  // with a level: frames below it that pause the take; 0: never
};

// The level in dBFS as a 16-bit peak (-30 dBFS: 1036); 0 dBFS stays 0 (off).
int32_t PeakOfLevel(int32_t dbfs);

class TakeGate {
 public:
  // Writes frames [from, to).
  using WriteRange = std::function<void(uint64_t from, uint64_t to)>;

  // A take begins; `now` is the frame the next capture begins with, `oldest`
  // the oldest one still kept. Without a level the kept stretch is written now.
  void Begin(const TakeRules& rules, uint64_t now, uint64_t oldest, const WriteRange& write);
  void End() { state_ = State::Off; }
  // Frames [first, first + count) of 16-bit stereo were captured and kept.
  void Feed(const int16_t* frames, uint64_t first, size_t count, uint64_t oldest, const WriteRange& write);
  // A pause by hand: everything before `now` has been fed; nothing from then
  // on is written until Resume, which goes on at its own `now`.
  void Pause() { paused_ = true; }
  void Resume(uint64_t now);

  bool Running() const { return state_ != State::Off; }
  // No frame was written yet: the take waits for its first sound.
  bool Armed() const { return state_ == State::Waiting && !started_; }
  // The take stopped writing on silence and waits for sound to return.
  bool SilencePaused() const { return state_ == State::Waiting && started_; }

 private:
  enum class State { Off, Waiting, Writing };
  bool Loud(const int16_t* frame) const;
  // The first loud frame of frames[from, count), or count.
  size_t FirstLoud(const int16_t* frames, size_t from, size_t count) const;
  // Index of the frame at which the silence pause begins, or count; follows the last loud frame.
  size_t SilenceEnd(const int16_t* frames, uint64_t first, size_t from, size_t count);

  State state_ = State::Off;
  TakeRules rules_;
  bool started_ = false;
  bool paused_ = false;
  uint64_t next_ = 0;      // the next frame to write
  uint64_t floor_ = 0;     // frames before this one were written or passed over for good
  uint64_t lastLoud_ = 0;  // the newest frame that reached the level
};

}  // namespace tarnovox
