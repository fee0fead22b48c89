#include "platform/pcm_convert.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnovox {
namespace {

PcmFormat Format(uint16_t channels, uint16_t bits) {
  PcmFormat format;
  format.channels = channels;
  format.bitsPerSample = bits;
  return format;
}

TEST(PcmConvert, MonoIsTheMeanAndEightBitTheHighByteAroundOneHundredTwentyEight) {
  // Full-scale equal channels must not clip in mono; opposite ones cancel.
  const std::vector<int16_t> stereo = {32767, 32767, -32768, -32768, 32767, -32768, 1000, 3000, -256, -257};
  const size_t frames = stereo.size() / 2;
  EXPECT_FALSE(NeedsConversion(Format(2, 16)));

  std::vector<uint8_t> out(stereo.size() * 2);
  ASSERT_EQ(ConvertFromStereo16(stereo.data(), frames, Format(1, 16), out.data()), frames * 2);
  const auto* mono = reinterpret_cast<const int16_t*>(out.data());
  EXPECT_EQ(std::vector<int16_t>(mono, mono + frames), (std::vector<int16_t>{32767, -32768, 0, 2000, -256}));

  ASSERT_EQ(ConvertFromStereo16(stereo.data(), frames, Format(2, 8), out.data()), frames * 2);
  EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 10),
            (std::vector<uint8_t>{255, 255, 0, 0, 255, 0, 131, 139, 127, 126}));

  ASSERT_EQ(ConvertFromStereo16(stereo.data(), frames, Format(1, 8), out.data()), frames);
  EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 5), (std::vector<uint8_t>{255, 0, 128, 135, 127}));
}

}  // namespace
}  // namespace tarnovox
