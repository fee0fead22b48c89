#include "formats/conversion_tasks.h"

#include <filesystem>

#include "formats/encoder_config.h"
#include "formats/encoder_conversion.h"
#include "formats/flac_file_encoder.h"

namespace tarnovox {

std::optional<ConversionTask> WavToMp3Task(DynamicLibraryLoader& loader, const RecordSettings& settings,
                                           const std::string& source, const std::string& target, bool mayReplace,
                                           std::string& error) {
  ConversionRequest request;
  if (!ReadWavSourceFormat(source, request.format, error)) return std::nullopt;
  request.source = source;
  request.target = target;
  request.mayReplace = mayReplace;
  request.config = ConversionConfig(settings, request.format.sampleRate, request.format.channels);
  ConversionTask task;
  task.source = source;
  task.target = target;
  task.weight = request.format.dataBytes;
  task.run = [&loader, request](const std::function<void(int)>& progress, const std::atomic<bool>& cancel) {
    return ConvertWavToMp3(loader, request, progress, cancel);
  };
  return task;
}

std::optional<ConversionTask> WavToFlacTask(const std::string& source, const std::string& target, bool mayReplace,
                                            std::string& error) {
  ConversionRequest request;
  if (!ReadWavSourceFormat(source, request.format, error)) return std::nullopt;
  request.source = source;
  request.target = target;
  request.mayReplace = mayReplace;
  ConversionTask task;
  task.source = source;
  task.target = target;
  task.weight = request.format.dataBytes;
  task.run = [request](const std::function<void(int)>& progress, const std::atomic<bool>& cancel) {
    FlacFileEncoder encoder(
        PcmFormat{request.format.sampleRate, request.format.channels, request.format.bitsPerSample});
    return ConvertWavWithEncoder(encoder, request, progress, cancel);
  };
  return task;
}

}  // namespace tarnovox
