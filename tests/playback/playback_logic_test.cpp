#include <gtest/gtest.h>

#include "recorder/recorder_state.h"
#include "recordings/playback.h"
#include "recordings/playback_math.h"
#include "tests/playback/fake_playback_view.h"
#include "tests/support/fake_media_player.h"
#include "tests/support/fake_volume_device.h"
#include "tests/support/scripted_ui_hooks.h"

namespace tarnovox {
namespace {

using testing::FakeMediaPlayer;
using testing::FakePlaybackView;
using testing::FakeVolumeDevice;
using testing::ScriptedUiHooks;

struct PlaybackRig {
  PlaybackRig() {
    player.lengths = {{"take.wav", 10000}, {"song.Mp3", 7549}, {"talk.wma", 2000}};
    playback.SetView(&view);
  }
  void Play(const std::string& file) {
    state.PickedFile = file;
    playback.PlayPickedFile();
  }
  FakeMediaPlayer player;
  FakeVolumeDevice volume;
  RecorderState state;
  ScriptedUiHooks hooks;
  Playback playback{player, volume, state, hooks};
  FakePlaybackView view{playback};
};

TEST(PlaybackMath, RoundsHalvesToEvenWithoutOverflow) {
  EXPECT_EQ(BarPositionFor(1, 2000), 0u);      // 0.5
  EXPECT_EQ(BarPositionFor(3, 2000), 2u);      // 1.5
  EXPECT_EQ(BarPositionFor(2, 3000), 1u);      // 0.667
  EXPECT_EQ(BarPositionFor(0xFFFFFFFEu, 0xFFFFFFFFu), 1000u);
  EXPECT_EQ(SeekTargetFor(7549, 500), 3774u);  // 3774.5
  EXPECT_EQ(SeekTargetFor(0xFFFFFFFFu, 1000), 0xFFFFFFFFu);
}

TEST(Playback, PlayChoosesTheDeviceByExtensionAndIgnoresOtherFiles) {
  PlaybackRig rig;
  rig.Play("song.Mp3");
  EXPECT_EQ(rig.player.commands,
            (std::vector<std::string>{"open MPEGvideo song.Mp3", "play 1", "status length 1"}));
  EXPECT_TRUE(rig.state.playing);
  EXPECT_EQ(rig.state.ActiveFileName, "song.Mp3");
  EXPECT_EQ(rig.playback.PlaybackLength, 7549u);
  EXPECT_EQ(rig.view.meterClears, 1);

  // Play during a playback closes it and starts the file again from the beginning.
  rig.player.SetPosition(4000);
  rig.Play("take.wav");
  EXPECT_EQ(rig.player.Count("close 1"), 1);
  EXPECT_EQ(rig.player.commands.back(), "status length 2");
  EXPECT_EQ(rig.player.Last().position, 0u);
  EXPECT_EQ(rig.player.Last().state, FakeMediaPlayer::State::Playing);

  // Another kind of file plays nothing, and the closed playback is over.
  rig.Play("notes.txt");
  EXPECT_EQ(rig.player.Count("open"), 2);
  EXPECT_TRUE(rig.player.devices.empty());
  EXPECT_FALSE(rig.state.playing);
  EXPECT_EQ(rig.playback.PlaybackDevice, 0);
  rig.Play("");
  rig.Play("missing.wav");  // cannot be opened: nothing plays, the player's reason is told
  EXPECT_FALSE(rig.state.playing);
  EXPECT_EQ(rig.hooks.messages,
            std::vector<std::string>{"Cannot play file \"missing.wav\". The file cannot be opened or holds no sound"});

  // Play while paused, or while recording, does nothing at all.
  rig.Play("talk.wma");
  rig.state.paused = true;
  rig.Play("take.wav");
  rig.state.paused = false;
  rig.state.recording = true;
  rig.playback.StartPlayback();
  EXPECT_EQ(rig.player.commands.back(), "status length 3");
  EXPECT_EQ(rig.player.Last().file, "talk.wma");
}

TEST(Playback, ATickWhileStartingNeitherEndsTheFileNorForgetsItsName) {
  PlaybackRig rig;
  rig.hooks.onProcessMessages = [&] { rig.playback.PollPlayback(); };
  rig.Play("missing.wav");
  EXPECT_EQ(rig.hooks.messages,
            std::vector<std::string>{"Cannot play file \"missing.wav\". The file cannot be opened or holds no sound"});
  rig.Play("take.wav");
  EXPECT_TRUE(rig.state.playing);
  EXPECT_EQ(rig.player.devices.size(), 1u);
  EXPECT_EQ(rig.state.ActiveFileName, "take.wav");
}

TEST(Playback, DraggingTheBarSeeksThreeTimesAndPlaysOnceASecondLater) {
  PlaybackRig rig;
  rig.Play("take.wav");
  rig.player.SetPosition(1234);
  rig.playback.PollPlayback();
  EXPECT_EQ(rig.view.position, 123);
  EXPECT_EQ(rig.player.Count("seek"), 0);  // the tick's own move is not a seek
  EXPECT_EQ(rig.state.DisplayedMs, 1234u);

  for (int position : {300, 455, 600}) rig.view.SetTrackBarPosition(position);
  EXPECT_EQ(rig.player.Count("seek"), 3);
  EXPECT_EQ(rig.player.commands.back(), "seek 1 6000");
  EXPECT_EQ(rig.playback.SeekTarget, 6000u);
  EXPECT_EQ(rig.view.interval, 1000u);
  EXPECT_EQ(rig.player.Count("play"), 1);

  // The next tick, one second after the last move, resumes from the seek.
  rig.playback.PollPlayback();
  EXPECT_EQ(rig.view.interval, 500u);
  EXPECT_EQ(rig.player.Count("play"), 2);
  EXPECT_EQ(rig.player.Last().state, FakeMediaPlayer::State::Playing);
  EXPECT_EQ(rig.view.position, 600);
  rig.playback.PollPlayback();
  EXPECT_EQ(rig.player.Count("play"), 2);
  EXPECT_EQ(rig.player.Count("seek"), 3);
}

TEST(Playback, EndOfFileClosesOnTheNextTickAndTheBarReturnsToZeroOnTheFollowing) {
  PlaybackRig rig;
  rig.Play("talk.wma");
  rig.player.SetPosition(1999);
  rig.playback.PollPlayback();
  EXPECT_TRUE(rig.state.playing);
  EXPECT_EQ(rig.view.position, 1000);  // 999.5 rounds to even

  rig.player.SetPosition(2000);
  rig.playback.PollPlayback();
  EXPECT_FALSE(rig.state.playing);
  EXPECT_EQ(rig.playback.PlaybackDevice, 0);
  EXPECT_EQ(rig.player.commands.back(), "close 1");
  EXPECT_EQ(rig.view.position, 1000);
  EXPECT_EQ(rig.state.ActiveFileName, "talk.wma");

  rig.playback.PollPlayback();
  EXPECT_EQ(rig.view.position, 0);
  EXPECT_EQ(rig.state.ActiveFileName, "");
  EXPECT_EQ(rig.state.DisplayedMs, 0u);
  EXPECT_EQ(rig.player.Count("seek"), 0);
}

TEST(Playback, PauseFreezesTheBarAndASeekWaitingForItsTickWaitsForResume) {
  PlaybackRig rig;
  rig.Play("take.wav");
  rig.view.SetTrackBarPosition(500);  // seek to 5000, resumed by the next tick
  rig.state.paused = true;            // Pause/Resume within that second
  rig.playback.PausePlayback();
  rig.playback.PollPlayback();
  EXPECT_FALSE(rig.view.positionEnabled);
  EXPECT_EQ(rig.player.Count("play"), 1);
  EXPECT_EQ(rig.player.Last().state, FakeMediaPlayer::State::Held);
  EXPECT_EQ(rig.view.interval, 500u);

  rig.state.paused = false;
  rig.playback.ResumePlayback();
  rig.playback.PollPlayback();
  EXPECT_TRUE(rig.view.positionEnabled);
  EXPECT_EQ(rig.player.Last().state, FakeMediaPlayer::State::Playing);
  EXPECT_EQ(rig.player.Last().position, 5000u);
  rig.playback.ClosePlayback();
  rig.playback.ResumePlayback();  // no device: nothing is sent
  EXPECT_EQ(rig.player.commands.back(), "close 1");
}

// Setting both channels and following a running mixer's right channel are
// checked on the real sound server (PulseSound); here what must not happen.
TEST(Playback, VolumeBarFollowsOnlyARunningMixerAndNotASilentRightChannel) {
  PlaybackRig rig;
  ASSERT_TRUE(rig.playback.OpenVolumeDevice());
  rig.view.SetTrackBarVolume(32768);
  rig.volume.volume = 0x30001000u;
  rig.playback.PollPlayback();
  EXPECT_EQ(rig.view.volume, 32768) << "the bar follows only a running mixer";

  // A right channel at 0 leaves the bar at 0 and the volume untouched.
  rig.view.mixerOpen = true;
  rig.view.SetTrackBarVolume(0);
  const int sets = rig.volume.setCount;
  rig.volume.volume = 0x00004000u;
  rig.playback.PollPlayback();
  EXPECT_EQ(rig.view.volume, 0);
  EXPECT_EQ(rig.volume.volume, 0x00004000u);
  EXPECT_EQ(rig.volume.setCount, sets);
}

TEST(Playback, VolumeDeviceThatCannotOpenShowsTheServerTextAndIsNotUsed) {
  PlaybackRig rig;
  rig.volume.openError = 6;
  rig.volume.errorText = std::string(200, 'x');
  EXPECT_FALSE(rig.playback.OpenVolumeDevice());
  ASSERT_EQ(rig.hooks.messages.size(), 1u);
  EXPECT_EQ(rig.hooks.messages[0], std::string(128, 'x'));
  EXPECT_EQ(rig.playback.GetOutputVolume(), 0u);
  rig.playback.TrackBarVolumeChange(100);
  EXPECT_EQ(rig.volume.setCount, 0);
}

}  // namespace
}  // namespace tarnovox
