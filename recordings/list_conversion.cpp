#include "formats/wav_to_mp3.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>

#include "formats/wave_format.h"
#include "formats/conversion_tasks.h"

namespace tarnovox {

namespace fs = std::filesystem;

namespace {

std::string UpperExtension(const std::string& path) {
  std::string extension = fs::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return extension;
}

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

}  // namespace

WavToMp3::WavToMp3(DynamicLibraryLoader& loader, const RecordSettings& settings, RecorderState& state, UiHooks& ui,
                   PlaybackControl& playback, RecordingsLibrary& library, ConvertProgress& progress,
                   ConversionJob::Deliver deliver)
    : loader_(loader),
      settings_(settings),
      state_(state),
      ui_(ui),
      playback_(playback),
      library_(library),
      progress_(progress),
      job_(std::move(deliver)) {}

std::string WavToMp3::TargetName(const std::string& source) {
  return fs::path(source).replace_extension(".mp3").string();
}

void WavToMp3::ConvertCurrentFile() {
  if (job_.Running()) return;
  const std::string source = state_.CurrentFile;
  if (UpperExtension(source) != ".WAV") return;
  const std::string target = TargetName(source);
  if (!RecordingAllows(source, target)) return;
  playback_.ClosePlayback();
  WavSourceFormat format;
  std::string error;
  if (!ReadWavSourceFormat(source, format, error)) {
    ui_.ShowMessage(error);
    return;
  }
  std::error_code ignored;
  const bool mayReplace = fs::exists(target, ignored);
  if (mayReplace && !ui_.AskYesNo(target + " already exists.\rDo you want to overwrite it?", "Confirm")) return;
  if (!RecordingAllows(source, target)) return;
  // Bare names resolve against the output folder, which may change while the
  // job runs: the job gets the paths as they are now.
  std::optional<ConversionTask> task =
      MakeConversionTask(ConversionTarget::Mp3, loader_, settings_, fs::absolute(source, ignored).string(),
                         fs::absolute(target, ignored).string(), mayReplace, error);
  if (!task) {
    ui_.ShowMessage(error);
    return;
  }
  progress_.SetFileGridEnabled(false);
  progress_.Show(source, target);
  progress_.SetCancelAction([this] { job_.Cancel(); });
  std::vector<ConversionTask> tasks;
  tasks.push_back(std::move(*task));
  job_.Start(std::move(tasks), [this](int percent) { progress_.SetProgress(percent); },
             [this](const std::vector<ConversionOutcome>& outcomes) { Finish(outcomes); });
}

void WavToMp3::Finish(const std::vector<ConversionOutcome>& outcomes) {
  progress_.SetCancelAction(nullptr);
  if (closing_) return;
  for (const ConversionOutcome& outcome : outcomes) {
    if (!outcome.message.empty()) ui_.ShowMessage(outcome.message);
  }
  progress_.SetFileGridEnabled(true);
  ui_.SetBusyCursor(true);
  library_.Rescan();
  ui_.SetBusyCursor(false);
  progress_.Close();
  library_.ApplySort();
}

void WavToMp3::CancelAndWait() {
  closing_ = true;
  job_.Cancel();
  job_.Wait();
  progress_.Close();
}

bool WavToMp3::RecordingAllows(const std::string& source, const std::string& target) {
  if (!state_.Recording()) return true;
  const std::string& recording = state_.CurrentFile;
  if (!SameFile(recording, source) && !SameFile(recording, target)) return true;
  ui_.ShowMessage("Can not convert \"" + source + "\": \"" + recording +
                  "\" is being recorded. Nothing was converted or overwritten.");
  return false;
}

}  // namespace tarnovox
