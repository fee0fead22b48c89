#include "formats/wave_mark_chunks.h"

#include <string>

namespace tarnovox {
namespace {

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutId(std::vector<uint8_t>& out, const char (&id)[5]) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(id[i]));
}

void PutCuePoint(std::vector<uint8_t>& out, uint32_t id, uint32_t frame) {
  Put32(out, id);
  Put32(out, frame);  // position in play order: the same frame, as there is no playlist
  PutId(out, "data");
  Put32(out, 0);  // chunk start and block start: 0 for an uncompressed "data" chunk
  Put32(out, 0);
  Put32(out, frame);
}

void PutLabel(std::vector<uint8_t>& out, uint32_t id, const std::string& text) {
  const auto size = static_cast<uint32_t>(4 + text.size() + 1);  // id, text, its closing zero
  PutId(out, "labl");
  Put32(out, size);
  Put32(out, id);
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
  if (size & 1) out.push_back(0);
}

}  // namespace

std::vector<uint8_t> MakeWaveMarkChunks(const std::vector<TakeMark>& marks) {
  std::vector<uint8_t> out;
  if (marks.empty()) return out;
  const auto count = static_cast<uint32_t>(marks.size());
  PutId(out, "cue ");
  Put32(out, 4 + 24 * count);
  Put32(out, count);
  for (uint32_t i = 0; i < count; ++i) PutCuePoint(out, i + 1, static_cast<uint32_t>(marks[i].frame));
  std::vector<uint8_t> labels;
  PutId(labels, "adtl");
  for (uint32_t i = 0; i < count; ++i) PutLabel(labels, i + 1, marks[i].text);
  PutId(out, "LIST");
  Put32(out, static_cast<uint32_t>(labels.size()));
  out.insert(out.end(), labels.begin(), labels.end());
  return out;
}

}  // namespace tarnovox
