#pragma once
// Live MP3 recording through a capture stream of its own: 40 buffers of one
// encoder chunk each at 44100 Hz, 16 bits; every tick encodes the buffers the
// device has handed back, oldest first, and appends the MP3 bytes to the file.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "formats/append_file.h"
#include "recorder/collaborators.h"
#include "recorder/recorder_state.h"
#include "recorder/ui_hooks.h"
#include "formats/mp3_encoder.h"
#include "platform/dynamic_library.h"
#include "platform/wave_in.h"
#include "settings/record_settings.h"

namespace tarnovox {

class Mp3Recorder : public Mp3Recording {
 public:
  static constexpr int kBufferCount = 40;
  static constexpr uint32_t kSampleRate = 44100;

  Mp3Recorder(WaveIn& waveIn, DynamicLibraryLoader& loader, RecordSettings& settings,
              RecorderState& state, UiHooks& ui);
  ~Mp3Recorder() override;

  // Loads the encoder, opens the capture stream and creates CurrentFile. When
  // anything fails the message is shown, everything is released, no file is
  // created and the recording flag stays clear.
  void Start() override;
  // Encodes up to 40 handed-back buffers in the order they were filled and
  // queues them again. An encoder or write failure, or a capture stream lost
  // with its sound server, ends the recording with everything encoded so far
  // in the file and says why.
  void EncodeFilledBuffers() override;
  // Stops capture; the buffer in progress comes back partly filled and is
  // encoded and queued again, so a pause loses no sound.
  void Pause() override;
  void Resume() override;
  // Stops capture, encodes what the device handed back, flushes the encoder,
  // closes the file and the device, and clears the recording flag.
  void Stop() override;
  uint64_t LostFrames() const override { return lostFrames_; }
  void SetNextFileNamer(std::function<bool()> namer) override { nextFileNamer_ = std::move(namer); }

  bool DeviceOpen() const { return deviceOpen_; }
  const WaveFormat& Format() const { return format_; }

 private:
  bool OpenDevice();
  void QueueAll();
  // The handed-back buffer with the lowest sequence number, or -1.
  int OldestHandedBack() const;
  // Encodes, writes and re-queues one buffer; false when the recording failed.
  bool EncodeBuffer(int index);
  void EncodeHandedBack(int limit);
  // Encodes until the device has nothing more to hand back (its backlog too).
  void EncodeEverythingHandedBack();
  bool WriteOutput();
  bool CreateOutputFile();
  void CloseDevice();
  // Flushes the encoder into the file and closes it and the encoder.
  void FinishFile();
  // Ends the recording after a failure: what was written stays in the file.
  void Abandon();

  WaveIn& waveIn_;
  RecordSettings& settings_;
  RecorderState& state_;
  UiHooks& ui_;
  Mp3Encoder encoder_;
  bool deviceOpen_ = false;
  WaveFormat format_;
  uint32_t chunkBytes_ = 0;
  uint32_t sequence_ = 0;
  std::vector<int16_t> samples_;
  std::array<WaveBuffer, kBufferCount> buffers_;
  AppendFile file_;
  uint64_t lostFrames_ = 0;
  std::function<bool()> nextFileNamer_;
};

}  // namespace tarnovox
