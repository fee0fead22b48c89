#pragma once
// The label file beside a take ("record3.labels.txt" beside "record3.wav"):
// one line per mark in the tab-separated form many audio editors import,
// "start<TAB>end<TAB>text", times in seconds with six decimals.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnovox {

struct Label {
  double seconds = 0;  // the label's start; a region's end is not kept
  std::string text;
};

// The label file of a take or any recording: its extension replaced by
// ".labels.txt" ("a/record3.wav" -> "a/record3.labels.txt").
std::string LabelFilePath(const std::string& recordingPath);

// One line for a mark at `frame` of a file at `sampleRate`, start = end,
// written with integer arithmetic so the desktop's locale never turns the
// decimal point into a comma.
std::string LabelLine(uint64_t frame, uint32_t sampleRate, const std::string& text);

// Bounds of what is read, so a huge or hostile file costs little.
inline constexpr size_t kMaxLabelFileBytes = 1 << 20;
inline constexpr size_t kMaxLabels = 10000;
inline constexpr size_t kMaxLabelLineBytes = 4096;
// Short enough that a label read is written back within kMaxLabelLineBytes.
inline constexpr size_t kMaxLabelTextBytes = kMaxLabelLineBytes - 64;

// The labels of a label file's bytes, sorted by time. Fields after the text
// are ignored. A line is skipped when it is not "start<TAB>end[<TAB>text]"
// with times from 0 to ten days (end not before start), is longer than
// kMaxLabelLineBytes, or its text is longer than kMaxLabelTextBytes or not
// UTF-8; the rest are kept, up to kMaxLabels.
std::vector<Label> ParseLabels(std::string_view bytes);
// The labels of the file at `path`: none when it is missing or not a regular
// file; only its first kMaxLabelFileBytes are read.
std::vector<Label> ReadLabelFile(const std::string& path);

}  // namespace tarnovox
