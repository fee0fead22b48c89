#pragma once
// An encoder that turns PCM into a file of its format as the PCM comes: what
// a take and a conversion drive alike.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/capture_stream.h"

namespace tarnovox {

class FileEncoder {
 public:
  virtual ~FileEncoder() = default;
  // The PCM Encode takes.
  virtual const PcmFormat& Input() const = 0;
  // Creates `path` exclusively (nothing existing is truncated) and writes the
  // stream's header. Returns "" or the text the user is told; NameTaken()
  // then tells whether the name existed already.
  virtual std::string Create(const std::string& path) = 0;
  virtual bool NameTaken() const = 0;
  // Encodes whole frames. Returns "" or the reason the file could not take
  // them; nothing more is taken then, and the file ends on a whole unit of
  // its format.
  virtual std::string Encode(const uint8_t* pcm, size_t bytes) = 0;
  // Hands what was written to the disk.
  virtual std::string Sync() = 0;
  // Encodes what it still holds, completes the file and closes it. Returns ""
  // or the reason; what was written stays.
  virtual std::string Finish() = 0;
};

}  // namespace tarnovox
