#pragma once
// The sound server's client library, loaded at run time (see pulse_calls.h).
#include <string>

namespace tarnovox {

// Loads the library once, from whichever thread asks first. False, with the
// reason, when it or one of its functions is missing.
bool LoadPulse(std::string* error = nullptr);

}  // namespace tarnovox
