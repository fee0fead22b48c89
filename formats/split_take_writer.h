#pragma once
// A take cut into files of a fixed number of frames: wraps the take's own
// writer and, once its current file holds that many frames, has it go on in
// the next free file. The cut falls on the exact frame, so the files joined
// are the take, none lost or doubled; a next file is begun only when a frame
// for it arrives (a take of exactly two parts leaves no empty third).
#include <cstdint>
#include <memory>

#include "formats/take_writer.h"

namespace tarnovox {

class SplitTakeWriter final : public TakeWriter {
 public:
  // `framesPerFile` > 0; `frameBytes`: the bytes of one frame of the take.
  SplitTakeWriter(std::unique_ptr<TakeWriter> writer, uint64_t framesPerFile, uint32_t frameBytes);

  bool Append(const uint8_t* frames, size_t bytes) override;
  bool Finish() override { return writer_->Finish(); }
  const std::string& Failure() const override { return writer_->Failure(); }
  const std::string& CurrentFile() const override { return writer_->CurrentFile(); }
  bool ContinueInNextFile() override;
  // A mark on a cut falls at the end of the finished part.
  std::string AddMark(const std::string& text) override { return writer_->AddMark(text); }

 private:
  std::unique_ptr<TakeWriter> writer_;
  uint64_t framesPerFile_;
  uint32_t frameBytes_;
  uint64_t framesInFile_ = 0;
};

}  // namespace tarnovox
