#include "ui/file_list_commands.h"

#include <stdio.h>  // renameat2
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "formats/wave_format.h"
#include "recordings/label_file_moves.h"
#include "ui/file_list_rules.h"

namespace tarnovox {
namespace {

// The texts of the questions and messages, in one place and through tr() so
// they can be translated. %1 and %2 stand for file names and the system's
// reason, put in as the bytes they are.
struct Texts {
  static QString RenameCaption() { return FileListCommands::tr("Rename File"); }
  static QString CannotRename() { return FileListCommands::tr("Cannot rename file \"%1\". %2"); }
  static QString AlreadyExists() { return FileListCommands::tr("%1 already exists.\nDo you want to replace it?"); }
  static QString ConfirmCaption() { return FileListCommands::tr("Confirm"); }
  static QString AskDelete() { return FileListCommands::tr("Are you sure you want to delete %1?"); }
  static QString AskDeleteSeveral() { return FileListCommands::tr("Are you sure you want to delete %1 files?"); }
  static QString DeleteCaption() { return FileListCommands::tr("Delete File"); }
  static QString CannotDelete() { return FileListCommands::tr("Cannot delete file \"%1\". %2"); }
  static QString RenameWhileRecording() { return FileListCommands::tr("Cannot rename the file while recording"); }
  static QString DeleteWhileRecording() { return FileListCommands::tr("Cannot delete the file while recording"); }
};

// The text with %1, %2, ... replaced by the arguments. Done on bytes, since a
// file name need not be valid UTF-8 and must reach the message unchanged.
std::string Fill(const QString& text, const std::vector<std::string>& arguments = {}) {
  const std::string pattern = text.toStdString();
  std::string filled;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const size_t argument = i + 1 < pattern.size() ? static_cast<size_t>(pattern[i + 1] - '1') : arguments.size();
    if (pattern[i] == '%' && argument < arguments.size()) {
      filled += arguments[argument];
      ++i;
    } else {
      filled += pattern[i];
    }
  }
  return filled;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// Both names lead to one file: a change of letter case on a file system that
// ignores case, or the same name written another way ("./take.wav").
bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {}, second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

std::string FileNamePart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

FileListCommands::FileListCommands(RecorderState& state, RecordingsList& list, PlaybackControl& playback,
                                   UiHooks& ui)
    : state_(state), list_(list), playback_(playback), ui_(ui) {}

void FileListCommands::PickRow(int row) {
  // A copy: the message below runs the event loop, where a rescan replaces the rows.
  const std::string file = list_.RowFile(row);
  if (list_.Count == 0 || state_.Recording() || state_.Paused() || row == 0 || file.empty()) return;
  // The current file stays as it is (a playback of it goes on), but Play
  // plays the row the user pointed at, not what a rescan left picked.
  if (file == state_.CurrentFile) {
    state_.PickedFile = file;
    return;
  }
  CloseRunningPlayback();
  state_.PickedFile = file;
  state_.CurrentFile = file;
  state_.FileChannels = 2;
  emit pickStarted();
  const std::string extension = UpperExtension(file);
  if (extension == ".MP3") emit mp3Picked();
  else if (extension == ".FLAC" || extension == ".OPUS") emit vorbisPicked();
  else if (extension == ".WAV") {
    const std::string failure = ReadWaveInfo(state_);
    if (!failure.empty()) ui_.ShowMessage(failure);
  }
  emit pickFinished();
}

void FileListCommands::PlayPicked(int lastReleaseRow) {
  if (state_.Paused() || state_.Recording() || list_.Count == 0 || lastReleaseRow == 0) return;
  state_.CurrentFile = state_.PickedFile;
  emit playRequested();
}

void FileListCommands::RenameCurrentFile() {
  // While recording CurrentFile is the file being written.
  if (state_.Recording() || !CurrentFileExists()) return;
  const std::string current = state_.CurrentFile;
  ClosePlaybackForFileChange(playback_, state_);
  const std::string base = current.size() >= 4 ? current.substr(0, current.size() - 4) : std::string();
  const size_t dot = current.rfind('.');
  const std::string extension = dot == std::string::npos ? std::string() : current.substr(dot);
  std::optional<std::string> answer = askText ? askText(Fill(Texts::RenameCaption()), base) : std::nullopt;
  if (!answer || *answer == base) return;
  if (RecordingStartedMeanwhile(Fill(Texts::RenameWhileRecording()))) return;
  const std::string target = *answer + extension;
  if (answer->empty() || answer->find('/') != std::string::npos) {
    ui_.ShowMessage(Fill(Texts::CannotRename(), {current, std::strerror(EINVAL)}));
    return;
  }
  const bool replace = Exists(target) && !SameFile(current, target);
  if (replace && !ui_.AskYesNo(Fill(Texts::AlreadyExists(), {*answer}), Fill(Texts::ConfirmCaption()))) return;
  if (replace && RecordingStartedMeanwhile(Fill(Texts::RenameWhileRecording()))) return;
  const std::string failure = MoveRecording(current, target, replace);
  if (failure.empty()) state_.CurrentFile = target;
  else ui_.ShowMessage(Fill(Texts::CannotRename(), {current, failure}));
  RescanAndSort();
}

void FileListCommands::DeleteCurrentFile() {
  if (state_.Recording() || !CurrentFileExists()) return;
  DeleteFiles({state_.CurrentFile});
}

void FileListCommands::DeleteFiles(const std::vector<std::string>& files) {
  if (state_.Recording()) return;
  std::vector<std::string> existing;
  for (const std::string& file : files) {
    if (IsRegularFile(file)) existing.push_back(file);
  }
  if (existing.empty()) return;
  const std::string question = existing.size() == 1
                                   ? Fill(Texts::AskDelete(), {FileNamePart(existing.front())})
                                   : Fill(Texts::AskDeleteSeveral(), {std::to_string(existing.size())});
  if (!ui_.AskYesNo(question, Fill(Texts::DeleteCaption()))) return;
  const std::string whileRecording = Fill(Texts::DeleteWhileRecording());
  if (RecordingStartedMeanwhile(whileRecording)) return;
  CloseRunningPlayback();
  std::string failures;
  bool currentAmongThem = false;
  for (const std::string& file : existing) {
    const int error = ::unlink(file.c_str()) == 0 ? 0 : errno;
    if (error == 0) DeleteLabelFile(file);
    else failures += (failures.empty() ? "" : "\n") + Fill(Texts::CannotDelete(), {file, std::strerror(error)});
    currentAmongThem = currentAmongThem || file == state_.CurrentFile;
  }
  // Emptied before the message box opens: a recording started while it is
  // open makes CurrentFile its own path, which must stay.
  if (currentAmongThem) state_.CurrentFile.clear();
  if (!failures.empty()) ui_.ShowMessage(failures);
  RescanAndSort();
}

// Hot keys and commands run while a modal dialog waits, and a recording they
// start makes CurrentFile its own path. A rename or delete then goes no further:
// the list touches no file while a take is written, whichever file was meant.
bool FileListCommands::RecordingStartedMeanwhile(const std::string& message) {
  if (!state_.Recording()) return false;
  ui_.ShowMessage(message);
  return true;
}
bool FileListCommands::CurrentFileExists() const { return IsRegularFile(state_.CurrentFile); }

bool FileListCommands::IsRegularFile(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void FileListCommands::CloseRunningPlayback() {
  if (!playback_.PlaybackOpen() && !state_.Playing()) return;
  ClosePlaybackForFileChange(playback_, state_);
}

void FileListCommands::RescanAndSort() {
  ui_.SetBusyCursor(true);
  list_.Rescan();
  ui_.SetBusyCursor(false);
  list_.ApplySort();
}

// The recording and its label file move together or not at all.
std::string FileListCommands::MoveRecording(const std::string& from, const std::string& to, bool replace) {
  const std::string failure = MoveFile(from, to, replace);
  if (!failure.empty()) return failure;
  const std::string labelFailure = CarryLabelFile(from, to, replace);
  if (!labelFailure.empty()) (void)MoveFile(to, from, false);
  return labelFailure;
}

std::string FileListCommands::MoveFile(const std::string& from, const std::string& to, bool replace) {
  if (replace || SameFile(from, to)) {
    // The user agreed to replace the target (or only the spelling changes):
    // one atomic rename, so neither file is ever missing in between.
    return ::rename(from.c_str(), to.c_str()) == 0 ? std::string() : std::strerror(errno);
  }
  // Without that consent the kernel must refuse to replace a target, so a
  // file that appeared since the check is not lost.
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
  if (errno != EINVAL && errno != ENOSYS) return std::strerror(errno);
  // File systems without that flag: a hard link never replaces either.
  if (::link(from.c_str(), to.c_str()) != 0) return std::strerror(errno);
  if (::unlink(from.c_str()) != 0) {
    const int error = errno;
    ::unlink(to.c_str());
    return std::strerror(error);
  }
  return {};
}

}  // namespace tarnovox
