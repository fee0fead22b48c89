#pragma once
// Turns a BE_CONFIG record into the settings of a LAME encoder.
#include <lame/lame.h>

#include "formats/lame_enc/lame_enc.h"

namespace tarnovox::lame_enc {

// Input channels the record asks for: 1 in mono mode, otherwise 2.
int InputChannels(const BE_CONFIG& config);

// Applies every field of the record to `gf` and initialises its parameters.
// Returns kBeErrInvalidFormat for a record that is not the LAME form and
// kBeErrInvalidFormatParameters for values LAME cannot encode.
BE_ERR ApplyConfig(const BE_CONFIG& config, lame_t gf);

}  // namespace tarnovox::lame_enc
