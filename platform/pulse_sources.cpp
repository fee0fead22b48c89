#include "platform/pulse_sources.h"

#include "platform/pulse_calls.h"

#include "platform/capture_stream.h"

namespace tarnovox {
namespace {

// The monitor source of the default output, or empty when there is no default output.
std::string DefaultOutputMonitor(pa_context* context, const WaitForOperation& waitFor) {
  std::string sink;
  waitFor(pa_context_get_server_info(
      context,
      [](pa_context*, const pa_server_info* info, void* out) {
        if (info != nullptr && info->default_sink_name != nullptr)
          *static_cast<std::string*>(out) = info->default_sink_name;
      },
      &sink));
  if (sink.empty()) return {};
  std::string monitor;
  waitFor(pa_context_get_sink_info_by_name(
      context, sink.c_str(),
      [](pa_context*, const pa_sink_info* info, int last, void* out) {
        if (last == 0 && info != nullptr && info->monitor_source_name != nullptr)
          *static_cast<std::string*>(out) = info->monitor_source_name;
      },
      &monitor));
  return monitor;
}

bool SourceExists(pa_context* context, const WaitForOperation& waitFor, const std::string& name) {
  bool found = false;
  waitFor(pa_context_get_source_info_by_name(
      context, name.c_str(),
      [](pa_context*, const pa_source_info* info, int last, void* out) {
        if (last == 0 && info != nullptr) *static_cast<bool*>(out) = true;
      },
      &found));
  return found;
}

}  // namespace

std::vector<InputSource> QuerySources(pa_context* context, const WaitForOperation& waitFor) {
  std::vector<InputSource> sources;
  waitFor(pa_context_get_source_info_list(
      context,
      [](pa_context*, const pa_source_info* info, int last, void* out) {
        if (last != 0 || info == nullptr || info->name == nullptr) return;
        const std::string description = info->description != nullptr ? info->description : "";
        static_cast<std::vector<InputSource>*>(out)->push_back({info->name, description});
      },
      &sources));
  const std::string monitor = DefaultOutputMonitor(context, waitFor);
  for (InputSource& source : sources) source.defaultOutputMonitor = source.name == monitor;
  return sources;
}

std::optional<std::string> ResolveSource(pa_context* context, const WaitForOperation& waitFor,
                                         const std::string& chosen) {
  if (chosen.empty()) return chosen;
  if (chosen == kDefaultOutputMonitor) {
    std::string monitor = DefaultOutputMonitor(context, waitFor);
    if (monitor.empty()) return std::nullopt;
    return monitor;
  }
  if (!SourceExists(context, waitFor, chosen)) return std::nullopt;
  return chosen;
}

}  // namespace tarnovox
