#pragma once
// The standard RIFF chunks that carry a WAV file's marks after its "data":
// "cue " with one point per mark and "LIST" "adtl" with one "labl" naming
// each point, so audio editors show the marks where they were made.
#include <cstdint>
#include <vector>

#include "formats/take_marks.h"

namespace tarnovox {

// Both chunks for `marks`, each of even length; empty when there is no mark.
// A point's offsets are its frame in the file's "data" chunk; its id is its
// place in `marks` from 1.
std::vector<uint8_t> MakeWaveMarkChunks(const std::vector<TakeMark>& marks);

}  // namespace tarnovox
