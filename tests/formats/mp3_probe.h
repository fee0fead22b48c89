#pragma once
// The MP3 checks are tests/support's now; this name stays for the end-to-end
// and recorder tests that still include it.
#include "tests/support/mp3_probe.h"
