// FLAC and Opus takes on a disk that fills up: the take fails with the
// system's reason and what it wrote decodes in FFmpeg without an error.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "formats/encoded_take_writer.h"
#include "formats/flac_file_encoder.h"
#include "formats/opus_file_encoder.h"
#include "tests/support/small_disk.h"
#include "tests/support/sound_check.h"
#include "tests/support/temp_folder.h"

namespace tarnovox {
namespace {

TEST(EncodedTakeWriter, AFullDiskEndsTheTakeWithAFileThatDecodesCleanly) {
  testing::SmallDisk disk("2m");
  if (!disk.Available()) GTEST_SKIP() << "needs root to mount a small disk";
  disk.Leave(300 * 1024);
  testing::TempFolder decoded;
  std::mt19937 random(5);
  std::vector<int16_t> noise(48000 * 2);  // a second of stereo noise, which compresses badly
  for (int16_t& sample : noise) sample = static_cast<int16_t>(random());
  const auto* bytes = reinterpret_cast<const uint8_t*>(noise.data());
  for (const std::string name : {"take.flac", "take.opus"}) {
    SCOPED_TRACE(name);
    std::unique_ptr<FileEncoder> encoder;
    if (name.ends_with(".flac")) encoder = std::make_unique<FlacFileEncoder>(PcmFormat{48000, 2, 16});
    else encoder = std::make_unique<OpusFileEncoder>(2, 256);
    EncodedTakeWriter writer(std::move(encoder), nullptr);
    ASSERT_EQ(writer.Create(disk.File(name)), "");
    int seconds = 0;
    while (seconds < 100 && writer.Append(bytes, noise.size() * 2)) ++seconds;
    writer.Finish();  // the flush of an Opus take may be what fills the disk
    EXPECT_EQ(writer.Failure(), "Stream write error. No space left on device");
    EXPECT_EQ(testing::RunCommand("ffmpeg -v error -i '" + disk.File(name) + "' -f null - 2>&1"), "");
    // A FLAC cut short does not know its length: it is what decodes.
    testing::RunCommand("ffmpeg -v error -y -i '" + disk.File(name) + "' '" + decoded.File("sound.wav") + "'");
    const std::string duration = testing::Probe("format=duration", decoded.File("sound.wav"));
    EXPECT_GT(std::atof(duration.c_str()), 0.5) << seconds << " s appended, " << duration;
    std::filesystem::remove(disk.File(name));  // room for the next
  }
}

}  // namespace
}  // namespace tarnovox
