#include "formats/mp3_encoder.h"

#include <string>

namespace tarnovox {

using namespace lame_enc;

Mp3Encoder::Mp3Encoder(DynamicLibraryLoader& loader) : loader_(loader) {}

Mp3Encoder::~Mp3Encoder() { Release(); }

bool Mp3Encoder::Load(bool withVbrHeaderEntry) {
  Release();
  failure_.clear();
  library_ = loader_.Load(kEncoderLibraryName);
  bool found = library_ != nullptr;
  if (found) {
#define TARNOVOX_RESOLVE(name) found = Resolve(entries_.name, #name) && found;
    TARNOVOX_ENCODER_ENTRY_POINTS(TARNOVOX_RESOLVE)
    if (withVbrHeaderEntry) {
      TARNOVOX_ENCODER_OPTIONAL_ENTRY_POINTS(TARNOVOX_RESOLVE)
    }
#undef TARNOVOX_RESOLVE
  }
  if (!found) {
    Release();
    Fail(kLibraryMissingText);
    return false;
  }
  return true;
}

bool Mp3Encoder::Init(const BE_CONFIG& config) {
  if (!entries_.beInitStream || streamOpen_) return false;
  BE_CONFIG record = config;
  uint32_t samples = 0;
  uint32_t bufferSize = 0;
  lastResult_ = entries_.beInitStream(&record, &samples, &bufferSize, &stream_);
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
  lastResult_ = entries_.beEncodeChunk(stream_, count, samples, output_.data(), &produced);
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
  lastResult_ = entries_.beDeinitStream(stream_, output_.data(), &produced);
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
  uint32_t result = entries_.beCloseStream(stream_);
  stream_ = 0;
  if (result != kBeErrSuccessful) {
    lastResult_ = result;
    FailWithCode(result);
  }
}

void Mp3Encoder::QueryVersion() {
  if (!entries_.beVersion) return;
  BE_VERSION version{};
  entries_.beVersion(&version);
}

void Mp3Encoder::Release() {
  Close();
  output_.clear();
  output_.shrink_to_fit();
  outputBytes_ = 0;
  if (library_) loader_.Free(library_);
  library_ = nullptr;
  entries_ = {};
}

void Mp3Encoder::Fail(const std::string& text) {
  if (failure_.empty()) failure_ = text;
}

}  // namespace tarnovox
