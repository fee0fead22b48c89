#pragma once
#include <cstdint>

namespace tarnovox {

// Milliseconds since an arbitrary start, wrapping at 32 bits: the recorder's
// elapsed-time arithmetic is written for that wrap.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint32_t TickCount() const = 0;
};

class SystemClock final : public Clock {
 public:
  uint32_t TickCount() const override;
};

}  // namespace tarnovox
