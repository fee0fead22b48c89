// The playback decoder over FFmpeg on files made by sox and lame.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/audio_file_decoder.h"
#include "tests/support/sound_check.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

using testing::MeasureTone;

// `cat stereo.mp3 mono.mp3`: the second half's frames change layout and rate.
TEST(AudioFileDecoder, GluedStereoAndMonoMp3PlaysToTheEndAtTheFirstFormat) {
  testing::TempFolder dir;
  const std::string d = dir.Path() + "/";
  testing::RunCommand("sox -n -r 44100 -c 2 -b 16 " + d + "s.wav synth 1 sine 440 gain -6 && lame --quiet " + d +
                      "s.wav " + d + "s.mp3 && sox -n -r 22050 -c 1 -b 16 " + d +
                      "m.wav synth 1 sine 1000 gain -6 && lame --quiet " + d + "m.wav " + d + "m.mp3 && cat " + d +
                      "s.mp3 " + d + "m.mp3 > " + d + "both.mp3");
  AudioFileDecoder decoder;
  ASSERT_TRUE(decoder.Open(d + "both.mp3"));
  EXPECT_EQ(decoder.SampleRate(), 44100u);
  ASSERT_EQ(decoder.Channels(), 2);
  std::vector<int16_t> sound;
  while (decoder.Read(sound)) {
  }
  EXPECT_NEAR(sound.size() / 2.0, 2 * 44100, 4410) << "frames";
  const auto stereo = MeasureTone(sound, 22050, 4410, 44100, 2), mono = MeasureTone(sound, 66150, 4410, 44100, 2);
  EXPECT_NEAR(stereo.hz, 440, 20);
  EXPECT_NEAR(mono.hz, 1000, 20);
  // The mono part is the centre: on both sides, each 3 dB down.
  EXPECT_NEAR(mono.rms, stereo.rms * M_SQRT1_2, 300);
  EXPECT_EQ(sound[2 * 66150], sound[2 * 66150 + 1]);
}

// FLAC and Opus play at their own rate and length; a file whose sound is not
// what its extension names is refused with a message.
TEST(AudioFileDecoder, FlacAndOpusOpenWithTheirLengthAndAFileNamedWronglyIsRefused) {
  testing::TempFolder dir;
  const std::string d = dir.Path() + "/";
  testing::RunCommand("sox -n -r 22050 -c 1 -b 16 " + d + "t.wav synth 1.5 sine 1000 gain -6 && ffmpeg -v error -i " +
                      d + "t.wav " + d + "t.flac && ffmpeg -v error -i " + d + "t.wav " + d + "t.opus && cp " + d +
                      "t.wav " + d + "wav.flac && cp " + d + "t.flac " + d + "flac.opus");
  for (const auto& [name, rate] : {std::pair<std::string, uint32_t>{"t.flac", 22050}, {"t.opus", 48000}}) {
    AudioFileDecoder decoder;
    ASSERT_TRUE(decoder.Open(d + name)) << name << ": " << decoder.Failure();
    EXPECT_EQ(decoder.SampleRate(), rate) << name;
    EXPECT_EQ(decoder.Channels(), 1) << name;
    EXPECT_NEAR(decoder.Length().count(), 1500, 10) << name;
    std::vector<int16_t> sound;
    while (decoder.Read(sound)) {
    }
    EXPECT_NEAR(MeasureTone(sound, sound.size() / 4, sound.size() / 2, rate).hz, 1000, 10) << name;
  }
  for (const std::string name : {"wav.flac", "flac.opus"}) {
    AudioFileDecoder decoder;
    EXPECT_FALSE(decoder.Open(d + name)) << name;
    EXPECT_EQ(decoder.Failure(), "The file's sound is not what its extension says.") << name;
  }
}

}  // namespace
}  // namespace tarnovox
