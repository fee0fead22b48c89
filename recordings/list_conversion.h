#pragma once
// The file list's "Convert  to MP3", "Convert  to FLAC" and "Convert  to Opus":
// checks and asks on the window thread, then encodes the chosen WAV files, each
// into a file of the same name with the format's extension beside it, on one
// worker per core (ConversionJob) while one progress dialog shows. When the
// job ends, the failures are told once and the list rescanned once. Cancel or
// any failure leaves each target as it was (absent, or the old file byte for
// byte) or complete, and no part file.
#include <string>
#include <vector>

#include "formats/conversion_job.h"
#include "formats/conversion_tasks.h"
#include "formats/convert_progress.h"
#include "platform/dynamic_library.h"
#include "recorder/collaborators.h"
#include "recorder/recorder_state.h"
#include "recorder/ui_hooks.h"
#include "settings/record_settings.h"

namespace tarnovox {

class ListConversion {
 public:
  ListConversion(DynamicLibraryLoader& loader, const RecordSettings& settings, RecorderState& state, UiHooks& ui,
                 PlaybackControl& playback, RecordingsLibrary& library, ConvertProgress& progress,
                 ConversionJob::Deliver deliver);

  // Converts the files of `files` that end in ".wav" in any letter case (bare
  // names are in the output folder); does nothing without one, or while a
  // conversion runs. A file that cannot be read is told and left out; an
  // existing target is replaced only when the user agrees to that one. Refuses
  // everything, with a message, while a source or a target is the file being
  // recorded, also when that take started during a question.
  void ConvertFiles(const std::vector<std::string>& files, ConversionTarget format);
  bool Running() const { return job_.Running(); }
  // The program is closing: the conversion stops and its part files are removed
  // before this returns; its outcome is no longer told.
  void CancelAndWait();
  // Waits for the workers (tests); the outcome still arrives through `deliver`.
  void Wait() { job_.Wait(); }

  // The target path for a source: its extension replaced by the format's.
  static std::string TargetName(const std::string& source, ConversionTarget format);

 private:
  struct Chosen {
    std::string source;
    std::string target;
    bool mayReplace = false;
  };
  // The readable WAV files of `files` whose target may be written, asked for.
  std::vector<Chosen> Choose(const std::vector<Chosen>& candidates);
  std::vector<ConversionTask> MakeTasks(const std::vector<Chosen>& chosen, ConversionTarget format);
  void Start(std::vector<ConversionTask> tasks, ConversionTarget format);
  void Finish(const std::vector<ConversionOutcome>& outcomes);
  // Every failure of the command in one message.
  void TellFailures();
  // False, after saying so, while a take writes to one of the sources or targets.
  bool RecordingAllows(const std::vector<Chosen>& chosen);

  DynamicLibraryLoader& loader_;
  const RecordSettings& settings_;
  RecorderState& state_;
  UiHooks& ui_;
  PlaybackControl& playback_;
  RecordingsLibrary& library_;
  ConvertProgress& progress_;
  ConversionJob job_;
  std::vector<std::string> sources_;   // of the running job's tasks, in their order
  std::vector<std::string> failures_;  // of the running command, told when it ends
  bool closing_ = false;
};

}  // namespace tarnovox
