#include "platform/media_player_server.h"

#include "platform/pulse_calls.h"

#include <algorithm>

namespace tarnovox {

namespace {

void SignalMainloop(pa_context*, void* mainloop) {
  pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(mainloop), 0);
}

void SignalOperationDone(pa_operation*, void* mainloop) {
  pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(mainloop), 0);
}

}  // namespace

PulseServer::PulseServer(std::string applicationName) : applicationName_(std::move(applicationName)) {}

PulseServer::~PulseServer() { Disconnect(); }

void PulseServer::AddClient(Client& client) { clients_.push_back(&client); }

void PulseServer::RemoveClient(Client& client) {
  clients_.erase(std::remove(clients_.begin(), clients_.end(), &client), clients_.end());
}

int PulseServer::Connect() {
  if (context_ != nullptr) {
    if (Connected()) return 0;
    // The streams and the subscription of the dead connection must go before
    // the connection itself is freed.
    for (Client* client : clients_) client->ConnectionLost();
    Disconnect();
    lost_ = true;
  }
  const int error = Open();
  if (error == 0 && !listeners_.empty()) {
    Lock lock(*this);
    Subscribe();
  }
  if (error == 0 && lost_) {
    lost_ = false;
    for (Client* client : clients_) client->ConnectionRestored();
  }
  return error;
}

int PulseServer::Open() {
  mainloop_ = pa_threaded_mainloop_new();
  if (mainloop_ == nullptr) return PA_ERR_INTERNAL;
  context_ = pa_context_new(pa_threaded_mainloop_get_api(mainloop_), applicationName_.c_str());
  if (context_ == nullptr) {
    Disconnect();
    return PA_ERR_INTERNAL;
  }
  pa_context_set_state_callback(context_, SignalMainloop, mainloop_);
  // No autospawn: a missing server is reported, not started behind the user's back.
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
      pa_threaded_mainloop_start(mainloop_) < 0) {
    int error = pa_context_errno(context_);
    Disconnect();
    return error != 0 ? error : PA_ERR_CONNECTIONREFUSED;
  }
  int error = 0;
  {
    Lock lock(*this);
    for (;;) {
      pa_context_state_t state = pa_context_get_state(context_);
      if (state == PA_CONTEXT_READY) break;
      if (!PA_CONTEXT_IS_GOOD(state)) {
        error = pa_context_errno(context_);
        break;
      }
      Wait();
    }
  }
  if (error != 0) Disconnect();
  return error;
}

bool PulseServer::Connected() const {
  if (context_ == nullptr) return false;
  Lock lock(*this);
  return pa_context_get_state(context_) == PA_CONTEXT_READY;
}

std::string PulseServer::ErrorText(int code) {
  const char* text = pa_strerror(code);
  return text != nullptr ? text : "Unknown error " + std::to_string(code);
}

void PulseServer::Disconnect() {
  if (mainloop_ != nullptr) pa_threaded_mainloop_stop(mainloop_);
  if (context_ != nullptr) {
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
  }
  if (mainloop_ != nullptr) {
    pa_threaded_mainloop_free(mainloop_);
    mainloop_ = nullptr;
  }
}

void PulseServer::Listen(Listener& listener, uint32_t mask) {
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

void PulseServer::Subscribe() {
  if (context_ == nullptr) return;
  uint32_t all = PA_SUBSCRIPTION_MASK_NULL;
  for (const auto& [listener, mask] : listeners_) all |= mask;
  pa_context_set_subscribe_callback(
      context_,
      [](pa_context* context, pa_subscription_event_type_t type, uint32_t index, void* self) {
        OnEvent(context, static_cast<int>(type), index, self);
      },
      this);
  WaitFor(pa_context_subscribe(context_, static_cast<pa_subscription_mask_t>(all), nullptr, nullptr));
}

void PulseServer::OnEvent(pa_context* context, int type, uint32_t index, void* self) {
  auto* server = static_cast<PulseServer*>(self);
  const uint32_t kind = 1u << (type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK);
  // A copy: a listener may stop listening from its own event.
  const auto listeners = server->listeners_;
  for (const auto& [listener, mask] : listeners)
    if ((mask & kind) != 0) listener->OnServerEvent(context, type, index);
}

PulseServer::Lock::Lock(const PulseServer& server) : mainloop_(server.mainloop_) {
  pa_threaded_mainloop_lock(mainloop_);
}

PulseServer::Lock::~Lock() { pa_threaded_mainloop_unlock(mainloop_); }

void PulseServer::Wait() const { pa_threaded_mainloop_wait(mainloop_); }

void PulseServer::Signal() const { pa_threaded_mainloop_signal(mainloop_, 0); }

void PulseServer::WaitFor(pa_operation* operation) const {
  if (operation == nullptr) return;
  pa_operation_set_state_callback(operation, SignalOperationDone, mainloop_);
  while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING) Wait();
  pa_operation_unref(operation);
}

}  // namespace tarnovox
