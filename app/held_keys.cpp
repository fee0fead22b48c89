#include "app/held_keys.h"

namespace tarnovox {

bool HeldKeys::Press(unsigned key, uint64_t time) {
  State& state = keys_[key];
  const bool repeat = state.held || (state.released && state.releasedAt == time);
  state.held = true;
  return !repeat;
}

void HeldKeys::Release(unsigned key, uint64_t time) {
  State& state = keys_[key];
  state.held = false;
  state.released = true;
  state.releasedAt = time;
}

}  // namespace tarnovox
