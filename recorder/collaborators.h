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
