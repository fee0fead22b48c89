#include "formats/mp3_take_writer.h"

#include <algorithm>
#include <cstring>

namespace tarnovox {

Mp3TakeWriter::Mp3TakeWriter(DynamicLibraryLoader& loader, NextTakeFile nextFile, const PcmFormat& format)
    : encoder_(loader), nextFile_(std::move(nextFile)), format_(format) {}

std::string Mp3TakeWriter::OpenEncoder(const lame_enc::BE_CONFIG& config) {
  if (!encoder_.Load(false) || !encoder_.Init(config)) {
    Fail(encoder_.Failure());
    encoder_.Release();
    finished_ = true;
    return failure_;
  }
  config_ = config;
  pending_.assign(encoder_.SamplesPerChunk(), 0);
  pendingSamples_ = 0;
  return {};
}

std::string Mp3TakeWriter::Create(const std::string& path) {
  path_ = path;
  const std::string error = CreateUnderAFreeName(
      [this] { return file_.Create(path_); }, [this] { return file_.NameTaken(); },
      [this] {
        if (!nextFile_) return false;
        path_ = nextFile_();
        return !path_.empty();
      });
  if (!error.empty()) {
    Fail(error);
    encoder_.Release();
    finished_ = true;
  } else {
    marks_.Begin(path_, format_.sampleRate);
  }
  return error;
}

std::string Mp3TakeWriter::AddMark(const std::string& text) {
  if (finished_) return {};
  return marks_.Add(samplesAppended_ / std::max<uint16_t>(format_.channels, 1), text);
}

bool Mp3TakeWriter::Append(const uint8_t* frames, size_t bytes) {
  if (!failure_.empty() || finished_) return false;
  size_t samples = bytes / 2;
  samplesAppended_ += samples;
  while (samples > 0) {
    const size_t take = std::min(samples, pending_.size() - pendingSamples_);
    std::memcpy(pending_.data() + pendingSamples_, frames, take * 2);
    pendingSamples_ += take;
    frames += take * 2;
    samples -= take;
    if (pendingSamples_ == pending_.size() && !EncodePending(pendingSamples_)) return false;
  }
  return true;
}

bool Mp3TakeWriter::EncodePending(size_t samples) {
  pendingSamples_ = 0;
  if (!encoder_.Encode(pending_.data(), static_cast<uint32_t>(samples)) || !WriteOutput()) {
    // What was written stays; the encoder and the file are closed now.
    Fail(encoder_.Failure());
    encoder_.Release();
    (void)file_.Close();
    finished_ = true;
    return false;
  }
  return true;
}

bool Mp3TakeWriter::WriteOutput() {
  const auto out = encoder_.Output();
  if (!file_.IsOpen() || out.empty()) return true;
  const std::string error = file_.Append(out.data(), out.size());
  if (error.empty()) return true;
  Fail("Stream write error. " + error);
  return false;
}

// Encodes the unfinished chunk and writes the encoder's flush: the file then
// ends on a whole frame. The encoder's stream is closed afterwards.
bool Mp3TakeWriter::EndStreamInFile() {
  if (pendingSamples_ > 0 && encoder_.StreamOpen() && !EncodePending(pendingSamples_)) return false;
  if (encoder_.StreamOpen() && encoder_.Flush()) WriteOutput();
  encoder_.Close();
  return true;
}

bool Mp3TakeWriter::ContinueInNextFile() {
  if (finished_ || !failure_.empty() || !EndStreamInFile()) return false;
  Fail(encoder_.Failure());
  if (const std::string error = file_.Close(); !error.empty()) Fail("Stream write error. " + error);
  const std::string next = nextFile_ && failure_.empty() ? nextFile_() : std::string();
  if (failure_.empty() && next.empty()) {
    Fail("The recording was ended: no free file name is left for its continuation.");
  }
  if (!failure_.empty() || !encoder_.Init(config_)) {
    Fail(encoder_.Failure());
    encoder_.Release();
    finished_ = true;
    return false;
  }
  return Create(next).empty();
}

bool Mp3TakeWriter::Finish() {
  if (finished_) return failure_.empty();
  if (!EndStreamInFile()) return false;
  finished_ = true;
  encoder_.Release();
  Fail(encoder_.Failure());
  const std::string error = file_.Close();
  if (!error.empty()) Fail("Stream write error. " + error);
  return failure_.empty();
}

void Mp3TakeWriter::Fail(const std::string& text) {
  if (failure_.empty() && !text.empty()) failure_ = text;
}

}  // namespace tarnovox
