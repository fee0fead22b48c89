#pragma once
// Questions about the sound server's sources, asked on a connection whose
// lock the caller holds. `waitFor` waits until an operation is done and
// releases it (the connection's own way of waiting).
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/input_sources.h"

struct pa_context;
struct pa_operation;

namespace tarnovox {

using WaitForOperation = std::function<void(pa_operation*)>;

std::vector<InputSource> QuerySources(pa_context* context, const WaitForOperation& waitFor);

// The source that `chosen` names now: itself when the server has it, the
// default output's monitor for kDefaultOutputMonitor, the default input for
// an empty name (then the empty name). Nothing when it is missing.
std::optional<std::string> ResolveSource(pa_context* context, const WaitForOperation& waitFor,
                                         const std::string& chosen);

}  // namespace tarnovox
