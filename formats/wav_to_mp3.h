#pragma once
// The "Convert  to MP3" command of the file list: encodes CurrentFile, a WAV
// file, into an MP3 file of the same name beside it, one encoder chunk at a
// time, letting window messages run between chunks so Cancel can be clicked.
// The MP3 is written under a hidden name and takes the target's name only when
// it is complete, so an existing MP3 survives every failure and a cancel.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "recorder/collaborators.h"
#include "recorder/recorder_state.h"
#include "recorder/ui_hooks.h"
#include "formats/convert_progress.h"
#include "formats/mp3_encoder.h"
#include "formats/replacing_file.h"
#include "formats/wav_source.h"
#include "platform/dynamic_library.h"
#include "settings/record_settings.h"

namespace tarnovox {

class WavToMp3 {
 public:
  WavToMp3(DynamicLibraryLoader& loader, RecordSettings& settings, RecorderState& state, UiHooks& ui,
           PlaybackControl& playback, RecordingsLibrary& library, ConvertProgress& progress);

  // The whole menu command (pmWav2MP3Click). Does nothing unless CurrentFile
  // ends in ".wav" in any letter case. Cancel or any failure leaves the target
  // as it was (absent, or the old file byte for byte). Refuses, with a
  // message, while the source or the target is the file being recorded, also
  // when that recording started during the question or between two chunks.
  void pmWav2MP3Click();

  // The target path for a source: its extension replaced by ".mp3".
  static std::string TargetName(const std::string& source);

 private:
  // Encodes `source` into `target`; shows every failure. `mayReplace`: the
  // user agreed to replace an existing target.
  void Convert(const std::string& source, const std::string& target, const WavSourceFormat& format,
               bool mayReplace);
  // The chunk loop over the data chunk; false when it ended on a failure or
  // on a recording of source or target.
  bool EncodePieces(Mp3Encoder& encoder, std::ifstream& in, ReplacingFile& out,
                    const WavSourceFormat& format, const std::string& source, const std::string& target);
  bool WriteOutput(Mp3Encoder& encoder, ReplacingFile& out);
  // False, after saying so, while a recording writes to `source` or `target`.
  // Window messages may start a recording at any point where they run.
  bool RecordingAllows(const std::string& source, const std::string& target);

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
