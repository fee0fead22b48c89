#pragma once
// The program: builds its parts in the order they need each other, chooses the
// real platform backends, connects the windows to the recorder, playback and
// dialogs, and runs start-up while the main window shows its first picture.
// Members are declared so that every part outlives the parts that use it
// (the encoder library and the capture streams outlive the engine, the
// engine the recorder, the recorder the windows).
#include <optional>
#include <string>

#include "analysis/meter_analysis.h"
#include "app/global_hot_keys.h"
#include "app/instance_channel.h"
#include "app/qt_ui_hooks.h"
#include "app/take_notices.h"
#include "platform/dynamic_library.h"
#include "platform/input_sources_pulse.h"
#include "platform/pulse_capture_stream.h"
#include "platform/pulse_connection.h"
#include "platform/pulse_output_volume.h"
#include "platform/pulse_player.h"
#include "recorder/recorder_controller.h"
#include "recordings/list_conversion.h"
#include "recordings/playback.h"
#include "recordings/recordings_list.h"
#include "ui/about_dialog.h"
#include "ui/conversion_progress_dialog.h"
#include "ui/file_list_window.h"
#include "ui/main_playback_view.h"
#include "ui/main_window.h"
#include "ui/output_folder_dialog.h"
#include "ui/qt_desktop_shell.h"
#include "ui/record_settings_dialog.h"
#include "ui/skin_pictures.h"
#include "ui/status_icon.h"
#include "ui/tag_editor_window.h"

namespace tarnovox {

// Where the program lies and whether its folder takes files.
struct ProgramPlace {
  std::string executable;
  std::string folder;
  bool folderWritable = false;
  std::string home;
  static ProgramPlace OfThisProcess();
  // The settings file this program reads and writes.
  std::string SettingsFile() const;
};

class Application {
 public:
  Application(InstanceChannel& channel, const ProgramPlace& place);
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Start-up, then the event loop; the program's exit status.
  int Run();

 private:
  void ConnectRecorder();
  void ConnectMainWindow();
  void MakeWindowsAndDialogs();
  void ConnectWindows();
  void ConnectMainWindowCommands();
  void ShowOnDesktop();
  bool CloseQuery();

  InstanceChannel& channel_;
  ProgramPlace place_;
  RecordSettings settings_;
  RecorderState state_;
  SettingsStore store_;
  QtUiHooks hooks_;
  // The encoder library outlives the engine: an MP3 take the engine ends as
  // it goes releases its encoder through the loader.
  DlopenLoader loader_;
  PulseCaptureStream monitorStream_{"Monitor"};
  PulseCaptureStream mp3Stream_{"MP3 recording"};
  CaptureEngine engine_{monitorStream_, mp3Stream_};
  MeterAnalysis analysis_{engine_, settings_, state_};
  PulseConnection soundServer_;
  PulseOutputVolume volume_{soundServer_};
  PulsePlayer player_{soundServer_, volume_};
  PulseInputSources inputs_{soundServer_};
  Playback playback_{player_, volume_, state_, hooks_};
  RecordingsList recordings_{state_, settings_};
  QtDesktopShell shell_;
  SystemClock clock_;
  StatfsDriveInfo drives_;
  RecorderController recorder_;
  MainWindow mainWindow_{settings_, state_};
  SkinPictures skinPictures_;
  // Made once the main window shows, so it shows sooner.
  std::optional<FileListWindow> fileList_;
  std::optional<MainPlaybackView> playbackView_;
  std::optional<OutputFolderDialog> folderDialog_;
  std::optional<AboutDialog> aboutDialog_;
  std::optional<ConversionProgressDialog> conversionDialog_;
  std::optional<RecordSettingsDialog> recordSettingsDialog_;
  std::optional<TagEditorWindow> tagEditor_;
  std::optional<ListConversion> listConversion_;
  std::optional<GlobalHotKeys> hotKeys_;
  std::optional<StatusIcon> statusIcon_;
  std::optional<TakeNotices> takeNotices_;
  bool encoderVersionRead_ = false;
};

}  // namespace tarnovox
