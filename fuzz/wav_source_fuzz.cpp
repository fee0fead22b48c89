// The RIFF chunk walk that decides whether a WAV file can be converted.
#include "fuzz/fuzz_input.h"
#include "formats/wav_source.h"

using namespace tarnovox;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::InputFile file(data, size, ".wav");
  WavSourceFormat format;
  std::string error;
  if (!ReadWavSourceFormat(file.Path(), format, error)) {
    if (error.empty()) fuzz::Fail("refused without a reason");
    return 0;
  }
  // What the converter is handed must be inside the file and of a shape it encodes.
  if (format.dataOffset > size || format.dataBytes > size - format.dataOffset) fuzz::Fail("data beyond the file");
  if (format.channels < 1 || format.channels > 2) fuzz::Fail("channel count accepted");
  if (format.bitsPerSample != 8 && format.bitsPerSample != 16) fuzz::Fail("sample size accepted");
  return 0;
}
