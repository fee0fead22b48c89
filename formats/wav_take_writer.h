#pragma once
// A WAV take: a 44-byte header whose sizes are brought up to date after every
// append (a take whose program is killed plays up to its last write), and,
// before its data would pass what 32-bit RIFF sizes hold, a continuation in
// the next free file without a gap. Its marks go to the label file at once and
// into "cue " and "LIST" chunks after the data when the file is finished.
#include <string>

#include "formats/take_marks.h"
#include "formats/take_writer.h"
#include "formats/wave_file_writer.h"
#include "formats/wave_format.h"
#include "platform/capture_stream.h"

namespace tarnovox {

class WavTakeWriter final : public TakeWriter {
 public:
  // Largest data chunk a RIFF file can describe: its RIFF size (data + 36) is 32-bit.
  static constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36;

  // `nextFile` names the continuation and a file whose name was taken after it
  // was chosen; `maxDataBytes` is lowered by tests.
  WavTakeWriter(const PcmFormat& format, NextTakeFile nextFile, uint64_t maxDataBytes = kMaxDataBytes);
  ~WavTakeWriter() override { Finish(); }

  // Creates `path` exclusively (nothing existing is truncated; a name taken
  // meanwhile moves on to the next). Returns "" or the text the user is told.
  std::string Create(const std::string& path);

  bool Append(const uint8_t* frames, size_t bytes) override;
  bool Finish() override;
  const std::string& Failure() const override { return failure_; }
  const std::string& CurrentFile() const override { return path_; }
  bool ContinueInNextFile() override;
  // Marks the frames appended to the current file so far.
  std::string AddMark(const std::string& text) override;
  uint64_t DataBytes() const { return file_.DataBytes(); }

 private:
  bool AppendPiece(const uint8_t* frames, uint32_t bytes);
  std::array<uint8_t, kWaveHeaderBytes> Header(uint32_t trailingBytes = 0) const;
  bool WriteMarkChunks(uint32_t& trailingBytes);
  void Fail(const std::string& text);

  PcmFormat format_;
  NextTakeFile nextFile_;
  uint64_t maxDataBytes_;
  WaveFileWriter file_;
  TakeMarks marks_;
  std::string path_;
  std::string failure_;
};

}  // namespace tarnovox
