#pragma once
// A FLAC file encoded from PCM as it comes (libFLAC). Every encoded frame goes
// to the disk at once and whole, so a file whose program is killed decodes up
// to its last frame (its STREAMINFO then says the length is unknown); Finish
// writes the total length and the MD5 of the sound into STREAMINFO.
#include <FLAC/stream_encoder.h>

#include <string>
#include <vector>

#include "formats/append_file.h"
#include "formats/file_encoder.h"

namespace tarnovox {

class FlacFileEncoder final : public FileEncoder {
 public:
  // `format`: 8-bit unsigned or 16-bit signed samples, 1 or 2 channels, any rate.
  explicit FlacFileEncoder(const PcmFormat& format) : format_(format) {}
  ~FlacFileEncoder() override;
  FlacFileEncoder(const FlacFileEncoder&) = delete;
  FlacFileEncoder& operator=(const FlacFileEncoder&) = delete;

  const PcmFormat& Input() const override { return format_; }
  std::string Create(const std::string& path) override;
  bool NameTaken() const override { return file_.NameTaken(); }
  std::string Encode(const uint8_t* pcm, size_t bytes) override;
  std::string Sync() override { return file_.Sync(); }
  // After a failed write only closes: the frames on disk decode, and
  // STREAMINFO says the length is unknown.
  std::string Finish() override;

 private:
  static FLAC__StreamEncoderWriteStatus WriteCallback(const FLAC__StreamEncoder*, const FLAC__byte buffer[],
                                                      size_t bytes, uint32_t samples, uint32_t frame,
                                                      void* self);
  static FLAC__StreamEncoderSeekStatus SeekCallback(const FLAC__StreamEncoder*, FLAC__uint64 offset, void* self);
  static FLAC__StreamEncoderTellStatus TellCallback(const FLAC__StreamEncoder*, FLAC__uint64* offset, void* self);
  FLAC__StreamEncoderWriteStatus Write(const FLAC__byte* buffer, size_t bytes);
  void Drop();

  FLAC__StreamEncoder* encoder_ = nullptr;
  AppendFile file_;
  PcmFormat format_;
  uint64_t position_ = 0;  // where libFLAC writes next: the end, or STREAMINFO at the finish
  std::string failure_;
  std::vector<FLAC__int32> samples_;
};

}  // namespace tarnovox
