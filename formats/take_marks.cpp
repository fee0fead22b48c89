#include "formats/take_marks.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "formats/append_file.h"
#include "formats/label_file.h"
#include "formats/wave_format.h"

namespace tarnovox {

void TakeMarks::Begin(const std::string& takePath, uint32_t sampleRate) {
  labelPath_ = LabelFilePath(takePath);
  sampleRate_ = sampleRate;
  marks_.clear();
  ::unlink(labelPath_.c_str());
}

std::string TakeMarks::Add(uint64_t frame, const std::string& text) {
  marks_.push_back(TakeMark{frame, text});
  if (labelPath_.empty()) return {};
  // The first mark replaces whatever took the name since Begin.
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (marks_.size() == 1 ? O_TRUNC : O_APPEND);
  const int fd = ::open(labelPath_.c_str(), flags, 0644);
  if (fd < 0) return StreamErrorText("Cannot create file \"%s\". %s", labelPath_, errno);
  const std::string line = LabelLine(frame, sampleRate_, text);
  const int reason = WriteFully(fd, reinterpret_cast<const uint8_t*>(line.data()), line.size());
  std::string error = SyncAndClose(fd);
  if (reason != 0) error = std::strerror(reason);
  if (!error.empty()) return "Stream write error. " + error;
  return {};
}

}  // namespace tarnovox
