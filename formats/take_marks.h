#pragma once
// The marks of the file a take writes now. Each mark is kept for the file's
// own chunks (a WAV file's "cue " and "LIST"/"adtl" at its end) and written at
// once to the label file beside it, synced, so a crash keeps every mark made
// before it. Each file of a long take has its own marks and label file.
#include <cstdint>
#include <string>
#include <vector>

namespace tarnovox {

struct TakeMark {
  uint64_t frame = 0;  // from the file's first frame
  std::string text;
};

class TakeMarks {
 public:
  // A new file: no marks yet. A label file of the same name left by an
  // earlier recording is removed, so the take never inherits its marks.
  void Begin(const std::string& takePath, uint32_t sampleRate);
  // Keeps the mark and writes its line to the label file (created with the
  // first mark). Returns "" or the text the user is told; the mark is kept
  // for the file's own chunks either way.
  std::string Add(uint64_t frame, const std::string& text);
  const std::vector<TakeMark>& Marks() const { return marks_; }
  const std::string& LabelPath() const { return labelPath_; }

 private:
  std::string labelPath_;
  uint32_t sampleRate_ = 44100;
  std::vector<TakeMark> marks_;
};

}  // namespace tarnovox
