#include "recordings/playback.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "recorder/recorder_state.h"
#include "recorder/ui_hooks.h"
#include "recordings/playback_math.h"
#include "recordings/playback_view.h"
#include "platform/media_player.h"
#include "platform/volume_device.h"

namespace tarnovox {

std::string MediaDeviceTypeFor(const std::string& file) {
  std::string extension = std::filesystem::path(file).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (extension == ".WAV") return kWaveAudioDevice;
  if (extension == ".MP3" || extension == ".WMA") return kMpegVideoDevice;
  return {};
}

Playback::Playback(MediaPlayer& player, VolumeDevice& volume, RecorderState& state, UiHooks& hooks)
    : player_(player), volume_(volume), state_(state), hooks_(hooks) {}

void Playback::StartPlayback() {
  if (state_.recording || state_.paused) return;
  if (view_ != nullptr) view_->ClearMeters();
  const bool wasOpen = PlaybackDevice != 0;
  if (wasOpen) player_.Close(PlaybackDevice);
  const std::string deviceType = MediaDeviceTypeFor(state_.CurrentFile);
  if (deviceType.empty()) {
    // The closed playback must not stay "playing" on a device that is gone.
    if (wasOpen) {
      PlaybackDevice = 0;
      state_.playing = false;
    }
    return;
  }
  PlaybackLength = 0;
  state_.ActiveFileName = std::filesystem::path(state_.CurrentFile).filename().string();
  hooks_.ProcessMessages();
  // A status tick in the pump finds the player idle and blanks the name: the
  // status line and a failure message must still name the file being opened.
  state_.ActiveFileName = std::filesystem::path(state_.CurrentFile).filename().string();
  PlaybackDevice = 0;
  uint16_t device = 0;
  if (const uint32_t result = player_.Open(deviceType, state_.CurrentFile, device); result != kMediaOk) {
    TellFailure(result);
    return;
  }
  PlaybackDevice = device;
  state_.playing = true;
  if (const uint32_t result = player_.Play(PlaybackDevice); result != kMediaOk) {
    EndAfterFailure(result);
    return;
  }
  // The length is read before other events may run: a status tick in between
  // would otherwise take the unknown length 0 for the end of the file.
  uint32_t length = 0;
  player_.Status(PlaybackDevice, MediaStatusItem::Length, length);
  PlaybackLength = length;
  hooks_.ProcessMessages();
}

void Playback::PlayPickedFile() {
  if (state_.recording) return;
  state_.CurrentFile = state_.PickedFile;
  StartPlayback();
}

void Playback::ClosePlayback() {
  if (PlaybackDevice != 0) player_.Close(PlaybackDevice);
  state_.playing = false;
  PlaybackDevice = 0;
}

void Playback::PausePlayback() { player_.Pause(PlaybackDevice); }

void Playback::ResumePlayback() {
  if (PlaybackDevice == 0) return;
  if (const uint32_t result = player_.Resume(PlaybackDevice); result != kMediaOk) EndAfterFailure(result);
}

void Playback::TellFailure(uint32_t result) {
  hooks_.ShowMessage("Cannot play file \"" + state_.ActiveFileName + "\". " + player_.ErrorText(result));
}

void Playback::EndAfterFailure(uint32_t result) {
  // A device whose sound cannot start would stand at its position forever
  // and the status line would say "Playing": the playback ends, and says why.
  const std::string reason = player_.ErrorText(result);
  ClosePlayback();
  hooks_.ShowMessage("Cannot play file \"" + state_.ActiveFileName + "\". " + reason);
}

void Playback::CloseDevice() {
  if (PlaybackDevice != 0) player_.Close(PlaybackDevice);
}

void Playback::PollPlayback() {
  if (view_ != nullptr && view_->StatusInterval() == kSeekIntervalMs) {
    view_->SetStatusInterval(kStatusIntervalMs);
    // Paused during the second after a seek: the device holds the seek
    // position and the Resume of the pause starts it there.
    if (!state_.paused && PlaybackDevice != 0) {
      if (const uint32_t result = player_.Play(PlaybackDevice); result != kMediaOk) EndAfterFailure(result);
    }
  }
  if (!state_.playing && !state_.recording) ShowIdleTime();
  if (!(state_.playing && !state_.recording) && view_ != nullptr) view_->SetTrackBarPosition(0);
  if (state_.playing) FollowPosition();
  if (view_ == nullptr) return;
  view_->EnableTrackBarPosition(!state_.paused);
  if (view_->VolumeMixerOpen()) {
    OutputVolume = GetOutputVolume();
    view_->SetTrackBarVolume(static_cast<int>(OutputVolume >> 16));
  }
}

void Playback::FollowPosition() {
  uint32_t position = 0;
  player_.Status(PlaybackDevice, MediaStatusItem::Position, position);
  PlaybackPosition = position;
  state_.DisplayedMs = PlaybackPosition;
  hooks_.UpdateTimeDisplay();
  if (PlaybackLength > 0 && view_ != nullptr)
    view_->SetTrackBarPosition(static_cast<int>(BarPositionFor(PlaybackPosition, PlaybackLength)));
  if (PlaybackPosition == PlaybackLength) {
    state_.playing = false;
    if (PlaybackDevice != 0) player_.Close(PlaybackDevice);
    PlaybackDevice = 0;
  }
}

void Playback::ShowIdleTime() {
  state_.ActiveFileName.clear();
  state_.DisplayedMs = 0;
  hooks_.UpdateTimeDisplay();
}

void Playback::TrackBarPositionChange(int position) {
  if (PlaybackDevice == 0 || PlaybackLength == 0 || position < 0) return;
  // The tick's own move of the bar shows the reported position: not a seek.
  if (static_cast<uint32_t>(position) == BarPositionFor(PlaybackPosition, PlaybackLength)) return;
  if (view_ != nullptr) view_->SetStatusInterval(kSeekIntervalMs);
  SeekTarget = SeekTargetFor(PlaybackLength, static_cast<uint32_t>(position));
  player_.Seek(PlaybackDevice, SeekTarget);
}

void Playback::TrackBarVolumeChange(int position) {
  // Both channels get the bar's value, the right one's as the bar shows it.
  OutputVolume = static_cast<uint32_t>(std::clamp(position, 0, 0xFFFF)) * 0x10001u;
  SetOutputVolume(OutputVolume);
}

bool Playback::OpenVolumeDevice() {
  const uint32_t error = volume_.Open();
  volumeUsable_ = error == 0;
  if (!volumeUsable_) hooks_.ShowMessage(volume_.ErrorText(error).substr(0, kMaxErrorText));
  return volumeUsable_;
}

uint32_t Playback::GetOutputVolume() const { return volumeUsable_ ? volume_.GetVolume() : 0; }

void Playback::SetOutputVolume(uint32_t volume) {
  if (volumeUsable_) volume_.SetVolume(volume);
}

void Playback::ReadOutputVolume() { OutputVolume = GetOutputVolume(); }

void Playback::CloseVolumeDevice() {
  if (volumeUsable_) volume_.Close();
  volumeUsable_ = false;
}

}  // namespace tarnovox
