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

}  // namespace
}  // namespace tarnovox
