// The "Convert  to MP3" command over the real encoder library, its MP3 decoded
// by FFmpeg.
#include <gtest/gtest.h>

#include "tests/formats/wav_to_mp3_rig.h"
#include "tests/support/mp3_probe.h"
#include "tests/support/sound_check.h"

namespace tarnovox {
namespace {

using namespace tarnovox::testing;

// What LAME puts before the first sample: 576 samples of look-ahead plus the
// 529 of its filter bank; the decoder gives them back as leading silence.
constexpr size_t kEncoderDelay = 1105;

// Where the chunks lie is wav_to_mp3_test.cpp's; here the real encoder gets a
// mono and an 8-bit stereo source in their own rates.
TEST(WavToMp3, RealLibraryKeepsTheSourceFormat) {
  DlopenLoader loader;
  ConversionRig rig(loader);
  rig.settings.channelMode = ChannelMode::JointStereo;  // joint stereo is not used by the conversion
  const auto mono = testing::Tone(1000, 22050, 1, 0.7);
  std::vector<uint8_t> eightBit;
  for (int16_t v : testing::Tone(500, 11025, 2, 1.5)) eightBit.push_back(static_cast<uint8_t>((v >> 8) + 128));
  rig.folder.WriteText("mono.wav", Wave({Chunk("fmt ", Fmt(1, 1, 22050, 16, 40)),
                                         Chunk("fact", Le(static_cast<uint32_t>(mono.size()), 4)),
                                         Chunk("data", Bytes(mono))}));
  rig.folder.WriteText("eight.wav", testing::WavBytes(2, 11025, 8, eightBit));
  // A header whose data size was never filled in: the sound runs to the end of the file.
  const auto unsized = testing::Tone(2000, 44100, 2, 0.5);
  rig.folder.WriteText("unsized.wav", Wave({Chunk("fmt ", Fmt(1, 2, 44100, 16)), "data" + Le(0, 4) + Bytes(unsized)}));
  struct Expect {
    const char* name;
    size_t frames;
    int rate, channels, mode;
    double hz;
  };
  for (const Expect& e : {Expect{"mono", mono.size(), 22050, 1, 3, 1000},
                          Expect{"eight", eightBit.size() / 2, 11025, 2, 0, 500},
                          Expect{"unsized", unsized.size() / 2, 44100, 2, 0, 2000}}) {
    SCOPED_TRACE(e.name);
    const std::string mp3 = rig.folder.File(std::string(e.name) + ".mp3");
    rig.Run(std::string(e.name) + ".wav");
    EXPECT_TRUE(rig.ui.messages.empty()) << rig.ui.messages[0];
    const auto decoded = testing::DecodeMp3(mp3);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.sampleRate, e.rate);
    EXPECT_EQ(decoded.channels, e.channels);
    EXPECT_EQ(testing::ReadFrameHeaders(mp3).at(0).mode, e.mode);
    const size_t length = decoded.left.size();
    RecordProperty(std::string(e.name) + "_frames", std::to_string(e.frames) + " -> " + std::to_string(length));
    EXPECT_GE(length, e.frames + kEncoderDelay);         // no sample lost
    EXPECT_LT(length, e.frames + kEncoderDelay + 1152);  // nothing but the last frame's padding added
    EXPECT_NEAR(testing::ToneHz(e.channels == 2 ? decoded.right : decoded.left, e.rate), e.hz, 5);
  }
}

}  // namespace
}  // namespace tarnovox
