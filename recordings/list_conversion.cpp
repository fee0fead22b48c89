#include "recordings/list_conversion.h"

#include <filesystem>

#include "formats/wav_source.h"
#include "recordings/recording_files.h"  // UpperExtension

namespace tarnovox {

namespace fs = std::filesystem;

namespace {

// Whether two paths name the same file; bare names resolve against the
// current folder, which is the output folder.
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  if (fs::equivalent(a, b, error)) return true;
  auto normal = [](const std::string& path) {
    std::error_code ignored;
    const fs::path absolute = fs::absolute(path, ignored);
    const fs::path canonical = fs::weakly_canonical(absolute, ignored);
    return canonical.empty() ? absolute.lexically_normal() : canonical;
  };
  return normal(a) == normal(b);
}

std::string Absolute(const std::string& path) {
  std::error_code ignored;
  return fs::absolute(path, ignored).string();
}

std::string FormatName(ConversionTarget format) {
  switch (format) {
    case ConversionTarget::Mp3: return "MP3";
    case ConversionTarget::Flac: return "FLAC";
    case ConversionTarget::Opus: return "Opus";
  }
  return {};
}

}  // namespace

ListConversion::ListConversion(DynamicLibraryLoader& loader, const RecordSettings& settings, RecorderState& state,
                               UiHooks& ui, PlaybackControl& playback, RecordingsLibrary& library,
                               ConvertProgress& progress, ConversionJob::Deliver deliver)
    : loader_(loader),
      settings_(settings),
      state_(state),
      ui_(ui),
      playback_(playback),
      library_(library),
      progress_(progress),
      job_(std::move(deliver)) {}

std::string ListConversion::TargetName(const std::string& source, ConversionTarget format) {
  return fs::path(source).replace_extension(TargetExtension(format)).string();
}

void ListConversion::ConvertFiles(const std::vector<std::string>& files, ConversionTarget format) {
  if (job_.Running()) return;
  failures_.clear();
  std::vector<Chosen> candidates;
  for (const std::string& file : files) {
    if (UpperExtension(file) == ".WAV") candidates.push_back({file, TargetName(file, format), false});
  }
  if (candidates.empty() || !RecordingAllows(candidates)) return;
  playback_.ClosePlayback();
  const std::vector<Chosen> chosen = Choose(candidates);
  if (!chosen.empty() && RecordingAllows(chosen)) {
    std::vector<ConversionTask> tasks = MakeTasks(chosen, format);
    if (!tasks.empty()) {
      Start(std::move(tasks), format);
      return;
    }
  }
  TellFailures();
}

// A file that cannot be read is told before any question; each existing target
// gets the question of its own, so that some can be kept and others replaced.
std::vector<ListConversion::Chosen> ListConversion::Choose(const std::vector<Chosen>& candidates) {
  std::vector<Chosen> chosen;
  for (Chosen candidate : candidates) {
    WavSourceFormat source;
    std::string error;
    if (!ReadWavSourceFormat(candidate.source, source, error)) {
      failures_.push_back(error);
      continue;
    }
    std::error_code ignored;
    candidate.mayReplace = fs::exists(candidate.target, ignored);
    // The line break is a carriage return, kept on purpose as the question always had it.
    if (candidate.mayReplace &&
        !ui_.AskYesNo(candidate.target + " already exists.\rDo you want to overwrite it?", "Confirm"))
      continue;
    chosen.push_back(std::move(candidate));
  }
  return chosen;
}

std::vector<ConversionTask> ListConversion::MakeTasks(const std::vector<Chosen>& chosen, ConversionTarget format) {
  std::vector<ConversionTask> tasks;
  for (const Chosen& file : chosen) {
    std::string error;
    // Bare names resolve against the output folder, which may change while the
    // job runs: the job gets the paths as they are now.
    std::optional<ConversionTask> task = MakeConversionTask(format, loader_, settings_, Absolute(file.source),
                                                            Absolute(file.target), file.mayReplace, error);
    if (task) tasks.push_back(std::move(*task));
    else failures_.push_back(error);
  }
  return tasks;
}

void ListConversion::Start(std::vector<ConversionTask> tasks, ConversionTarget format) {
  sources_.clear();
  for (const ConversionTask& task : tasks) sources_.push_back(task.source);
  progress_.SetFileGridEnabled(false);
  if (tasks.size() == 1) {
    progress_.Show(format, tasks.front().source, tasks.front().target);
  } else {
    const std::string count = std::to_string(tasks.size());
    progress_.Show(format, count + " WAV files in " + fs::path(tasks.front().source).parent_path().string(),
                   count + " " + FormatName(format) + " files");
  }
  progress_.SetCancelAction([this] { job_.Cancel(); });
  job_.Start(std::move(tasks), [this](int percent) { progress_.SetProgress(percent); },
             [this](const std::vector<ConversionOutcome>& outcomes) { Finish(outcomes); });
}

void ListConversion::Finish(const std::vector<ConversionOutcome>& outcomes) {
  progress_.SetCancelAction(nullptr);
  if (closing_) return;
  for (size_t i = 0; i < outcomes.size(); ++i) {
    const std::string& message = outcomes[i].message;
    if (message.empty()) continue;
    // Among several files, a failure that does not name its file is told with it.
    const bool named = outcomes.size() == 1 || message.find(sources_[i]) != std::string::npos;
    failures_.push_back(named ? message : "Can not convert \"" + sources_[i] + "\": " + message);
  }
  TellFailures();
  progress_.SetFileGridEnabled(true);
  ui_.SetBusyCursor(true);
  library_.Rescan();
  ui_.SetBusyCursor(false);
  progress_.Close();
  library_.ApplySort();
}

void ListConversion::TellFailures() {
  if (failures_.empty()) return;
  std::string text;
  for (const std::string& failure : failures_) text += (text.empty() ? "" : "\n") + failure;
  failures_.clear();
  ui_.ShowMessage(text);
}

void ListConversion::CancelAndWait() {
  closing_ = true;
  job_.Cancel();
  job_.Wait();
  progress_.Close();
}

bool ListConversion::RecordingAllows(const std::vector<Chosen>& chosen) {
  if (!state_.Recording()) return true;
  const std::string& recording = state_.CurrentFile;
  for (const Chosen& file : chosen) {
    if (!SameFile(recording, file.source) && !SameFile(recording, file.target)) continue;
    ui_.ShowMessage("Can not convert \"" + file.source + "\": \"" + recording +
                    "\" is being recorded. Nothing was converted or overwritten.");
    failures_.clear();
    return false;
  }
  return true;
}

}  // namespace tarnovox
