#pragma once
// The output volume as the volume of the program's own playback streams on the
// sound server, the value the system mixer shows for them. The value is kept
// here, given to every new stream and followed when the mixer changes one.
#include <pulse/channelmap.h>
#include <pulse/volume.h>

#include <atomic>
#include <cstdint>
#include <map>

#include "platform/media_player_server.h"
#include "platform/volume_device.h"

struct pa_context;
struct pa_stream;
struct pa_sink_input_info;

namespace tarnovox {

class PulseVolumeDevice final : public VolumeDevice, private PulseServer::Client, private PulseServer::Listener {
 public:
  explicit PulseVolumeDevice(PulseServer& server);
  ~PulseVolumeDevice() override;

  // Fails only when no sound server can be reached.
  uint32_t Open() override;
  std::string ErrorText(uint32_t code) const override;
  uint32_t GetVolume() const override;
  void SetVolume(uint32_t volume) override;
  void Close() override;

  // For the media player, with the server's lock held: the volume a new stream
  // with this channel map starts at, and the streams whose volume is ours.
  pa_cvolume StreamVolume(const pa_channel_map& map) const;
  void Track(pa_stream* stream);
  void Untrack(pa_stream* stream);

  // One 16-bit channel volume to the server's scale and back: the scales agree,
  // except that the top of ours is the server's full volume (100 %).
  static pa_volume_t ToServerVolume(uint16_t volume);
  static uint16_t FromServerVolume(pa_volume_t volume);

 private:
  // A new connection knows nothing of the old one's streams; new streams
  // start at the kept volume.
  void ConnectionLost() override;
  void ConnectionRestored() override {}
  void OnServerEvent(pa_context* context, int type, uint32_t index) override;
  static void OnStreamInfo(pa_context* context, const pa_sink_input_info* info, int last, void* self);
  void Subscribe(bool on);

  PulseServer& server_;
  std::atomic<uint32_t> volume_{0xFFFFFFFFu};
  std::map<uint32_t, pa_channel_map> streams_;  // by sink input; guarded by the server's lock
};

}  // namespace tarnovox
