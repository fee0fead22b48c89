#include <gtest/gtest.h>

#include "recorder/recorder_state.h"
#include "recordings/playback.h"
#include "recordings/playback_math.h"
#include "tests/playback/fake_playback_view.h"
#include "tests/support/fake_output_volume.h"
#include "tests/support/fake_player.h"
#include "tests/support/scripted_ui_hooks.h"

namespace tarnovox {
namespace {

using namespace std::chrono_literals;
using testing::FakeOutputVolume;
using testing::FakePlaybackView;
using testing::FakePlayer;
using testing::ScriptedUiHooks;

struct PlaybackRig {
  PlaybackRig() {
    player.lengths = {{"take.wav", 10000ms}, {"song.Mp3", 7549ms}, {"talk.wma", 2000ms}};
    playback.SetView(&view);
  }
  void Play(const std::string& file) {
    state.PickedFile = file;
    playback.PlayPickedFile();
  }
  FakePlayer player;
  FakeOutputVolume volume;
  RecorderState state;
  ScriptedUiHooks hooks;
  Playback playback{player, volume, state, hooks};
  FakePlaybackView view{playback};
};

TEST(PlaybackMath, RoundsHalvesToEvenWithoutOverflow) {
  EXPECT_EQ(BarPositionFor(1ms, 2000ms), 0u);      // 0.5
  EXPECT_EQ(BarPositionFor(3ms, 2000ms), 2u);      // 1.5
  EXPECT_EQ(BarPositionFor(2ms, 3000ms), 1u);      // 0.667
  EXPECT_EQ(BarPositionFor(0xFFFFFFFEms, 0xFFFFFFFFms), 1000u);
  EXPECT_EQ(SeekTargetFor(7549ms, 500), 3774ms);  // 3774.5
  EXPECT_EQ(SeekTargetFor(0xFFFFFFFFms, 1000), 0xFFFFFFFFms);
}

TEST(Playback, PlayOpensWavMp3WmaFlacAndOpusFilesAndIgnoresOtherFiles) {
  PlaybackRig rig;
  rig.Play("song.Mp3");
  EXPECT_EQ(rig.player.commands, (std::vector<std::string>{"open song.Mp3", "play song.Mp3", "length song.Mp3"}));
  EXPECT_TRUE(rig.state.Playing());
  EXPECT_EQ(rig.state.ActiveFileName, "song.Mp3");
  EXPECT_EQ(rig.playback.Length(), 7549ms);
  EXPECT_EQ(rig.view.meterClears, 1);

  // Play during a playback closes it and starts the file again from the beginning.
  rig.player.SetPosition(4000ms);
  rig.Play("take.wav");
  EXPECT_EQ(rig.player.Count("close song.Mp3"), 1);
  EXPECT_EQ(rig.player.commands.back(), "length take.wav");
  EXPECT_EQ(rig.player.OpenFile().position, 0ms);
  EXPECT_EQ(rig.player.OpenFile().state, FakePlayer::State::Playing);

  // Another kind of file plays nothing, and the closed playback is over.
  rig.Play("notes.txt");
  EXPECT_EQ(rig.player.Count("open"), 2);
  EXPECT_EQ(rig.player.Count("close take.wav"), 1);
  EXPECT_FALSE(rig.state.Playing());
  EXPECT_FALSE(rig.playback.PlaybackOpen());
  rig.Play("");
  rig.Play("missing.wav");  // cannot be opened: nothing plays, the player's reason is told
  EXPECT_FALSE(rig.state.Playing());
  EXPECT_EQ(rig.hooks.messages,
            std::vector<std::string>{"Cannot play file \"missing.wav\". The file cannot be opened or holds no sound"});

  // Play while paused, or while recording, does nothing at all.
  rig.Play("talk.wma");
  rig.state.mode = RecorderMode::PlayingPaused;
  rig.Play("take.wav");
  rig.state.mode = RecorderMode::Recording;
  rig.playback.StartPlayback();
  EXPECT_EQ(rig.player.commands.back(), "length talk.wma");
  EXPECT_EQ(rig.player.OpenFile().name, "talk.wma");

  rig.state.mode = RecorderMode::Monitoring;
  rig.player.lengths.insert({{"take.FLAC", 3000ms}, {"take.opus", 4000ms}});
  for (const char* file : {"take.FLAC", "take.opus"}) {
    rig.Play(file);
    EXPECT_EQ(rig.player.OpenFile().name, file);
    EXPECT_TRUE(rig.state.Playing()) << file;
  }
}

// Starting runs to its end without the event loop (the rig fails on any
// message processing), so the first tick finds the file with its name and length.
TEST(Playback, TheFirstTickAfterStartingNeitherEndsTheFileNorForgetsItsName) {
  PlaybackRig rig;
  rig.Play("missing.wav");  // its message is the test above's
  rig.Play("take.wav");
  rig.playback.PollPlayback();
  EXPECT_TRUE(rig.state.Playing());
  EXPECT_TRUE(rig.player.IsOpen());
  EXPECT_EQ(rig.state.ActiveFileName, "take.wav");
  EXPECT_EQ(rig.player.Count("close"), 0);
}

TEST(Playback, DraggingTheBarSeeksThreeTimesAndPlaysOnceASecondLater) {
  PlaybackRig rig;
  rig.Play("take.wav");
  rig.player.SetPosition(1234ms);
  rig.playback.PollPlayback();
  EXPECT_EQ(rig.view.position, 123);
  EXPECT_EQ(rig.player.Count("seek"), 0);  // the tick's own move is not a seek
  EXPECT_EQ(rig.state.DisplayedMs, 1234u);

  for (int position : {300, 455, 600}) rig.view.SetPositionBar(position);
  EXPECT_EQ(rig.player.Count("seek"), 3);
  EXPECT_EQ(rig.player.commands.back(), "seek take.wav 6000");
  EXPECT_EQ(rig.playback.LastSeekTarget(), 6000ms);
  EXPECT_EQ(rig.view.interval, 1000ms);
  EXPECT_EQ(rig.player.Count("play"), 1);

  // The next tick, one second after the last move, resumes from the seek.
  rig.playback.PollPlayback();
  EXPECT_EQ(rig.view.interval, 500ms);
  EXPECT_EQ(rig.player.Count("play take.wav"), 2);
  EXPECT_EQ(rig.player.OpenFile().state, FakePlayer::State::Playing);
  EXPECT_EQ(rig.view.position, 600);
  rig.playback.PollPlayback();
  EXPECT_EQ(rig.player.Count("play"), 2);
  EXPECT_EQ(rig.player.Count("seek"), 3);
}

TEST(Playback, EndOfFileClosesOnTheNextTickAndTheBarReturnsToZeroOnTheFollowing) {
  PlaybackRig rig;
  rig.Play("talk.wma");
  rig.player.SetPosition(1999ms);
  rig.playback.PollPlayback();
  EXPECT_TRUE(rig.state.Playing());
  EXPECT_EQ(rig.view.position, 1000);  // 999.5 rounds to even

  rig.player.SetPosition(2000ms);
  rig.playback.PollPlayback();
  EXPECT_FALSE(rig.state.Playing());
  EXPECT_FALSE(rig.playback.PlaybackOpen());
  EXPECT_EQ(rig.player.commands.back(), "close talk.wma");
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
  rig.view.SetPositionBar(500);  // seek to 5000, resumed by the next tick
  rig.state.mode = RecorderMode::PlayingPaused;  // Pause/Resume within that second
  rig.playback.PausePlayback();
  rig.playback.PollPlayback();
  EXPECT_FALSE(rig.view.positionEnabled);
  EXPECT_EQ(rig.player.Count("play"), 1);
  EXPECT_EQ(rig.player.OpenFile().state, FakePlayer::State::Held);
  EXPECT_EQ(rig.view.interval, 500ms);

  rig.state.mode = RecorderMode::Playing;
  rig.playback.ResumePlayback();
  rig.playback.PollPlayback();
  EXPECT_TRUE(rig.view.positionEnabled);
  EXPECT_EQ(rig.player.OpenFile().state, FakePlayer::State::Playing);
  EXPECT_EQ(rig.player.OpenFile().position, 5000ms);
  rig.playback.ClosePlayback();
  rig.playback.ResumePlayback();  // nothing open: nothing is sent
  EXPECT_EQ(rig.player.commands.back(), "close take.wav");
}

// Setting both channels and following a running mixer's right channel are
// checked on the real sound server (PulseSound); here what must not happen.
TEST(Playback, VolumeBarFollowsOnlyARunningMixerAndNotASilentRightChannel) {
  PlaybackRig rig;
  ASSERT_TRUE(rig.playback.OpenVolume());
  rig.view.SetVolumeBar(32768);
  EXPECT_EQ(rig.volume.volume, (StereoVolume{32768, 32768}));
  rig.volume.volume = StereoVolume{0x1000, 0x3000};
  rig.playback.PollPlayback();
  EXPECT_EQ(rig.view.volume, 32768) << "the bar follows only a running mixer";

  // A right channel at 0 leaves the bar at 0 and the volume untouched.
  rig.view.mixerOpen = true;
  rig.view.SetVolumeBar(0);
  const int sets = rig.volume.setCount;
  rig.volume.volume = StereoVolume{0x4000, 0};
  rig.playback.PollPlayback();
  EXPECT_EQ(rig.view.volume, 0);
  EXPECT_EQ(rig.volume.volume, (StereoVolume{0x4000, 0}));
  EXPECT_EQ(rig.volume.setCount, sets);
}

TEST(Playback, VolumeThatCannotOpenShowsTheServerTextAndIsNotUsed) {
  PlaybackRig rig;
  rig.volume.openFailure = std::string(200, 'x');
  EXPECT_FALSE(rig.playback.OpenVolume());
  ASSERT_EQ(rig.hooks.messages.size(), 1u);
  EXPECT_EQ(rig.hooks.messages[0], std::string(128, 'x'));
  EXPECT_EQ(rig.playback.CurrentVolume(), (StereoVolume{0, 0}));
  rig.playback.SetVolumeFromBar(100);
  EXPECT_EQ(rig.volume.setCount, 0);
}

}  // namespace
}  // namespace tarnovox
