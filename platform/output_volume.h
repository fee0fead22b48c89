#pragma once
// The output volume of the program's playback: a volume for the left and one
// for the right channel.
#include <cstdint>
#include <optional>
#include <string>

namespace tarnovox {

// Each channel from 0 (silent) to 65535 (full volume).
struct StereoVolume {
  uint16_t left = 0;
  uint16_t right = 0;

  bool operator==(const StereoVolume&) const = default;
};

inline constexpr StereoVolume kFullVolume{0xFFFF, 0xFFFF};

class OutputVolume {
 public:
  virtual ~OutputVolume() = default;
  // Nothing, or the system's reason why the volume cannot be reached.
  virtual std::optional<std::string> Open() = 0;
  // The volume now: the last one set, or the one the system mixer set since.
  virtual StereoVolume Get() const = 0;
  virtual void Set(StereoVolume volume) = 0;
  virtual void Close() = 0;
};

}  // namespace tarnovox
