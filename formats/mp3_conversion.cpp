#include "formats/mp3_conversion.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

#include "formats/mp3_encoder.h"
#include "formats/wave_format.h"
#include "platform/replacing_file.h"

namespace tarnovox {
namespace {

using Result = ConversionOutcome::Result;

ConversionOutcome Failed(std::string message) { return {Result::Failed, std::move(message)}; }

// 8-bit WAV samples are unsigned around 128; the encoder takes signed 16-bit.
void Widen8Bit(const uint8_t* in, size_t count, int16_t* out) {
  for (size_t i = 0; i < count; ++i) out[i] = static_cast<int16_t>((in[i] - 128) * 256);
}

class Converter {
 public:
  Converter(DynamicLibraryLoader& loader, const ConversionRequest& request, const std::function<void(int)>& progress,
            const std::atomic<bool>& cancel)
      : encoder_(loader), request_(request), progress_(progress), cancel_(cancel) {}

  ConversionOutcome Run() {
    if (!encoder_.Load(true)) return Failed(encoder_.Failure());
    encoder_.QueryVersion();
    if (!encoder_.Init(request_.config)) return Failed(encoder_.Failure());
    if (!out_.Create(request_.target))
      return Failed(StreamErrorText("Cannot create file \"%s\". %s", request_.target, out_.Error()));
    errno = 0;
    in_.open(request_.source, std::ios::binary);
    if (!in_) return Failed(StreamErrorText("Cannot open file \"%s\". %s", request_.source, errno ? errno : ENOENT));
    if (ConversionOutcome failed = EncodePieces(); !failed.message.empty()) return failed;
    // A cancel keeps the old target, so the encoder is not flushed for nothing.
    if (cancel_) return {Result::Cancelled, {}};
    const bool flushed = encoder_.Flush() && WriteOutput();
    encoder_.Close();
    if (!encoder_.Failure().empty()) return Failed(encoder_.Failure());
    if (!flushed) return Failed(writeFailure_);
    if (!out_.Commit(request_.mayReplace)) return CommitFailed(request_, out_.Error());
    return {Result::Done, {}};
  }

 private:
  ConversionOutcome EncodePieces() {
    const WavSourceFormat& format = request_.format;
    const uint32_t bytesPerSample = format.bitsPerSample / 8;
    const uint32_t fullPiece = encoder_.SamplesPerChunk() * bytesPerSample;
    const uint32_t total = format.dataBytes;
    std::vector<uint8_t> piece(static_cast<size_t>(encoder_.SamplesPerChunk()) * 2);
    std::vector<int16_t> pcm(encoder_.SamplesPerChunk());
    uint32_t consumed = 0;
    int reported = -1;
    in_.seekg(static_cast<std::streamoff>(format.dataOffset));
    while (consumed < total && !cancel_) {
      const uint32_t size = std::min(fullPiece, total - consumed);
      in_.read(reinterpret_cast<char*>(piece.data()), size);
      if (in_.gcount() != static_cast<std::streamsize>(size)) return Failed("Stream read error");
      // A trailing odd byte of a 16-bit file is read but is not a sample.
      const uint32_t count = size / bytesPerSample;
      if (bytesPerSample == 1) Widen8Bit(piece.data(), count, pcm.data());
      else std::memcpy(pcm.data(), piece.data(), static_cast<size_t>(count) * 2);
      if (!encoder_.Encode(pcm.data(), count)) return Failed(encoder_.Failure());
      if (!WriteOutput()) return Failed(writeFailure_);
      consumed += size;
      const int percent = static_cast<int>(uint64_t{consumed} * 100 / total);
      if (percent != reported && progress_) progress_(percent);
      reported = percent;
    }
    return {};
  }

  bool WriteOutput() {
    const auto bytes = encoder_.Output();
    if (bytes.empty() || out_.Write(bytes.data(), bytes.size())) return true;
    writeFailure_ = std::string("Stream write error. ") + std::strerror(out_.Error());
    return false;
  }

  Mp3Encoder encoder_;  // releases stream and library on every way out
  ReplacingFile out_;   // removed on every way out but the commit
  std::ifstream in_;
  const ConversionRequest& request_;
  const std::function<void(int)>& progress_;
  const std::atomic<bool>& cancel_;
  std::string writeFailure_;
};

}  // namespace

ConversionOutcome CommitFailed(const ConversionRequest& request, int error) {
  return {ConversionOutcome::Result::Failed,
          error == EEXIST ? "Can not convert \"" + request.source + "\": \"" + request.target +
                                "\" was created by someone else during the conversion and is kept."
                          : StreamErrorText("Cannot create file \"%s\". %s", request.target, error)};
}

ConversionOutcome ConvertWavToMp3(DynamicLibraryLoader& loader, const ConversionRequest& request,
                                  const std::function<void(int)>& progress, const std::atomic<bool>& cancel) {
  return Converter(loader, request, progress, cancel).Run();
}

}  // namespace tarnovox
