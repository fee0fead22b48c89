#include "platform/pulse_calls.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace tarnovox {
namespace {

constexpr char kLibrary[] = "libpulse.so.0";

struct Loaded {
  PulseFunctions functions{};
  std::string error;  // empty when every function was found
};

const Loaded& Load() {
  static const Loaded loaded = [] {
    Loaded result;
    void* library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
      result.error = dlerror();
      return result;
    }
    // The library stays loaded for the life of the process.
#define TARNOVOX_PULSE_RESOLVE(name)                                                            \
  result.functions.name = reinterpret_cast<decltype(result.functions.name)>(dlsym(library, #name)); \
  if (result.functions.name == nullptr && result.error.empty())                                     \
    result.error = std::string(kLibrary) + " lacks " #name;
    TARNOVOX_PULSE_FUNCTIONS(TARNOVOX_PULSE_RESOLVE)
#undef TARNOVOX_PULSE_RESOLVE
    return result;
  }();
  return loaded;
}

}  // namespace

bool LoadPulse(std::string* error) {
  const Loaded& loaded = Load();
  if (error != nullptr) *error = loaded.error;
  return loaded.error.empty();
}

const PulseFunctions& Pulse() {
  const Loaded& loaded = Load();
  if (!loaded.error.empty()) {
    std::fprintf(stderr, "tarnovox: cannot use the sound server: %s\n", loaded.error.c_str());
    std::abort();
  }
  return loaded.functions;
}

}  // namespace tarnovox
