#include "recorder/capture_engine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "formats/label_file.h"
#include "formats/wav_source.h"
#include "formats/wav_take_writer.h"
#include "tests/support/fake_capture_stream.h"
#include "tests/support/sound_check.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using namespace tarnovox::testing;

constexpr uint32_t kBuffer = 17640;  // 100 ms of 44100 Hz 16-bit stereo

struct EngineRig {
  TempFolder dir;
  FakeCaptureStream monitor;
  FakeCaptureStream mp3Stream;
  CaptureEngine engine{monitor, mp3Stream};

  // A WAV take at 44100 Hz 16-bit stereo into `name`.
  void StartWav(const std::string& name, uint64_t maxDataBytes = WavTakeWriter::kMaxDataBytes,
                NextTakeFile next = {}) {
    const PcmFormat format;
    ASSERT_EQ(engine.OpenWavTakeStream(format, ""), 0u);
    auto writer = std::make_unique<WavTakeWriter>(format, std::move(next), maxDataBytes);
    ASSERT_EQ(writer->Create(dir.File(name)), "");
    engine.BeginTake(std::move(writer));
  }
  // A take cut at `limit` data bytes into part0.wav, part1.wav, ...
  void StartParts(uint64_t limit) {
    StartWav("part0.wav", limit,
             [this, named = 0]() mutable { return dir.File("part" + std::to_string(++named) + ".wav"); });
  }
  void Pumps(int n, uint32_t ms = 100) {
    for (int i = 0; i < n; ++i) {
      monitor.Advance(ms);
      engine.Pump();
    }
  }
};

TEST(CaptureEngine, BlockGeometryFollowsTheRateAndUnlistedRatesKeepThePreviousOne) {
  EngineRig rig;
  ASSERT_EQ(rig.engine.OpenWavTakeStream({11025, 1, 8}, ""), 0u);
  EXPECT_EQ(rig.engine.FramesPerBuffer(), 1102u);
  EXPECT_EQ(rig.engine.FftSize(), 1024);
  EXPECT_EQ(rig.monitor.OpenedFormat().BlockAlign(), 1);
  rig.engine.CloseTakeStream();
  ASSERT_EQ(rig.engine.OpenWavTakeStream({22050, 1, 16}, ""), 0u);
  rig.engine.CloseTakeStream();
  ASSERT_EQ(rig.engine.OpenWavTakeStream({8000, 1, 16}, ""), 0u);
  EXPECT_EQ(rig.engine.FramesPerBuffer(), 2205u);  // from the 22050 Hz open before
  EXPECT_EQ(rig.engine.FftSize(), 2048);
  EXPECT_EQ(rig.monitor.OpenedFormat().BytesPerSecond(), 16000u);
  rig.engine.BeginTake(nullptr);
  rig.Pumps(3);  // 2400 frames at 8000 Hz: one block
  MeterBlock block;
  ASSERT_TRUE(rig.engine.TakeNewestBlock(block));
  EXPECT_EQ(block.frames, 2205u);
  EXPECT_EQ(block.pcm.size(), 2205u * 2);
  EXPECT_EQ(block.format.sampleRate, 8000u);
  rig.engine.EndTake();
  EXPECT_FALSE(rig.engine.MonitoringOpen());

  ASSERT_EQ(rig.engine.OpenMonitoring(""), 0u);
  EXPECT_EQ(rig.engine.FramesPerBuffer(), 4410u);
  EXPECT_EQ(rig.monitor.OpenedFormat(), PcmFormat{});
}

// The streams outlive the engine (as the program declares them): going, the
// engine stops its thread, ends the take with every frame captured and closes
// both streams, so nothing writes into it afterwards.
TEST(CaptureEngine, GoingAwayEndsTheTakeAndClosesBothStreams) {
  for (int round = 0; round < 20; ++round) {
    TempFolder dir;
    FakeCaptureStream monitor, mp3Stream;
    auto engine = std::make_unique<CaptureEngine>(monitor, mp3Stream);
    const PcmFormat format;
    // Even rounds a take on the monitoring stream, odd ones on the second
    // stream beside monitoring.
    const bool second = round % 2 == 1;
    if (second) {
      ASSERT_EQ(engine->OpenMonitoring(""), 0u);
      ASSERT_EQ(engine->OpenMp3TakeStream(format, ""), 0u);
    } else {
      ASSERT_EQ(engine->OpenWavTakeStream(format, ""), 0u);
    }
    auto writer = std::make_unique<WavTakeWriter>(format, NextTakeFile{});
    ASSERT_EQ(writer->Create(dir.File("take.wav")), "");
    engine->BeginTake(std::move(writer));
    monitor.Advance(500);
    mp3Stream.Advance(500);
    engine->StartThread();
    if (round % 4 < 2) std::this_thread::sleep_for(std::chrono::milliseconds(CaptureEngine::kReadIntervalMs));
    engine.reset();
    EXPECT_FALSE(monitor.IsOpen());
    EXPECT_FALSE(mp3Stream.IsOpen());
    ExpectCounterTake(dir.Read("take.wav"), 0, 500u * 441 / 10);
  }
}

TEST(CaptureEngine, ATakeHoldsEveryFrameInCaptureOrderUpToTheStop) {
  EngineRig rig;
  rig.StartWav("empty.wav");
  rig.engine.EndTake();
  ExpectCounterTake(rig.dir.Read("empty.wav"), 0, 0);
  EXPECT_FALSE(rig.engine.TakeRunning());

  rig.StartWav("take.wav");
  rig.Pumps(30);
  // The header describes what is on disk after every read, so a killed take plays.
  EXPECT_EQ(ReadWav(rig.dir.Read("take.wav")).dataBytes, 30 * kBuffer);
  EXPECT_TRUE(ReadWav(rig.dir.Read("take.wav")).sizesMatch);
  rig.monitor.Advance(3000);  // the capture thread held up 3 s
  rig.engine.Pump();
  rig.engine.PauseTake();
  rig.monitor.Advance(2000);  // paused: not part of the take
  rig.engine.ResumeTake();
  rig.Pumps(5);
  rig.monitor.Advance(37);  // after the last read, just before Stop
  rig.engine.EndTake();
  ExpectCounterTake(rig.dir.Read("take.wav"), 0, (30 + 30 + 5) * 4410 + 37 * 441 / 10);
  EXPECT_EQ(rig.monitor.OverrunFrames(), 0u);
  EXPECT_FALSE(rig.monitor.IsOpen());
}

TEST(CaptureEngine, DataPastTheRiffLimitGoesOnInTheNextFileWithoutAGap) {
  EngineRig rig;
  const uint64_t limit = 20 * kBuffer;
  rig.StartParts(limit);
  rig.Pumps(35);
  rig.engine.EndTake();
  ExpectCounterTake(rig.dir.Read("part0.wav"), 0, limit / 4);
  ExpectCounterTake(rig.dir.Read("part1.wav"), limit / 4, 15u * 4410);
  EXPECT_FALSE(std::filesystem::exists(rig.dir.File("part2.wav")));
}

// The marks after a file's data, read independently of the writer: the RIFF
// size must cover them, each cue point's id names its labl text.
std::vector<std::pair<uint32_t, std::string>> WavMarks(const std::vector<uint8_t>& f) {
  auto u32 = [&](size_t at) { return uint32_t(f[at] | f[at + 1] << 8 | f[at + 2] << 16 | uint32_t(f[at + 3]) << 24); };
  std::vector<std::pair<uint32_t, std::string>> marks;
  EXPECT_EQ(u32(4), f.size() - 8);
  const uint32_t dataBytes = u32(40);
  size_t at = 44 + dataBytes + (dataBytes & 1);
  if (f.size() < at + 12 || std::string(f.begin() + at, f.begin() + at + 4) != "cue ") {
    ADD_FAILURE() << "no cue chunk after " << dataBytes << " bytes of data in a file of " << f.size();
    return marks;
  }
  const uint32_t count = u32(at + 8);
  for (uint32_t i = 0; i < count; ++i) {
    const size_t point = at + 12 + 24 * i;
    EXPECT_EQ(u32(point), i + 1);
    EXPECT_EQ(u32(point + 4), u32(point + 20));
    marks.emplace_back(u32(point + 20), "");
  }
  at += 8 + u32(at + 4);
  if (f.size() < at + 12) return marks;
  EXPECT_EQ(std::string(f.begin() + at, f.begin() + at + 12), std::string("LIST") + std::string(f.begin() + at + 4, f.begin() + at + 8) + "adtl");
  const size_t end = at + 8 + u32(at + 4);
  EXPECT_EQ(end, f.size());
  for (at += 12; at + 12 <= end; at += 8 + ((u32(at + 4) + 1) & ~1u)) {
    const uint32_t id = u32(at + 8);
    if (id >= 1 && id <= marks.size()) marks[id - 1].second = std::string(reinterpret_cast<const char*>(&f[at + 12]));
  }
  return marks;
}

// Each mark falls on the last frame captured when it was made (what the stream
// held is written first), counted from its own file's start; a take going on in
// a new file carries its marks there, and the label file of each is written
// at the mark, with a stale one of the same name replaced.
TEST(CaptureEngine, MarksFallOnTheCapturedFrameAndEachFileOfATakeKeepsItsOwn) {
  EngineRig rig;
  rig.dir.WriteText("part1.labels.txt", "1.000000\t1.000000\tOld\n");
  std::string failure;
  EXPECT_EQ(rig.engine.MarkTake(failure), 0);  // no take
  const uint64_t limit = 20 * kBuffer;
  rig.StartParts(limit);
  rig.Pumps(5);
  rig.monitor.Advance(37);  // not yet read when the mark is made
  EXPECT_EQ(rig.engine.MarkTake(failure), 1);
  const uint32_t first = 5 * 4410 + 37 * 441 / 10;
  EXPECT_EQ(rig.dir.ReadText("part0.labels.txt"), LabelLine(first, 44100, "Mark 1"));
  rig.Pumps(20);
  EXPECT_FALSE(std::filesystem::exists(rig.dir.File("part1.labels.txt")));  // the stale marks went with the new file
  EXPECT_EQ(rig.engine.MarkTake(failure), 2);
  EXPECT_EQ(failure, "");
  rig.engine.EndTake();

  const auto part0 = rig.dir.Read("part0.wav");
  const auto part1 = rig.dir.Read("part1.wav");
  // The first file ends before its data would pass the limit; the second holds the rest.
  const uint32_t part0Frames = ReadWav(part0).dataBytes / 4;
  const uint32_t second = first + 20 * 4410 - part0Frames;
  ASSERT_LE(part0Frames * 4, limit);
  EXPECT_EQ(ReadWav(part1).dataBytes, second * 4);
  EXPECT_EQ(WavMarks(part0), (std::vector<std::pair<uint32_t, std::string>>{{first, "Mark 1"}}));
  EXPECT_EQ(WavMarks(part1), (std::vector<std::pair<uint32_t, std::string>>{{second, "Mark 2"}}));
  EXPECT_EQ(rig.dir.ReadText("part1.labels.txt"), LabelLine(second, 44100, "Mark 2"));
  EXPECT_EQ(FakeCaptureStream::ConsecutiveFrames(part0, 0), part0Frames);
  // The conversion's reader takes the data alone, not the chunks after it.
  WavSourceFormat source;
  std::string error;
  ASSERT_TRUE(ReadWavSourceFormat(rig.dir.File("part0.wav"), source, error)) << error;
  EXPECT_EQ(source.dataBytes, part0Frames * 4);
  EXPECT_EQ(FakeCaptureStream::ConsecutiveFrames(part1, part0Frames), second);
}

TEST(CaptureEngine, MonitoringHandsOutEachNewestBlockOnceAndWritesNothing) {
  EngineRig rig;
  ASSERT_EQ(rig.engine.OpenMonitoring(""), 0u);
  MeterBlock block;
  for (int i = 0; i < 100; ++i) {
    rig.Pumps(1);
    ASSERT_TRUE(rig.engine.TakeNewestBlock(block)) << i;
    EXPECT_EQ(FakeCaptureStream::CounterOf16BitStereo(block.pcm.data()), i * 4410u);
    EXPECT_FALSE(rig.engine.TakeNewestBlock(block));
  }
  rig.Pumps(3, 100);  // three blocks since the last look: the newest one
  ASSERT_TRUE(rig.engine.TakeNewestBlock(block));
  EXPECT_EQ(FakeCaptureStream::CounterOf16BitStereo(block.pcm.data()), 102 * 4410u);
  EXPECT_TRUE(std::filesystem::is_empty(rig.dir.Path()));
  EXPECT_EQ(rig.monitor.OverrunFrames(), 0u);
}

// A take sharing the monitoring stream begins with the kept second before the
// command, counted from the last frame the server had captured (also frames
// not yet read), and goes on with the live frames: every frame once, in order.
TEST(CaptureEngine, APreRecordedTakeJoinsKeptAndLiveFramesWithoutLossOrRepeat) {
  EngineRig rig;
  const PcmFormat format;
  const auto begin = [&](const std::string& name, const PcmFormat& takeFormat) {
    auto writer = std::make_unique<WavTakeWriter>(takeFormat, NextTakeFile{});
    ASSERT_EQ(writer->Create(rig.dir.File(name)), "");
    SharedTake take;
    take.format = takeFormat;
    take.rules.preFrames = 44100;
    ASSERT_TRUE(rig.engine.BeginSharedTake(std::move(writer), take));
  };
  ASSERT_EQ(rig.engine.OpenMonitoring("", 44100, 44100), 0u);
  rig.Pumps(5);  // only half a second since the open: the take begins there
  begin("short.wav", format);
  rig.Pumps(2);
  rig.engine.EndTake();
  EXPECT_EQ(FakeCaptureStream::ConsecutiveFrames(rig.dir.Read("short.wav"), 0), 7u * 4410);
  EXPECT_TRUE(rig.engine.MonitoringOpen());

  rig.Pumps(30);
  rig.monitor.Advance(37);  // captured by the server, not yet read
  const uint64_t start = rig.monitor.FramesGenerated() - 44100;
  begin("take.wav", format);
  rig.Pumps(20);
  rig.monitor.Advance(11);
  rig.engine.PauseTake();
  const uint64_t paused = rig.monitor.FramesGenerated();
  rig.Pumps(15);  // paused: kept for meters and onsets, not written
  rig.engine.ResumeTake();
  const uint64_t resumed = rig.monitor.FramesGenerated();
  rig.Pumps(5);
  rig.monitor.Advance(13);
  rig.engine.EndTake();
  const uint64_t stopped = rig.monitor.FramesGenerated();
  const auto file = rig.dir.Read("take.wav");
  EXPECT_TRUE(ReadWav(file).sizesMatch);
  ASSERT_EQ(file.size(), 44 + 4 * (paused - start + stopped - resumed));
  EXPECT_EQ(FakeCaptureStream::ConsecutiveFrames(file, static_cast<uint32_t>(start)), paused - start);
  const std::vector<uint8_t> afterPause(file.begin() + 4 * static_cast<long>(paused - start), file.end());
  EXPECT_EQ(FakeCaptureStream::ConsecutiveFrames(afterPause, static_cast<uint32_t>(resumed)), stopped - resumed);
  EXPECT_TRUE(rig.engine.MonitoringOpen());

  begin("mono8.wav", {44100, 1, 8});  // converted from the stream's 16-bit stereo
  rig.Pumps(3);
  rig.engine.EndTake();
  EXPECT_EQ(ReadWav(rig.dir.Read("mono8.wav")).dataBytes, 44100u + 3 * 4410);
}

// -30 dBFS, half a second before each onset, a pause after 2 s below: 3 s
// silence, 3 s sound, 4 s silence, 2 s sound, then Stop half a second later.
TEST(CaptureEngine, AStartLevelWaitsForSoundAndASilencePauseResumesWithTheOnset) {
  EngineRig rig;
  SetNumberedSound(
      rig.monitor, [](uint64_t f) { return (f >= 132300 && f < 264600) || (f >= 441000 && f < 529200); }, 16384);
  ASSERT_EQ(rig.engine.OpenMonitoring("", 44100, 22050), 0u);
  const auto begin = [&](const std::string& name) {
    auto writer = std::make_unique<WavTakeWriter>(PcmFormat{}, NextTakeFile{});
    SharedTake take;
    take.rules = {22050, PeakOfLevel(-30), 88200};
    take.createFile = [w = writer.get(), path = rig.dir.File(name)] { return w->Create(path); };
    ASSERT_TRUE(rig.engine.BeginSharedTake(std::move(writer), std::move(take)));
  };
  // That a take stopped while it waits leaves no file, the recorder's test of
  // the start level shows (Stop ends the take through EndTake).
  begin("take.wav");
  rig.Pumps(29);
  EXPECT_TRUE(rig.engine.Progress().armed);
  EXPECT_TRUE(std::filesystem::is_empty(rig.dir.Path()));
  rig.Pumps(2);
  EXPECT_FALSE(rig.engine.Progress().armed);
  rig.Pumps(60);  // 8.1 s
  EXPECT_TRUE(rig.engine.Progress().silencePaused);
  rig.Pumps(30);  // 12.1 s
  EXPECT_FALSE(rig.engine.Progress().silencePaused);
  rig.Pumps(4);
  rig.engine.EndTake();
  const auto file = rig.dir.Read("take.wav");
  // The first stretch ends 2 s and one frame after the sound did.
  const uint64_t first = 264600 + 88200 - (132300 - 22050);
  ASSERT_EQ(file.size(), 44 + 4 * (first + 551250 - (441000 - 22050)));
  EXPECT_EQ(NumberedRun(file, 0, 132300 - 22050), first);
  EXPECT_EQ(NumberedRun(file, first, 441000 - 22050), 551250 - (441000 - 22050));
  EXPECT_TRUE(ReadWav(file).sizesMatch);
}

}  // namespace
}  // namespace tarnovox
