#include "formats/conversion_tasks.h"

#include <filesystem>

#include "formats/encoder_config.h"

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

}  // namespace tarnovox
