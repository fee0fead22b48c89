#pragma once
// The sound server's sources on the program's one server connection, and
// their comings and goings through that connection's subscription.
#include <functional>
#include <mutex>

#include "platform/input_sources.h"
#include "platform/media_player_server.h"

namespace tarnovox {

class PulseInputSources final : public InputSources,
                                private PulseServer::Client,
                                private PulseServer::Listener {
 public:
  explicit PulseInputSources(PulseServer& server);
  ~PulseInputSources() override;

  std::vector<InputSource> List() override;
  void Follow(std::function<void()> changed) override;

 private:
  void ConnectionLost() override {}
  // A server that came back may have other sources: say so.
  void ConnectionRestored() override;
  void OnServerEvent(pa_context* context, int type, uint32_t index) override;
  void Tell();

  PulseServer& server_;
  std::mutex mutex_;  // guards changed_ between the window thread and the connection's
  std::function<void()> changed_;
};

}  // namespace tarnovox
