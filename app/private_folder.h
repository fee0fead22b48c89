#pragma once
// A folder only this user can reach, for files whose names others can guess
// (the channel's socket and its claim file in a shared /tmp).
#include <string>

namespace tarnovox {

// Empty when path is a folder (not a symbolic link) of this user that no other
// user may enter; otherwise one line saying what is wrong with it. With create,
// a missing folder is made first, with access for this user only.
std::string CheckPrivateFolder(const std::string& path, bool create);

}  // namespace tarnovox
