#pragma once
// An output volume held in memory; the test plays the system mixer by writing
// `volume` and can make Open fail.
#include <cstdint>
#include <string>

#include "platform/volume_device.h"

namespace tarnovox::testing {

class FakeVolumeDevice : public VolumeDevice {
 public:
  uint32_t Open() override {
    open = openError == 0;
    return openError;
  }
  std::string ErrorText(uint32_t) const override { return errorText; }
  uint32_t GetVolume() const override { return volume; }
  void SetVolume(uint32_t value) override {
    volume = value;
    ++setCount;
  }
  void Close() override { open = false; }

  uint32_t openError = 0;
  std::string errorText;
  uint32_t volume = 0xFFFFFFFFu;
  int setCount = 0;
  bool open = false;
};

}  // namespace tarnovox::testing
