#pragma once
// The player on the desktop's sound server: the open file is decoded by FFmpeg
// and played on the default sink at the output volume's level.
#include <memory>
#include <string>

#include "platform/player.h"
#include "platform/pulse_connection.h"

namespace tarnovox {

class PlayerStream;
class PulseOutputVolume;

class PulsePlayer final : public Player, private PulseConnection::Client {
 public:
  // The connection and the output volume must outlive the player.
  PulsePlayer(PulseConnection& connection, PulseOutputVolume& volume);
  ~PulsePlayer() override;

  PlayerResult Open(const std::string& file) override;
  bool IsOpen() const override { return file_ != nullptr; }
  PlayerResult Play() override;
  PlayerResult Pause() override;
  PlayerResult Resume() override;
  PlayerResult Seek(std::chrono::milliseconds to) override;
  std::chrono::milliseconds Position() const override;
  std::chrono::milliseconds Length() const override;
  void Close() override;

 private:
  // The open file's stream goes with the connection: it counts as played out.
  void ConnectionLost() override;
  void ConnectionRestored() override {}

  PulseConnection& connection_;
  PulseOutputVolume& volume_;
  std::unique_ptr<PlayerStream> file_;  // null: nothing open
};

}  // namespace tarnovox
