#include "app/private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tarnovox {

std::string CheckPrivateFolder(const std::string& path, bool create) {
  if (create && mkdir(path.c_str(), S_IRWXU) < 0 && errno != EEXIST)
    return "cannot make " + path + ": " + std::strerror(errno);
  // lstat, not stat: a link another user left there could point anywhere.
  struct stat found {};
  if (lstat(path.c_str(), &found) < 0) return "cannot examine " + path + ": " + std::strerror(errno);
  if (S_ISLNK(found.st_mode)) return path + " is a symbolic link, not a private folder";
  if (!S_ISDIR(found.st_mode)) return path + " is not a folder";
  if (found.st_uid != geteuid()) return path + " belongs to another user";
  if ((found.st_mode & (S_IRWXG | S_IRWXO)) != 0) return path + " is open to other users";
  return {};
}

}  // namespace tarnovox
