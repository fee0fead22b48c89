#pragma once
// Tells a hot key's press from the repeats the system sends while it is held,
// so that holding F7 pauses once instead of toggling on every repeat.
#include <cstdint>
#include <map>

namespace tarnovox {

class HeldKeys {
 public:
  // True for a press to act on: the key was not held. A press while it is held
  // is a repeat (X11 with detectable repeat, a portal's repeated Activated), and
  // so is one at the very time of the release just before it: X11 reports each
  // repeat as a release and a press with one timestamp.
  bool Press(unsigned key, uint64_t time);
  void Release(unsigned key, uint64_t time);

 private:
  struct State {
    bool held = false;
    bool released = false;
    uint64_t releasedAt = 0;
  };
  std::map<unsigned, State> keys_;
};

}  // namespace tarnovox
