#pragma once
// A take written through a FileEncoder (FLAC, Opus): frames are encoded as
// they arrive and handed to the disk every second, so a take whose program or
// computer stops keeps its sound up to about then.
#include <memory>
#include <string>

#include "formats/file_encoder.h"
#include "formats/take_marks.h"
#include "formats/take_writer.h"

namespace tarnovox {

class EncodedTakeWriter final : public TakeWriter {
 public:
  EncodedTakeWriter(std::unique_ptr<FileEncoder> encoder, NextTakeFile nextFile);
  ~EncodedTakeWriter() override { Finish(); }

  // Creates `path` exclusively (a name taken meanwhile moves on to the next).
  // Returns "" or the text the user is told.
  std::string Create(const std::string& path);

  bool Append(const uint8_t* frames, size_t bytes) override;
  bool Finish() override;
  const std::string& Failure() const override { return failure_; }
  const std::string& CurrentFile() const override { return path_; }
  // Completes this file and goes on in the next free one, with a fresh stream.
  bool ContinueInNextFile() override;
  // Marks the frames appended to the current file so far, in its label file.
  std::string AddMark(const std::string& text) override;

 private:
  void Fail(const std::string& reason);

  std::unique_ptr<FileEncoder> encoder_;
  NextTakeFile nextFile_;
  std::string path_;
  std::string failure_;
  uint64_t framesSinceSync_ = 0;
  uint64_t framesInFile_ = 0;
  TakeMarks marks_;
  bool open_ = false;
};

}  // namespace tarnovox
