// The WAV header reader of the file list, on a file holding the input.
#include "formats/wave_format.h"
#include "fuzz/fuzz_input.h"

using namespace tarnovox;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::InputFile file(data, size, ".wav");
  RecorderState state;
  state.PickedFile = file.Path();
  state.FileChannels = 7;
  state.FileSampleRate = 7;
  if (!ReadWaveInfo(state).empty()) fuzz::Fail("a readable file was reported as unopenable");
  // Anything shorter than the header it needs leaves the description alone.
  if (size < 50 && (state.FileChannels != 7 || state.FileSampleRate != 7)) fuzz::Fail("short file described");
  return 0;
}
