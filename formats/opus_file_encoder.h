#pragma once
// An Ogg Opus file encoded from 8- or 16-bit PCM of any rate as it comes
// (libopusenc, which resamples to Opus's 48 kHz itself).
// Pages are written whole and at most 0.2 s after their sound is encoded, so a
// file whose program is killed decodes up to about then.
#include <opus/opusenc.h>

#include <string>
#include <vector>

#include "formats/append_file.h"
#include "formats/file_encoder.h"

namespace tarnovox {

class OpusFileEncoder final : public FileEncoder {
 public:
  // Opus encodes at 48000 Hz whatever the source's rate was.
  static constexpr uint32_t kSampleRate = 48000;

  // 48 kHz 16-bit PCM of 1 or 2 channels; the bit rate in kbit/s.
  OpusFileEncoder(uint16_t channels, int32_t kbitPerSecond);
  // PCM of 8 or 16 bits, 1 or 2 channels, at any rate (a WAV file converted).
  OpusFileEncoder(const PcmFormat& input, int32_t kbitPerSecond);
  ~OpusFileEncoder() override;
  OpusFileEncoder(const OpusFileEncoder&) = delete;
  OpusFileEncoder& operator=(const OpusFileEncoder&) = delete;

  const PcmFormat& Input() const override { return format_; }
  std::string Create(const std::string& path) override;
  bool NameTaken() const override { return file_.NameTaken(); }
  std::string Encode(const uint8_t* pcm, size_t bytes) override;
  std::string Sync() override { return file_.Sync(); }
  std::string Finish() override;

 private:
  static int WritePage(void* self, const unsigned char* page, opus_int32 bytes);
  static int CloseNothing(void*) { return 0; }
  std::string Reason(int error) const;
  void Drop();

  PcmFormat format_;
  int32_t bitRate_;
  OggOpusEnc* encoder_ = nullptr;
  OggOpusComments* comments_ = nullptr;
  AppendFile file_;
  std::string failure_;
  std::vector<opus_int16> widened_;  // 8-bit input made 16-bit
};

}  // namespace tarnovox
