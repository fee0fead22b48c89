#pragma once
// The "Convert  to MP3" command of the file list: encodes CurrentFile, a WAV
// file, into an MP3 file of the same name beside it, one encoder chunk at a
// time, letting window messages run between chunks so Cancel can be clicked.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "core/collaborators.h"
#include "core/recorder_state.h"
#include "core/ui_hooks.h"
#include "mp3/convert_progress.h"
#include "mp3/mp3_encoder.h"
#include "mp3/wav_source.h"
#include "platform/dynamic_library.h"
#include "settings/record_settings.h"

namespace tarnovox {

class WavToMp3 {
 public:
  WavToMp3(DynamicLibraryLoader& loader, RecordSettings& settings, RecorderState& state, UiHooks& ui,
           PlaybackControl& playback, RecordingsLibrary& library, ConvertProgress& progress);

  // The whole menu command (pmWav2MP3Click). Does nothing unless CurrentFile
  // ends in ".wav" in any letter case. A cancelled conversion's target is
  // deleted after the encoder was flushed.
  void pmWav2MP3Click();

  // The target path for a source: its extension replaced by ".mp3".
  static std::string TargetName(const std::string& source);

 private:
  // Encodes `source` into `target`; shows every failure.
  void Convert(const std::string& source, const std::string& target, const WavSourceFormat& format);
  // The chunk loop; false when it ended on a failure.
  bool EncodePieces(Mp3Encoder& encoder, std::ifstream& in, std::ofstream& out,
                    const WavSourceFormat& format, uint32_t total);
  bool WriteOutput(Mp3Encoder& encoder, std::ofstream& out);

  DynamicLibraryLoader& loader_;
  RecordSettings& settings_;
  RecorderState& state_;
  UiHooks& ui_;
  PlaybackControl& playback_;
  RecordingsLibrary& library_;
  ConvertProgress& progress_;
  std::vector<uint8_t> piece_;
  std::vector<int16_t> pcm_;
};

}  // namespace tarnovox
