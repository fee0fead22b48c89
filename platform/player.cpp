#include "platform/player.h"

namespace tarnovox {

std::string PlayerError::Text() const {
  if (!reason.empty()) return reason;
  switch (kind) {
    case Kind::CannotOpenFile: return "The file cannot be opened or holds no sound";
    case Kind::NoSoundServer: return "No sound server is running";
    case Kind::OutputFailed: return "The sound output cannot start";
    case Kind::NothingOpen: return "No file is open";
  }
  return {};
}

}  // namespace tarnovox
