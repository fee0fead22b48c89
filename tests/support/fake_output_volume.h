#pragma once
// An output volume held in memory; the test plays the system mixer by writing
// `volume` and can make Open fail.
#include <optional>
#include <string>

#include "platform/output_volume.h"

namespace tarnovox::testing {

class FakeOutputVolume : public OutputVolume {
 public:
  std::optional<std::string> Open() override {
    open = !openFailure.has_value();
    return openFailure;
  }
  StereoVolume Get() const override { return volume; }
  void Set(StereoVolume value) override {
    volume = value;
    ++setCount;
  }
  void Close() override { open = false; }

  std::optional<std::string> openFailure;  // the system's reason
  StereoVolume volume = kFullVolume;
  int setCount = 0;
  bool open = false;
};

}  // namespace tarnovox::testing
