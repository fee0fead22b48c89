#include "recorder/recorder_controller.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tarnovox {
namespace fs = std::filesystem;

RecorderController::RecorderController(const RecorderParts& parts) : p_(parts) {
  p_.engine.SetNextFileNamer([this] { return NextRecordName(); });
  p_.mp3.SetNextFileNamer([this] { return NextRecordName(); });
}

std::string RecorderController::JoinFolder(const std::string& name) const {
  const std::string& folder = p_.settings.Folder;
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool RecorderController::NextRecordName() {
  std::error_code error;
  for (uint32_t n = 1; n <= kLastRecordNumber; ++n) {
    const std::string base = "record" + std::to_string(n);
    if (fs::exists(JoinFolder(base + ".wav"), error) || fs::exists(JoinFolder(base + ".mp3"), error)) continue;
    // Settings that name both formats record WAV, as StartRecording does.
    p_.state.ActiveFileName = base + (p_.settings.Wav ? ".wav" : ".mp3");
    p_.state.CurrentBaseName = base;
    p_.state.CurrentFile = JoinFolder(p_.state.ActiveFileName);
    return true;
  }
  return false;
}

void RecorderController::RecordButton() { Run(Command::RecordButton); }
void RecorderController::PauseButton() { Run(Command::Pause); }
void RecorderController::StopButton() { Run(Command::Stop); }

void RecorderController::HotKey(int id) {
  switch (id) {
    case kHotKeyRecord: Run(Command::Record); break;
    case kHotKeyPause: Run(Command::Pause); break;
    case kHotKeyStop: Run(Command::Stop); break;
    default: break;
  }
}

// Starting and stopping let window messages run, and a key pressed at that
// moment would otherwise start the next take inside the last one's Stop (which
// then swaps the monitoring device in under it). Such a command waits its turn.
void RecorderController::Run(Command command) {
  if (busy_) {
    waiting_.push_back(command);
    return;
  }
  HeldMessages held(p_.messages);
  busy_ = true;
  Execute(command);
  while (!waiting_.empty()) {
    const Command next = waiting_.front();
    waiting_.pop_front();
    Execute(next);
  }
  busy_ = false;
}

void RecorderController::Execute(Command command) {
  switch (command) {
    case Command::Record:
      if (!p_.state.recording) StartRecording();
      break;
    case Command::RecordButton:
      if (!p_.state.recording && !p_.state.playing) StartRecording();
      break;
    case Command::Pause: TogglePause(); break;
    case Command::Stop:
      StopAll();
      if (afterStop_) afterStop_();
      break;
  }
}

void RecorderController::StartRecording() {
  StartTick = p_.clock.TickCount();
  if (p_.drives.IsCdRom(p_.settings.Folder)) {
    p_.hooks.ShowMessage("Can not save to CDROM drive");
    return;
  }
  p_.playback.ClosePlayback();
  p_.hooks.ProcessMessages();
  if (p_.state.recording) return;
  if (!NextRecordName()) {
    p_.hooks.ShowMessage("Can not record: the files record1 to record100000 all exist in " + p_.settings.Folder);
    return;
  }
  p_.state.LostMs = 0;
  if (p_.settings.Wav) {
    p_.engine.CloseCaptureDevice();
    p_.hooks.ProcessMessages();
    p_.engine.OpenRecordDevice();
    if (!p_.engine.DeviceOpen) {
      // The error is told; keep the meters alive instead of leaving no device open.
      ReopenMonitoring();
      return;
    }
    p_.engine.BeginWaveFile();
    if (p_.engine.WriteFailed()) AbandonFailedWaveRecording();
  } else {
    p_.mp3.Start();
  }
  p_.hooks.ProcessMessages();
  AccumulatedMs = 0;
  ElapsedMs = 0;
}

// The file could not be created or written: close it with a header that
// matches its data, go back to monitoring, then tell the user.
void RecorderController::AbandonFailedWaveRecording() {
  const std::string message = p_.engine.TakeFailureMessage();
  UpdateLostSound();
  p_.engine.EndWaveFile();
  p_.state.recording = false;
  p_.state.paused = false;
  p_.engine.CloseCaptureDevice();
  ReopenMonitoring();
  RescanRecordings();
  p_.state.StatusText.clear();
  if (!message.empty()) p_.hooks.ShowMessage(message);
  ReportLostSound();
}

// The sound server went away: keep what was captured, end the recording and
// say why. Monitoring comes back by itself once the server does.
void RecorderController::HandleLostDevice() {
  const std::string text = p_.engine.LostDeviceText();
  const bool wasRecording = p_.state.recording;
  if (wasRecording) {
    UpdateLostSound();
    if (p_.settings.Wav) p_.engine.EndWaveFile();
    else p_.mp3.Stop();
    p_.state.recording = false;
    p_.state.paused = false;
  }
  p_.engine.CloseCaptureDevice();
  ticksSinceReopen_ = 0;
  if (wasRecording) {
    RescanRecordings();
    p_.state.StatusText.clear();
  }
  p_.hooks.ShowMessage(text);
  if (wasRecording) ReportLostSound();
}

// Without an open device the meters stand still; try again quietly, so that a
// sound server that comes back is picked up without the user doing anything.
void RecorderController::ReopenMonitoring() {
  ticksSinceReopen_ = 0;
  p_.engine.TryOpenMonitorDevice();
}

void RecorderController::StopRecording() {
  if (!p_.state.recording) return;
  UpdateLostSound();
  if (p_.settings.Wav) {
    p_.engine.EndWaveFile();
    const std::string failure = p_.engine.TakeFailureMessage();
    p_.hooks.ProcessMessages();
    p_.engine.CloseCaptureDevice();
    p_.engine.OpenMonitorDevice();
    if (!failure.empty()) p_.hooks.ShowMessage(failure);
  } else {
    p_.mp3.Stop();
  }
  RescanRecordings();
  p_.state.StatusText.clear();
  ReportLostSound();
}

void RecorderController::RescanRecordings() {
  p_.hooks.SetBusyCursor(true);
  p_.recordings.Rescan();
  p_.hooks.SetBusyCursor(false);
  p_.recordings.ApplySort();
}

void RecorderController::TogglePause() {
  RecorderState& s = p_.state;
  if (!s.recording && !s.playing) return;
  if (!s.paused) {
    if (s.recording) {
      if (p_.settings.Wav) p_.engine.StopCapture();
      else p_.mp3.Pause();
      AccumulatedMs = ElapsedMs;
    }
    if (s.playing) p_.playback.PausePlayback();
    s.paused = true;
    // Pausing writes what was captured so far; a failure there ends the take now.
    if (s.recording && p_.settings.Wav && p_.engine.WriteFailed()) AbandonFailedWaveRecording();
    else if (!s.recording && !s.playing) EndedByItself();
  } else {
    if (s.recording) {
      if (p_.settings.Wav) p_.engine.StartCapture();
      else p_.mp3.Resume();
      StartTick = p_.clock.TickCount();
    }
    if (s.playing) p_.playback.ResumePlayback();
    s.paused = false;
  }
}

void RecorderController::StopAll() {
  if (p_.state.paused) {
    TogglePause();
    p_.state.paused = false;
  }
  if (p_.state.recording) StopRecording();
  if (p_.state.playing) {
    p_.playback.ClosePlayback();
    p_.hooks.ProcessMessages();
  }
}

// The MP3 recording ended on its own (encoder, disk or capture stream failed);
// its file holds everything encoded so far and its message is waiting.
void RecorderController::EndedByItself() {
  p_.state.paused = false;
  RescanRecordings();
  p_.state.StatusText.clear();
  ReportLostSound();
}

void RecorderController::UpdateLostSound() {
  uint64_t frames = 0;
  uint32_t rate = 44100;
  if (p_.settings.Wav) {
    frames = p_.engine.LostFrames();
    if (p_.engine.Format.samplesPerSec > 0) rate = p_.engine.Format.samplesPerSec;
  } else {
    frames = p_.mp3.LostFrames();
  }
  const uint64_t ms = frames * 1000 / rate;
  if (ms > p_.state.LostMs) p_.state.LostMs = static_cast<uint32_t>(ms);
}

std::string RecorderController::LostSoundText(uint32_t lostMs) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f", lostMs < 100 ? 0.1 : lostMs / 1000.0);
  return std::string(seconds) + " seconds of sound were lost because the computer was too busy.";
}

void RecorderController::ReportLostSound() {
  if (p_.state.LostMs > 0) p_.hooks.ShowMessage(LostSoundText(p_.state.LostMs));
}

void RecorderController::RecordTick() {
  // A tick that falls into a command's message processing would see the
  // devices half switched; the command finishes first.
  if (p_.state.paused || busy_) return;
  HeldMessages held(p_.messages);
  if (!p_.engine.DeviceOpen && !(p_.state.recording && p_.settings.Wav)) {
    if (++ticksSinceReopen_ >= kReopenTicks) ReopenMonitoring();
  }
  p_.engine.PollCapture();
  if (p_.engine.DeviceLost()) {
    HandleLostDevice();
    return;
  }
  if (p_.state.recording && p_.settings.Wav && p_.engine.WriteFailed()) {
    AbandonFailedWaveRecording();
    return;
  }
  if (!p_.state.recording) return;
  if (!p_.settings.Wav) {
    p_.mp3.EncodeFilledBuffers();
    if (!p_.state.recording) {
      EndedByItself();
      return;
    }
  }
  UpdateLostSound();
  ElapsedMs = p_.clock.TickCount() - StartTick + AccumulatedMs;
  p_.state.DisplayedMs = ElapsedMs;
  p_.hooks.UpdateTimeDisplay();
}

bool RecorderController::StartUp(const FolderFallback& fallback) {
  return SettleFolder(fallback) && OpenDevices();
}

bool RecorderController::SettleFolder(const FolderFallback& fallback) {
  p_.store.LoadSettings();
  std::error_code error;
  if (!fs::is_directory(p_.settings.Folder, error)) {
    std::string folder;
    if (fallback.executableDirWritable) {
      folder = (fs::path(fallback.executableDir) / "Temp").string();
      if (!fs::is_directory(folder, error)) fs::create_directory(folder, error);
    } else {
      folder = (fs::path(fallback.musicDir) / "Tarnovox").string();
      if (!fs::is_directory(folder, error)) fs::create_directories(folder, error);
    }
    if (!fs::is_directory(folder, error)) {
      p_.hooks.ShowMessage("Can not create " + folder);
      return false;
    }
    p_.settings.Folder = folder;
  }
  fs::current_path(p_.settings.Folder, error);
  p_.recordings.SortColumnForSort();
  p_.hooks.UpdateFormatLabels();
  return true;
}

bool RecorderController::OpenDevices() {
  p_.engine.OpenMonitorDevice();
  if (!p_.playback.OpenVolume()) return false;
  p_.playback.ReadVolume();
  return true;
}

bool RecorderController::CloseQuery() {
  // Closing in the middle of a starting or stopping take would cut it: the
  // command finishes first, then the window can be closed.
  if (busy_) return false;
  if (p_.state.recording &&
      !p_.hooks.AskYesNo("Are you sure you want to interrupt recording?", "Confirm"))
    return false;
  StopRecording();
  if (p_.playback.PlaybackOpen()) p_.playback.CloseMedia();
  p_.shell.CloseMixerWindows();
  p_.hooks.ProcessMessages();
  p_.engine.CloseCaptureDevice();
  p_.playback.CloseVolume();
  if (!p_.store.SaveSettings())
    p_.hooks.ShowMessage("Can not save the settings to " + p_.store.IniPath());
  return true;
}

}  // namespace tarnovox
