#include "recordings/label_file_moves.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "formats/label_file.h"
#include "recordings/recording_files.h"

namespace fs = std::filesystem;

namespace tarnovox {

bool LabelFileShared(const std::string& recordingPath) {
  const fs::path path(recordingPath);
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const fs::path other = it->path();
    if (other.filename() != path.filename() && other.stem() == path.stem() &&
        IsRecordingName(other.filename().string()))
      return true;
  }
  return false;
}

std::string CarryLabelFile(const std::string& from, const std::string& to, bool replaced) {
  const std::string fromLabels = LabelFilePath(from);
  const std::string toLabels = LabelFilePath(to);
  std::error_code error;
  if (fromLabels == toLabels) return {};
  if (!fs::is_regular_file(fromLabels, error)) {
    if (replaced && !LabelFileShared(to)) ::unlink(toLabels.c_str());
    return {};
  }
  if (LabelFileShared(from)) {
    fs::copy_file(fromLabels, toLabels, fs::copy_options::overwrite_existing, error);
    return error ? error.message() : std::string();
  }
  return ::rename(fromLabels.c_str(), toLabels.c_str()) == 0 ? std::string() : std::strerror(errno);
}

void DeleteLabelFile(const std::string& recording) {
  if (!LabelFileShared(recording)) ::unlink(LabelFilePath(recording).c_str());
}

}  // namespace tarnovox
