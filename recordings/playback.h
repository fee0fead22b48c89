#pragma once
// Playback of one recording of the output folder and the output volume. The
// media device is polled on the status tick: the position moves the position
// bar, the end of the file closes the device, a move of the bar seeks, and the
// playback resumes on the tick one second after the last move.
#include <cstdint>
#include <string>

#include "recorder/collaborators.h"

namespace tarnovox {

class MediaPlayer;
class PlaybackView;
class VolumeDevice;
class UiHooks;
struct RecorderState;

class Playback final : public PlaybackControl {
 public:
  static constexpr uint32_t kStatusIntervalMs = 500;
  // The status timer's interval while a seek waits to be resumed.
  static constexpr uint32_t kSeekIntervalMs = 1000;
  // Longest error text of the volume device shown to the user.
  static constexpr size_t kMaxErrorText = 128;

  Playback(MediaPlayer& player, VolumeDevice& volume, RecorderState& state, UiHooks& hooks);

  // The windows are created after the recorder; until then nothing is shown.
  void SetView(PlaybackView* view) { view_ = view; }

  // Plays CurrentFile from its beginning (WAV, MP3 and WMA files only); nothing
  // happens while a recording runs or anything is paused.
  void StartPlayback();
  // The Play button: unless recording, plays the file picked in the list.
  void PlayPickedFile();
  void ClosePlayback() override;
  void PausePlayback() override;
  void ResumePlayback() override;
  bool PlaybackDeviceOpen() const override { return PlaybackDevice != 0; }
  void CloseDevice() override;

  // The playback steps of the status tick.
  void PollPlayback();
  // Change handlers of the position bar (0..1000) and the volume bar (0..65535).
  void TrackBarPositionChange(int position);
  void TrackBarVolumeChange(int position);

  // Opened at start-up; on failure the server's text is shown and false tells
  // the caller to end the program.
  bool OpenVolumeDevice() override;
  // Left channel in the low 16 bits, right in the high; 0 without a device.
  uint32_t GetOutputVolume() const;
  void SetOutputVolume(uint32_t volume);
  void ReadOutputVolume() override;
  void CloseVolumeDevice() override;

  uint16_t PlaybackDevice = 0;    // 0: no media device open
  uint32_t PlaybackLength = 0;    // ms; 0 until known
  uint32_t PlaybackPosition = 0;  // ms, as last reported by the device
  uint32_t SeekTarget = 0;        // ms of the last seek
  uint32_t OutputVolume = 0;

 private:
  void FollowPosition();
  void TellFailure(uint32_t result);
  void EndAfterFailure(uint32_t result);
  void ShowIdleTime();

  MediaPlayer& player_;
  VolumeDevice& volume_;
  RecorderState& state_;
  UiHooks& hooks_;
  PlaybackView* view_ = nullptr;
  bool volumeUsable_ = false;
};

// The device type that plays a file, by its extension in any letter case:
// "waveaudio" for .wav, "MPEGvideo" for .mp3 and .wma, empty for anything else.
std::string MediaDeviceTypeFor(const std::string& file);

}  // namespace tarnovox
