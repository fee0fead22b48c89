#include "formats/encoder_conversion.h"

#include <cerrno>
#include <fstream>
#include <vector>

#include "formats/wave_format.h"
#include "platform/replacing_file.h"

namespace tarnovox {
namespace {

using Result = ConversionOutcome::Result;

constexpr uint32_t kFramesPerPiece = 4096;

ConversionOutcome Failed(std::string message) { return {Result::Failed, std::move(message)}; }

}  // namespace

ConversionOutcome ConvertWavWithEncoder(FileEncoder& encoder, const ConversionRequest& request,
                                        const std::function<void(int)>& progress, const std::atomic<bool>& cancel) {
  ReplacingFile place;  // removes the part file on every way out but the commit
  if (!place.ReserveName(request.target))
    return Failed(StreamErrorText("Cannot create file \"%s\". %s", request.target, place.Error()));
  if (std::string error = encoder.Create(place.PartPath()); !error.empty()) return Failed(error);
  errno = 0;
  std::ifstream in(request.source, std::ios::binary);
  if (!in) {
    (void)encoder.Finish();
    return Failed(StreamErrorText("Cannot open file \"%s\". %s", request.source, errno ? errno : ENOENT));
  }
  const uint32_t frameBytes = encoder.Input().BlockAlign();
  // A trailing part of a frame is not sound.
  const uint64_t total = request.format.dataBytes / frameBytes * frameBytes;
  std::vector<uint8_t> piece(size_t{kFramesPerPiece} * frameBytes);
  in.seekg(static_cast<std::streamoff>(request.format.dataOffset));
  uint64_t consumed = 0;
  int reported = -1;
  while (consumed < total && !cancel) {
    const size_t size = static_cast<size_t>(std::min<uint64_t>(piece.size(), total - consumed));
    in.read(reinterpret_cast<char*>(piece.data()), static_cast<std::streamsize>(size));
    if (in.gcount() != static_cast<std::streamsize>(size)) {
      (void)encoder.Finish();
      return Failed("Stream read error");
    }
    if (std::string error = encoder.Encode(piece.data(), size); !error.empty()) {
      (void)encoder.Finish();
      return Failed("Stream write error. " + error);
    }
    consumed += size;
    const int percent = static_cast<int>(consumed * 100 / total);
    if (percent != reported && progress) progress(percent);
    reported = percent;
  }
  const std::string finished = encoder.Finish();
  if (cancel) return {Result::Cancelled, {}};
  if (!finished.empty()) return Failed("Stream write error. " + finished);
  if (!place.CommitWritten(request.mayReplace)) return CommitFailed(request, place.Error());
  return {Result::Done, {}};
}

}  // namespace tarnovox
