#pragma once
// The media player on the desktop's sound server: every open file is a device
// of its own, decoded by FFmpeg and played on the default sink at the volume of
// the output volume device. Both device types reach the same decoder.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/media_player.h"
#include "platform/media_player_server.h"

namespace tarnovox {

class MediaPlayerStream;
class PulseVolumeDevice;

class PulseMediaPlayer final : public MediaPlayer, private PulseServer::Client {
 public:
  // The server and the volume device must outlive the player.
  PulseMediaPlayer(PulseServer& server, PulseVolumeDevice& volume);
  ~PulseMediaPlayer() override;

  uint32_t Open(const std::string& deviceType, const std::string& file, uint16_t& device) override;
  uint32_t Play(uint16_t device) override;
  uint32_t Pause(uint16_t device) override;
  uint32_t Resume(uint16_t device) override;
  uint32_t Seek(uint16_t device, uint32_t toMs) override;
  uint32_t Status(uint16_t device, MediaStatusItem item, uint32_t& value) override;
  uint32_t Close(uint16_t device) override;
  std::string ErrorText(uint32_t code) const override;

 private:
  void ConnectionLost() override;
  void ConnectionRestored() override {}
  MediaPlayerStream* Find(uint16_t device) const;
  uint16_t NextDeviceId();

  PulseServer& server_;
  PulseVolumeDevice& volume_;
  std::map<uint16_t, std::unique_ptr<MediaPlayerStream>> devices_;
  uint16_t lastId_ = 0;
  uint32_t lastError_ = kMediaOk;  // the last failure and its reason
  std::string lastReason_;
  uint32_t Failed(uint32_t code, std::string reason);
};

}  // namespace tarnovox
