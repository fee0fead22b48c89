#pragma once
// A player without sound: files open only when the test gives them a length,
// the position stands where the test or a seek puts it, and every command is
// recorded with the file it acted on ("open a.wav", "play a.wav", "seek a.wav
// 2500", "pause -" with nothing open, ...).
#include <algorithm>
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/player.h"

namespace tarnovox::testing {

class FakePlayer : public Player {
 public:
  using ms = std::chrono::milliseconds;
  enum class State { Stopped, Playing, Paused, Held };
  struct File {
    std::string name;
    ms length{0};
    ms position{0};
    State state = State::Stopped;
  };

  // Files that open, with their lengths; any other file fails to open.
  std::map<std::string, ms> lengths;
  mutable std::vector<std::string> commands;
  std::optional<File> file;  // the open one

  PlayerResult Open(const std::string& name) override {
    file.reset();
    commands.push_back("open " + name);
    auto it = lengths.find(name);
    if (it == lengths.end()) return PlayerError{PlayerError::Kind::CannotOpenFile, {}};
    file = File{name, it->second, ms(0), State::Stopped};
    return std::nullopt;
  }
  bool IsOpen() const override { return file.has_value(); }
  PlayerResult Play() override {
    return Command("play", [](File& f) {
      if (f.state != State::Playing && f.position < f.length) f.state = State::Playing;
    });
  }
  PlayerResult Pause() override {
    return Command("pause", [](File& f) {
      if (f.state == State::Playing) f.state = State::Paused;
      else if (f.state == State::Stopped) f.state = State::Held;
    });
  }
  PlayerResult Resume() override {
    return Command("resume", [](File& f) {
      if (f.state == State::Paused || f.state == State::Held) f.state = State::Playing;
    });
  }
  PlayerResult Seek(ms to) override {
    commands.push_back("seek " + Name() + " " + std::to_string(to.count()));
    if (!file) return PlayerError{PlayerError::Kind::NothingOpen, {}};
    file->position = std::min(to, file->length);
    const bool paused = file->state == State::Paused || file->state == State::Held;
    file->state = paused ? State::Held : State::Stopped;
    return std::nullopt;
  }
  ms Position() const override {
    commands.push_back("position " + Name());
    return file ? file->position : ms(0);
  }
  ms Length() const override {
    commands.push_back("length " + Name());
    return file ? file->length : ms(0);
  }
  void Close() override {
    commands.push_back("close " + Name());
    file.reset();
  }

  // Lets the playback of the open file reach `to`.
  void SetPosition(ms to) { file.value().position = to; }
  File& OpenFile() { return file.value(); }
  int Count(const std::string& prefix) const {
    return static_cast<int>(std::count_if(commands.begin(), commands.end(),
                                          [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
  }

 private:
  std::string Name() const { return file ? file->name : "-"; }
  template <typename Action>
  PlayerResult Command(const std::string& name, Action action) {
    commands.push_back(name + " " + Name());
    if (!file) return PlayerError{PlayerError::Kind::NothingOpen, {}};
    action(*file);
    return std::nullopt;
  }
};

}  // namespace tarnovox::testing
