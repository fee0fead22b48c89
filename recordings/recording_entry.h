#pragma once
#include <cstdint>
#include <string>

namespace tarnovox {

// One recording of the output folder, as the folder scan found it.
struct RecordingEntry {
  std::string FileName;  // bare name with extension, as enumerated
  std::string SizeKB;    // decimal kilobytes, rounded half to even
  int64_t SizeKey = 0;   // integer value of SizeKB, kept so sorting need not parse
  // Last-write time in local time packed as an MS-DOS date-time (two-second
  // resolution). Held unsigned: ordering by this value is ordering by time for
  // every year the packing can hold (1980-2107).
  uint32_t FileAge = 0;
};

}  // namespace tarnovox
