#include "formats/conversion_tasks.h"

#include <memory>

#include "formats/encoder_config.h"
#include "formats/encoder_conversion.h"
#include "formats/flac_file_encoder.h"
#include "formats/opus_file_encoder.h"

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

PcmFormat SourcePcm(const ConversionRequest& request) {
  return {request.format.sampleRate, request.format.channels, request.format.bitsPerSample};
}

}  // namespace

const char* TargetExtension(ConversionTarget target) {
  switch (target) {
    case ConversionTarget::Mp3: return ".mp3";
    case ConversionTarget::Flac: return ".flac";
    case ConversionTarget::Opus: return ".opus";
  }
  return "";
}

std::optional<ConversionTarget> ConversionTargetNamed(const std::string& name) {
  for (ConversionTarget target : {ConversionTarget::Mp3, ConversionTarget::Flac, ConversionTarget::Opus})
    if ("." + name == TargetExtension(target)) return target;
  return std::nullopt;
}

std::optional<ConversionTask> MakeConversionTask(ConversionTarget format, DynamicLibraryLoader& loader,
                                                 const RecordSettings& settings, const std::string& source,
                                                 const std::string& target, bool mayReplace, std::string& error) {
  std::optional<ConversionRequest> request = RequestFor(source, target, mayReplace, error);
  if (!request) return std::nullopt;
  ConversionTask::Run run;
  if (format == ConversionTarget::Mp3) {
    request->config = ConversionConfig(settings, request->format.sampleRate, request->format.channels);
    run = [&loader, request = *request](const std::function<void(int)>& progress, const std::atomic<bool>& cancel) {
      return ConvertWavToMp3(loader, request, progress, cancel);
    };
  } else {
    const int32_t opusBitRate = settings.opusBitRate;
    run = [format, opusBitRate, request = *request](const std::function<void(int)>& progress,
                                                    const std::atomic<bool>& cancel) {
      std::unique_ptr<FileEncoder> encoder;
      if (format == ConversionTarget::Flac) encoder = std::make_unique<FlacFileEncoder>(SourcePcm(request));
      else encoder = std::make_unique<OpusFileEncoder>(SourcePcm(request), opusBitRate);
      return ConvertWavWithEncoder(*encoder, request, progress, cancel);
    };
  }
  return ConversionTask{request->source, request->target, request->format.dataBytes, std::move(run)};
}

}  // namespace tarnovox
