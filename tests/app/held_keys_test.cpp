#include "app/held_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace tarnovox {
namespace {

// Key events as the system sends them: 'P' press, 'R' release, of a key at a time.
struct KeyEvent {
  char kind;
  unsigned key;
  uint64_t time;
};

// The keys acted on, in order.
std::vector<unsigned> Acted(const std::vector<KeyEvent>& events) {
  HeldKeys held;
  std::vector<unsigned> acted;
  for (const KeyEvent& event : events) {
    if (event.kind == 'R') {
      held.Release(event.key, event.time);
    } else if (held.Press(event.key, event.time)) {
      acted.push_back(event.key);
    }
  }
  return acted;
}

TEST(HeldKeys, HeldKeyActsOnceHoweverItsRepeatsArrive) {
  // X11 by default: every repeat is a release and a press at one time.
  EXPECT_EQ(Acted({{'P', 7, 100}, {'R', 7, 600}, {'P', 7, 600}, {'R', 7, 640}, {'P', 7, 640}, {'R', 7, 700}}),
            std::vector<unsigned>{7});
  // X11 with detectable repeat, or a portal: presses (Activated) until the one release.
  EXPECT_EQ(Acted({{'P', 7, 100}, {'P', 7, 600}, {'P', 7, 640}, {'R', 7, 700}}), std::vector<unsigned>{7});
}

TEST(HeldKeys, EveryNewPressActsAlsoWhileAnotherKeyIsHeld) {
  EXPECT_EQ(Acted({{'P', 7, 100}, {'R', 7, 150}, {'P', 7, 151}, {'R', 7, 200}}), (std::vector<unsigned>{7, 7}));
  // F5 held, F9 pressed meanwhile; its release does not end F5's hold.
  EXPECT_EQ(Acted({{'P', 5, 100}, {'P', 9, 300}, {'R', 9, 400}, {'P', 5, 400}, {'R', 5, 500}, {'P', 9, 600}}),
            (std::vector<unsigned>{5, 9, 9}));
}

}  // namespace
}  // namespace tarnovox
