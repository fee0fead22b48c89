#include "formats/flac_file_encoder.h"

#include <algorithm>

namespace tarnovox {

namespace {
// libFLAC's default: a good size for the size of the result and its speed.
constexpr uint32_t kCompressionLevel = 5;
}  // namespace

FlacFileEncoder::~FlacFileEncoder() { Drop(); }

void FlacFileEncoder::Drop() {
  if (encoder_) FLAC__stream_encoder_delete(encoder_);
  encoder_ = nullptr;
  (void)file_.Close();
}

std::string FlacFileEncoder::Create(const std::string& path) {
  const PcmFormat& format = format_;
  Drop();
  failure_.clear();
  position_ = 0;
  if (std::string error = file_.Create(path); !error.empty()) return error;
  encoder_ = FLAC__stream_encoder_new();
  if (!encoder_) {
    Drop();
    return "Out of memory.";
  }
  FLAC__stream_encoder_set_channels(encoder_, format.channels);
  FLAC__stream_encoder_set_bits_per_sample(encoder_, format.bitsPerSample);
  FLAC__stream_encoder_set_sample_rate(encoder_, format.sampleRate);
  FLAC__stream_encoder_set_compression_level(encoder_, kCompressionLevel);
  // libFLAC computes the MD5 of the sound on its own; the finish stores it.
  const FLAC__StreamEncoderInitStatus status = FLAC__stream_encoder_init_stream(
      encoder_, WriteCallback, SeekCallback, TellCallback, nullptr, this);
  if (status != FLAC__STREAM_ENCODER_INIT_STATUS_OK) {
    std::string reason = failure_.empty() ? FLAC__StreamEncoderInitStatusString[status] : failure_;
    Drop();
    return reason;
  }
  return {};
}

std::string FlacFileEncoder::Encode(const uint8_t* pcm, size_t bytes) {
  if (!encoder_ || !failure_.empty()) return failure_;
  const size_t count = bytes / format_.BlockAlign() * format_.channels;
  samples_.resize(count);
  // 8-bit WAV samples are unsigned around 128; FLAC's are signed.
  if (format_.bitsPerSample == 8) {
    std::transform(pcm, pcm + count, samples_.begin(), [](uint8_t v) { return FLAC__int32{v} - 128; });
  } else {
    for (size_t i = 0; i < count; ++i)
      samples_[i] = static_cast<int16_t>(static_cast<uint16_t>(pcm[2 * i] | pcm[2 * i + 1] << 8));
  }
  const auto frames = static_cast<uint32_t>(count / format_.channels);
  if (!FLAC__stream_encoder_process_interleaved(encoder_, samples_.data(), frames) && failure_.empty())
    failure_ = FLAC__stream_encoder_get_resolved_state_string(encoder_);
  return failure_;
}

std::string FlacFileEncoder::Finish() {
  if (!encoder_) return failure_;
  // After a failed write the stream is left as the disk has it: its frames
  // decode, and STREAMINFO says the length is unknown.
  if (failure_.empty() && !FLAC__stream_encoder_finish(encoder_) && failure_.empty())
    failure_ = FLAC__stream_encoder_get_resolved_state_string(encoder_);
  FLAC__stream_encoder_delete(encoder_);
  encoder_ = nullptr;
  const std::string closeError = file_.Close();
  if (failure_.empty()) failure_ = closeError;
  return failure_;
}

FLAC__StreamEncoderWriteStatus FlacFileEncoder::Write(const FLAC__byte* buffer, size_t bytes) {
  std::string error = position_ == file_.Size() ? file_.Append(buffer, bytes)
                                                 : file_.Overwrite(position_, buffer, bytes);
  if (!error.empty()) {
    if (failure_.empty()) failure_ = std::move(error);
    return FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
  }
  position_ += bytes;
  return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
}

FLAC__StreamEncoderWriteStatus FlacFileEncoder::WriteCallback(const FLAC__StreamEncoder*, const FLAC__byte buffer[],
                                                              size_t bytes, uint32_t, uint32_t, void* self) {
  return static_cast<FlacFileEncoder*>(self)->Write(buffer, bytes);
}

// Only the finish seeks: back to STREAMINFO, which it overwrites in place.
FLAC__StreamEncoderSeekStatus FlacFileEncoder::SeekCallback(const FLAC__StreamEncoder*, FLAC__uint64 offset,
                                                            void* self) {
  auto* encoder = static_cast<FlacFileEncoder*>(self);
  if (offset > encoder->file_.Size()) return FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
  encoder->position_ = offset;
  return FLAC__STREAM_ENCODER_SEEK_STATUS_OK;
}

FLAC__StreamEncoderTellStatus FlacFileEncoder::TellCallback(const FLAC__StreamEncoder*, FLAC__uint64* offset,
                                                            void* self) {
  *offset = static_cast<FlacFileEncoder*>(self)->position_;
  return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
}

}  // namespace tarnovox
