#include "recordings/playback.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "formats/label_file.h"
#include "recorder/recorder_state.h"
#include "recorder/ui_hooks.h"
#include "recordings/playback_math.h"
#include "recordings/playback_view.h"

namespace tarnovox {

using std::chrono::milliseconds;

bool IsPlayableFile(const std::string& file) {
  std::string extension = std::filesystem::path(file).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return extension == ".WAV" || extension == ".MP3" || extension == ".WMA" || extension == ".FLAC" ||
         extension == ".OPUS";
}

Playback::Playback(Player& player, OutputVolume& volume, RecorderState& state, UiHooks& hooks)
    : player_(player), output_(volume), state_(state), hooks_(hooks) {}

// Runs to its end without letting other events in: no status tick can find
// the file half-opened, with its name or its length not yet known.
void Playback::StartPlayback() {
  if (state_.Recording() || state_.Paused()) return;
  if (view_ != nullptr) view_->ClearMeters();
  const bool wasOpen = player_.IsOpen();
  if (wasOpen) CloseMedia();
  if (!IsPlayableFile(state_.CurrentFile)) {
    // The closed playback must not stay "playing" on a file that is gone.
    if (wasOpen) EndPlaying();
    return;
  }
  length_ = milliseconds(0);
  state_.ActiveFileName = std::filesystem::path(state_.CurrentFile).filename().string();
  if (const PlayerResult failed = player_.Open(state_.CurrentFile)) {
    TellFailure(*failed);
    return;
  }
  state_.mode = RecorderMode::Playing;
  if (const PlayerResult failed = player_.Play()) {
    EndAfterFailure(*failed);
    return;
  }
  length_ = player_.Length();
  LoadMarks();
}

void Playback::LoadMarks() {
  marks_.clear();
  std::vector<int> ticks;
  for (const Label& label : ReadLabelFile(LabelFilePath(state_.CurrentFile))) {
    const milliseconds at(static_cast<int64_t>(label.seconds * 1000 + 0.5));
    if (at > length_) continue;
    marks_.push_back(at);
    ticks.push_back(static_cast<int>(BarPositionFor(at, length_)));
  }
  if (view_ != nullptr) view_->ShowMarks(ticks);
}

void Playback::JumpToMark(bool forward) {
  if (!player_.IsOpen() || length_ == milliseconds(0) || !state_.Playing()) return;
  const milliseconds now = player_.Position();
  // The player reports whole ticks: a mark just jumped to reads as a little before or after it.
  constexpr milliseconds kSame{50};
  constexpr milliseconds kBehind{1000};
  if (forward) {
    const auto next = std::upper_bound(marks_.begin(), marks_.end(), now + kSame);
    if (next != marks_.end()) SeekTo(*next);
    return;
  }
  const auto after = std::lower_bound(marks_.begin(), marks_.end(), now - kBehind);
  if (after != marks_.begin()) SeekTo(*std::prev(after));
}

void Playback::PlayPickedFile() {
  if (state_.Recording()) return;
  state_.CurrentFile = state_.PickedFile;
  StartPlayback();
}

void Playback::ClosePlayback() {
  CloseMedia();
  EndPlaying();
}

void Playback::EndPlaying() {
  if (state_.Playing()) state_.mode = RecorderMode::Monitoring;
}

void Playback::PausePlayback() { player_.Pause(); }

void Playback::ResumePlayback() {
  if (!player_.IsOpen()) return;
  if (const PlayerResult failed = player_.Resume()) EndAfterFailure(*failed);
}

void Playback::TellFailure(const PlayerError& error) {
  hooks_.ShowMessage("Cannot play file \"" + state_.ActiveFileName + "\". " + error.Text());
}

void Playback::EndAfterFailure(const PlayerError& error) {
  // A file whose sound cannot start would stand at its position forever and
  // the status line would say "Playing": the playback ends, and says why.
  ClosePlayback();
  TellFailure(error);
}

void Playback::CloseMedia() {
  if (player_.IsOpen()) player_.Close();
  if (!marks_.empty() && view_ != nullptr) view_->ShowMarks({});
  marks_.clear();
}

void Playback::PollPlayback() {
  if (view_ != nullptr && view_->StatusInterval() == kSeekInterval) {
    view_->SetStatusInterval(kStatusInterval);
    // Paused during the second after a seek: the player holds the seek
    // position and the Resume of the pause starts it there.
    if (!state_.Paused() && player_.IsOpen()) {
      if (const PlayerResult failed = player_.Play()) EndAfterFailure(*failed);
    }
  }
  if (!state_.Playing() && !state_.Recording()) ShowIdleTime();
  if (!(state_.Playing() && !state_.Recording()) && view_ != nullptr) view_->SetPositionBar(0);
  if (state_.Playing()) FollowPosition();
  if (view_ == nullptr) return;
  view_->EnablePositionBar(!state_.Paused());
  if (view_->VolumeMixerOpen()) {
    volume_ = CurrentVolume();
    // The bar shows the right channel.
    view_->SetVolumeBar(volume_.right);
  }
}

void Playback::FollowPosition() {
  position_ = player_.Position();
  state_.DisplayedMs = static_cast<uint32_t>(position_.count());
  hooks_.UpdateTimeDisplay();
  if (length_ > milliseconds(0) && view_ != nullptr)
    view_->SetPositionBar(static_cast<int>(BarPositionFor(position_, length_)));
  if (position_ == length_) {
    EndPlaying();
    CloseMedia();
  }
}

void Playback::ShowIdleTime() {
  state_.ActiveFileName.clear();
  state_.DisplayedMs = 0;
  hooks_.UpdateTimeDisplay();
}

void Playback::SeekToBarPosition(int position) {
  if (!player_.IsOpen() || length_ == milliseconds(0) || position < 0) return;
  // The tick's own move of the bar shows the reported position: not a seek.
  if (static_cast<uint32_t>(position) == BarPositionFor(position_, length_)) return;
  SeekTo(SeekTargetFor(length_, static_cast<uint32_t>(position)));
}

// The playback holds still at the target for a second, then goes on from it.
void Playback::SeekTo(milliseconds target) {
  if (view_ != nullptr) view_->SetStatusInterval(kSeekInterval);
  seekTarget_ = target;
  player_.Seek(seekTarget_);
}

void Playback::SetVolumeFromBar(int position) {
  // Both channels get the bar's value, the right one's as the bar shows it.
  const auto level = static_cast<uint16_t>(std::clamp(position, 0, 0xFFFF));
  volume_ = StereoVolume{level, level};
  SetVolume(volume_);
}

bool Playback::OpenVolume() {
  const std::optional<std::string> failure = output_.Open();
  outputUsable_ = !failure.has_value();
  if (failure) hooks_.ShowMessage(failure->substr(0, kMaxErrorText));
  return outputUsable_;
}

StereoVolume Playback::CurrentVolume() const { return outputUsable_ ? output_.Get() : StereoVolume{}; }

void Playback::SetVolume(StereoVolume volume) {
  if (outputUsable_) output_.Set(volume);
}

void Playback::ReadVolume() { volume_ = CurrentVolume(); }

void Playback::CloseVolume() {
  if (outputUsable_) output_.Close();
  outputUsable_ = false;
}

}  // namespace tarnovox
