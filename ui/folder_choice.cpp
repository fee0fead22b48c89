#include "ui/folder_choice.h"

#include <filesystem>
#include <system_error>

namespace tarnovox {
namespace {

bool ExistingDirectory(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_directory(path, error);
}

}  // namespace

void FolderChoice::Show(const std::string& folder) {
  labelText_ = folder;
  chosenPath_ = folder;
}

void FolderChoice::Select(const std::string& path) {
  if (ExistingDirectory(path)) {
    labelText_ = path;
    chosenPath_ = path;
  } else {
    labelText_.clear();
  }
}

void FolderChoice::Accept(std::string& folder) const {
  if (!folder.empty() && ExistingDirectory(chosenPath_)) folder = chosenPath_;
}

bool OutputFolderChanged(const std::string& oldFolder, const std::string& newFolder) {
  return !newFolder.empty() && newFolder != oldFolder;
}

}  // namespace tarnovox
