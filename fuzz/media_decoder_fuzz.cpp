// The playback decoder on a file holding the input: open, read to the end,
// seek to the middle and to the start and read again.
#include "fuzz/fuzz_input.h"
#include "platform/audio_file_decoder.h"

using namespace tarnovox;

namespace {

// Reads to the end or to `limit` samples; a decoder that keeps answering with
// nothing never lets playback end.
void ReadOn(AudioFileDecoder& decoder, size_t limit) {
  std::vector<int16_t> out;
  int idle = 0;
  for (size_t before = 0; out.size() < limit && decoder.Read(out); before = out.size()) {
    idle = out.size() == before ? idle + 1 : 0;
    if (idle > 10000) fuzz::Fail("decoder makes no progress");
  }
  if (out.size() % decoder.Channels() != 0) fuzz::Fail("partial frame");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* const kExtensions[] = {".wav", ".mp3", ".wma"};
  const char* extension = kExtensions[size > 0 ? data[0] % 3 : 0];
  const fuzz::InputFile file(data, size, extension);
  AudioFileDecoder decoder;
  if (!decoder.Open(file.Path())) return 0;
  if (decoder.Channels() != 1 && decoder.Channels() != 2) fuzz::Fail("channel count");
  if (decoder.SampleRate() == 0) fuzz::Fail("zero rate");
  constexpr size_t kLimit = 1 << 22;
  ReadOn(decoder, kLimit);
  if (decoder.SeekTo(decoder.Length() / 2)) ReadOn(decoder, kLimit);
  if (decoder.SeekTo(std::chrono::milliseconds(0))) ReadOn(decoder, kLimit);
  return 0;
}
