#pragma once
// The inputs of the sound server a recording can be taken from, and news of
// them coming and going, for the record settings dialog's input list.
#include <functional>
#include <string>
#include <vector>

namespace tarnovox {

struct InputSource {
  std::string name;         // the server's name, what the settings keep
  std::string description;  // what the user knows it by
  // The monitor of the default output: the sound the computer plays.
  bool defaultOutputMonitor = false;

  bool operator==(const InputSource&) const = default;
};

class InputSources {
 public:
  virtual ~InputSources() = default;
  // The sources as the server lists them now; none when no server answers.
  virtual std::vector<InputSource> List() = 0;
  // From now on `changed` runs whenever a source appears or goes or the
  // default output changes, on a thread of the backend (so it should only post
  // work to its own thread); an empty function stops it.
  virtual void Follow(std::function<void()> changed) = 0;
};

}  // namespace tarnovox
