#include "platform/pulse_connection.h"

#include "platform/pulse_calls.h"

#include <algorithm>

namespace tarnovox {

namespace {

void SignalOperationDone(pa_operation*, void* mainloop) {
  pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(mainloop), 0);
}

// The end of a bounded wait, rung by a timer on the connection's thread.
struct Alarm {
  pa_threaded_mainloop* mainloop;
  bool rang = false;
};

void Ring(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* alarm) {
  auto* self = static_cast<Alarm*>(alarm);
  self->rang = true;
  pa_threaded_mainloop_signal(self->mainloop, 0);
}

}  // namespace

PulseConnection::PulseConnection(std::string applicationName, std::chrono::milliseconds wait)
    : applicationName_(std::move(applicationName)), wait_(wait) {}

PulseConnection::~PulseConnection() { Disconnect(); }

void PulseConnection::AddClient(Client& client) { clients_.push_back(&client); }

void PulseConnection::RemoveClient(Client& client) {
  clients_.erase(std::remove(clients_.begin(), clients_.end(), &client), clients_.end());
}

int PulseConnection::Connect() {
  if (context_ != nullptr) {
    if (Connected()) return 0;
    // The streams and the subscription of the dead connection must go before
    // the connection itself is freed.
    for (Client* client : clients_) client->ConnectionLost();
    Disconnect();
    wasLost_ = true;
  }
  const int error = Open();
  if (error == 0 && !listeners_.empty()) {
    Lock lock(*this);
    Subscribe();
  }
  if (error == 0 && wasLost_) {
    wasLost_ = false;
    for (Client* client : clients_) client->ConnectionRestored();
  }
  return error;
}

int PulseConnection::Open() {
  mainloop_ = pa_threaded_mainloop_new();
  if (mainloop_ == nullptr) return PA_ERR_INTERNAL;
  context_ = pa_context_new(pa_threaded_mainloop_get_api(mainloop_), applicationName_.c_str());
  subscribed_ = 0;
  if (context_ == nullptr) {
    Disconnect();
    return PA_ERR_INTERNAL;
  }
  pa_context_set_state_callback(context_, OnStateChange, this);
  // No autospawn: a missing server is reported, not started behind the user's back.
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
      pa_threaded_mainloop_start(mainloop_) < 0) {
    const int error = pa_context_errno(context_);
    Disconnect();
    return error != 0 ? error : PA_ERR_CONNECTIONREFUSED;
  }
  int error = 0;
  {
    Lock lock(*this);
    const auto state = [this] { return pa_context_get_state(context_); };
    const bool settled = WaitUntil([&] { return state() == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state()); });
    ready_ = settled && state() == PA_CONTEXT_READY;
    if (!settled) error = PA_ERR_TIMEOUT;
    else if (!ready_) error = pa_context_errno(context_) != 0 ? pa_context_errno(context_) : PA_ERR_CONNECTIONREFUSED;
  }
  if (error != 0) Disconnect();
  return error;
}

void PulseConnection::OnStateChange(pa_context* context, void* self) {
  auto* connection = static_cast<PulseConnection*>(self);
  if (connection->ready_ && !PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) {
    connection->ready_ = false;
    const int error = pa_context_errno(context);
    if (connection->lost_) connection->lost_(error != 0 ? error : PA_ERR_CONNECTIONTERMINATED);
  }
  connection->Signal();
}

bool PulseConnection::Connected() const {
  if (context_ == nullptr) return false;
  Lock lock(*this);
  return pa_context_get_state(context_) == PA_CONTEXT_READY;
}

std::string PulseConnection::ErrorText(int code) {
  const char* text = pa_strerror(code);
  return text != nullptr ? text : "Unknown error " + std::to_string(code);
}

void PulseConnection::Disconnect() {
  if (mainloop_ != nullptr) pa_threaded_mainloop_stop(mainloop_);
  if (context_ != nullptr) {
    // Ours, not the server's doing: no Lost handler runs for it.
    ready_ = false;
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
  }
  if (mainloop_ != nullptr) {
    pa_threaded_mainloop_free(mainloop_);
    mainloop_ = nullptr;
  }
}

void PulseConnection::Listen(Listener& listener, uint32_t mask) {
  auto remember = [&] {
    if (mask == 0) listeners_.erase(&listener);
    else listeners_[&listener] = mask;
  };
  // Without a connection thread nobody reads the listeners meanwhile.
  if (mainloop_ == nullptr) {
    remember();
    return;
  }
  Lock lock(*this);
  remember();
  Subscribe();
}

// Nothing waits for the server's answer: a server that hangs must not hold
// the window thread that opens and closes streams, and events of a kind no
// listener wants any more are dropped by OnEvent.
void PulseConnection::Subscribe() {
  if (context_ == nullptr) return;
  uint32_t all = PA_SUBSCRIPTION_MASK_NULL;
  for (const auto& [listener, mask] : listeners_) all |= mask;
  if (subscribed_ == all) return;
  subscribed_ = all;
  pa_context_set_subscribe_callback(
      context_,
      [](pa_context* context, pa_subscription_event_type_t type, uint32_t index, void* self) {
        OnEvent(context, static_cast<int>(type), index, self);
      },
      this);
  if (pa_operation* operation = pa_context_subscribe(context_, static_cast<pa_subscription_mask_t>(all), nullptr, nullptr))
    pa_operation_unref(operation);
}

void PulseConnection::OnEvent(pa_context* context, int type, uint32_t index, void* self) {
  auto* connection = static_cast<PulseConnection*>(self);
  const uint32_t kind = 1u << (type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK);
  // A copy: a listener may stop listening from its own event.
  const auto listeners = connection->listeners_;
  for (const auto& [listener, mask] : listeners)
    if ((mask & kind) != 0) listener->OnServerEvent(context, type, index);
}

PulseConnection::Lock::Lock(const PulseConnection& connection) : mainloop_(connection.mainloop_) {
  pa_threaded_mainloop_lock(mainloop_);
}

PulseConnection::Lock::~Lock() { pa_threaded_mainloop_unlock(mainloop_); }

void PulseConnection::Wait() const { pa_threaded_mainloop_wait(mainloop_); }

bool PulseConnection::WaitUntil(const std::function<bool()>& done) const {
  if (done()) return true;
  Alarm alarm{mainloop_};
  const auto waitUs = static_cast<pa_usec_t>(std::chrono::microseconds(wait_).count());
  pa_time_event* timer = pa_context_rttime_new(context_, pa_rtclock_now() + waitUs, Ring, &alarm);
  while (!done() && !(timer != nullptr && alarm.rang)) Wait();
  if (timer != nullptr) pa_threaded_mainloop_get_api(mainloop_)->time_free(timer);
  return done();
}

void PulseConnection::Signal() const { pa_threaded_mainloop_signal(mainloop_, 0); }

void PulseConnection::WaitFor(pa_operation* operation) const {
  if (operation == nullptr) return;
  pa_operation_set_state_callback(operation, SignalOperationDone, mainloop_);
  if (!WaitUntil([operation] { return pa_operation_get_state(operation) != PA_OPERATION_RUNNING; }))
    pa_operation_cancel(operation);
  pa_operation_unref(operation);
}

}  // namespace tarnovox
