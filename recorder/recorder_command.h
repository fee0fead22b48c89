#pragma once
// The commands that reach the recorder, from every source: the picture
// buttons, the global keys, the desktop portal and the command line.
#include <cstdint>

namespace tarnovox {

enum class RecorderCommand {
  Record,          // F5, `--record`: closes a playback and records
  RecordWhenIdle,  // the Record button: ignored while playing
  Pause,           // F7, the Pause button, `--pause`: pauses or resumes
  Stop,            // F9, the Stop button, `--stop`
  Mark,            // F8, `--mark`: marks a running, unpaused take
};

// What `--for` and `--at` add to `--record`: a length for this take only and
// a start at the next such time of day.
struct TakeTiming {
  uint32_t stopAfterSeconds = 0;  // 0: as the settings say
  int startAtMinute = -1;         // minute of the local day, 0..1439; -1: at once
  bool Timed() const { return stopAfterSeconds > 0 || startAtMinute >= 0; }
  bool operator==(const TakeTiming&) const = default;
};

}  // namespace tarnovox
