// The real encoder library, loaded by name through the dlopen loader: every
// option of the settings reaches the MP3 stream, as FFmpeg and the frame
// headers show.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <vector>

#include "formats/encoder_config.h"
#include "formats/mp3_encoder.h"
#include "tests/support/mp3_probe.h"
#include "tests/support/sound_check.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using testing::DecodedMp3;
using testing::Mp3FrameHeader;

struct EncodeCase {
  const char* name;
  std::function<void(RecordSettings&)> adjust;
  uint32_t rate;
  int channels, expectedMode;  // channels 0: live recording config with the settings' channel mode
};

// Encodes 2 s of a 1 kHz tone chunk by chunk, as the recorder does.
// Returns the encoder's failure, empty when it succeeded.
std::string EncodeTone(const lame_enc::BE_CONFIG& config, int channels, const std::string& path) {
  DlopenLoader loader;
  Mp3Encoder encoder(loader);
  if (!encoder.Load(true) || !encoder.Init(config)) return encoder.Failure();
  std::ofstream out(path, std::ios::binary);
  auto write = [&] { out.write(reinterpret_cast<const char*>(encoder.Output().data()), encoder.Output().size()); };
  auto pcm = testing::Tone(1000, static_cast<int>(config.dwSampleRate), channels, 2.0);
  for (size_t at = 0; at < pcm.size(); at += encoder.SamplesPerChunk()) {
    uint32_t count = static_cast<uint32_t>(std::min<size_t>(encoder.SamplesPerChunk(), pcm.size() - at));
    if (!encoder.Encode(pcm.data() + at, count)) return encoder.Failure();
    write();
  }
  if (!encoder.Flush()) return encoder.Failure();
  write();
  encoder.Close();
  return encoder.Failure();
}

TEST(LameEncLibrary, EverySettingReachesTheStream) {
  const EncodeCase cases[] = {
      {"defaults: 128 CBR stereo", [](RecordSettings&) {}, 44100, 0, 0},
      {"joint stereo 192", [](RecordSettings& s) { s.channelMode = ChannelMode::JointStereo; s.bitRate = 192; }, 44100, 0, 1},
      {"dual channel 160", [](RecordSettings& s) { s.channelMode = ChannelMode::DualChannel; s.bitRate = 160; }, 44100, 0, 2},
      {"mono 64", [](RecordSettings& s) { s.channelMode = ChannelMode::Mono; s.bitRate = 64; }, 44100, 0, 3},
      {"320 with all bits", [](RecordSettings& s) { s.bitRate = 320; s.privateFlag = s.copyright = s.original = true; }, 44100, 0, 0},
      {"VBR 64..160 q2", [](RecordSettings& s) { s.vbr = true; s.minBitRate = 64; s.maxBitRate = 160; s.vbrQuality = 2; }, 44100, 0, 0},
      {"VBR 32..320 q9 mono", [](RecordSettings& s) { s.vbr = true; s.channelMode = ChannelMode::Mono; s.vbrQuality = 9; }, 44100, 0, 3},
      {"conversion mono 22050", [](RecordSettings& s) { s.channelMode = ChannelMode::JointStereo; s.bitRate = 64; }, 22050, 1, 3},
      {"conversion stereo 48000", [](RecordSettings& s) { s.channelMode = ChannelMode::JointStereo; s.copyright = true; }, 48000, 2, 0},
  };
  testing::TempFolder folder;
  for (const EncodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    RecordSettings settings;
    c.adjust(settings);
    const int channels = c.channels ? c.channels : (settings.channelMode == ChannelMode::Mono ? 1 : 2);
    auto config = c.channels ? ConversionConfig(settings, c.rate, static_cast<uint16_t>(c.channels))
                             : RecordingConfig(settings);
    const std::string path = folder.File("tone.mp3");
    ASSERT_EQ(EncodeTone(config, channels, path), "");

    DecodedMp3 decoded = testing::DecodeMp3(path);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.codec.substr(0, 3), "mp3");
    EXPECT_EQ(decoded.sampleRate, static_cast<int>(c.rate));
    EXPECT_EQ(decoded.channels, channels);
    // 2 s plus the encoder delay and padding (at most about two frames).
    EXPECT_GE(decoded.Seconds(), 2.0);
    EXPECT_LT(decoded.Seconds(), 2.0 + 2 * 1152.0 / c.rate + 0.01);
    EXPECT_NEAR(testing::ToneHz(decoded.left, decoded.sampleRate), 1000, 10);

    auto frames = testing::ReadFrameHeaders(path);
    ASSERT_GT(frames.size(), 50u);
    for (const Mp3FrameHeader& f : frames) {
      EXPECT_EQ(f.sampleRate, static_cast<int>(c.rate));
      EXPECT_EQ(f.mode, c.expectedMode);
      EXPECT_EQ(f.privateBit, settings.privateFlag);
      EXPECT_EQ(f.copyright, settings.copyright);
      EXPECT_EQ(f.original, settings.original);
      EXPECT_FALSE(f.crc);
      EXPECT_GE(f.bitRate, settings.vbr ? settings.minBitRate : settings.bitRate);
      EXPECT_LE(f.bitRate, settings.vbr ? settings.maxBitRate : settings.bitRate);
      if (HasFailure()) break;
    }
  }
}

// The library's record takes its switches as 32-bit values, 0 or all bits
// set, and the channel modes by its own numbers.
TEST(EncoderConfig, SwitchesAreAllBitsSetAndModesTheLibrarysNumbers) {
  RecordSettings settings;
  const auto off = RecordingConfig(settings);
  settings.vbr = settings.copyright = settings.original = settings.privateFlag = true;
  const auto on = RecordingConfig(settings);
  EXPECT_EQ(std::vector<int32_t>({off.bEnableVBR, off.bCopyright, off.bOriginal, off.bPrivate, on.bEnableVBR,
                                  on.bCopyright, on.bOriginal, on.bPrivate}),
            std::vector<int32_t>({0, 0, 0, 0, -1, -1, -1, -1}));
  std::vector<int32_t> modes;
  using enum ChannelMode;
  for (ChannelMode mode : {Stereo, JointStereo, DualChannel, Mono}) {
    settings.channelMode = mode;
    modes.push_back(RecordingConfig(settings).nMode);
  }
  EXPECT_EQ(modes, std::vector<int32_t>({0, 1, 2, 3}));
}

// Bad configurations, chunks, closed streams and one stream too many get
// their own codes instead of crashing the recorder.
TEST(LameEncLibrary, RejectsBadRecordsAndHandles) {
  DlopenLoader loader;
  auto handle = loader.Load(kEncoderLibraryName);
  ASSERT_NE(handle, nullptr);
  auto init = reinterpret_cast<lame_enc::BeInitStreamFn>(loader.Resolve(handle, "beInitStream"));
  auto encode = reinterpret_cast<lame_enc::BeEncodeChunkFn>(loader.Resolve(handle, "beEncodeChunk"));
  auto close = reinterpret_cast<lame_enc::BeCloseStreamFn>(loader.Resolve(handle, "beCloseStream"));
  ASSERT_TRUE(init && encode && close);
  EXPECT_EQ(loader.Resolve(handle, "ApplyConfig"), nullptr);  // only the be* entry points are visible
  auto config = RecordingConfig(RecordSettings{});
  auto bad = config;
  uint32_t samples = 0, size = 0, bytes = 0, code = 0;
  bad.dwConfig = 0;
  EXPECT_EQ(init(&bad, &samples, &size, &bytes), 1u);
  (bad = config).dwSampleRate = 12345;
  EXPECT_EQ(init(&bad, &samples, &size, &bytes), 2u);
  (bad = config).nMode = 7;
  EXPECT_EQ(init(&bad, &samples, &size, &bytes), 2u);
  std::vector<uint32_t> streams(40);
  size_t opened = 0;
  while (opened < streams.size() && (code = init(&config, &samples, &size, &streams[opened])) == 0) ++opened;
  EXPECT_EQ(code, 3u);
  std::vector<uint8_t> out(size);
  std::vector<int16_t> pcm(samples + 2);
  EXPECT_EQ(encode(streams[0], samples + 2, pcm.data(), out.data(), &bytes), 2u);
  for (size_t i = 0; i < opened; ++i) EXPECT_EQ(close(streams[i]), 0u);
  EXPECT_EQ(close(streams[0]), 4u);
  EXPECT_EQ(encode(streams[0], samples, pcm.data(), out.data(), &bytes), 4u);
  loader.Free(handle);
}

}  // namespace
}  // namespace tarnovox
