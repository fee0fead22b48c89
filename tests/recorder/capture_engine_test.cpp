#include <gtest/gtest.h>

#include <filesystem>

#include "recorder/capture_engine.h"
#include "recorder/collaborators.h"
#include "tests/support/fake_wave_in.h"
#include "tests/support/scripted_ui_hooks.h"
#include "tests/support/sound_check.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using namespace tarnovox::testing;

constexpr uint32_t kHalf = 352800;  // 20 buffers of 4410 frames, 16-bit stereo
constexpr uint32_t kBuffer = 17640;

struct CountingAnalysis : CaptureAnalysis {
  void SplitMonitorBuffer() override { ++monitor; }
  void SplitRecordBuffer() override { ++record; }
  void MeasurePeaks() override { ++peaks; }
  void RefreshMeters() override { ++refreshes; }
  int monitor = 0, record = 0, peaks = 0, refreshes = 0;
};

struct EngineRig {
  TempFolder dir;
  FakeWaveIn device;
  RecordSettings settings;
  RecorderState state;
  ScriptedUiHooks hooks;
  CaptureEngine engine{device, settings, state, hooks};
  CountingAnalysis analysis;

  EngineRig() {
    settings.Wav = true;
    settings.MP3 = false;
    engine.SetAnalysis(&analysis);
  }
  void StartWav(const std::string& name) {
    state.CurrentFile = dir.File(name);
    engine.OpenRecordDevice();
    engine.BeginWaveFile();
  }
  void Ticks(int n, uint32_t ms = 100) {
    for (int i = 0; i < n; ++i) {
      device.Advance(ms);
      engine.PollCapture();
    }
  }
};

// The ring's own sizes follow from these; the recording tests below (under
// AddressSanitizer) catch a ring that does not match them.
TEST(CaptureEngine, GeometryFollowsTheRateAndUnlistedRatesKeepThePreviousOne) {
  EngineRig rig;
  rig.settings.SamplePerSecond = 11025;
  rig.settings.BitPerSample = 8;
  rig.settings.Channels = 1;
  rig.engine.OpenRecordDevice();
  EXPECT_EQ(rig.engine.FramesPerBuffer, 1102);
  EXPECT_EQ(rig.engine.FftSize, 1024);
  EXPECT_EQ(rig.engine.BytesPerBuffer, 1102u);
  EXPECT_EQ(rig.device.OpenedFormat().blockAlign, 1);
  EXPECT_EQ(rig.device.QueuedCount(), 40u);
  rig.engine.CloseCaptureDevice();

  rig.settings.SamplePerSecond = 22050;
  rig.settings.BitPerSample = 16;
  rig.engine.OpenRecordDevice();
  rig.engine.CloseCaptureDevice();
  rig.settings.SamplePerSecond = 8000;
  rig.engine.OpenRecordDevice();
  EXPECT_EQ(rig.engine.FramesPerBuffer, 2205);  // from the 22050 Hz open before
  EXPECT_EQ(rig.engine.FftSize, 2048);
  EXPECT_EQ(rig.device.OpenedFormat().samplesPerSec, 8000u);
  EXPECT_EQ(rig.device.OpenedFormat().avgBytesPerSec, 16000u);
  rig.engine.CloseCaptureDevice();

  rig.engine.OpenMonitorDevice();
  EXPECT_EQ(rig.engine.FramesPerBuffer, 4410);
  EXPECT_EQ(rig.engine.BytesPerBuffer, kBuffer);
  EXPECT_EQ(rig.device.OpenedFormat().channels, 2);
}

TEST(CaptureEngine, RecordingWritesWholeHalvesThenTheFullBuffersLeftAtStop) {
  EngineRig rig;
  rig.StartWav("empty.wav");
  rig.engine.EndWaveFile();
  auto empty = rig.dir.Read("empty.wav");
  ASSERT_EQ(empty.size(), 44u);
  EXPECT_TRUE(ReadWav(empty).sizesMatch);
  EXPECT_FALSE(rig.state.recording);
  rig.engine.CloseCaptureDevice();

  rig.StartWav("three.wav");
  EXPECT_TRUE(rig.state.recording);
  rig.Ticks(30);  // one half on disk; that its header describes it, a killed recording shows (WavCaptureE2E)
  EXPECT_EQ(rig.analysis.record, 30);  // every buffer handed to analysis once
  // A poll 3 s late finds both halves full, the second one older: it goes first.
  rig.device.Advance(3000);
  rig.engine.PollCapture();
  // Stop, unpolled for 3 s, finds the last half and ten buffers after it in
  // the ring's first half; a partly filled buffer is not part of the file.
  rig.device.Advance(3050);
  rig.engine.EndWaveFile();
  auto file = rig.dir.Read("three.wav");
  EXPECT_EQ(file.size(), 44u + 90 * kBuffer);
  EXPECT_TRUE(ReadWav(file).sizesMatch);
  EXPECT_EQ(FakeWaveIn::ConsecutiveFrames(file, 0), 90u * 4410);
  EXPECT_EQ(rig.device.OverrunFrames(), 0u);
}

// A write that fails is checked through the recorder controller, on a real
// file system that fills up (RecorderController.AFullDisk...).
TEST(CaptureEngine, DataPastTheRiffLimitGoesOnInTheNextFileWithoutAGap) {
  EngineRig rig;
  int named = 0;
  rig.engine.SetNextFileNamer([&] {
    rig.state.CurrentFile = rig.dir.File("part" + std::to_string(++named) + ".wav");
    return true;
  });
  rig.engine.SetMaxWaveDataBytes(2 * kHalf);
  rig.StartWav("part0.wav");
  rig.Ticks(70);
  rig.engine.EndWaveFile();
  auto first = rig.dir.Read("part0.wav");
  auto second = rig.dir.Read("part1.wav");
  ASSERT_EQ(first.size(), 44u + 2 * kHalf);
  ASSERT_EQ(second.size(), 44u + kHalf + 10 * kBuffer);
  EXPECT_TRUE(ReadWav(first).sizesMatch && ReadWav(second).sizesMatch);
  EXPECT_EQ(FakeWaveIn::ConsecutiveFrames(first, 0), 2 * kHalf / 4);
  EXPECT_EQ(FakeWaveIn::ConsecutiveFrames(second, 2 * kHalf / 4), (kHalf + 10 * kBuffer) / 4);
  EXPECT_FALSE(std::filesystem::exists(rig.dir.File("part2.wav")));
}

TEST(CaptureEngine, MonitoringRecyclesHalvesWithoutWritingAndAnalysesEachBufferOnce) {
  EngineRig rig;
  rig.state.CurrentFile = rig.dir.File("picked.wav");
  rig.engine.OpenMonitorDevice();
  rig.Ticks(100);
  EXPECT_FALSE(std::filesystem::exists(rig.state.CurrentFile));
  EXPECT_EQ(rig.device.OverrunFrames(), 0u);
  EXPECT_EQ(rig.analysis.monitor, 100);
  EXPECT_EQ(rig.analysis.refreshes, 100);
  rig.engine.PollCapture();  // no new buffer: nothing analysed
  rig.engine.PollCapture();
  EXPECT_EQ(rig.analysis.monitor, 100);
  rig.state.Minimized = true;  // analysed but not drawn
  rig.Ticks(1);
  EXPECT_EQ(rig.analysis.peaks, 101);
  EXPECT_EQ(rig.analysis.refreshes, 100);
}

}  // namespace
}  // namespace tarnovox
