#include "platform/input_sources_pulse.h"

#include "platform/pulse_calls.h"

#include "platform/pulse_sources.h"

namespace tarnovox {
namespace {

// Sources coming and going, and the server's defaults (the default output
// decides which monitor is the sound the computer plays).
constexpr uint32_t kFollowed = PA_SUBSCRIPTION_MASK_SOURCE | PA_SUBSCRIPTION_MASK_SERVER;

}  // namespace

PulseInputSources::PulseInputSources(PulseConnection& connection) : connection_(connection) {
  connection_.AddClient(*this);
}

PulseInputSources::~PulseInputSources() {
  Follow(nullptr);
  connection_.RemoveClient(*this);
}

std::vector<InputSource> PulseInputSources::List() {
  if (connection_.Connect() != 0) return {};
  PulseConnection::Lock lock(connection_);
  return QuerySources(connection_.Context(), [this](pa_operation* operation) { connection_.WaitFor(operation); });
}

void PulseInputSources::Follow(std::function<void()> changed) {
  const bool on = static_cast<bool>(changed);
  {
    std::lock_guard guard(mutex_);
    changed_ = std::move(changed);
  }
  if (on) connection_.Connect();
  connection_.Listen(*this, on ? kFollowed : 0u);
}

void PulseInputSources::ConnectionRestored() { Tell(); }

void PulseInputSources::OnServerEvent(pa_context*, int type, uint32_t) {
  const int facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
  const int kind = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
  // A source's own changes (volume, state) leave the list as it is.
  if (facility == PA_SUBSCRIPTION_EVENT_SOURCE && kind == PA_SUBSCRIPTION_EVENT_CHANGE) return;
  Tell();
}

void PulseInputSources::Tell() {
  std::lock_guard guard(mutex_);
  if (changed_) changed_();
}

}  // namespace tarnovox
