#pragma once
// The encoding of one WAV file into an MP3 file, one encoder chunk at a time.
// It touches nothing but its two files, so it runs on a worker thread. The MP3
// is written under a hidden name and takes the target's name only when it is
// complete, so an existing MP3 survives every failure and a cancel.
#include <atomic>
#include <functional>
#include <string>

#include "formats/lame_enc/lame_enc.h"
#include "formats/wav_source.h"
#include "platform/dynamic_library.h"

namespace tarnovox {

struct ConversionRequest {
  std::string source;  // absolute paths: the output folder may change meanwhile
  std::string target;
  WavSourceFormat format;
  lame_enc::BE_CONFIG config{};
  bool mayReplace = false;  // the user agreed to replace an existing target
};

struct ConversionOutcome {
  enum class Result { Done, Cancelled, Failed };
  Result result = Result::Failed;
  std::string message;  // what the user is told; empty when nothing is to be said
};

// What the user is told when a complete target could not take its name:
// `error` is the system's reason (EEXIST: someone else created the name).
ConversionOutcome CommitFailed(const ConversionRequest& request, int error);

// Converts; calls `progress` with the percentage of the source consumed after
// every chunk and stops at the next chunk once `cancel` is set.
ConversionOutcome ConvertWavToMp3(DynamicLibraryLoader& loader, const ConversionRequest& request,
                                  const std::function<void(int)>& progress, const std::atomic<bool>& cancel);

}  // namespace tarnovox
