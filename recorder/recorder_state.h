#pragma once
// State shared by the recorder, the status display, the file list and playback.
#include <cstdint>
#include <string>

namespace tarnovox {

enum class RecorderMode { Monitoring, Recording, RecordingPaused, Playing, PlayingPaused };

struct RecorderState {
  // Three independent flags; recording and playing are never set together.
  bool recording = false;
  bool paused = false;
  bool playing = false;

  // The file the recorder and the file list act on: the full path of the
  // recording in progress, or the bare name of the file picked or played in the
  // file list (bare names resolve against the output folder, the current directory).
  std::string CurrentFile;
  std::string ActiveFileName;   // "record" + number + ".wav"/".mp3", or the played file's name
  std::string CurrentBaseName;  // "record" + number
  std::string PickedFile;       // file of the row last picked in the file list

  std::string StatusText;  // mode word last shown; emptied so the status line rebuilds it
  uint32_t DisplayedMs = 0;
  // Sound of the running (or last) recording that was lost because the
  // computer was too busy to take it from the sound server in time.
  uint32_t LostMs = 0;
  bool Minimized = false;  // while set, the capture poll draws nothing

  // Channel count and rate of the last WAV or MP3 file selected in the file list.
  uint16_t FileChannels = 2;
  uint32_t FileSampleRate = 0;

  RecorderMode Mode() const {
    if (recording) return paused ? RecorderMode::RecordingPaused : RecorderMode::Recording;
    if (playing) return paused ? RecorderMode::PlayingPaused : RecorderMode::Playing;
    return RecorderMode::Monitoring;
  }
};

}  // namespace tarnovox
