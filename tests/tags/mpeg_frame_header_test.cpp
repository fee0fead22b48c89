#include <gtest/gtest.h>

#include "tags/mpeg_frame_header.h"

namespace tarnovox {
namespace {

// The rates and channel modes lame writes are Mp3Tools' (checked against
// ffprobe); the values no encoder writes are read here.
TEST(MpegFrameHeader, ReservedRateIsZeroAndReservedVersionReadsAsMpeg1) {
  EXPECT_EQ(ReadFrameFormat(0xFB, 0x9C, 0x00).SampleRate, 0u);
  EXPECT_EQ(ReadFrameFormat(0xEB, 0x94, 0x00).SampleRate, 48000u);
}

}  // namespace
}  // namespace tarnovox
