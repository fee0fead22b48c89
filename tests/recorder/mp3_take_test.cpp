// MP3 takes through the recorder on virtual-time capture streams and the
// scripted encoder library: chunks are encoded in the order they were
// captured, pauses and Stop lose nothing, and every failure ends cleanly with
// its message, the stream closed once and the library released.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/formats/mp3_probe.h"
#include "tests/support/manual_clock.h"
#include "tests/support/recorder_rig.h"
#include "tests/support/small_disk.h"

namespace tarnovox {
namespace {

using namespace tarnovox::testing;

template <typename Library = FakeLameLibrary>
struct Mp3Rig : RecorderRig<ManualClock, StatfsDriveInfo, FakeRecordings, Library> {
  Mp3Rig() {
    this->settings.folder = this->dir.Path();
    this->settings.format = OutputFormat::Mp3;
    this->engine.OpenMonitoring("");
  }
  std::string File() const { return this->state.CurrentFile; }
  uintmax_t FileSize() const { return std::filesystem::file_size(File()); }
  // The take is over: its stream closed, every encoder stream closed once and
  // never used after, the library released; monitoring goes on.
  void ExpectEnded(size_t streams = 1) const {
    EXPECT_FALSE(this->state.Recording());
    EXPECT_FALSE(this->mp3Stream.IsOpen());
    EXPECT_TRUE(this->engine.MonitoringOpen());
    EXPECT_TRUE(this->lame.openStreams.empty());
    EXPECT_EQ(this->lame.closedStreams.size(), streams);
    EXPECT_EQ(this->lame.callsOnClosedStreams, 0);
    EXPECT_EQ(this->lame.loads, this->lame.frees);
  }
  // The counter generator puts the frame number in the first channel, so each
  // chunk must start where the previous one ended, and every frame captured
  // must have been encoded.
  void ExpectEveryFrameEncodedInOrder() const {
    uint64_t frames = 0;
    for (size_t i = 0; i < this->lame.encodedCounts.size(); ++i) {
      ASSERT_EQ(this->lame.firstSamples[i], static_cast<uint16_t>(frames)) << "chunk " << i;
      frames += this->lame.encodedCounts[i] / 2;
    }
    EXPECT_EQ(frames, this->mp3Stream.FramesGenerated());
  }
  // Every chunk and the flush reached the file.
  void ExpectEveryChunkWritten() const {
    EXPECT_EQ(FileSize(), this->lame.encodedCounts.size() * this->lame.bytesPerEncode + this->lame.flushBytes);
  }
};

TEST(Mp3Take, EncodesEveryFrameInOrderThroughPausesAndStop) {
  Mp3Rig rig;
  rig.settings.sampleRate = 11025;
  rig.settings.bitsPerSample = 8;
  rig.controller.StartRecording();
  ASSERT_TRUE(rig.state.Recording());
  EXPECT_EQ(rig.settings.bitsPerSample, 16);
  EXPECT_EQ(rig.mp3Stream.OpenedFormat(), PcmFormat{});  // 44100 Hz 16-bit stereo
  for (int cycle = 0; cycle < 45; ++cycle) {
    rig.Ticks(3);
    rig.mp3Stream.DeliverFrames(1000);  // captured after the last read
    rig.controller.TogglePause();
    rig.controller.TogglePause();
  }
  rig.mp3Stream.DeliverFrames(700);  // after the last tick: must still reach the file
  rig.controller.StopAll();
  rig.ExpectEnded();
  EXPECT_EQ(rig.mp3Stream.OverrunFrames(), 0u);
  rig.ExpectEveryFrameEncodedInOrder();
  EXPECT_EQ(rig.lame.deinits, 1);
  rig.ExpectEveryChunkWritten();
}

// Mono from a missing input: the default input records and the user is told.
TEST(Mp3Take, MonoModeCapturesOneChannelFromTheDefaultInputWhenTheChosenOneIsMissing) {
  Mp3Rig rig;
  rig.lame.samplesPerChunk = 1152;
  rig.settings.channelMode = ChannelMode::Mono;
  rig.settings.inputSource = "@DEFAULT_MONITOR@";
  rig.mp3Stream.missingSources = {"@DEFAULT_MONITOR@"};
  rig.controller.StartRecording();
  EXPECT_TRUE(rig.state.Recording());
  EXPECT_EQ(rig.mp3Stream.OpenedSource(), "");
  EXPECT_EQ(rig.messages, std::vector<std::string>{
                              "The input \"@DEFAULT_MONITOR@\" is not available. Recording from the default input."});
  EXPECT_EQ(rig.mp3Stream.OpenedFormat(), (PcmFormat{44100, 1, 16}));
  EXPECT_EQ(rig.lame.lastConfig.nMode, 3);
  rig.Ticks(2);
  rig.controller.StopAll();
  EXPECT_GT(rig.FileSize(), 0u);
  for (uint32_t count : rig.lame.encodedCounts) EXPECT_LE(count, 1152u);
}

TEST(Mp3Take, StartFailuresRecordNothing) {
  struct Case {
    const char* name;
    std::function<void(FakeLameLibrary&, FakeCaptureStream&)> script;
    std::string message;
  };
  const Case cases[] = {
      {"library missing", [](FakeLameLibrary& l, FakeCaptureStream&) { l.loadFails = true; },
       "Lame_enc.dll did not found"},
      {"entry point missing", [](FakeLameLibrary& l, FakeCaptureStream&) { l.missingSymbols = {"beDeinitStream"}; },
       "Lame_enc.dll did not found"},
      {"init fails", [](FakeLameLibrary& l, FakeCaptureStream&) { l.initResult = 2; }, "BE_ERR code-2"},
      {"stream does not open", [](FakeLameLibrary&, FakeCaptureStream& w) { w.FailNextOpen(4); },
       "Simulated device error 4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Mp3Rig rig;
    c.script(rig.lame, rig.mp3Stream);
    rig.controller.StartRecording();
    EXPECT_EQ(rig.messages, std::vector<std::string>{c.message});
    EXPECT_FALSE(std::filesystem::exists(rig.File()));
    rig.ExpectEnded(rig.lame.inits > 0 && rig.lame.initResult == 0 ? 1u : 0u);
    EXPECT_EQ(rig.lame.loadedNames, std::vector<std::string>{"liblame_enc.so"});
  }
}

TEST(Mp3Take, EncoderFailuresEndTheTakeCleanly) {
  {
    SCOPED_TRACE("encode fails on the third chunk");
    Mp3Rig rig;
    rig.lame.encodeResult = 5;
    rig.lame.encodeFailsAtCall = 3;
    rig.controller.StartRecording();
    rig.Ticks(3);
    EXPECT_EQ(rig.messages, std::vector<std::string>{"BE_ERR code-5"});
    rig.ExpectEnded();
    EXPECT_EQ(rig.FileSize(), 2 * rig.lame.bytesPerEncode);
    EXPECT_EQ(rig.listChanges, 1);
    rig.Ticks(2);
    rig.controller.StopAll();
    EXPECT_EQ(rig.lame.encodes, 3);
    EXPECT_EQ(rig.messages.size(), 1u);
  }
  for (bool deinitFails : {true, false}) {
    SCOPED_TRACE(deinitFails ? "flush fails" : "close fails");
    Mp3Rig rig;
    (deinitFails ? rig.lame.deinitResult : rig.lame.closeResult) = 0xFFFFFFFFu;
    rig.controller.StartRecording();
    rig.Ticks(1);
    rig.controller.StopAll();
    EXPECT_EQ(rig.messages, std::vector<std::string>{"BE_ERR code-4294967295"});
    rig.ExpectEnded();
    EXPECT_EQ(rig.FileSize(), rig.lame.encodes * rig.lame.bytesPerEncode + (deinitFails ? 0 : rig.lame.flushBytes));
  }
}

TEST(Mp3Take, ALostCaptureStreamEndsTheFileWithEverythingCapturedAndSaysWhy) {
  Mp3Rig rig;
  rig.controller.StartRecording();
  rig.Ticks(10);
  rig.mp3Stream.DeliverFrames(3000);
  rig.mp3Stream.Lose(11);
  rig.Ticks(1);
  EXPECT_EQ(rig.messages, std::vector<std::string>{"Simulated device error 11"});
  rig.ExpectEnded();
  rig.ExpectEveryFrameEncodedInOrder();  // nothing that arrived is missing
  rig.ExpectEveryChunkWritten();
}

// SplitEvery=1 over 2.5 s: three files, each a whole encoder stream of its
// own (flushed and closed before the next begins); the last chunk of a part
// is cut at its exact frame and the next part's first chunk goes on from it.
TEST(Mp3Take, ATakeInPartsGivesEachFileAFreshEncoderStream) {
  Mp3Rig rig;
  rig.settings.splitEverySeconds = 1;
  rig.controller.StartRecording();
  rig.Ticks(25);
  rig.controller.StopAll();
  rig.ExpectEnded(3);
  EXPECT_EQ(rig.lame.inits, 3);
  EXPECT_EQ(rig.lame.deinits, 3);
  EXPECT_EQ(rig.lame.loads, 1);
  // 88200 samples per second: 38 chunks of 2304 and one of 648.
  const auto& counts = rig.lame.encodedCounts;
  ASSERT_GE(counts.size(), 80u);
  EXPECT_EQ(counts[38], 648u);
  EXPECT_EQ(counts[77], 648u);
  rig.ExpectEveryFrameEncodedInOrder();
  for (const char* name : {"record1.mp3", "record2.mp3"}) {
    EXPECT_EQ(std::filesystem::file_size(rig.dir.File(name)), 39 * rig.lame.bytesPerEncode + rig.lame.flushBytes);
  }
  EXPECT_EQ(rig.state.ActiveFileName, "record3.mp3");
  EXPECT_TRUE(rig.messages.empty()) << rig.messages[0];
}

TEST(Mp3Take, ANameTakenMeanwhileMovesOnWithoutTruncatingIt) {
  Mp3Rig rig;
  // Another program creates record1.mp3 while the take's stream opens.
  rig.mp3Stream.onOpen = [&] { rig.dir.WriteText("record1.mp3", "someone else's"); };
  rig.controller.StartRecording();
  EXPECT_EQ(rig.state.ActiveFileName, "record2.mp3");
  rig.Ticks(2);
  rig.controller.StopAll();
  EXPECT_EQ(rig.dir.ReadText("record1.mp3"), "someone else's");
  EXPECT_GT(std::filesystem::file_size(rig.dir.File("record2.mp3")), 0u);
}

TEST(Mp3Take, AFullDiskEndsTheFileOnAWholeFrameWithOneMessage) {
  SmallDisk disk;
  if (!disk.Available()) GTEST_SKIP() << "needs root to mount a small file system";
  const std::string other(3000, 'k');
  std::ofstream(disk.File("keep.wav"), std::ios::binary) << other;
  disk.Leave(40 * 1024);  // about 2.5 s at 128 kbit/s
  Mp3Rig<DlopenLoader> rig;  // the real encoder: its frames are what must stay whole
  rig.settings.folder = disk.Path();
  rig.mp3Stream.SetGenerator([](uint64_t frame, const PcmFormat&, uint8_t* out) {
    const int16_t v = static_cast<int16_t>(8000 * std::sin(frame * 2 * M_PI * 1000 / 44100));
    std::memcpy(out, &v, 2);
    std::memcpy(out + 2, &v, 2);
  });
  rig.controller.StartRecording();
  ASSERT_TRUE(rig.state.Recording());
  for (int tick = 0; tick < 100 && rig.state.Recording(); ++tick) rig.Ticks(1);
  EXPECT_FALSE(rig.state.Recording());
  EXPECT_FALSE(rig.mp3Stream.IsOpen());
  EXPECT_EQ(rig.messages, std::vector<std::string>{"Stream write error. No space left on device"});
  const auto frames = ReadFrameHeaders(rig.File());
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(frames.back().end, rig.FileSize());
  const auto decoded = DecodeMp3(rig.File());
  EXPECT_GT(decoded.Seconds(), 2.0);
  EXPECT_EQ(ReadFileText(disk.File("keep.wav")), other);
}

}  // namespace
}  // namespace tarnovox
