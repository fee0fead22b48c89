#pragma once
// A player of one sound file at a time (WAV, MP3, WMA): open it, play, pause,
// resume, seek, ask its position and length, close it. Failures come back as
// values that carry the text the user is told.
#include <chrono>
#include <optional>
#include <string>

namespace tarnovox {

struct PlayerError {
  enum class Kind {
    CannotOpenFile,  // missing, unreadable, or no sound can be decoded from it
    NoSoundServer,   // nothing to play on
    OutputFailed,    // the sound output cannot start
    NothingOpen,     // a command that needs an open file
  };
  Kind kind;
  // The system's words for the failure, when it gave any.
  std::string reason;

  // What the user is told: the system's reason, else a text for the kind.
  std::string Text() const;
};

// Nothing on success.
using PlayerResult = std::optional<PlayerError>;

class Player {
 public:
  virtual ~Player() = default;

  // Closes what was open, then opens `file`: from then on its length is known
  // and it stands at position 0, not playing.
  virtual PlayerResult Open(const std::string& file) = 0;
  virtual bool IsOpen() const = 0;
  // Plays from the current position. A playing or played-out file is left as it is.
  virtual PlayerResult Play() = 0;
  // Stops the sound and the position. A file stopped by a seek is held there,
  // so that Resume starts it.
  virtual PlayerResult Pause() = 0;
  // Continues a paused file.
  virtual PlayerResult Resume() = 0;
  // Stops the file at `to` (at most its length); it waits there until Play,
  // or, when it was paused, until Resume.
  virtual PlayerResult Seek(std::chrono::milliseconds to) = 0;
  // The position that the listener hears; exactly the length once the file
  // has played out (also when the sound server lost it). 0 with nothing open.
  virtual std::chrono::milliseconds Position() const = 0;
  // The file's length; 0 with nothing open.
  virtual std::chrono::milliseconds Length() const = 0;
  // Stops and forgets the file; nothing open is fine.
  virtual void Close() = 0;
};

}  // namespace tarnovox
