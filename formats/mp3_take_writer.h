#pragma once
// An MP3 take: 16-bit frames encoded by the encoder library in chunks of the
// size it asks for, its bytes appended to the file as they come. The file is
// written without a library buffer and cut back to the last whole append when
// a write fails, so it always ends on a whole MP3 frame.
#include <string>
#include <vector>

#include "formats/append_file.h"
#include "formats/mp3_encoder.h"
#include "formats/take_marks.h"
#include "formats/take_writer.h"
#include "platform/capture_stream.h"

namespace tarnovox {

class Mp3TakeWriter final : public TakeWriter {
 public:
  // `format` is what Append is given (16-bit; its channels and rate place the marks).
  Mp3TakeWriter(DynamicLibraryLoader& loader, NextTakeFile nextFile, const PcmFormat& format = {});
  ~Mp3TakeWriter() override { Finish(); }

  // Loads the encoder library and opens a stream with `config`. Returns "" or
  // the text the user is told; nothing stays loaded then.
  std::string OpenEncoder(const lame_enc::BE_CONFIG& config);
  // Creates `path` exclusively (a name taken meanwhile moves on to the next).
  // Returns "" or the text the user is told.
  std::string Create(const std::string& path);

  bool Append(const uint8_t* frames, size_t bytes) override;
  // Encodes the frames of an unfinished chunk, flushes the encoder into the
  // file, closes both and releases the library.
  bool Finish() override;
  const std::string& Failure() const override { return failure_; }
  // Marks the frames appended so far; an MP3 file keeps its marks in the label file only.
  std::string AddMark(const std::string& text) override;
  const std::string& CurrentFile() const override { return path_; }
  // The current file ends on a whole frame with the encoder's flush; the next
  // begins a fresh encoder stream, so each file plays on its own.
  bool ContinueInNextFile() override;

 private:
  bool EncodePending(size_t samples);
  bool EndStreamInFile();
  bool WriteOutput();
  void Fail(const std::string& text);

  Mp3Encoder encoder_;
  lame_enc::BE_CONFIG config_{};  // for the stream of each next file
  NextTakeFile nextFile_;
  PcmFormat format_;
  TakeMarks marks_;
  uint64_t samplesAppended_ = 0;
  AppendFile file_;
  std::string path_;
  std::string failure_;
  std::vector<int16_t> pending_;  // samples of the chunk being gathered
  size_t pendingSamples_ = 0;
  bool finished_ = false;
};

}  // namespace tarnovox
