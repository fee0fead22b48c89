#pragma once
// A pseudo-random signal played into the sound server and found again, frame
// for frame, in what was recorded or in what the sink played
// (tests/support/sink_capture.h, included for the tests that used to find
// SinkCapture, FramesOf and Frames here).
#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/sink_capture.h"
#include "tests/support/sound_check.h"

namespace tarnovox::testing {

// Writes a 44100 Hz 16-bit stereo WAV of pseudo-random frames; returns the frames.
inline std::vector<uint32_t> WriteNoiseWav(const std::string& path, int seconds) {
  std::mt19937 random(12345);
  std::vector<uint32_t> frames(44100u * seconds);
  for (auto& f : frames) f = random();
  std::ofstream(path, std::ios::binary) << WavBytes(2, 44100, 16, frames);
  return frames;
}

inline std::vector<uint32_t> RecordedFrames(const std::vector<uint8_t>& file) {
  return FramesOf(file.data() + 44, file.size() - 44);
}

// Where recorded[from] stands in the played signal, and how many frames from
// there on equal the played ones; {-1, 0} when it is not found.
inline std::pair<long, size_t> MatchRun(const std::vector<uint32_t>& recorded, size_t from,
                                 const std::vector<uint32_t>& played) {
  for (size_t k = 0; k < played.size(); ++k) {
    if (played[k] != recorded[from]) continue;
    size_t n = 0;
    while (from + n < recorded.size() && k + n < played.size() && recorded[from + n] == played[k + n]) ++n;
    if (n >= 64 || from + n == recorded.size()) return {static_cast<long>(k), n};
  }
  return {-1, 0};
}

// First frame whose two channels are not both silent.
inline size_t FirstSound(const std::vector<uint32_t>& frames, size_t from = 0) {
  size_t i = from;
  while (i < frames.size() && frames[i] == 0) ++i;
  return i;
}

// A stretch of a recording that is the sound the server delivered, from
// recorded[from] on. The recorder's stream and the parallel capture are two
// streams of the server: when a cycle of the sound server runs late, the sink
// plays a quantum of silence and one stream may carry it while the other does
// not. A silence of at most maxSilence frames in the recording, after which it
// goes on where the capture stands or at most as many frames later, is such a
// glitch and counted; so is a silence of at most maxSilence frames in the
// capture that the recording goes on past. A jump without silence, or further
// than the silence, is a break. heardAt and heardEnd are positions in heard; heardAt is -1 when
// recorded[from] is not found.
struct Stretch {
  long heardAt = -1;
  long heardEnd = -1;
  size_t length = 0;  // frames of the recording
  int glitches = 0;
};

inline Stretch FollowHeard(const std::vector<uint32_t>& recorded, size_t from, const std::vector<uint32_t>& heard,
                           size_t maxSilence = 1024) {
  Stretch stretch;
  auto [at, n] = MatchRun(recorded, from, heard);
  if (at < 0) return stretch;
  stretch.heardAt = at;
  size_t pos = from + n;
  long heardPos = at + static_cast<long>(n);
  while (pos < recorded.size()) {
    const size_t silence = FirstSound(recorded, pos) - pos;
    if (silence == 0) {
      const size_t skip = FirstSound(heard, static_cast<size_t>(heardPos)) - static_cast<size_t>(heardPos);
      if (skip == 0 || skip > maxSilence) break;
      const size_t k = static_cast<size_t>(heardPos) + skip;
      size_t m = 0;
      while (pos + m < recorded.size() && k + m < heard.size() && recorded[pos + m] == heard[k + m]) ++m;
      if (m < 64 && pos + m != recorded.size()) break;
      ++stretch.glitches;
      pos += m;
      heardPos = static_cast<long>(k + m);
      continue;
    }
    if (silence > maxSilence || pos + silence == recorded.size()) break;
    auto [next, m] = MatchRun(recorded, pos + silence, heard);
    if (next < heardPos || next > heardPos + static_cast<long>(silence)) break;
    ++stretch.glitches;
    pos += silence + m;
    heardPos = next + static_cast<long>(m);
  }
  stretch.heardEnd = heardPos;
  stretch.length = pos - from;
  return stretch;
}

// What follows an exact stretch that ends at recorded[at], which was heard[end]:
// silence and a later part of the sound tell a gap in it apart from lost frames.
inline std::string DescribeBreak(const std::vector<uint32_t>& recorded, size_t at, long end,
                                 const std::vector<uint32_t>& heard) {
  const size_t sound = FirstSound(recorded, at);
  std::string text = "frame " + std::to_string(at) + " differs from what the server delivered; " +
                     std::to_string(sound - at) + " silent frames follow";
  if (sound == recorded.size()) return text;
  const long next = MatchRun(recorded, sound, heard).first;
  if (next < 0) return text + ", then sound the server did not deliver";
  return text + ", then its frame " + std::to_string(next) + " (" + std::to_string(next - end) + " frames on)";
}

}  // namespace tarnovox::testing
