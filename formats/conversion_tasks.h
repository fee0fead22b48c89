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

enum class ConversionTarget { Mp3, Flac, Opus };

// ".mp3", ".flac" or ".opus".
const char* TargetExtension(ConversionTarget target);
// The target named "mp3", "flac" or "opus" in lower case, or nothing.
std::optional<ConversionTarget> ConversionTargetNamed(const std::string& name);

// `source` and `target` are used as given (absolute paths: the output folder
// may change while the job runs). Returns nothing, and the user's text in
// `error`, when the source is no WAV file we can read. MP3 takes the MP3
// settings (through the encoder library `loader` loads), FLAC keeps the
// source's rate, bits and channels, Opus takes the Opus bit rate.
std::optional<ConversionTask> MakeConversionTask(ConversionTarget format, DynamicLibraryLoader& loader,
                                                 const RecordSettings& settings, const std::string& source,
                                                 const std::string& target, bool mayReplace, std::string& error);

}  // namespace tarnovox
