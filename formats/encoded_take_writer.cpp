#include "formats/encoded_take_writer.h"

#include "formats/append_file.h"

namespace tarnovox {

EncodedTakeWriter::EncodedTakeWriter(std::unique_ptr<FileEncoder> encoder, NextTakeFile nextFile)
    : encoder_(std::move(encoder)), nextFile_(std::move(nextFile)) {}

std::string EncodedTakeWriter::Create(const std::string& path) {
  path_ = path;
  const std::string error = CreateUnderAFreeName(
      [this] { return encoder_->Create(path_); }, [this] { return encoder_->NameTaken(); },
      [this] {
        if (!nextFile_) return false;
        path_ = nextFile_();
        return !path_.empty();
      });
  if (!error.empty() && failure_.empty()) failure_ = error;
  open_ = error.empty();
  framesInFile_ = 0;
  if (open_) marks_.Begin(path_, encoder_->Input().sampleRate);
  return error;
}

bool EncodedTakeWriter::ContinueInNextFile() {
  if (!open_ || !failure_.empty()) return false;
  open_ = false;
  if (const std::string error = encoder_->Finish(); !error.empty()) {
    Fail(error);
    return false;
  }
  const std::string next = nextFile_ ? nextFile_() : std::string();
  if (next.empty()) {
    failure_ = "The recording was ended: no free file name is left for its continuation.";
    return false;
  }
  return Create(next).empty();
}

std::string EncodedTakeWriter::AddMark(const std::string& text) {
  if (!open_) return {};
  return marks_.Add(framesInFile_, text);
}

bool EncodedTakeWriter::Append(const uint8_t* frames, size_t bytes) {
  if (!open_ || !failure_.empty()) return false;
  if (const std::string error = encoder_->Encode(frames, bytes); !error.empty()) {
    Fail(error);
    return false;
  }
  framesSinceSync_ += bytes / encoder_->Input().BlockAlign();
  framesInFile_ += bytes / encoder_->Input().BlockAlign();
  if (framesSinceSync_ >= encoder_->Input().sampleRate) {
    framesSinceSync_ = 0;
    if (const std::string error = encoder_->Sync(); !error.empty()) {
      Fail(error);
      return false;
    }
  }
  return true;
}

bool EncodedTakeWriter::Finish() {
  if (!open_) return failure_.empty();
  open_ = false;
  if (const std::string error = encoder_->Finish(); !error.empty()) Fail(error);
  return failure_.empty();
}

// What was written stays, closed; the encoder takes nothing more.
void EncodedTakeWriter::Fail(const std::string& reason) {
  if (failure_.empty()) failure_ = "Stream write error. " + reason;
  if (open_) (void)encoder_->Finish();
  open_ = false;
}

}  // namespace tarnovox
