#include "tests/support/fake_lame_library.h"

#include <algorithm>
#include <cstring>

namespace tarnovox::testing {

using namespace lame_enc;

FakeLameLibrary* FakeLameLibrary::current = nullptr;

namespace {

// Marks each entry point so Resolve can hand out plain function pointers.
int libraryToken;

bool Known(HBE_STREAM stream) {
  FakeLameLibrary& fake = *FakeLameLibrary::current;
  if (fake.openStreams.count(stream)) return true;
  ++fake.callsOnClosedStreams;
  return false;
}

BE_ERR FakeInit(BE_CONFIG* config, uint32_t* samples, uint32_t* bufferSize, HBE_STREAM* stream) {
  FakeLameLibrary& fake = *FakeLameLibrary::current;
  ++fake.inits;
  std::memcpy(&fake.lastConfig, config, sizeof(BE_CONFIG));
  if (fake.initResult != 0) return fake.initResult;
  *samples = fake.samplesPerChunk;
  *bufferSize = std::max(fake.bytesPerEncode, fake.flushBytes);
  *stream = 7 + static_cast<HBE_STREAM>(fake.inits);
  fake.openStreams.insert(*stream);
  return 0;
}

BE_ERR FakeEncode(HBE_STREAM stream, uint32_t samples, const int16_t* pcm, uint8_t* output, uint32_t* bytes) {
  FakeLameLibrary& fake = *FakeLameLibrary::current;
  if (!Known(stream)) return kBeErrInvalidHandle;
  ++fake.encodes;
  if (fake.onEncode) fake.onEncode(fake.encodes);
  fake.encodedCounts.push_back(samples);
  fake.firstSamples.push_back(samples ? static_cast<uint16_t>(pcm[0]) : 0);
  if (fake.encodeResult != 0 && (fake.encodeFailsAtCall == 0 || fake.encodeFailsAtCall == fake.encodes)) {
    return fake.encodeResult;
  }
  std::memset(output, 0xAB, fake.bytesPerEncode);
  *bytes = fake.bytesPerEncode;
  return 0;
}

BE_ERR FakeDeinit(HBE_STREAM stream, uint8_t* output, uint32_t* bytes) {
  FakeLameLibrary& fake = *FakeLameLibrary::current;
  if (!Known(stream)) return kBeErrInvalidHandle;
  ++fake.deinits;
  if (fake.deinitResult != 0) return fake.deinitResult;
  std::memset(output, 0xCD, fake.flushBytes);
  *bytes = fake.flushBytes;
  return 0;
}

BE_ERR FakeClose(HBE_STREAM stream) {
  FakeLameLibrary& fake = *FakeLameLibrary::current;
  fake.closedStreams.push_back(stream);
  if (!Known(stream)) return kBeErrInvalidHandle;
  fake.openStreams.erase(stream);
  return fake.closeResult;
}

void FakeVersion(BE_VERSION*) { ++FakeLameLibrary::current->versions; }

BE_ERR FakeWriteVbrHeader(const char*) { return 0; }

}  // namespace

FakeLameLibrary::FakeLameLibrary() { current = this; }
FakeLameLibrary::~FakeLameLibrary() { current = nullptr; }

DynamicLibraryLoader::Handle FakeLameLibrary::Load(const std::string& name) {
  loadedNames.push_back(name);
  if (loadFails) return nullptr;
  ++loads;
  return &libraryToken;
}

void* FakeLameLibrary::Resolve(Handle library, const std::string& symbol) {
  if (library != &libraryToken || missingSymbols.count(symbol)) return nullptr;
  if (symbol == "beInitStream") return reinterpret_cast<void*>(&FakeInit);
  if (symbol == "beEncodeChunk") return reinterpret_cast<void*>(&FakeEncode);
  if (symbol == "beDeinitStream") return reinterpret_cast<void*>(&FakeDeinit);
  if (symbol == "beCloseStream") return reinterpret_cast<void*>(&FakeClose);
  if (symbol == "beVersion") return reinterpret_cast<void*>(&FakeVersion);
  if (symbol == "beWriteVBRHeader") return reinterpret_cast<void*>(&FakeWriteVbrHeader);
  return nullptr;
}

void FakeLameLibrary::Free(Handle library) {
  if (library == &libraryToken) ++frees;
}

}  // namespace tarnovox::testing
