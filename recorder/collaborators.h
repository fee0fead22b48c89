#pragma once
// The subsystems the recorder drives but does not own. Each is implemented by
// its own part of the program; tests use doubles.

#include <cstdint>
#include <functional>

namespace tarnovox {

// Level and spectrum analysis and the displays, fed by the capture poll. The
// implementation reads the engine's ring, geometry and sample arrays.
class CaptureAnalysis {
 public:
  virtual ~CaptureAnalysis() = default;
  virtual void SplitMonitorBuffer() = 0;  // 16-bit stereo frames of the monitoring open
  virtual void SplitRecordBuffer() = 0;   // frames in the recording format
  virtual void MeasurePeaks() = 0;
  virtual void RefreshMeters() = 0;  // spectrum, bands and drawing
};

// Live MP3 recording through a capture stream of its own.
class Mp3Recording {
 public:
  virtual ~Mp3Recording() = default;
  // Opens the encoder and its capture path and creates RecorderState::CurrentFile;
  // sets the recording flag only when everything could be opened.
  virtual void Start() = 0;
  virtual void EncodeFilledBuffers() = 0;
  virtual void Pause() = 0;
  virtual void Resume() = 0;
  // Flushes the encoder, closes the file and clears the recording flag.
  virtual void Stop() = 0;
  // Frames the capture stream could not keep since Start (the computer was too busy).
  virtual uint64_t LostFrames() const { return 0; }
  // Called when the chosen name was taken between the check and the creation:
  // must choose the next free name (into CurrentFile) or return false.
  virtual void SetNextFileNamer(std::function<bool()>) {}
};

// Playback of a recording and the output volume.
class PlaybackControl {
 public:
  virtual ~PlaybackControl() = default;
  // Closes a running playback (if any) and clears the playing flag.
  virtual void ClosePlayback() = 0;
  virtual void PausePlayback() = 0;
  virtual void ResumePlayback() = 0;
  // The file of a playback is open in the player.
  virtual bool PlaybackOpen() const = 0;
  // Closes an open file without the rest of ClosePlayback.
  virtual void CloseMedia() = 0;
  // Opens the output volume; on failure shows the error and returns false.
  virtual bool OpenVolume() = 0;
  // Takes the output's volume as the one the volume bar starts from.
  virtual void ReadVolume() = 0;
  virtual void CloseVolume() = 0;
};

// The listing of the output folder shown by the file list window.
class RecordingsLibrary {
 public:
  virtual ~RecordingsLibrary() = default;
  virtual void Rescan() = 0;
  virtual void ApplySort() = 0;
  virtual void SortColumnForSort() = 0;
};

// Things the desktop offers beside windows.
class DesktopShell {
 public:
  virtual ~DesktopShell() = default;
  // Tells the mixer windows started by the Recording Control button to quit.
  virtual void CloseMixerWindows() = 0;
};

}  // namespace tarnovox
