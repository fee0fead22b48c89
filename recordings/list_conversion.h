#pragma once
// The "Convert  to MP3" command of the file list: checks and asks on the
// window thread, then encodes CurrentFile, a WAV file, into an MP3 file of
// the same name beside it on a worker thread while the progress dialog shows
// (ConversionJob). When the job ends, a failure is told and the list rescanned.
// Cancel or any failure leaves the target as it was (absent, or the old file
// byte for byte), and no part file.
#include <string>

#include <vector>

#include "formats/conversion_job.h"
#include "formats/convert_progress.h"
#include "formats/wav_source.h"
#include "platform/dynamic_library.h"
#include "recorder/collaborators.h"
#include "recorder/recorder_state.h"
#include "recorder/ui_hooks.h"
#include "settings/record_settings.h"

namespace tarnovox {

class WavToMp3 {
 public:
  WavToMp3(DynamicLibraryLoader& loader, const RecordSettings& settings, RecorderState& state, UiHooks& ui,
           PlaybackControl& playback, RecordingsLibrary& library, ConvertProgress& progress,
           ConversionJob::Deliver deliver);

  // Does nothing unless CurrentFile ends in ".wav" in any letter case, or while
  // a conversion runs. Refuses, with a message, while the source or the target
  // is the file being recorded, also when that take started during the question.
  void ConvertCurrentFile();
  bool Running() const { return job_.Running(); }
  // The program is closing: the conversion stops and its part file is removed
  // before this returns; its outcome is no longer told.
  void CancelAndWait();
  // Waits for the worker (tests); the outcome still arrives through `deliver`.
  void Wait() { job_.Wait(); }

  // The target path for a source: its extension replaced by ".mp3".
  static std::string TargetName(const std::string& source);

 private:
  void Finish(const std::vector<ConversionOutcome>& outcomes);
  // False, after saying so, while a take writes to `source` or `target`.
  bool RecordingAllows(const std::string& source, const std::string& target);

  DynamicLibraryLoader& loader_;
  const RecordSettings& settings_;
  RecorderState& state_;
  UiHooks& ui_;
  PlaybackControl& playback_;
  RecordingsLibrary& library_;
  ConvertProgress& progress_;
  ConversionJob job_;
  bool closing_ = false;
};

}  // namespace tarnovox
