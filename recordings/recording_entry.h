#pragma once
#include <cstdint>
#include <string>

#include "recordings/recording_files.h"

namespace tarnovox {

// One recording of the output folder, as the folder scan found it.
struct RecordingEntry {
  std::string FileName;  // bare name with extension, as enumerated
  std::string SizeKB;    // decimal kilobytes, rounded half to even
  int64_t SizeKey = 0;   // integer value of SizeKB, kept so sorting need not parse
  ListedTime LastWritten = kEarliestListedTime;
};

}  // namespace tarnovox
