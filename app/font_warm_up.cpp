#include "app/font_warm_up.h"

#include <fontconfig/fontconfig.h>

namespace tarnovox {

FontWarmUp::FontWarmUp() : thread_([] { FcInit(); }) {}

}  // namespace tarnovox
