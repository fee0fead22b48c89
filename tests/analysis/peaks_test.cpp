#include <gtest/gtest.h>

#include <vector>

#include "analysis/peak_meter.h"

namespace tarnovox {
namespace {

TEST(PeakMeter, ClipHoldCountsThirtyBuffersAndRestartsOnANewClip) {
  std::vector<int16_t> quiet(4410, 0);
  quiet[100] = -1000;
  std::vector<int16_t> clipping(4410, 0);
  clipping[4409] = -32768;  // counts as 32767
  PeakMeter meter;

  meter.MeasurePeaks(clipping.data(), quiet.data(), clipping.size(), false);
  EXPECT_EQ(meter.PeakLeft, 32767);
  EXPECT_EQ(meter.PeakRight, 1000);
  EXPECT_EQ(meter.ClipHoldLeft, 30);
  for (int hold = 29; hold >= 0; --hold) {  // lit for 30 buffers, dark on the 31st
    meter.MeasurePeaks(quiet.data(), quiet.data(), quiet.size(), false);
    EXPECT_EQ(meter.ClipHoldLeft, hold);
    EXPECT_EQ(meter.ClipHoldRight, 0);
  }

  for (int i = 0; i < 10; ++i) meter.MeasurePeaks(quiet.data(), clipping.data(), quiet.size(), false);
  meter.MeasurePeaks(quiet.data(), quiet.data(), quiet.size(), false);
  EXPECT_EQ(meter.ClipHoldRight, 29);
  meter.MeasurePeaks(quiet.data(), clipping.data(), quiet.size(), false);
  EXPECT_EQ(meter.ClipHoldRight, 30);
  // The 8-bit WAV clip at 128 (and not at 127) is checked through the capture
  // engine in meter_analysis_test.cpp; the quiet -1000 above is no clip.
}

}  // namespace
}  // namespace tarnovox
