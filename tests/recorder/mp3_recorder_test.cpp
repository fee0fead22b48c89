// Mp3Recorder on the virtual-time capture device: buffers are encoded in the
// order they were filled, pauses and Stop lose nothing, and every failure ends
// cleanly with its message, the stream closed once and the library released.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "recorder/mp3_recorder.h"
#include "tests/formats/mp3_probe.h"
#include "tests/support/fake_lame_library.h"
#include "tests/support/fake_wave_in.h"
#include "tests/support/scripted_ui_hooks.h"
#include "tests/support/small_disk.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using namespace tarnovox::testing;

struct Rig {
  FakeWaveIn wave;
  RecordSettings settings;
  RecorderState state;
  testing::ScriptedUiHooks ui;
  testing::TempFolder folder;
  std::unique_ptr<Mp3Recorder> recorder;
  explicit Rig(DynamicLibraryLoader& loader) {
    state.CurrentFile = folder.File("record1.mp3");
    recorder = std::make_unique<Mp3Recorder>(wave, loader, settings, state, ui);
  }
  void Ticks(int count) {
    for (int i = 0; i < count; ++i) {
      wave.Advance(100);
      recorder->EncodeFilledBuffers();
    }
  }
  uintmax_t FileSize() const { return std::filesystem::file_size(state.CurrentFile); }
  // The recording is over: device closed, every stream closed once and never
  // used after, the library released.
  void ExpectEnded(const FakeLameLibrary& lib, size_t streams = 1) const {
    EXPECT_FALSE(state.recording);
    EXPECT_FALSE(wave.IsOpen());
    EXPECT_TRUE(lib.openStreams.empty());
    EXPECT_EQ(lib.closedStreams.size(), streams);
    EXPECT_EQ(lib.callsOnClosedStreams, 0);
    EXPECT_EQ(lib.loads, lib.frees);
  }
};

TEST(Mp3Recorder, EncodesEveryFrameInOrderThroughPausesAndStop) {
  FakeLameLibrary lib;
  Rig rig(lib);
  rig.settings.SamplePerSecond = 11025;
  rig.settings.BitPerSample = 8;
  rig.recorder->Start();
  ASSERT_TRUE(rig.state.recording);
  EXPECT_EQ(rig.settings.BitPerSample, 16);
  EXPECT_EQ(rig.wave.OpenedFormat().samplesPerSec, 44100u);
  EXPECT_EQ(rig.wave.OpenedFormat().channels, 2);
  EXPECT_EQ(rig.wave.OpenedFormat().blockAlign, 4);
  EXPECT_EQ(rig.wave.QueuedCount(), 40u);
  for (int cycle = 0; cycle < 45; ++cycle) {  // more pauses than buffers in the ring
    rig.Ticks(3);
    rig.wave.DeliverFrames(1000);  // the buffer in progress is well filled
    rig.recorder->Pause();
    rig.recorder->Resume();
    rig.recorder->EncodeFilledBuffers();
    ASSERT_EQ(rig.wave.QueuedCount(), 40u) << "cycle " << cycle;
  }
  rig.wave.DeliverFrames(700);  // after the last tick: must still reach the file
  rig.recorder->Stop();
  rig.ExpectEnded(lib);
  EXPECT_EQ(rig.wave.OverrunFrames(), 0u);

  // The counter generator puts the frame number in the first channel, so each
  // chunk must start where the previous one ended.
  uint64_t frames = 0;
  for (size_t i = 0; i < lib.encodedCounts.size(); ++i) {
    ASSERT_EQ(lib.firstSamples[i], static_cast<uint16_t>(frames)) << "chunk " << i;
    frames += lib.encodedCounts[i] / 2;
  }
  EXPECT_EQ(frames, rig.wave.FramesGenerated());
  EXPECT_EQ(lib.deinits, 1);
  EXPECT_EQ(rig.FileSize(), lib.encodedCounts.size() * lib.bytesPerEncode + lib.flushBytes);
}

// Mono from a missing input: the default input records and the user is told.
TEST(Mp3Recorder, MonoModeCapturesOneChannelFromTheDefaultInputWhenTheChosenOneIsMissing) {
  FakeLameLibrary lib;
  lib.samplesPerChunk = 1152;
  Rig rig(lib);
  rig.settings.Mode = 3;
  rig.settings.Source = "@DEFAULT_MONITOR@";
  rig.wave.missingSources = {"@DEFAULT_MONITOR@"};
  rig.recorder->Start();
  EXPECT_TRUE(rig.state.recording);
  EXPECT_EQ(rig.wave.OpenedSource(), "");
  EXPECT_EQ(rig.ui.messages, std::vector<std::string>{
                                 "The input \"@DEFAULT_MONITOR@\" is not available. Recording from the default input."});
  EXPECT_EQ(rig.wave.OpenedFormat().channels, 1);
  EXPECT_EQ(rig.wave.OpenedFormat().blockAlign, 2);
  EXPECT_EQ(rig.wave.OpenedFormat().avgBytesPerSec, 88200u);
  EXPECT_EQ(lib.lastConfig.nMode, 3);
  rig.Ticks(2);
  rig.recorder->Stop();
  EXPECT_GT(rig.FileSize(), 0u);
  for (uint32_t count : lib.encodedCounts) EXPECT_LE(count, 1152u);
}

TEST(Mp3Recorder, StartFailuresRecordNothing) {
  struct Case {
    const char* name;
    std::function<void(FakeLameLibrary&, FakeWaveIn&)> script;
    std::string message;
  };
  const Case cases[] = {
      {"library missing", [](FakeLameLibrary& l, FakeWaveIn&) { l.loadFails = true; }, "Lame_enc.dll did not found"},
      {"entry point missing", [](FakeLameLibrary& l, FakeWaveIn&) { l.missingSymbols = {"beDeinitStream"}; },
       "Lame_enc.dll did not found"},
      {"init fails", [](FakeLameLibrary& l, FakeWaveIn&) { l.initResult = 2; }, "BE_ERR code-2"},
      {"device does not open", [](FakeLameLibrary&, FakeWaveIn& w) { w.FailNextOpen(4); },
       "Simulated device error 4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeLameLibrary lib;
    Rig rig(lib);
    c.script(lib, rig.wave);
    rig.recorder->Start();
    EXPECT_EQ(rig.ui.messages, std::vector<std::string>{c.message});
    EXPECT_FALSE(std::filesystem::exists(rig.state.CurrentFile));
    rig.ExpectEnded(lib, lib.inits > 0 && lib.initResult == 0 ? 1u : 0u);
    EXPECT_EQ(lib.loadedNames, std::vector<std::string>{"liblame_enc.so"});
  }
}

TEST(Mp3Recorder, EncoderFailuresEndTheRecordingCleanly) {
  {
    SCOPED_TRACE("encode fails on the third chunk");
    FakeLameLibrary lib;
    lib.encodeResult = 5;
    lib.encodeFailsAtCall = 3;
    Rig rig(lib);
    rig.recorder->Start();
    rig.Ticks(3);
    EXPECT_EQ(rig.ui.messages, std::vector<std::string>{"BE_ERR code-5"});
    rig.ExpectEnded(lib);
    EXPECT_EQ(rig.FileSize(), 2 * lib.bytesPerEncode);
    rig.Ticks(2);
    rig.recorder->Stop();
    rig.ExpectEnded(lib);
    EXPECT_EQ(lib.encodes, 3);
    EXPECT_EQ(rig.ui.messages.size(), 1u);
  }
  for (bool deinitFails : {true, false}) {
    SCOPED_TRACE(deinitFails ? "flush fails" : "close fails");
    FakeLameLibrary lib;
    (deinitFails ? lib.deinitResult : lib.closeResult) = 0xFFFFFFFFu;
    Rig rig(lib);
    rig.recorder->Start();
    rig.Ticks(1);
    rig.recorder->Stop();
    EXPECT_EQ(rig.ui.messages, std::vector<std::string>{"BE_ERR code-4294967295"});
    rig.ExpectEnded(lib);
    EXPECT_EQ(rig.FileSize(), lib.encodes * lib.bytesPerEncode + (deinitFails ? 0 : lib.flushBytes));
  }
}

TEST(Mp3Recorder, ALostCaptureStreamEndsTheFileWithEverythingCapturedAndSaysWhy) {
  FakeLameLibrary lib;
  Rig rig(lib);
  rig.recorder->Start();
  rig.Ticks(10);
  rig.wave.DeliverFrames(3000);
  rig.wave.Lose(11);
  rig.Ticks(1);
  EXPECT_EQ(rig.ui.messages, std::vector<std::string>{"Simulated device error 11"});
  rig.ExpectEnded(lib);
  uint64_t frames = 0;
  for (uint32_t count : lib.encodedCounts) frames += count / 2;
  EXPECT_EQ(frames, rig.wave.FramesGenerated());  // nothing that arrived is missing
  EXPECT_EQ(rig.FileSize(), lib.encodedCounts.size() * lib.bytesPerEncode + lib.flushBytes);
}

TEST(Mp3Recorder, ANameTakenMeanwhileMovesOnWithoutTruncatingIt) {
  FakeLameLibrary lib;
  Rig rig(lib);
  rig.folder.WriteText("record1.mp3", "someone else's");
  int asked = 0;
  rig.recorder->SetNextFileNamer([&] {
    rig.state.CurrentFile = rig.folder.File("record2.mp3");
    return ++asked == 1;
  });
  rig.recorder->Start();
  rig.Ticks(2);
  rig.recorder->Stop();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(rig.folder.ReadText("record1.mp3"), "someone else's");
  EXPECT_GT(std::filesystem::file_size(rig.folder.File("record2.mp3")), 0u);
}

TEST(Mp3Recorder, AFullDiskEndsTheFileOnAWholeFrameWithOneMessage) {
  testing::SmallDisk disk;
  if (!disk.Available()) GTEST_SKIP() << "needs root to mount a small file system";
  const std::string other(3000, 'k');
  std::ofstream(disk.File("keep.wav"), std::ios::binary) << other;
  disk.Leave(40 * 1024);  // about 2.5 s at 128 kbit/s
  DlopenLoader loader;    // the real encoder: its frames are what must stay whole
  Rig rig(loader);
  rig.state.CurrentFile = disk.File("record1.mp3");
  rig.wave.SetGenerator([](uint64_t frame, const WaveFormat&, uint8_t* out) {
    const int16_t v = static_cast<int16_t>(8000 * std::sin(frame * 2 * M_PI * 1000 / 44100));
    std::memcpy(out, &v, 2);
    std::memcpy(out + 2, &v, 2);
  });
  rig.recorder->Start();
  ASSERT_TRUE(rig.state.recording);
  for (int tick = 0; tick < 100 && rig.state.recording; ++tick) rig.Ticks(1);
  EXPECT_FALSE(rig.state.recording);
  EXPECT_FALSE(rig.wave.IsOpen());
  EXPECT_EQ(rig.ui.messages, std::vector<std::string>{"Stream write error. No space left on device"});
  const auto frames = testing::ReadFrameHeaders(rig.state.CurrentFile);
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(frames.back().end, rig.FileSize());
  const auto decoded = testing::DecodeMp3(rig.state.CurrentFile);
  EXPECT_GT(decoded.Seconds(), 2.0);
  EXPECT_EQ(testing::ReadFileText(disk.File("keep.wav")), other);
}

}  // namespace
}  // namespace tarnovox
