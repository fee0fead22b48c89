#include "formats/conversion_tasks.h"

#include <filesystem>

#include "formats/encoder_config.h"
#include "formats/encoder_conversion.h"
#include "formats/flac_file_encoder.h"

namespace tarnovox {

namespace {

// The request for a WAV source, or nothing and the reason in `error`.
std::optional<ConversionRequest> RequestFor(const std::string& source, const std::string& target, bool mayReplace,
                                            std::string& error) {
  ConversionRequest request;
  if (!ReadWavSourceFormat(source, request.format, error)) return std::nullopt;
  request.source = source;
  request.target = target;
  request.mayReplace = mayReplace;
  return request;
}

ConversionTask TaskFor(const ConversionRequest& request, ConversionTask::Run run) {
  return {request.source, request.target, request.format.dataBytes, std::move(run)};
}

}  // namespace

std::optional<ConversionTask> WavToMp3Task(DynamicLibraryLoader& loader, const RecordSettings& settings,
                                           const std::string& source, const std::string& target, bool mayReplace,
                                           std::string& error) {
  std::optional<ConversionRequest> request = RequestFor(source, target, mayReplace, error);
  if (!request) return std::nullopt;
  request->config = ConversionConfig(settings, request->format.sampleRate, request->format.channels);
  return TaskFor(*request, [&loader, request = *request](const std::function<void(int)>& progress,
                                                         const std::atomic<bool>& cancel) {
    return ConvertWavToMp3(loader, request, progress, cancel);
  });
}

std::optional<ConversionTask> WavToFlacTask(const std::string& source, const std::string& target, bool mayReplace,
                                            std::string& error) {
  const std::optional<ConversionRequest> request = RequestFor(source, target, mayReplace, error);
  if (!request) return std::nullopt;
  return TaskFor(*request, [request = *request](const std::function<void(int)>& progress,
                                                const std::atomic<bool>& cancel) {
    FlacFileEncoder encoder(
        PcmFormat{request.format.sampleRate, request.format.channels, request.format.bitsPerSample});
    return ConvertWavWithEncoder(encoder, request, progress, cancel);
  });
}

}  // namespace tarnovox
