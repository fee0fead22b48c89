#include "formats/mp3_encoder.h"

#include <string>

namespace tarnovox {

using namespace lame_enc;

Mp3Encoder::Mp3Encoder(DynamicLibraryLoader& loader) : loader_(loader) {}

Mp3Encoder::~Mp3Encoder() { Release(); }

void* Mp3Encoder::Entry(const char* name, bool& allFound) {
  void* address = loader_.Resolve(library_, name);
  if (!address) allFound = false;
  return address;
}

bool Mp3Encoder::Load(bool withVbrHeaderEntry) {
  Release();
  failure_.clear();
  library_ = loader_.Load(kEncoderLibraryName);
  bool found = library_ != nullptr;
  if (found) {
    init_ = reinterpret_cast<BeInitStreamFn>(Entry("beInitStream", found));
    encode_ = reinterpret_cast<BeEncodeChunkFn>(Entry("beEncodeChunk", found));
    deinit_ = reinterpret_cast<BeDeinitStreamFn>(Entry("beDeinitStream", found));
    close_ = reinterpret_cast<BeCloseStreamFn>(Entry("beCloseStream", found));
    version_ = reinterpret_cast<BeVersionFn>(Entry("beVersion", found));
    if (withVbrHeaderEntry) {
      writeVbrHeader_ = reinterpret_cast<BeWriteVBRHeaderFn>(Entry("beWriteVBRHeader", found));
    }
  }
  if (!found) {
    Release();
    Fail(kLibraryMissingText);
    return false;
  }
  return true;
}

bool Mp3Encoder::Init(const BE_CONFIG& config) {
  if (!init_ || streamOpen_) return false;
  BE_CONFIG record = config;
  uint32_t samples = 0;
  uint32_t bufferSize = 0;
  lastResult_ = init_(&record, &samples, &bufferSize, &stream_);
  if (lastResult_ != kBeErrSuccessful) {
    FailWithCode(lastResult_);
    return false;
  }
  streamOpen_ = true;
  samplesPerChunk_ = samples;
  outputSize_ = bufferSize;
  output_.assign(bufferSize, 0);
  outputBytes_ = 0;
  return true;
}

bool Mp3Encoder::Encode(const int16_t* samples, uint32_t count) {
  outputBytes_ = 0;
  if (!streamOpen_) return false;
  uint32_t produced = 0;
  lastResult_ = encode_(stream_, count, samples, output_.data(), &produced);
  if (lastResult_ != kBeErrSuccessful) {
    FailWithCode(lastResult_);
    Close();
    return false;
  }
  // A library that claims more than the buffer holds would have us write
  // memory we do not own.
  outputBytes_ = produced <= outputSize_ ? produced : outputSize_;
  return true;
}

bool Mp3Encoder::Flush() {
  outputBytes_ = 0;
  if (!streamOpen_) return false;
  uint32_t produced = 0;
  lastResult_ = deinit_(stream_, output_.data(), &produced);
  if (lastResult_ != kBeErrSuccessful) {
    Close();
    FailWithCode(lastResult_);
    return false;
  }
  outputBytes_ = produced <= outputSize_ ? produced : outputSize_;
  return true;
}

void Mp3Encoder::Close() {
  if (!streamOpen_) return;
  streamOpen_ = false;  // a failed close is not retried: the handle is gone either way
  uint32_t result = close_(stream_);
  stream_ = 0;
  if (result != kBeErrSuccessful) {
    lastResult_ = result;
    FailWithCode(result);
  }
}

void Mp3Encoder::QueryVersion() {
  if (!version_) return;
  BE_VERSION version{};
  version_(&version);
}

void Mp3Encoder::Release() {
  Close();
  output_.clear();
  output_.shrink_to_fit();
  outputBytes_ = 0;
  if (library_) loader_.Free(library_);
  library_ = nullptr;
  init_ = nullptr;
  encode_ = nullptr;
  deinit_ = nullptr;
  close_ = nullptr;
  version_ = nullptr;
  writeVbrHeader_ = nullptr;
}

void Mp3Encoder::Fail(const std::string& text) {
  if (failure_.empty()) failure_ = text;
}

}  // namespace tarnovox
