#include "core/recorder_controller.h"

#include <filesystem>
#include <system_error>

namespace tarnovox {
namespace fs = std::filesystem;

RecorderController::RecorderController(const RecorderParts& parts) : p_(parts) {
  p_.engine.SetNextFileNamer([this] { return NextRecordName(); });
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
    if (p_.settings.Wav) p_.state.ActiveFileName = base + ".wav";
    if (p_.settings.MP3) p_.state.ActiveFileName = base + ".mp3";
    p_.state.CurrentBaseName = base;
    p_.state.CurrentFile = JoinFolder(p_.state.ActiveFileName);
    return true;
  }
  return false;
}

void RecorderController::RecordButton() {
  if (!p_.state.recording && !p_.state.playing) StartRecording();
}

void RecorderController::HotKey(int id) {
  switch (id) {
    case kHotKeyRecord:
      if (!p_.state.recording) StartRecording();
      break;
    case kHotKeyPause: TogglePause(); break;
    case kHotKeyStop: StopAll(); break;
    default: break;
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
  if (p_.state.recording) return;  // a hot key ran while messages were processed
  if (!NextRecordName()) {
    p_.hooks.ShowMessage("Can not record: the files record1 to record100000 all exist in " + p_.settings.Folder);
    return;
  }
  if (p_.settings.Wav) {
    p_.engine.CloseCaptureDevice();
    p_.hooks.ProcessMessages();
    p_.engine.OpenRecordDevice();
    if (!p_.engine.DeviceOpen) {
      // The error is shown; keep the meters alive instead of leaving no device open.
      p_.engine.OpenMonitorDevice();
      return;
    }
    p_.engine.BeginWaveFile();
    if (p_.engine.WriteFailed()) AbandonFailedWaveRecording();
  }
  if (p_.settings.MP3) p_.mp3.Start();
  p_.hooks.ProcessMessages();
  AccumulatedMs = 0;
  ElapsedMs = 0;
}

// The file could not be created or written: close it with a header that
// matches its data, go back to monitoring, then tell the user.
void RecorderController::AbandonFailedWaveRecording() {
  const std::string message = p_.engine.TakeFailureMessage();
  p_.engine.EndWaveFile();
  p_.state.recording = false;
  p_.state.paused = false;
  p_.engine.CloseCaptureDevice();
  p_.engine.OpenMonitorDevice();
  RescanRecordings();
  p_.state.StatusText.clear();
  if (!message.empty()) p_.hooks.ShowMessage(message);
}

// The sound server went away: keep what was captured, end the recording and
// say why. Monitoring starts again with the next recording (Record retries).
void RecorderController::HandleLostDevice() {
  const std::string text = p_.engine.LostDeviceText();
  const bool wasRecording = p_.state.recording;
  if (wasRecording) {
    if (p_.settings.Wav) p_.engine.EndWaveFile();
    if (p_.settings.MP3) p_.mp3.Stop();
    p_.state.recording = false;
    p_.state.paused = false;
  }
  p_.engine.CloseCaptureDevice();
  if (wasRecording) {
    RescanRecordings();
    p_.state.StatusText.clear();
  }
  p_.hooks.ShowMessage(text);
}

void RecorderController::StopRecording() {
  if (!p_.state.recording) return;
  if (p_.settings.Wav) {
    p_.engine.EndWaveFile();
    p_.hooks.ProcessMessages();
    p_.engine.CloseCaptureDevice();
    p_.engine.OpenMonitorDevice();
  }
  if (p_.settings.MP3) p_.mp3.Stop();
  RescanRecordings();
  p_.state.StatusText.clear();
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

void RecorderController::RecordTick() {
  if (p_.state.paused) return;
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
  if (p_.settings.MP3) {
    p_.mp3.EncodeFilledBuffers();
    if (!p_.state.recording) {  // the encoder failed and ended the recording
      RescanRecordings();
      p_.state.StatusText.clear();
      return;
    }
  }
  ElapsedMs = p_.clock.TickCount() - StartTick + AccumulatedMs;
  p_.state.DisplayedMs = ElapsedMs;
  p_.hooks.UpdateTimeDisplay();
}

bool RecorderController::StartUp(const FolderFallback& fallback) {
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
  p_.engine.OpenMonitorDevice();
  if (!p_.playback.OpenVolumeDevice()) return false;
  p_.playback.ReadOutputVolume();
  p_.hooks.UpdateFormatLabels();
  return true;
}

bool RecorderController::CloseQuery() {
  if (p_.state.recording &&
      !p_.hooks.AskYesNo("Are you sure you want to interrupt recording?", "Confirm"))
    return false;
  StopRecording();
  if (p_.playback.PlaybackDeviceOpen()) p_.playback.CloseDevice();
  p_.shell.CloseMixerWindows();
  p_.hooks.ProcessMessages();
  p_.engine.CloseCaptureDevice();
  p_.playback.CloseVolumeDevice();
  if (!p_.store.SaveSettings())
    p_.hooks.ShowMessage("Can not save the settings to " + p_.store.IniPath());
  return true;
}

}  // namespace tarnovox
