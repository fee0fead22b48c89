#pragma once
// Playback of one recording of the output folder and the output volume. The
// player is polled on the status tick: the position moves the position bar,
// the end of the file closes it, a move of the bar seeks, and the playback
// resumes on the tick one second after the last move.
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/output_volume.h"
#include "platform/player.h"
#include "recorder/collaborators.h"

namespace tarnovox {

class PlaybackView;
class UiHooks;
struct RecorderState;

class Playback final : public PlaybackControl {
 public:
  static constexpr std::chrono::milliseconds kStatusInterval{500};
  // The status timer's interval while a seek waits to be resumed.
  static constexpr std::chrono::milliseconds kSeekInterval{1000};
  // Longest error text of the output volume shown to the user.
  static constexpr size_t kMaxErrorText = 128;

  Playback(Player& player, OutputVolume& volume, RecorderState& state, UiHooks& hooks);

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
  bool PlaybackOpen() const override { return player_.IsOpen(); }
  void CloseMedia() override;

  // The playback steps of the status tick.
  void PollPlayback();
  // A change of the position bar (0..1000): a seek, unless the tick moved it.
  void SeekToBarPosition(int position);
  // Ctrl+Right / Ctrl+Left: the playback goes on from the open file's next
  // mark after the position, or the one before it (a mark less than a second
  // behind counts as the position, so pressing again goes further back), as a
  // move of the position bar would. Nothing happens without such a mark.
  void JumpToMark(bool forward);
  // The open file's marks, from its label file, in order.
  const std::vector<std::chrono::milliseconds>& Marks() const { return marks_; }
  // A change of the volume bar (0..65535): both channels take its value.
  void SetVolumeFromBar(int position);

  // Opened at start-up; on failure the server's text is shown and false tells
  // the caller to end the program.
  bool OpenVolume() override;
  // The output volume now; silent when it could not be opened.
  StereoVolume CurrentVolume() const;
  void SetVolume(StereoVolume volume);
  void ReadVolume() override;
  void CloseVolume() override;

  // The open file's length; 0 until known.
  std::chrono::milliseconds Length() const { return length_; }
  // The position the player last reported.
  std::chrono::milliseconds Position() const { return position_; }
  std::chrono::milliseconds LastSeekTarget() const { return seekTarget_; }
  // The volume last read from the output or set through the bar.
  StereoVolume Volume() const { return volume_; }

 private:
  void FollowPosition();
  // Playing and a paused playback end (a take is left as it is).
  void EndPlaying();
  void TellFailure(const PlayerError& error);
  void EndAfterFailure(const PlayerError& error);
  void ShowIdleTime();
  void LoadMarks();
  void SeekTo(std::chrono::milliseconds target);

  Player& player_;
  OutputVolume& output_;
  RecorderState& state_;
  UiHooks& hooks_;
  PlaybackView* view_ = nullptr;
  bool outputUsable_ = false;
  std::chrono::milliseconds length_{0};
  std::chrono::milliseconds position_{0};
  std::chrono::milliseconds seekTarget_{0};
  std::vector<std::chrono::milliseconds> marks_;
  StereoVolume volume_;
};

// WAV, MP3 and WMA files play, known by their extension in any letter case.
bool IsPlayableFile(const std::string& file);

}  // namespace tarnovox
