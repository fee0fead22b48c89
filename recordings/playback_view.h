#pragma once
// The controls of the windows that playback drives: the position and volume
// bars of the file list window, the main window's status timer and meters, and
// the system mixer the program started. The windows implement it; tests use a
// double.
#include <chrono>
#include <vector>

namespace tarnovox {

class PlaybackView {
 public:
  virtual ~PlaybackView() = default;

  // The position bar, 0 to 1000. Like a user's move, a change of its value runs
  // Playback::SeekToBarPosition; setting the value it already has runs nothing.
  virtual void SetPositionBar(int position) = 0;
  virtual void EnablePositionBar(bool enabled) = 0;
  // Ticks on the position bar at these values (0 to 1000): the open file's marks.
  virtual void ShowMarks(const std::vector<int>& positions) = 0;
  // The volume bar, 0 to 65535; a change runs Playback::SetVolumeFromBar.
  virtual void SetVolumeBar(int position) = 0;

  // The status timer's interval; setting it restarts the timer, so the next
  // tick comes one full interval later.
  virtual std::chrono::milliseconds StatusInterval() const = 0;
  virtual void SetStatusInterval(std::chrono::milliseconds interval) = 0;

  // Clears the level meters and the spectrum display.
  virtual void ClearMeters() = 0;
  // The system's volume mixer started by the program is running.
  virtual bool VolumeMixerOpen() const = 0;
};

}  // namespace tarnovox
