#pragma once
// Mp3Encoder: the encoder library bound for one stream. It loads the library,
// resolves its entry points, and guarantees that a stream that was initialised
// is closed exactly once and that the library is released. Failures keep the
// text the user is shown for them (Failure()).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "formats/lame_enc/lame_enc.h"
#include "platform/dynamic_library.h"
#include "platform/loaded_function.h"

namespace tarnovox {

// Every entry point of the encoder library that the program uses, by its
// exported name; the optional ones are resolved only for a caller that asks.
#define TARNOVOX_ENCODER_ENTRY_POINTS(X) \
  X(beInitStream) X(beEncodeChunk) X(beDeinitStream) X(beCloseStream) X(beVersion)
#define TARNOVOX_ENCODER_OPTIONAL_ENTRY_POINTS(X) X(beWriteVBRHeader)

struct EncoderEntryPoints {
  TARNOVOX_ENCODER_ENTRY_POINTS(TARNOVOX_LOADED_FIELD)
  TARNOVOX_ENCODER_OPTIONAL_ENTRY_POINTS(TARNOVOX_LOADED_FIELD)
};

inline constexpr const char* kEncoderLibraryName = "liblame_enc.so";
// The wording, "did not found" included, is kept on purpose.
inline constexpr const char* kLibraryMissingText = "Lame_enc.dll did not found";

class Mp3Encoder {
 public:
  explicit Mp3Encoder(DynamicLibraryLoader& loader);
  ~Mp3Encoder();
  Mp3Encoder(const Mp3Encoder&) = delete;
  Mp3Encoder& operator=(const Mp3Encoder&) = delete;

  // Loads the library and its entry points (beWriteVBRHeader too when
  // `withVbrHeaderEntry`). On failure ("Lame_enc.dll did not found") leaves
  // nothing loaded and returns false.
  bool Load(bool withVbrHeaderEntry);
  // beInitStream; on success allocates the output buffer. On a non-zero code
  // ("BE_ERR code-<n>") returns false.
  bool Init(const lame_enc::BE_CONFIG& config);
  // beEncodeChunk of `count` 16-bit values. On a non-zero code closes the
  // stream and returns false.
  bool Encode(const int16_t* samples, uint32_t count);
  // beDeinitStream; the flush bytes are in Output(). On a non-zero code
  // closes the stream and returns false.
  bool Flush();
  // beCloseStream if the stream is still open; a non-zero code is a failure.
  void Close();
  // Closes an open stream, frees the output buffer and releases the library.
  void Release();
  // beVersion, called once by the conversion; the answer is not used.
  void QueryVersion();

  bool StreamOpen() const { return streamOpen_; }
  uint32_t SamplesPerChunk() const { return samplesPerChunk_; }
  uint32_t LastResult() const { return lastResult_; }
  // What the user is told of the first failure since Load; empty while none.
  const std::string& Failure() const { return failure_; }
  // The bytes produced by the last Encode or Flush.
  std::span<const uint8_t> Output() const { return {output_.data(), outputBytes_}; }

 private:
  void Fail(const std::string& text);
  void FailWithCode(uint32_t code) { Fail("BE_ERR code-" + std::to_string(code)); }
  // Fills `entry` with the library's `name`; false when it is missing.
  template <typename Function>
  bool Resolve(Function& entry, const char* name) {
    entry = reinterpret_cast<Function>(loader_.Resolve(library_, name));
    return entry != nullptr;
  }

  DynamicLibraryLoader& loader_;
  std::string failure_;
  DynamicLibraryLoader::Handle library_ = nullptr;
  EncoderEntryPoints entries_;
  lame_enc::HBE_STREAM stream_ = 0;
  bool streamOpen_ = false;
  uint32_t samplesPerChunk_ = 0;
  uint32_t outputSize_ = 0;
  uint32_t outputBytes_ = 0;
  uint32_t lastResult_ = 0;
  std::vector<uint8_t> output_;
};

}  // namespace tarnovox
