// The file list's description of a WAV file, on a file holding the input.
#include "formats/wav_source.h"
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
  if (state.FileChannels != 7 && state.FileChannels != 1 && state.FileChannels != 2) fuzz::Fail("channel count");
  // Both read through the one chunk reader: a file the conversion takes is
  // described with the format it converts.
  WavSourceFormat format;
  std::string error;
  if (size >= 50 && ReadWavSourceFormat(file.Path(), format, error) && format.sampleRate != 0 &&
      (state.FileChannels != format.channels || state.FileSampleRate != format.sampleRate))
    fuzz::Fail("the description and the conversion read different formats");
  return 0;
}
