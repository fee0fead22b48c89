#pragma once
// The conversion of one WAV file into a target format, made ready for a
// ConversionJob: the source's format is read and the encoder configured from
// the current settings here, on the caller's thread, so a file that cannot be
// converted is told before any worker starts.
#include <optional>
#include <string>

#include "formats/conversion_job.h"
#include "platform/dynamic_library.h"
#include "settings/record_settings.h"

namespace tarnovox {

// `source` and `target` are used as given (absolute paths: the output folder
// may change while the job runs). Returns nothing, and the user's text in
// `error`, when the source is no WAV file we can read.
std::optional<ConversionTask> WavToMp3Task(DynamicLibraryLoader& loader, const RecordSettings& settings,
                                           const std::string& source, const std::string& target, bool mayReplace,
                                           std::string& error);

// The same into a FLAC file of the source's own rate, bits and channels.
std::optional<ConversionTask> WavToFlacTask(const std::string& source, const std::string& target, bool mayReplace,
                                            std::string& error);

}  // namespace tarnovox
