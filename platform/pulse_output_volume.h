#pragma once
// The output volume as the volume of the program's own playback streams on the
// sound server, the value the system mixer shows for them. The value is kept
// here, given to every new stream and followed when the mixer changes one.
#include <pulse/channelmap.h>
#include <pulse/volume.h>

#include <atomic>
#include <cstdint>
#include <map>

#include "platform/output_volume.h"
#include "platform/pulse_connection.h"

struct pa_context;
struct pa_stream;
struct pa_sink_input_info;

namespace tarnovox {

class PulseOutputVolume final : public OutputVolume,
                                private PulseConnection::Client,
                                private PulseConnection::Listener {
 public:
  explicit PulseOutputVolume(PulseConnection& connection);
  ~PulseOutputVolume() override;

  // Fails only when no sound server can be reached.
  std::optional<std::string> Open() override;
  StereoVolume Get() const override;
  void Set(StereoVolume volume) override;
  void Close() override;

  // For the player, with the connection's lock held: the volume a new stream
  // with this channel map starts at, and the streams whose volume is ours.
  pa_cvolume StreamVolume(const pa_channel_map& map) const;
  void Track(pa_stream* stream);
  void Untrack(pa_stream* stream);

  // One channel's volume to the server's scale and back: the scales agree,
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

  PulseConnection& connection_;
  // Written by the window thread and by the mixer's news on the connection's.
  std::atomic<StereoVolume> volume_{kFullVolume};
  std::map<uint32_t, pa_channel_map> streams_;  // by sink input; guarded by the connection's lock
};

}  // namespace tarnovox
