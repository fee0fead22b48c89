// Mp3Recorder on the virtual-time capture device: buffers are encoded in the
// order they were filled, pauses and Stop lose nothing, and every failure ends
// cleanly with its message, the stream closed once and the library released.
#include <gtest/gtest.h>

#include <filesystem>

#include "mp3/mp3_recorder.h"
#include "tests/support/fake_lame_library.h"
#include "tests/support/fake_wave_in.h"
#include "tests/support/scripted_ui_hooks.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using testing::FakeLameLibrary;
using testing::FakeWaveIn;

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
  bool FileExists() const { return std::filesystem::exists(state.CurrentFile); }
  uintmax_t FileSize() const { return std::filesystem::file_size(state.CurrentFile); }
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
  EXPECT_FALSE(rig.state.recording);
  EXPECT_FALSE(rig.wave.IsOpen());
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
  EXPECT_TRUE(lib.openStreams.empty());
  EXPECT_EQ(lib.loads, lib.frees);
  EXPECT_EQ(rig.FileSize(), lib.encodedCounts.size() * lib.bytesPerEncode + lib.flushBytes);
}

TEST(Mp3Recorder, MonoModeCapturesOneChannel) {
  FakeLameLibrary lib;
  lib.samplesPerChunk = 1152;
  Rig rig(lib);
  rig.settings.Mode = 3;
  rig.recorder->Start();
  EXPECT_EQ(rig.wave.OpenedFormat().channels, 1);
  EXPECT_EQ(rig.wave.OpenedFormat().blockAlign, 2);
  EXPECT_EQ(rig.wave.OpenedFormat().avgBytesPerSec, 88200u);
  EXPECT_EQ(lib.lastConfig.nMode, 3);
  rig.Ticks(2);
  rig.recorder->Stop();
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
    EXPECT_FALSE(rig.state.recording);
    EXPECT_FALSE(rig.FileExists());
    EXPECT_FALSE(rig.wave.IsOpen());
    EXPECT_EQ(lib.loads, lib.frees);
    EXPECT_TRUE(lib.openStreams.empty());
    EXPECT_EQ(lib.closedStreams.size(), lib.inits > 0 && lib.initResult == 0 ? 1u : 0u);
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
    EXPECT_FALSE(rig.state.recording);
    EXPECT_FALSE(rig.wave.IsOpen());
    EXPECT_EQ(rig.FileSize(), 2 * lib.bytesPerEncode);
    rig.Ticks(2);
    rig.recorder->Stop();
    EXPECT_EQ(lib.closedStreams.size(), 1u);
    EXPECT_EQ(lib.callsOnClosedStreams, 0);
    EXPECT_EQ(lib.encodes, 3);
    EXPECT_EQ(lib.loads, lib.frees);
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
    EXPECT_EQ(lib.closedStreams.size(), 1u);
    EXPECT_EQ(lib.callsOnClosedStreams, 0);
    EXPECT_EQ(lib.loads, lib.frees);
    EXPECT_FALSE(rig.state.recording);
    EXPECT_FALSE(rig.wave.IsOpen());
    EXPECT_EQ(rig.FileSize(), lib.encodes * lib.bytesPerEncode + (deinitFails ? 0 : lib.flushBytes));
  }
}

}  // namespace
}  // namespace tarnovox
