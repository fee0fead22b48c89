#pragma once
// The commands that reach the recorder, from every source: the picture
// buttons, the global keys, the desktop portal and the command line.
namespace tarnovox {

enum class RecorderCommand {
  Record,          // F5, `--record`: closes a playback and records
  RecordWhenIdle,  // the Record button: ignored while playing
  Pause,           // F7, the Pause button, `--pause`: pauses or resumes
  Stop,            // F9, the Stop button, `--stop`
  Mark,            // F8, `--mark`: marks a running, unpaused take
};

}  // namespace tarnovox
