#pragma once
// The output volume of the program's playback, shaped like a wave-output device:
// one 32-bit value, the left channel in the low 16 bits and the right channel in
// the high 16 bits, 0 to 65535 each.
#include <cstdint>
#include <string>

namespace tarnovox {

class VolumeDevice {
 public:
  virtual ~VolumeDevice() = default;
  // Returns 0 or an error code that ErrorText explains.
  virtual uint32_t Open() = 0;
  // The platform's text for an error code.
  virtual std::string ErrorText(uint32_t code) const = 0;
  virtual uint32_t GetVolume() const = 0;
  virtual void SetVolume(uint32_t volume) = 0;
  virtual void Close() = 0;
};

}  // namespace tarnovox
