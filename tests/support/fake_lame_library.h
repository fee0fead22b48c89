#pragma once
// A scripted encoder library behind a DynamicLibraryLoader: tests choose which
// entry points exist and what each call returns, and the double records every
// call so leaks (a stream not closed, a library not freed) show up.
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "formats/lame_enc/lame_enc.h"
#include "platform/dynamic_library.h"

namespace tarnovox::testing {

class FakeLameLibrary : public DynamicLibraryLoader {
 public:
  FakeLameLibrary();
  ~FakeLameLibrary() override;

  Handle Load(const std::string& name) override;
  void* Resolve(Handle library, const std::string& symbol) override;
  void Free(Handle library) override;

  // Script.
  bool loadFails = false;
  std::set<std::string> missingSymbols;
  uint32_t initResult = 0;
  uint32_t deinitResult = 0;
  uint32_t closeResult = 0;
  uint32_t encodeResult = 0;
  int encodeFailsAtCall = 0;  // 1-based call that returns encodeResult; 0: every call
  uint32_t samplesPerChunk = 2304;
  uint32_t bytesPerEncode = 100;
  uint32_t flushBytes = 50;
  // Runs at the start of every encode call (1-based), on the encoding thread.
  std::function<void(int call)> onEncode;

  // Record.
  std::vector<std::string> loadedNames;
  int loads = 0;
  int frees = 0;
  int inits = 0;
  int encodes = 0;
  int deinits = 0;
  int versions = 0;
  std::vector<lame_enc::HBE_STREAM> closedStreams;
  std::set<lame_enc::HBE_STREAM> openStreams;
  int callsOnClosedStreams = 0;
  std::vector<uint32_t> encodedCounts;
  std::vector<uint16_t> firstSamples;  // first value of each chunk
  lame_enc::BE_CONFIG lastConfig{};

  // The instance the exported functions report to.
  static FakeLameLibrary* current;

 private:
  lame_enc::HBE_STREAM nextStream_ = 7;
};

}  // namespace tarnovox::testing
