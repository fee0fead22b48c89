#pragma once
// A media player without sound: files play only when the test gives them a
// length, the position stands where the test or a seek puts it, and every
// command is recorded ("open waveaudio a.wav", "play 1", "seek 1 2500", ...).
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/media_player.h"

namespace tarnovox::testing {

class FakeMediaPlayer : public MediaPlayer {
 public:
  enum class State { Stopped, Playing, Paused, Held };
  struct Device {
    std::string file;
    uint32_t length = 0;
    uint32_t position = 0;
    State state = State::Stopped;
  };

  // Files that open, with their lengths in ms; any other file fails to open.
  std::map<std::string, uint32_t> lengths;
  std::vector<std::string> commands;
  std::map<uint16_t, Device> devices;  // the open ones
  uint16_t lastDevice = 0;

  uint32_t Open(const std::string& deviceType, const std::string& file, uint16_t& device) override {
    commands.push_back("open " + deviceType + " " + file);
    auto it = lengths.find(file);
    if (it == lengths.end()) return kMediaCannotOpenFile;
    device = ++lastDevice;
    devices[device] = Device{file, it->second, 0, State::Stopped};
    return kMediaOk;
  }
  uint32_t Play(uint16_t device) override { return Command("play", device, [](Device& d) { Start(d); }); }
  uint32_t Pause(uint16_t device) override {
    return Command("pause", device, [](Device& d) {
      if (d.state == State::Playing) d.state = State::Paused;
      else if (d.state == State::Stopped) d.state = State::Held;
    });
  }
  uint32_t Resume(uint16_t device) override {
    return Command("resume", device, [](Device& d) {
      if (d.state == State::Paused || d.state == State::Held) d.state = State::Playing;
    });
  }
  uint32_t Seek(uint16_t device, uint32_t toMs) override {
    commands.push_back("seek " + std::to_string(device) + " " + std::to_string(toMs));
    auto it = devices.find(device);
    if (it == devices.end()) return kMediaInvalidDevice;
    it->second.position = std::min(toMs, it->second.length);
    const bool paused = it->second.state == State::Paused || it->second.state == State::Held;
    it->second.state = paused ? State::Held : State::Stopped;
    return kMediaOk;
  }
  uint32_t Status(uint16_t device, MediaStatusItem item, uint32_t& value) override {
    const bool length = item == MediaStatusItem::Length;
    return Command(length ? "status length" : "status position", device,
                   [&](Device& d) { value = length ? d.length : d.position; });
  }
  uint32_t Close(uint16_t device) override {
    commands.push_back("close " + std::to_string(device));
    return devices.erase(device) != 0 ? kMediaOk : kMediaInvalidDevice;
  }

  // Lets the playback of the last opened device reach `ms`.
  void SetPosition(uint32_t ms) { devices.at(lastDevice).position = ms; }
  Device& Last() { return devices.at(lastDevice); }
  int Count(const std::string& prefix) const {
    return static_cast<int>(std::count_if(commands.begin(), commands.end(),
                                          [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
  }

 private:
  static void Start(Device& d) {
    if (d.state != State::Playing && d.position < d.length) d.state = State::Playing;
  }
  template <typename Action>
  uint32_t Command(const std::string& name, uint16_t device, Action action) {
    commands.push_back(name + " " + std::to_string(device));
    auto it = devices.find(device);
    if (it == devices.end()) return kMediaInvalidDevice;
    action(it->second);
    return kMediaOk;
  }
};

}  // namespace tarnovox::testing
