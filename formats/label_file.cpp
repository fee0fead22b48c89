#include "formats/label_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>

#include "platform/regular_file.h"

namespace tarnovox {
namespace {

constexpr double kLongestLabelSeconds = 10 * 24 * 3600.0;

std::string SecondsText(uint64_t frame, uint32_t sampleRate) {
  const uint64_t rate = sampleRate == 0 ? 1 : sampleRate;
  const uint64_t whole = frame / rate;
  // Microseconds of the remainder, rounded to nearest; below 10^6 * rate, so no overflow.
  uint64_t micro = ((frame % rate) * 1000000 + rate / 2) / rate;
  uint64_t seconds = whole;
  if (micro >= 1000000) {
    micro -= 1000000;
    ++seconds;
  }
  std::string fraction = std::to_string(micro);
  return std::to_string(seconds) + "." + std::string(6 - fraction.size(), '0') + fraction;
}

bool ParseSeconds(std::string_view field, double& out) {
  if (field.empty()) return false;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), out, std::chars_format::fixed);
  return error == std::errc() && end == field.data() + field.size() && std::isfinite(out) && out >= 0 &&
         out <= kLongestLabelSeconds;
}

// Well-formed UTF-8: no stray continuation byte, no overlong form, no
// surrogate, nothing above U+10FFFF.
bool IsUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    size_t length = byte < 0x80 ? 1 : byte >= 0xC2 && byte <= 0xDF ? 2 : byte >= 0xE0 && byte <= 0xEF ? 3
                                      : byte >= 0xF0 && byte <= 0xF4 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    const auto second = static_cast<unsigned char>(length > 1 ? text[i + 1] : 0);
    if ((byte == 0xE0 && second < 0xA0) || (byte == 0xED && second > 0x9F) || (byte == 0xF0 && second < 0x90) ||
        (byte == 0xF4 && second > 0x8F))
      return false;
    i += length;
  }
  return true;
}

bool ParseLine(std::string_view line, Label& label) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.size() > kMaxLabelLineBytes) return false;
  const size_t firstTab = line.find('\t');
  if (firstTab == std::string_view::npos) return false;
  const size_t secondTab = line.find('\t', firstTab + 1);
  const std::string_view endField = line.substr(firstTab + 1, secondTab == std::string_view::npos
                                                                  ? std::string_view::npos
                                                                  : secondTab - firstTab - 1);
  // Fields after the text (some editors add frequencies there) are not read.
  std::string_view text = secondTab == std::string_view::npos
                                    ? std::string_view()
                                    : line.substr(secondTab + 1, line.find('\t', secondTab + 1) - secondTab - 1);
  // A carriage return closing the text belongs to a line end, not to the text.
  while (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  double end = 0;
  if (!ParseSeconds(line.substr(0, firstTab), label.seconds) || !ParseSeconds(endField, end) ||
      end < label.seconds || text.size() > kMaxLabelTextBytes || !IsUtf8(text))
    return false;
  label.text = std::string(text);
  return true;
}

}  // namespace

std::string LabelFilePath(const std::string& recordingPath) {
  return std::filesystem::path(recordingPath).replace_extension(".labels.txt").string();
}

std::string LabelLine(uint64_t frame, uint32_t sampleRate, const std::string& text) {
  const std::string time = SecondsText(frame, sampleRate);
  return time + "\t" + time + "\t" + text + "\n";
}

std::vector<Label> ParseLabels(std::string_view bytes) {
  std::vector<Label> labels;
  while (!bytes.empty() && labels.size() < kMaxLabels) {
    const size_t newline = bytes.find('\n');
    const std::string_view line = bytes.substr(0, newline);
    bytes.remove_prefix(newline == std::string_view::npos ? bytes.size() : newline + 1);
    Label label;
    if (ParseLine(line, label)) labels.push_back(std::move(label));
  }
  std::stable_sort(labels.begin(), labels.end(), [](const Label& a, const Label& b) { return a.seconds < b.seconds; });
  return labels;
}

std::vector<Label> ReadLabelFile(const std::string& path) {
  const RegularFile file(path);
  if (!file.IsOpen() || file.Size() <= 0) return {};
  std::string bytes(std::min<size_t>(static_cast<size_t>(file.Size()), kMaxLabelFileBytes), '\0');
  const long got = file.ReadAt(0, bytes.data(), bytes.size());
  if (got <= 0) return {};
  bytes.resize(static_cast<size_t>(got));
  // A file cut at the bound ends in a line cut short: that line is not read.
  if (file.Size() > static_cast<long>(kMaxLabelFileBytes)) bytes.resize(bytes.rfind('\n') + 1);
  return ParseLabels(bytes);
}

}  // namespace tarnovox
