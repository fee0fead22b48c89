#pragma once
// The subsystems the recorder drives but does not own. Each is implemented by
// its own part of the program; tests use doubles.


namespace tarnovox {

struct MeterBlock;

// Level and spectrum analysis and the displays, fed on every recorder tick with
// the newest block of sound the capture thread completed.
class CaptureAnalysis {
 public:
  virtual ~CaptureAnalysis() = default;
  // Splits the block into channels and measures its peaks; with `draw` also
  // the spectrum, the bands and the displays.
  virtual void Analyse(const MeterBlock& block, bool draw) = 0;
};

// Playback of a recording and the output volume.
class PlaybackControl {
 public:
  virtual ~PlaybackControl() = default;
  // Closes a running playback (if any) and clears the playing flag.
  virtual void ClosePlayback() = 0;
  virtual void PausePlayback() = 0;
  virtual void ResumePlayback() = 0;
  // The media device of a playback is open (PlaybackDevice is not 0).
  virtual bool PlaybackDeviceOpen() const = 0;
  // Sends the close to an open media device without the rest of ClosePlayback.
  virtual void CloseDevice() = 0;
  // Opens the output-volume device; on failure shows the error and returns false.
  virtual bool OpenVolumeDevice() = 0;
  // OutputVolume = GetOutputVolume().
  virtual void ReadOutputVolume() = 0;
  virtual void CloseVolumeDevice() = 0;
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
