#include "formats/split_take_writer.h"

#include <algorithm>

namespace tarnovox {

SplitTakeWriter::SplitTakeWriter(std::unique_ptr<TakeWriter> writer, uint64_t framesPerFile, uint32_t frameBytes)
    : writer_(std::move(writer)), framesPerFile_(std::max<uint64_t>(framesPerFile, 1)), frameBytes_(frameBytes) {}

bool SplitTakeWriter::Append(const uint8_t* frames, size_t bytes) {
  while (bytes >= frameBytes_) {
    if (framesInFile_ == framesPerFile_ && !ContinueInNextFile()) return false;
    const uint64_t room = (framesPerFile_ - framesInFile_) * frameBytes_;
    const size_t piece = static_cast<size_t>(std::min<uint64_t>(bytes / frameBytes_ * frameBytes_, room));
    if (!writer_->Append(frames, piece)) return false;
    framesInFile_ += piece / frameBytes_;
    frames += piece;
    bytes -= piece;
  }
  return writer_->Failure().empty();
}

bool SplitTakeWriter::ContinueInNextFile() {
  framesInFile_ = 0;
  return writer_->ContinueInNextFile();
}

}  // namespace tarnovox
