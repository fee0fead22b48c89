#include "formats/opus_file_encoder.h"

namespace tarnovox {

namespace {
// In 48 kHz samples. The library's defaults hold up to 2 s before encoding
// and 1 s before writing a page; a take keeps far less away from the disk.
constexpr int kDecisionDelay = 960;  // 20 ms: one Opus frame
constexpr int kMuxingDelay = 9600;  // 0.2 s
}  // namespace

OpusFileEncoder::OpusFileEncoder(uint16_t channels, int32_t kbitPerSecond)
    : OpusFileEncoder(PcmFormat{kSampleRate, channels, 16}, kbitPerSecond) {}

OpusFileEncoder::OpusFileEncoder(const PcmFormat& input, int32_t kbitPerSecond)
    : format_(input), bitRate_(kbitPerSecond * 1000) {}

OpusFileEncoder::~OpusFileEncoder() { Drop(); }

void OpusFileEncoder::Drop() {
  if (encoder_) ope_encoder_destroy(encoder_);
  if (comments_) ope_comments_destroy(comments_);
  encoder_ = nullptr;
  comments_ = nullptr;
  (void)file_.Close();
}

std::string OpusFileEncoder::Reason(int error) const {
  return failure_.empty() ? ope_strerror(error) : failure_;
}

std::string OpusFileEncoder::Create(const std::string& path) {
  Drop();
  failure_.clear();
  if (std::string error = file_.Create(path); !error.empty()) return error;
  comments_ = ope_comments_create();
  static const OpusEncCallbacks kCallbacks = {WritePage, CloseNothing};
  int error = comments_ ? OPE_OK : OPE_ALLOC_FAIL;
  if (comments_)
    encoder_ = ope_encoder_create_callbacks(&kCallbacks, this, comments_, static_cast<opus_int32>(format_.sampleRate),
                                            format_.channels, 0, &error);
  if (encoder_) error = ope_encoder_ctl(encoder_, OPUS_SET_BITRATE(bitRate_));
  if (error == OPE_OK) error = ope_encoder_ctl(encoder_, OPE_SET_DECISION_DELAY(kDecisionDelay));
  if (error == OPE_OK) error = ope_encoder_ctl(encoder_, OPE_SET_MUXING_DELAY(kMuxingDelay));
  // The headers go to the disk now, so even a take killed at once is a file.
  if (error == OPE_OK) error = ope_encoder_flush_header(encoder_);
  if (error != OPE_OK) {
    const std::string reason = Reason(error);
    Drop();
    return reason;
  }
  return {};
}

std::string OpusFileEncoder::Encode(const uint8_t* pcm, size_t bytes) {
  if (!encoder_ || !failure_.empty()) return failure_;
  const int frames = static_cast<int>(bytes / format_.BlockAlign());
  // 16-bit samples are little-endian, as this machine's are; 8-bit ones are
  // unsigned around 128.
  const opus_int16* samples = reinterpret_cast<const opus_int16*>(pcm);
  if (format_.bitsPerSample == 8) {
    widened_.resize(static_cast<size_t>(frames) * format_.channels);
    for (size_t i = 0; i < widened_.size(); ++i) widened_[i] = static_cast<opus_int16>((pcm[i] - 128) * 256);
    samples = widened_.data();
  }
  const int error = ope_encoder_write(encoder_, samples, frames);
  if (error != OPE_OK && failure_.empty()) failure_ = Reason(error);
  return failure_;
}

std::string OpusFileEncoder::Finish() {
  if (!encoder_) return failure_;
  if (failure_.empty()) {
    const int error = ope_encoder_drain(encoder_);
    if (error != OPE_OK && failure_.empty()) failure_ = Reason(error);
  }
  ope_encoder_destroy(encoder_);
  encoder_ = nullptr;
  const std::string closeError = file_.Close();
  if (failure_.empty()) failure_ = closeError;
  Drop();
  return failure_;
}

// Each call is one whole Ogg page; a page the disk cannot take is cut off again.
int OpusFileEncoder::WritePage(void* self, const unsigned char* page, opus_int32 bytes) {
  auto* encoder = static_cast<OpusFileEncoder*>(self);
  std::string error = encoder->file_.Append(page, static_cast<size_t>(bytes));
  if (error.empty()) return 0;
  if (encoder->failure_.empty()) encoder->failure_ = std::move(error);
  return 1;
}

}  // namespace tarnovox
