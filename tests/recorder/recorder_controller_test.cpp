#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "formats/label_file.h"
#include "recorder/recorder_controller.h"
#include "recorder/time_of_day.h"
#include "tests/support/fake_capture_stream.h"
#include "tests/support/manual_clock.h"
#include "tests/support/recorder_doubles.h"
#include "tests/support/recorder_rig.h"
#include "tests/support/small_disk.h"
#include "tests/support/sound_check.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using namespace tarnovox::testing;

struct SettableDrive : DriveInfo {
  bool IsCdRom(const std::string&) const override { return cdrom; }
  bool cdrom = false;
};

struct ControllerRig : RecorderRig<ManualClock, SettableDrive> {
  ControllerRig() {
    std::filesystem::create_directory(dir.File("out"));
    settings.folder = dir.File("out");
    settings.format = OutputFormat::Wav;
    engine.OpenMonitoring("");
  }
  void Touch(std::initializer_list<std::string> names) {
    for (const std::string& name : names) dir.WriteText("out/" + name, "");
  }
};

TEST(RecorderController, NextRecordNameTakesTheFirstNumberFreeOfEveryTakeFormatOrSaysNoneIsLeft) {
  ControllerRig rig;
  rig.Touch({"record1.wav", "record2.mp3", "record3.wma"});
  ASSERT_TRUE(rig.controller.NextRecordName());
  EXPECT_EQ(rig.state.ActiveFileName, "record3.wav");
  EXPECT_EQ(rig.state.CurrentBaseName, "record3");
  EXPECT_EQ(rig.state.CurrentFile, rig.dir.File("out/record3.wav"));

  rig.Touch({"record3.wav", "record5.wav"});
  ASSERT_TRUE(rig.controller.NextRecordName());
  EXPECT_EQ(rig.state.ActiveFileName, "record4.wav");
  for (int n = 4; n <= 9; ++n) rig.Touch({"record" + std::to_string(n) + ".wav"});
  rig.controller.NextRecordName();
  EXPECT_EQ(rig.state.CurrentBaseName, "record10");
  // A link takes its name whether it points anywhere or not.
  std::filesystem::create_symlink("/nonexistent/gone.wav", rig.dir.File("out/record10.mp3"));
  std::filesystem::create_symlink("record1.wav", rig.dir.File("out/record11.wav"));
  rig.controller.NextRecordName();
  EXPECT_EQ(rig.state.CurrentBaseName, "record12");
  // FLAC and Opus takes hold numbers too, and are named by their own extension.
  rig.Touch({"record12.flac", "record13.opus"});
  for (const auto& [format, name] :
       {std::pair{OutputFormat::Opus, "record14.opus"}, {OutputFormat::Flac, "record14.flac"}}) {
    rig.settings.format = format;
    rig.controller.NextRecordName();
    EXPECT_EQ(rig.state.ActiveFileName, name);
  }
  rig.settings.format = OutputFormat::Wav;

  // All numbers taken: a message, and nothing is recorded.
  for (int n = 1; n <= 100000; ++n) rig.Touch({"record" + std::to_string(n) + (n % 2 ? ".wav" : ".mp3")});
  rig.controller.StartRecording();
  EXPECT_FALSE(rig.state.Recording());
  ASSERT_EQ(rig.messages.size(), 1u);
  EXPECT_NE(rig.messages[0].find("record100000"), std::string::npos);
  EXPECT_TRUE(rig.engine.MonitoringOpen());  // still monitoring
  EXPECT_FALSE(std::filesystem::exists(rig.dir.File("out/record100001.wav")));
}

TEST(RecorderController, WavRecordingRunsThroughTheModesAndTimesWithoutPauses) {
  ControllerRig rig;
  rig.playback.deviceOpen = true;
  rig.state.mode = RecorderMode::Playing;
  rig.controller.Execute(RecorderCommand::RecordWhenIdle);  // ignored while playing
  EXPECT_FALSE(rig.state.Recording());
  rig.controller.Execute(RecorderCommand::Record);  // F5 closes the playback and records
  EXPECT_EQ(rig.state.Mode(), RecorderMode::Recording);
  EXPECT_EQ(rig.playback.Count("ClosePlayback"), 1);

  rig.Ticks(15);
  EXPECT_EQ(rig.controller.Elapsed().count(), 1500);
  EXPECT_EQ(rig.state.DisplayedMs, 1500u);
  rig.controller.Execute(RecorderCommand::Record);  // F5 while recording does nothing
  rig.controller.Execute(RecorderCommand::Pause);
  EXPECT_EQ(rig.state.Mode(), RecorderMode::RecordingPaused);
  rig.clock.Advance(5000);
  rig.Ticks(10);  // paused: no poll, no time
  EXPECT_EQ(rig.controller.Elapsed().count(), 1500);
  rig.controller.TogglePause();
  rig.Ticks(10);
  EXPECT_EQ(rig.controller.Elapsed().count(), 2500);
  rig.controller.TogglePause();
  rig.state.StatusText = "Pause";
  rig.controller.Execute(RecorderCommand::Stop);  // stop from paused
  EXPECT_EQ(rig.state.Mode(), RecorderMode::Monitoring);
  EXPECT_TRUE(rig.state.StatusText.empty());
  EXPECT_EQ(rig.recordings.calls, (std::vector<std::string>{"Rescan", "ApplySort"}));
  EXPECT_EQ(rig.listChanges, 1);
}

// F8 marks only a running, unpaused take; the status shows "Mark N" for a
// second, and the numbers go on through the take.
TEST(RecorderController, MarksNumberThemselvesAndShowForASecondOnlyWhileRecording) {
  ControllerRig rig;
  int shown = 0;
  QObject::connect(&rig.controller, &RecorderController::markShown, [&] { ++shown; });
  rig.controller.Execute(RecorderCommand::Mark);  // monitoring: nothing
  rig.controller.Execute(RecorderCommand::Record);
  rig.Ticks(5);
  rig.controller.Execute(RecorderCommand::Mark);
  EXPECT_EQ(rig.state.ShownMark, 1);
  rig.Ticks(9);
  EXPECT_EQ(rig.state.ShownMark, 1);
  rig.Ticks(1);
  EXPECT_EQ(rig.state.ShownMark, 0);
  rig.controller.Execute(RecorderCommand::Pause);
  rig.controller.Execute(RecorderCommand::Mark);  // paused: nothing
  rig.controller.Execute(RecorderCommand::Pause);
  rig.Ticks(5);
  rig.controller.Execute(RecorderCommand::Mark);
  EXPECT_EQ(rig.state.ShownMark, 2);
  rig.controller.Execute(RecorderCommand::Stop);
  rig.Ticks(1);
  EXPECT_EQ(rig.state.ShownMark, 0);
  EXPECT_EQ(shown, 4);
  const std::vector<Label> labels = ReadLabelFile(rig.dir.File("out/record1.labels.txt"));
  ASSERT_EQ(labels.size(), 2u);
  EXPECT_EQ(labels[0].text, "Mark 1");
  EXPECT_EQ(labels[1].text, "Mark 2");
  EXPECT_NEAR(labels[0].seconds, 0.5, 0.0001);
  EXPECT_NEAR(labels[1].seconds, 2.0, 0.0001);  // the paused stretch is not counted
}

// StopAfter=2 with a pause of 1 s after 0.5 s: the take ends by itself as Stop
// would, holding exactly 2 s of sound, every frame once.
TEST(RecorderController, ATimedTakeEndsItselfAtItsLengthNotCountingThePause) {
  ControllerRig rig;
  rig.settings.stopAfterSeconds = 2;
  int stops = 0;
  QObject::connect(&rig.controller, &RecorderController::stopped, [&] { ++stops; });
  // Reads of 130 ms, as a server's do not fall on the second either.
  const auto reads = [&](int n) {
    for (int i = 0; i < n; ++i) {
      rig.clock.Advance(130);
      rig.device.Advance(130);
      rig.engine.Pump();
      rig.controller.Tick();
    }
  };
  rig.controller.Execute(RecorderCommand::Record);
  reads(4);
  rig.controller.Execute(RecorderCommand::Pause);
  reads(8);
  rig.controller.Execute(RecorderCommand::Pause);
  reads(11);  // 1.95 s recorded
  EXPECT_TRUE(rig.state.Recording()) << "ended before its 2 s";
  reads(1);
  EXPECT_EQ(rig.state.Mode(), RecorderMode::Monitoring);
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(rig.listChanges, 1);
  EXPECT_TRUE(rig.engine.MonitoringOpen());
  ExpectCounterTake(rig.dir.Read("out/record1.wav"), 0, 88200);  // the stopped stream made nothing meanwhile
  EXPECT_TRUE(rig.messages.empty()) << rig.messages[0];

  rig.settings.stopAfterSeconds = 0;  // off: the next take runs until Stop
  rig.controller.Execute(RecorderCommand::Record);
  rig.Ticks(40);
  EXPECT_TRUE(rig.state.Recording());
}

// SplitEvery=1 over 2.7 s of sound with a pause inside the second part: the
// take goes on in the next free names (record2 is taken), each part a whole
// WAV of exactly one second, the frames running on across the cuts; the list
// is told of each finished part and the status names the file being written.
TEST(RecorderController, ATakeInPartsCutsAtTheExactFrameIntoTheNextFreeFiles) {
  ControllerRig rig;
  rig.settings.splitEverySeconds = 1;
  rig.Touch({"record2.mp3"});
  rig.controller.Execute(RecorderCommand::Record);
  rig.Ticks(13);
  EXPECT_EQ(rig.state.ActiveFileName, "record3.wav");
  EXPECT_EQ(rig.listChanges, 1);
  rig.controller.Execute(RecorderCommand::Pause);
  rig.Ticks(5);
  rig.controller.Execute(RecorderCommand::Pause);
  rig.Ticks(14);
  EXPECT_EQ(rig.state.ActiveFileName, "record4.wav");
  EXPECT_EQ(rig.listChanges, 2);
  rig.controller.Execute(RecorderCommand::Stop);
  EXPECT_EQ(rig.listChanges, 3);
  EXPECT_TRUE(rig.messages.empty()) << rig.messages[0];

  uint32_t first = 0;
  for (const auto& [name, frames] : std::vector<std::pair<std::string, uint32_t>>{
           {"record1.wav", 44100}, {"record3.wav", 44100}, {"record4.wav", 30870}}) {
    SCOPED_TRACE(name);
    ExpectCounterTake(rig.dir.Read("out/" + name), first, frames);
    first += frames;
  }
  EXPECT_FALSE(std::filesystem::exists(rig.dir.File("out/record5.wav")));
}

// `--record --at 22:00 --for 5s` at 21:59:30 local time: the status tells the
// start, the take begins on the tick that reaches 22:00 and holds 5 s exactly;
// the next take has no limit again. A later `--at` is cancelled by Stop, and
// a time already past today is tomorrow's.
TEST(RecorderController, AStartAtATimeOfDayWaitsForItAndStopCancelsIt) {
  setenv("TZ", "UTC", 1);
  tzset();
  ControllerRig rig;
  const auto wall = std::chrono::system_clock::from_time_t(1796680770);  // 2026-12-07 21:59:30
  rig.clock.SetWall(wall);
  EXPECT_EQ(NextTimeOfDay(21 * 60 + 59, wall) - wall, std::chrono::seconds(24 * 3600 - 30));
  int modeChanges = 0;
  QObject::connect(&rig.controller, &RecorderController::modeChanged, [&] { ++modeChanges; });
  rig.controller.RecordTimed({5, 22 * 60});
  EXPECT_EQ(rig.state.ArmedText, "Recording at 22:00");
  EXPECT_EQ(modeChanges, 1);
  rig.Ticks(299);
  EXPECT_FALSE(rig.state.Recording());
  rig.Ticks(1);
  ASSERT_TRUE(rig.state.Recording());
  EXPECT_EQ(rig.state.ArmedText, "");
  rig.Ticks(60);
  EXPECT_FALSE(rig.state.Recording());
  EXPECT_EQ(rig.dir.Read("out/record1.wav").size(), 44u + 5 * 176400);

  rig.controller.Execute(RecorderCommand::Record);  // F5: StopAfter is off in the settings
  rig.Ticks(70);
  EXPECT_TRUE(rig.state.Recording());
  rig.controller.Execute(RecorderCommand::Stop);

  rig.controller.RecordTimed({0, 22 * 60 + 1});
  EXPECT_EQ(rig.state.ArmedText, "Recording at 22:01");
  rig.controller.Execute(RecorderCommand::Stop);
  EXPECT_EQ(rig.state.ArmedText, "");
  rig.Ticks(600);
  EXPECT_FALSE(rig.state.Recording());
  EXPECT_FALSE(std::filesystem::exists(rig.dir.File("out/record3.wav")));
  EXPECT_TRUE(rig.messages.empty()) << rig.messages[0];
}

// StartLevel=-30 with PreRecord=1: Record arms (time 0, F7 ignored) and
// Stop while armed leaves no file; armed again, the take begins at the
// first sound with the second before it and shows its sound as time.
TEST(RecorderController, AStartLevelArmsUntilSoundAndAStopWhileArmedLeavesNoFile) {
  ControllerRig rig;
  uint64_t onset = ~uint64_t{0};
  // The left channel numbers the frame (quietly), the right one is sound from `onset` on.
  SetNumberedSound(rig.device, [&onset](uint64_t frame) { return frame >= onset; }, 9000);
  rig.settings.preRecordSeconds = 1;
  rig.settings.startLevelDb = -30;
  rig.Ticks(1);  // monitoring reopens keeping a second
  EXPECT_EQ(rig.engine.PreRecordFrames(), 44100u);
  rig.controller.Execute(RecorderCommand::Record);
  EXPECT_EQ(rig.state.wait, TakeWait::ForSound);
  rig.Ticks(10);
  rig.controller.Execute(RecorderCommand::Pause);
  EXPECT_EQ(rig.state.Mode(), RecorderMode::Recording);
  EXPECT_EQ(rig.state.DisplayedMs, 0u);
  rig.controller.Execute(RecorderCommand::Stop);
  EXPECT_EQ(rig.state.Mode(), RecorderMode::Monitoring);
  EXPECT_EQ(rig.state.wait, TakeWait::None);
  EXPECT_TRUE(std::filesystem::is_empty(rig.dir.File("out")));

  rig.controller.Execute(RecorderCommand::Record);
  onset = rig.device.FramesGenerated() + 2 * 44100 + 123;
  rig.Ticks(25);
  EXPECT_EQ(rig.state.wait, TakeWait::None);
  rig.controller.Execute(RecorderCommand::Stop);
  const auto file = rig.dir.Read("out/record1.wav");
  const uint64_t frames = rig.device.FramesGenerated() - (onset - 44100);
  ASSERT_EQ(file.size(), 44 + 4 * frames);
  EXPECT_EQ(NumberedRun(file, 0, onset - 44100), frames);
  EXPECT_NEAR(rig.controller.Elapsed().count(), 1000.0 + 500 - 123 * 1000.0 / 44100, 101);
  EXPECT_TRUE(rig.messages.empty()) << rig.messages[0];
}

TEST(RecorderController, PauseWithNothingRunningAndTheCdRomAreRefused) {
  ControllerRig rig;
  rig.controller.TogglePause();
  EXPECT_FALSE(rig.state.Paused());
  rig.drive.cdrom = true;
  rig.state.mode = RecorderMode::Playing;
  rig.controller.Execute(RecorderCommand::Record);
  EXPECT_EQ(rig.messages, std::vector<std::string>{"Can not save to CDROM drive"});
  EXPECT_TRUE(rig.state.Playing());  // playback not interrupted
  EXPECT_FALSE(rig.state.Recording());
  EXPECT_TRUE(std::filesystem::is_empty(rig.dir.File("out")));
}

TEST(RecorderController, DeviceOrFileFailuresGoBackToMonitoring) {
  ControllerRig rig;
  rig.device.FailNextOpen(2);
  rig.controller.StartRecording();
  EXPECT_EQ(rig.messages, std::vector<std::string>{"Simulated device error 2"});
  EXPECT_FALSE(rig.state.Recording());
  EXPECT_TRUE(rig.engine.MonitoringOpen());  // monitoring reopened, meters keep moving
  EXPECT_TRUE(std::filesystem::is_empty(rig.dir.File("out")));

  rig.settings.folder = rig.dir.File("out/missing");
  rig.controller.StartRecording();
  EXPECT_FALSE(rig.state.Recording());
  EXPECT_TRUE(rig.engine.MonitoringOpen());
  EXPECT_EQ(rig.messages.back(),
            "Cannot create file \"" + rig.dir.File("out/missing/record1.wav") + "\". No such file or directory");
  EXPECT_TRUE(std::filesystem::is_empty(rig.dir.File("out")));

  // After an MP3 take that could not start (what it leaves behind is
  // Mp3Take.StartFailuresRecordNothing's), the next Record records.
  rig.settings.folder = rig.dir.File("out");
  rig.settings.format = OutputFormat::Mp3;
  rig.lame.loadFails = true;
  rig.controller.StartRecording();
  rig.Ticks(3);
  EXPECT_EQ(rig.messages.back(), "Lame_enc.dll did not found");
  rig.lame.loadFails = false;
  rig.controller.StartRecording();
  rig.Ticks(3);
  rig.controller.TogglePause();
  rig.controller.StopAll();
  EXPECT_FALSE(rig.state.Recording());
  EXPECT_FALSE(rig.mp3Stream.IsOpen());
  EXPECT_TRUE(rig.engine.MonitoringOpen());
  EXPECT_EQ(rig.lame.encodes, (3 * 4410 * 2 + 2303) / 2304);  // the last chunk short, at Stop
  EXPECT_EQ(rig.lame.deinits, 1);
  EXPECT_TRUE(rig.lame.openStreams.empty());
  EXPECT_EQ(rig.lame.loads, rig.lame.frees);
  EXPECT_EQ(std::filesystem::file_size(rig.dir.File("out/record1.mp3")),
            rig.lame.encodes * rig.lame.bytesPerEncode + rig.lame.flushBytes);
}

TEST(RecorderController, ALostSoundServerEndsTheRecordingKeepingWhatWasCaptured) {
  ControllerRig rig;
  rig.controller.StartRecording();
  rig.Ticks(25);
  rig.device.Lose(7);
  rig.Ticks(1);
  EXPECT_EQ(rig.messages, std::vector<std::string>{"Simulated device error 7"});
  EXPECT_EQ(rig.state.Mode(), RecorderMode::Monitoring);
  EXPECT_FALSE(rig.engine.MonitoringOpen());
  ExpectCounterTake(rig.dir.Read("out/record1.wav"), 0, 25 * 4410);  // the half on disk and the five buffers after it
  EXPECT_EQ(rig.recordings.Count("Rescan"), 1);

  // Reopening is retried quietly while the server is away.
  rig.device.FailNextOpen(7);
  rig.Ticks(RecorderController::kReopenTicks);
  EXPECT_FALSE(rig.engine.MonitoringOpen());
  EXPECT_EQ(rig.messages.size(), 1u);
}

TEST(RecorderController, AMissingInputIsToldAtStartUpAndRecordAndMonitoringFollowsTheChoice) {
  ControllerRig rig;
  rig.engine.CloseMonitoring();
  rig.settings.inputSource = "usb-mic";
  rig.device.missingSources = {"usb-mic"};
  ASSERT_TRUE(rig.controller.OpenDevices());  // as at start-up
  const std::string told = "The input \"usb-mic\" is not available. Recording from the default input.";
  EXPECT_EQ(rig.messages, std::vector<std::string>{told});
  EXPECT_EQ(rig.device.OpenedSource(), "");
  rig.controller.StartRecording();
  rig.Ticks(25);
  rig.controller.StopAll();
  // Told again at Record, not when Stop reopens monitoring; the take is whole.
  EXPECT_EQ(rig.messages, (std::vector<std::string>{told, told}));
  ExpectCounterTake(rig.dir.Read("out/record1.wav"), 0, 25 * 4410);

  // Another input chosen: monitoring moves to it at the next tick; a recording
  // keeps the input it began with.
  rig.device.missingSources.clear();
  rig.settings.inputSource = "line-in";
  rig.Ticks(1);
  EXPECT_EQ(rig.device.OpenedSource(), "line-in");
  rig.controller.StartRecording();
  rig.settings.inputSource = "usb-mic";
  rig.Ticks(2);
  EXPECT_EQ(rig.device.OpenedSource(), "line-in");
  rig.controller.StopAll();
  EXPECT_EQ(rig.device.OpenedSource(), "usb-mic");
  EXPECT_EQ(rig.messages.size(), 2u);
}

TEST(RecorderController, AnInputUnpluggedDuringATakeEndsItAndMonitoringGoesOnFromTheDefault) {
  for (const OutputFormat format : {OutputFormat::Wav, OutputFormat::Mp3}) {
    SCOPED_TRACE(format == OutputFormat::Wav ? "WAV" : "MP3");
    ControllerRig rig;
    rig.engine.CloseMonitoring();
    rig.settings.inputSource = "usb-mic";
    rig.settings.format = format;
    ASSERT_TRUE(rig.controller.OpenDevices());
    rig.controller.Execute(RecorderCommand::Record);
    rig.Ticks(10);
    rig.device.RemoveInput(9);
    if (format == OutputFormat::Mp3) rig.mp3Stream.RemoveInput(9);
    rig.Ticks(1);
    const std::vector<std::string> told = {
        "The input \"usb-mic\" was disconnected. The recording was ended; it keeps what was recorded."};
    EXPECT_EQ(rig.messages, told);
    EXPECT_FALSE(rig.state.Recording());
    EXPECT_FALSE(rig.mp3Stream.IsOpen());
    EXPECT_TRUE(rig.engine.MonitoringOpen());
    EXPECT_EQ(rig.device.OpenedSource(), "");  // the default input
    EXPECT_EQ(rig.settings.inputSource, "usb-mic");
    if (format == OutputFormat::Wav) ExpectCounterTake(rig.dir.Read("out/record1.wav"), 0, 10 * 4410);
    rig.Ticks(20);  // nothing more is said while it stays away
    rig.device.missingSources.clear();
    rig.Ticks(1);  // plugged in again: monitoring goes back to it
    EXPECT_EQ(rig.device.OpenedSource(), "usb-mic");
    EXPECT_EQ(rig.messages, told);
  }
}

TEST(RecorderController, ANameTakenBeforeTheFileIsCreatedMovesOnAndTruncatesNothing) {
  ControllerRig rig;
  // Another program creates record1.wav after the name was chosen, while the
  // take's stream opens, and links that point nowhere take the next names.
  rig.device.onOpen = [&] {
    if (std::filesystem::exists(rig.dir.File("out/record1.wav"))) return;
    rig.dir.WriteText("out/record1.wav", "another program's take");
    std::filesystem::create_symlink("/nonexistent/gone.wav", rig.dir.File("out/record2.wav"));
    std::filesystem::create_symlink("/nonexistent/gone.mp3", rig.dir.File("out/record3.mp3"));
  };
  rig.controller.Execute(RecorderCommand::Record);
  ASSERT_TRUE(rig.state.Recording()) << (rig.messages.empty() ? "" : rig.messages[0]);
  EXPECT_EQ(rig.state.CurrentFile, rig.dir.File("out/record4.wav"));
  EXPECT_EQ(rig.state.ActiveFileName, "record4.wav");
  rig.Ticks(25);
  rig.controller.Execute(RecorderCommand::Stop);
  EXPECT_EQ(rig.dir.ReadText("out/record1.wav"), "another program's take");
  EXPECT_TRUE(ReadWav(rig.dir.Read("out/record4.wav")).sizesMatch);
  EXPECT_TRUE(std::filesystem::is_symlink(rig.dir.File("out/record2.wav")));
  EXPECT_FALSE(std::filesystem::exists(rig.dir.File("out/record2.wav")));
}

TEST(RecorderController, SoundLostWhileTheComputerWasBusyIsShownAndToldAfterStop) {
  ControllerRig rig;
  rig.device.SetBufferMs(1000);
  rig.controller.Execute(RecorderCommand::Record);
  rig.Ticks(5);
  rig.clock.Advance(6400);
  rig.device.Advance(6400);  // the capture thread held 6.4 s: the stream keeps 1 s of it
  rig.engine.Pump();
  rig.Ticks(1);
  EXPECT_EQ(rig.state.LostMs, 5400u);
  EXPECT_TRUE(rig.messages.empty());  // shown in the status line while recording
  rig.controller.Execute(RecorderCommand::Stop);
  EXPECT_EQ(rig.messages,
            std::vector<std::string>{"5.4 seconds of sound were lost because the computer was too busy."});
  const auto file = rig.dir.Read("out/record1.wav");
  EXPECT_EQ(file.size(), 44u + (5 + 10 + 1) * 17640);
  EXPECT_EQ(FakeCaptureStream::ConsecutiveFrames(file, 0), (5 + 10) * 4410u);
}

TEST(RecorderController, AFullDiskEndsTheTakeWithAMatchingHeaderAndOneMessage) {
  struct Case {
    const char* when;
    int ticks;
    int unreadMs;  // captured but not yet read when the command comes
    bool pause;
  };
  // 100 KiB left: 0.5 s fits; the next read while recording does not, nor a
  // second written by a pause, nor 1.5 s written at Stop.
  for (const Case c : {Case{"while recording", 50, 0, false}, Case{"during a pause", 5, 1000, true},
                       Case{"at stop", 5, 1500, false}}) {
    SCOPED_TRACE(c.when);
    SmallDisk disk;
    if (!disk.Available()) GTEST_SKIP() << "needs root to mount a small file system";
    ControllerRig rig;
    rig.settings.folder = disk.Path();
    const std::string other(5000, 'o');
    std::ofstream(disk.File("interview.mp3"), std::ios::binary) << other;
    disk.Leave(100 * 1024);
    rig.controller.Execute(RecorderCommand::Record);
    rig.Ticks(c.ticks);
    rig.device.Advance(c.unreadMs);
    if (c.pause) rig.controller.Execute(RecorderCommand::Pause);
    rig.controller.Execute(RecorderCommand::Stop);
    ASSERT_EQ(rig.messages.size(), 1u);
    EXPECT_EQ(rig.messages[0], "Stream write error. No space left on device");
    EXPECT_EQ(rig.state.Mode(), RecorderMode::Monitoring);
    EXPECT_TRUE(rig.engine.MonitoringOpen());
    const auto file = ReadFileBytes(disk.File("record1.wav"));
    const WavOnDisk wav = ReadWav(file);
    EXPECT_TRUE(wav.sizesMatch);
    EXPECT_EQ(wav.dataBytes % 4, 0u);
    EXPECT_GT(wav.dataBytes, 80u * 1024);  // what fitted is kept: the first frames, in order
    EXPECT_EQ(FakeCaptureStream::ConsecutiveFrames(file, 0), wav.dataBytes / 4);
    EXPECT_EQ(ReadFileText(disk.File("interview.mp3")), other);
  }
}

// The server goes away while the disk is full: what was captured last cannot
// be written. Both are told, the file's failure with its name, and the WAV
// header still matches what reached the disk.
TEST(RecorderController, AWriteFailureAtALostServerIsToldWithTheFileName) {
  for (const OutputFormat format : {OutputFormat::Wav, OutputFormat::Mp3}) {
    SCOPED_TRACE(format == OutputFormat::Wav ? "WAV" : "MP3");
    SmallDisk disk;
    if (!disk.Available()) GTEST_SKIP() << "needs root to mount a small file system";
    ControllerRig rig;
    rig.settings.folder = disk.Path();
    rig.settings.format = format;
    rig.lame.bytesPerEncode = 4000;
    disk.Leave(100 * 1024);
    rig.controller.Execute(RecorderCommand::Record);
    ASSERT_TRUE(rig.state.Recording());
    rig.Ticks(5);
    FakeCaptureStream& take = format == OutputFormat::Wav ? rig.device : rig.mp3Stream;
    take.Advance(1500);  // captured, not yet written, when the server goes
    rig.device.Lose(7);
    rig.mp3Stream.Lose(7);
    rig.Ticks(1);
    EXPECT_FALSE(rig.state.Recording());
    const std::string file = disk.File(format == OutputFormat::Wav ? "record1.wav" : "record1.mp3");
    EXPECT_EQ(rig.messages, (std::vector<std::string>{
                                "Simulated device error 7",
                                "The recording \"" + file + "\" could not be completely written. "
                                "Stream write error. No space left on device"}));
    if (format == OutputFormat::Wav) {
      EXPECT_TRUE(ReadWav(ReadFileBytes(file)).sizesMatch);
    }
  }
}

// The question before it, that No records on without a gap and that the
// settings are saved, the program scenario "close" shows.
TEST(RecorderController, ShutDownEndsTheTakeClosesWhatItOpenedAndStartsNothingAfter) {
  ControllerRig rig;
  rig.controller.StartRecording();
  rig.Ticks(5);
  rig.device.Advance(50);  // captured after the last tick: part of the take
  EXPECT_EQ(rig.controller.ShutDown(), "");
  EXPECT_FALSE(rig.state.Recording());
  EXPECT_FALSE(rig.engine.MonitoringOpen());
  EXPECT_FALSE(rig.device.IsOpen());
  EXPECT_EQ(rig.shell.Count("CloseMixerWindows"), 1);
  EXPECT_EQ(rig.playback.Count("CloseVolume"), 1);
  ExpectCounterTake(rig.dir.Read("out/record1.wav"), 0, 5 * 4410 + 2205);
  EXPECT_TRUE(std::filesystem::exists(rig.dir.File("tarnovox.INI")));

  // A key or command that arrives while the last message is open starts nothing.
  rig.controller.Execute(RecorderCommand::Record);
  rig.Ticks(3);
  EXPECT_FALSE(rig.state.Recording());
  EXPECT_FALSE(rig.device.IsOpen());
  EXPECT_FALSE(std::filesystem::exists(rig.dir.File("out/record2.wav")));
}

TEST(RecorderController, StartUpFallsBackToATempFolderAndMakesItCurrent) {
  ControllerRig rig;
  rig.engine.CloseMonitoring();
  rig.dir.WriteText("tarnovox.INI", "[Folder]\nName=" + rig.dir.File("gone") + "\n");
  ASSERT_TRUE(rig.controller.StartUp({rig.dir.Path(), true, rig.dir.File("music")}));
  EXPECT_EQ(rig.settings.folder, rig.dir.File("Temp"));
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(rig.dir.File("Temp")));
  EXPECT_TRUE(rig.engine.MonitoringOpen());
  EXPECT_EQ(rig.playback.calls, (std::vector<std::string>{"OpenVolume", "ReadVolume"}));
  EXPECT_EQ(rig.recordings.calls, std::vector<std::string>{"SortColumnForSort"});

  ControllerRig readOnly;
  readOnly.engine.CloseMonitoring();
  ASSERT_TRUE(readOnly.controller.StartUp({"/proc", false, readOnly.dir.File("Music")}));
  EXPECT_EQ(readOnly.settings.folder, readOnly.dir.File("Music/Tarnovox"));

  ControllerRig blocked;
  blocked.dir.WriteText("Temp", "a file where the folder should be");
  EXPECT_FALSE(blocked.controller.StartUp({blocked.dir.Path(), true, ""}));
  EXPECT_EQ(blocked.messages, std::vector<std::string>{"Can not create " + blocked.dir.File("Temp")});
  std::filesystem::current_path("/");
}

}  // namespace
}  // namespace tarnovox
