#pragma once
// Turns Record, Pause/Resume and Stop (buttons and F5/F7/F9) into the
// recorder's modes, names new recordings, drives the capture from the 100 ms
// tick and keeps the elapsed time; the recorder's part of start-up and shut-down.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "recorder/capture_engine.h"
#include "recorder/collaborators.h"
#include "recorder/message_gate.h"
#include "recorder/recorder_state.h"
#include "recorder/ui_hooks.h"
#include "platform/clock.h"
#include "platform/drive_info.h"
#include "settings/record_settings.h"
#include "settings/settings_store.h"

namespace tarnovox {

// Everything the controller works with; all owned elsewhere and living as long.
struct RecorderParts {
  RecordSettings& settings;
  SettingsStore& store;
  RecorderState& state;
  CaptureEngine& engine;
  Mp3Recording& mp3;
  PlaybackControl& playback;
  RecordingsLibrary& recordings;
  DesktopShell& shell;
  UiHooks& hooks;
  const Clock& clock;
  const DriveInfo& drives;
  // The gate the engine and the MP3 recorder report through; the controller
  // holds it while a command or a tick runs. May be null (messages then show at once).
  MessageGate* messages = nullptr;
};

// Where a recorder without a usable output folder records.
struct FolderFallback {
  std::string executableDir;  // "<dir>/Temp" is used when this folder is writable
  bool executableDirWritable = false;
  std::string musicDir;  // else "<musicDir>/Tarnovox"
};

class RecorderController {
 public:
  static constexpr uint32_t kLastRecordNumber = 100000;
  static constexpr int kHotKeyRecord = 101, kHotKeyPause = 102, kHotKeyStop = 103;
  // Ticks between two attempts to reopen monitoring after the device was lost.
  static constexpr int kReopenTicks = 10;

  explicit RecorderController(const RecorderParts& parts);

  // Picks the first n with neither record<n>.wav nor record<n>.mp3 in the
  // folder and sets ActiveFileName, CurrentBaseName and CurrentFile. Returns
  // false, changing nothing, when all numbers up to 100000 are taken.
  bool NextRecordName();
  void StartRecording();
  void TogglePause();
  void StopAll();
  void StopRecording();
  void RecordTick();
  // The commands of the buttons, the hot keys and the command line. One that
  // arrives while another is still running (inside its message processing)
  // waits and runs after it, in order.
  // The Record button; ignored while recording or playing.
  void RecordButton();
  void PauseButton();
  void StopButton();
  // WM_HOTKEY: 101 record, 102 pause/resume, 103 stop; others do nothing.
  void HotKey(int id);
  // Runs after every Stop command (settings held back during the recording).
  void SetAfterStop(std::function<void()> afterStop) { afterStop_ = std::move(afterStop); }
  // A command is running (the window should not start another file action).
  bool Busy() const { return busy_; }

  // Start-up steps of the main window's creation. Returns false when the
  // program cannot go on (the folder cannot be created, no sound server for the
  // volume); the message has been shown then.
  bool StartUp(const FolderFallback& fallback);
  // Its two halves, so the window can be shown between them: the settings and
  // the output folder (what the window's first picture shows), then the
  // monitoring and the volume device.
  bool SettleFolder(const FolderFallback& fallback);
  bool OpenDevices();
  // The main window's close query: false when the user keeps the recording.
  bool CloseQuery();

  // "2.4 seconds of sound were lost because the computer was too busy."
  static std::string LostSoundText(uint32_t lostMs);

  uint32_t StartTick = 0;
  uint32_t AccumulatedMs = 0;
  uint32_t ElapsedMs = 0;

 private:
  enum class Command { Record, RecordButton, Pause, Stop };
  void Run(Command command);
  void Execute(Command command);
  std::string JoinFolder(const std::string& name) const;
  void AbandonFailedWaveRecording();
  void HandleLostDevice();
  void ReopenMonitoring();
  void EndedByItself();
  void UpdateLostSound();
  void ReportLostSound();
  void RescanRecordings();

  RecorderParts p_;
  std::function<void()> afterStop_;
  bool busy_ = false;
  std::deque<Command> waiting_;
  int ticksSinceReopen_ = 0;
};

}  // namespace tarnovox
