#pragma once
// Turns Record, Pause/Resume and Stop into the recorder's modes, names new
// takes, starts and ends them on the capture engine, keeps the elapsed time on
// its own 100 ms tick, and does the recorder's part of start-up and shut-down.
// What changed is announced as signals; failures are told once each, after
// the command or tick that met them has finished (messageRaised).
#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/take_writer.h"
#include "recorder/capture_engine.h"
#include "recorder/collaborators.h"
#include "recorder/recorder_command.h"
#include "recorder/recorder_state.h"
#include "platform/clock.h"
#include "platform/drive_info.h"
#include "platform/dynamic_library.h"
#include "settings/record_settings.h"
#include "settings/settings_store.h"

namespace tarnovox {

// Everything the controller works with; all owned elsewhere and living as long.
struct RecorderParts {
  RecordSettings& settings;
  SettingsStore& store;
  RecorderState& state;
  CaptureEngine& engine;
  DynamicLibraryLoader& encoderLoader;
  PlaybackControl& playback;
  RecordingsLibrary& recordings;
  DesktopShell& shell;
  const Clock& clock;
  const DriveInfo& drives;
  CaptureAnalysis* analysis = nullptr;  // fed the newest block of sound on every tick
};

// Where a recorder without a usable output folder records.
struct FolderFallback {
  std::string executableDir;  // "<dir>/Temp" is used when this folder is writable
  bool executableDirWritable = false;
  std::string musicDir;  // else "<musicDir>/Tarnovox"
};

class RecorderController : public QObject {
  Q_OBJECT

 public:
  static constexpr uint32_t kLastRecordNumber = 100000;
  static constexpr std::chrono::milliseconds kTickInterval{100};
  // Ticks between two attempts to reopen monitoring after the stream was lost.
  static constexpr int kReopenTicks = 10;
  static constexpr std::chrono::milliseconds kMarkShown{1000};

  explicit RecorderController(const RecorderParts& parts, QObject* parent = nullptr);

  // Starts the capture thread and the 100 ms tick (tests call Tick themselves).
  void Start();

  // Every command of every source comes in here.
  void Execute(RecorderCommand command);
  // Record from `--record --for/--at`: the take ends after `stopAfterSeconds`
  // of sound (this take only, in place of StopAfter); with a start minute the
  // recorder waits for the next such local time instead (the status tells it;
  // Stop cancels it, another `--at` replaces it).
  void RecordTimed(const TakeTiming& timing);

  // Picks the first n with neither record<n>.wav nor record<n>.mp3 in the folder (a link counts, also one
  // that points nowhere) and sets ActiveFileName, CurrentBaseName and CurrentFile. Returns false, changing
  // nothing, when all numbers up to 100000 are taken.
  bool NextRecordName();
  void StartRecording();
  void TogglePause();
  void StopAll();
  void StopRecording();
  // Marks the running take (not while paused) and shows "Mark N" for a second.
  void MarkTake();
  // Meters, elapsed time, the take's progress and failures, the lost stream.
  void Tick();

  // Start-up, in two halves so the window can be shown between them: the
  // settings and the output folder (what the window's first picture shows),
  // then the monitoring and the volume. False when the program cannot go on
  // (the folder cannot be created, no sound server for the volume); the
  // message has been raised then.
  bool SettleFolder(const FolderFallback& fallback);
  bool OpenDevices();
  bool StartUp(const FolderFallback& fallback) { return SettleFolder(fallback) && OpenDevices(); }
  // The main window closes (after the user agreed to end a running take): the
  // take ends, playback and the devices close and the settings are saved.
  // From then on no command starts anything. Returns "" or the message that
  // the settings could not be saved.
  std::string ShutDown();
  bool IsShutDown() const { return shutDown_; }

  // "2.4 seconds of sound were lost because the computer was too busy."
  static std::string LostSoundText(uint32_t lostMs);

  // Recorded so far, without the paused stretches, as of the last tick.
  std::chrono::milliseconds Elapsed() const { return elapsed_; }

 signals:
  // The recorder's mode changed (RecorderState::mode).
  void modeChanged();
  // The elapsed time of the take (RecorderState::DisplayedMs) moved on.
  void elapsedChanged();
  // A take was written or ended: the list of recordings is out of date.
  void recordingsChanged();
  // After every Stop command (settings held back during the take apply now).
  void stopped();
  // The status shows a new mark or stops showing it (RecorderState::ShownMark).
  void markShown();
  // A failure the user must be told; each text once per command or tick.
  void messageRaised(const QString& text);

 private:
  void BeginWavTake();
  void BeginMp3Take();
  // Pre-record or a start level: takes share the monitoring stream, which
  // opens at the take's rate and keeps PreRecordFrames before each take.
  bool SharedCapture() const;
  uint32_t MonitoringRate() const;
  uint64_t PreRecordFrames() const;
  void BeginSharedTake();
  bool MakeSharedWriter(std::unique_ptr<TakeWriter>& writer, SharedTake& take);
  void FollowSharedTake(const TakeProgress& progress);
  void BeginOpusTake();
  void BeginSecondStreamTake(std::unique_ptr<TakeWriter> writer, const std::function<std::string()>& createFile,
                             const PcmFormat& format);
  std::string JoinFolder(const std::string& name) const;
  NextTakeFile TakeNamer();
  enum class MonitoringAfter { Closed, Quiet, Told };
  // Opens monitoring if it is closed; `tell`: its failure and a missing input are told.
  void OpenMonitoring(bool tell);
  void TellSubstitute(const std::string& notice, bool monitoring);
  void FollowChosenInput();
  std::string EndTake(MonitoringAfter after);
  void TellIncompleteTake(const std::string& failure);
  void HandleRemovedInput();
  void EndFailedTake(const std::string& reason);
  void HandleLostStream(const std::string& reason);
  bool FollowTakeFile(const std::string& file);
  uint64_t TakeFrameLimit(uint32_t sampleRate) const;
  std::unique_ptr<TakeWriter> InPartsWhenAsked(std::unique_ptr<TakeWriter> writer, const PcmFormat& format) const;
  void NoteLostSound(uint64_t frames, uint32_t rate);
  void ReportLostSound();
  void Raise(const std::string& text);
  void RaiseHeldMessages();
  void SetMode(RecorderMode mode);
  void ShowMark(int number);
  std::chrono::milliseconds SinceStart() const;
  void RecordFor(uint32_t stopAfterSeconds);
  void Disarm();

  RecorderParts p_;
  QTimer tick_;
  bool shutDown_ = false;
  bool takeOnMonitoring_ = false;  // a WAV take or a shared one: monitoring is the take's stream
  bool takeShared_ = false;
  int depth_ = 0;  // nesting of Execute and Tick, so messages are raised once at the end
  std::vector<std::string> heldMessages_;
  int ticksSinceReopen_ = 0;
  std::string toldSubstitute_;  // the missing input last told, until it is found again
  Clock::time_point startedAt_{};
  Clock::time_point markShownAt_{};
  std::chrono::milliseconds accumulated_{0};
  std::chrono::milliseconds elapsed_{0};
  uint32_t takeStopSeconds_ = 0;  // the length `--for` gave the take being begun
  std::optional<std::chrono::system_clock::time_point> armedAt_;  // `--at`: when the take begins
  uint32_t armedStopSeconds_ = 0;
};

}  // namespace tarnovox
