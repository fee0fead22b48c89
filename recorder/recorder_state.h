#pragma once
// State shared by the recorder, the status display, the file list and playback.
#include <cstdint>
#include <string>

namespace tarnovox {

// What the recorder does: one mode, so recording and playing can never be
// set together, and a pause always belongs to one of them.
enum class RecorderMode { Monitoring, Recording, RecordingPaused, Playing, PlayingPaused };

// A take with a start level may wait, still Recording: armed before its first
// sound, or paused by itself on silence.
enum class TakeWait { None, ForSound, Silence };

struct RecorderState {
  RecorderMode mode = RecorderMode::Monitoring;
  TakeWait wait = TakeWait::None;
  // A take runs (also while paused).
  bool Recording() const { return mode == RecorderMode::Recording || mode == RecorderMode::RecordingPaused; }
  // A playback runs (also while paused).
  bool Playing() const { return mode == RecorderMode::Playing || mode == RecorderMode::PlayingPaused; }
  bool Paused() const { return mode == RecorderMode::RecordingPaused || mode == RecorderMode::PlayingPaused; }

  // The file the recorder and the file list act on: the full path of the
  // recording in progress, or the bare name of the file picked or played in the
  // file list (bare names resolve against the output folder, the current directory).
  std::string CurrentFile;
  std::string ActiveFileName;   // "record" + number + ".wav"/".mp3", or the played file's name
  std::string CurrentBaseName;  // "record" + number
  std::string PickedFile;       // file of the row last picked in the file list

  std::string StatusText;  // mode word last shown; emptied so the status line rebuilds it
  std::string ArmedText;   // a start waits for its time ("Recording at 07:05"): shown in place of monitoring
  uint32_t DisplayedMs = 0;
  int ShownMark = 0;  // the mark the status shows for a second after it was made; 0 for none
  // Sound of the running (or last) recording that was lost because the
  // computer was too busy to take it from the sound server in time.
  uint32_t LostMs = 0;
  bool Minimized = false;  // while set, the capture poll draws nothing

  // Channel count and rate of the last WAV or MP3 file selected in the file list.
  uint16_t FileChannels = 2;
  uint32_t FileSampleRate = 0;

  RecorderMode Mode() const { return mode; }
};

}  // namespace tarnovox
