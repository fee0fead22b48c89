#pragma once
// The sound server's sources on the program's one server connection, and
// their comings and goings through that connection's subscription.
#include <functional>
#include <mutex>

#include "platform/input_sources.h"
#include "platform/pulse_connection.h"

namespace tarnovox {

class PulseInputSources final : public InputSources,
                                private PulseConnection::Client,
                                private PulseConnection::Listener {
 public:
  explicit PulseInputSources(PulseConnection& connection);
  ~PulseInputSources() override;

  std::vector<InputSource> List() override;
  void Follow(std::function<void()> changed) override;

 private:
  void ConnectionLost() override {}
  // A server that came back may have other sources: say so.
  void ConnectionRestored() override;
  void OnServerEvent(pa_context* context, int type, uint32_t index) override;
  void Tell();

  PulseConnection& connection_;
  std::mutex mutex_;  // guards changed_ between the window thread and the connection's
  std::function<void()> changed_;
};

}  // namespace tarnovox
