#pragma once
// A recording's label file goes where the recording goes. Recordings of one
// name in different formats ("record3.wav" and the "record3.mp3" converted
// from it) share one label file, which stays while any of them does.
#include <string>

namespace tarnovox {

// Another file of the recording's folder has its name before the extension
// and a recording's extension, and so the same label file.
bool LabelFileShared(const std::string& recordingPath);

// After `from` was renamed to `to`: its label file follows, copied when
// another recording still uses it; a label file `to` had is replaced. Without
// a label file of its own, a replaced recording's stale one is removed when
// `replaced`. Returns "" or the system's reason.
std::string CarryLabelFile(const std::string& from, const std::string& to, bool replaced);

// After `recording` was deleted: its label file goes too, unless another
// recording still uses it.
void DeleteLabelFile(const std::string& recording);

}  // namespace tarnovox
