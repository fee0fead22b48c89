#include "recorder/take_gate.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tarnovox {

int32_t PeakOfLevel(int32_t dbfs) {
  if (dbfs >= 0) return 0;
  return std::max<int32_t>(1, static_cast<int32_t>(std::lround(32768.0 * std::pow(10.0, dbfs / 20.0))));
}

void TakeGate::Begin(const TakeRules& rules, uint64_t now, uint64_t oldest, const WriteRange& write) {
  rules_ = rules;
  paused_ = false;
  floor_ = 0;
  started_ = rules.level == 0;
  state_ = started_ ? State::Writing : State::Waiting;
  if (!started_) return;
  next_ = std::max(now > rules.preFrames ? now - rules.preFrames : 0, oldest);
  write(next_, now);
  next_ = now;
  lastLoud_ = now;
}

void TakeGate::Resume(uint64_t now) {
  paused_ = false;
  // What was captured during the pause is not part of the take, not even as an onset.
  floor_ = now;
  next_ = now;
  lastLoud_ = now;
}

bool TakeGate::Loud(const int16_t* frame) const {
  return std::abs(int32_t{frame[0]}) >= rules_.level || std::abs(int32_t{frame[1]}) >= rules_.level;
}

size_t TakeGate::FirstLoud(const int16_t* frames, size_t from, size_t count) const {
  for (size_t i = from; i < count; ++i) {
    if (Loud(frames + 2 * i)) return i;
  }
  return count;
}

size_t TakeGate::SilenceEnd(const int16_t* frames, uint64_t first, size_t from, size_t count) {
  if (rules_.level == 0 || rules_.silenceFrames == 0) return count;
  for (size_t i = from; i < count; ++i) {
    if (Loud(frames + 2 * i)) lastLoud_ = first + i;
    else if (first + i - lastLoud_ > rules_.silenceFrames) return i;
  }
  return count;
}

void TakeGate::Feed(const int16_t* frames, uint64_t first, size_t count, uint64_t oldest, const WriteRange& write) {
  if (state_ == State::Off || paused_) return;
  size_t i = 0;
  while (i < count) {
    if (state_ == State::Waiting) {
      const size_t onset = FirstLoud(frames, i, count);
      if (onset == count) return;
      const uint64_t at = first + onset;
      next_ = std::max({at > rules_.preFrames ? at - rules_.preFrames : 0, floor_, oldest});
      lastLoud_ = at;
      started_ = true;
      state_ = State::Writing;
      i = onset;
    }
    const size_t quiet = SilenceEnd(frames, first, i, count);
    if (quiet == count) break;
    // The silence up to the pause stays in the file, as before a pause by hand.
    write(next_, first + quiet);
    next_ = floor_ = first + quiet;
    state_ = State::Waiting;
    i = quiet;
  }
  if (state_ == State::Writing && next_ < first + count) {
    write(next_, first + count);
    next_ = first + count;
  }
}

}  // namespace tarnovox
