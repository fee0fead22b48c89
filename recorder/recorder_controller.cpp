#include "recorder/recorder_controller.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "formats/encoded_take_writer.h"
#include "formats/encoder_config.h"
#include "formats/flac_file_encoder.h"
#include "formats/mp3_take_writer.h"
#include "formats/opus_file_encoder.h"
#include "formats/split_take_writer.h"
#include "formats/wav_take_writer.h"
#include "recorder/recorder_texts.h"
#include "recorder/time_of_day.h"

namespace tarnovox {
namespace fs = std::filesystem;

namespace {

// Holds the controller's messages while a command or tick runs, so each
// failure is told once, after the recorder is consistent again.
class MessageScope {
 public:
  MessageScope(int& depth, std::function<void()> release) : depth_(depth), release_(std::move(release)) { ++depth_; }
  ~MessageScope() {
    if (--depth_ == 0) release_();
  }
  MessageScope(const MessageScope&) = delete;
  MessageScope& operator=(const MessageScope&) = delete;

 private:
  int& depth_;
  std::function<void()> release_;
};

// A name is taken by anything the folder holds under it, a link too: a link
// that points nowhere still makes the exclusive create of that name fail.
bool NameTaken(const std::string& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

// Every take's extension, in OutputFormat's order: a record number is free only
// when none is taken.
constexpr const char* kTakeExtensions[] = {".wav", ".mp3", ".flac", ".opus"};

std::string TakeExtension(OutputFormat format) { return kTakeExtensions[static_cast<size_t>(format)]; }

// "<prefix><n>" for the first n with no take's extension taken, or "".
std::string FirstFreeBase(const std::string& prefix) {
  for (uint32_t n = 1; n <= RecorderController::kLastRecordNumber; ++n) {
    const std::string base = prefix + std::to_string(n);
    bool taken = false;
    for (const char* extension : kTakeExtensions) taken = taken || NameTaken(base + extension);
    if (!taken) return base;
  }
  return {};
}

// The writer of a take on the monitoring stream, its file created: WAV, or
// FLAC, which is the same sound encoded losslessly. `error` tells a failure.
std::unique_ptr<TakeWriter> CreateMonitorTakeWriter(OutputFormat kind, const PcmFormat& format, NextTakeFile namer,
                                                    const std::string& path, std::string& error) {
  if (kind == OutputFormat::Flac) {
    auto flac = std::make_unique<EncodedTakeWriter>(std::make_unique<FlacFileEncoder>(format), std::move(namer));
    error = flac->Create(path);
    return flac;
  }
  auto wav = std::make_unique<WavTakeWriter>(format, std::move(namer));
  error = wav->Create(path);
  return wav;
}

}  // namespace

RecorderController::RecorderController(const RecorderParts& parts, QObject* parent) : QObject(parent), p_(parts) {
  tick_.setInterval(kTickInterval);
  connect(&tick_, &QTimer::timeout, this, &RecorderController::Tick);
}

void RecorderController::Start() {
  p_.engine.StartThread();
  tick_.start();
}

std::string RecorderController::JoinFolder(const std::string& name) const {
  const std::string& folder = p_.settings.folder;
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool RecorderController::NextRecordName() {
  const std::string path = FirstFreeBase(JoinFolder("record"));
  if (path.empty()) return false;
  const std::string base = fs::path(path).filename().string();
  p_.state.ActiveFileName = base + TakeExtension(p_.settings.format);
  p_.state.CurrentBaseName = base;
  p_.state.CurrentFile = JoinFolder(p_.state.ActiveFileName);
  return true;
}

// The capture thread asks for the next free name when a take goes on in a new
// file; it must not touch the shared state, so it looks at the folder alone.
NextTakeFile RecorderController::TakeNamer() {
  const std::string folder = p_.settings.folder;
  const std::string extension = TakeExtension(p_.settings.format);
  return [folder, extension]() -> std::string {
    const std::string base = FirstFreeBase(folder + (!folder.empty() && folder.back() == '/' ? "" : "/") + "record");
    return base.empty() ? base : base + extension;
  };
}

void RecorderController::Execute(RecorderCommand command) {
  if (shutDown_) return;
  MessageScope scope(depth_, [this] { RaiseHeldMessages(); });
  const RecorderState& s = p_.state;
  switch (command) {
    case RecorderCommand::Record:
      if (!s.Recording()) StartRecording();
      break;
    case RecorderCommand::RecordWhenIdle:
      if (!s.Recording() && !s.Playing()) StartRecording();
      break;
    case RecorderCommand::Pause: TogglePause(); break;
    case RecorderCommand::Stop:
      Disarm();
      StopAll();
      emit stopped();
      break;
    case RecorderCommand::Mark: MarkTake(); break;
  }
}

void RecorderController::RecordTimed(const TakeTiming& timing) {
  if (shutDown_) return;
  if (timing.startAtMinute < 0) {
    RecordFor(timing.stopAfterSeconds);
    return;
  }
  armedAt_ = NextTimeOfDay(timing.startAtMinute, p_.clock.WallNow());
  armedStopSeconds_ = timing.stopAfterSeconds;
  p_.state.ArmedText = "Recording at " + TimeOfDayText(timing.startAtMinute);
  emit modeChanged();
}

void RecorderController::RecordFor(uint32_t stopAfterSeconds) {
  takeStopSeconds_ = stopAfterSeconds;
  Execute(RecorderCommand::Record);
  takeStopSeconds_ = 0;
}

void RecorderController::Disarm() {
  if (!armedAt_) return;
  armedAt_.reset();
  p_.state.ArmedText.clear();
  emit modeChanged();
}

void RecorderController::MarkTake() {
  // Waiting for sound there is no file yet; paused on silence nothing is recorded.
  if (p_.state.mode != RecorderMode::Recording || p_.state.wait != TakeWait::None) return;
  std::string failure;
  const int number = p_.engine.MarkTake(failure);
  Raise(failure);
  if (number > 0) ShowMark(number);
}

void RecorderController::ShowMark(int number) {
  if (p_.state.ShownMark == number) return;
  p_.state.ShownMark = number;
  markShownAt_ = p_.clock.Now();
  emit markShown();
}

void RecorderController::Raise(const std::string& text) {
  if (text.empty()) return;
  heldMessages_.push_back(text);
  if (depth_ == 0) RaiseHeldMessages();
}

// Every distinct text, in the order they arose.
void RecorderController::RaiseHeldMessages() {
  std::vector<std::string> held;
  held.swap(heldMessages_);
  std::vector<std::string> told;
  for (const std::string& text : held) {
    bool repeated = false;
    for (const std::string& t : told) repeated = repeated || t == text;
    if (repeated) continue;
    told.push_back(text);
    emit messageRaised(QString::fromStdString(text));
  }
}

void RecorderController::SetMode(RecorderMode mode) {
  if (p_.state.mode == mode) return;
  p_.state.mode = mode;
  emit modeChanged();
}

std::chrono::milliseconds RecorderController::SinceStart() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(p_.clock.Now() - startedAt_);
}

void RecorderController::StartRecording() {
  MessageScope scope(depth_, [this] { RaiseHeldMessages(); });
  startedAt_ = p_.clock.Now();
  if (p_.drives.IsCdRom(p_.settings.folder)) {
    Raise(recorder_texts::OnCdRom());
    return;
  }
  p_.playback.ClosePlayback();
  if (!NextRecordName()) {
    Raise(recorder_texts::AllNamesTaken(p_.settings.folder));
    return;
  }
  p_.state.LostMs = 0;
  // Zero before the take is announced, so whoever shows it shows no old time.
  accumulated_ = std::chrono::milliseconds(0);
  elapsed_ = std::chrono::milliseconds(0);
  if (SharedCapture()) {
    BeginSharedTake();
    return;
  }
  switch (p_.settings.format) {
    case OutputFormat::Wav:
    case OutputFormat::Flac: BeginWavTake(); break;
    case OutputFormat::Mp3: BeginMp3Take(); break;
    case OutputFormat::Opus: BeginOpusTake(); break;
  }
}

void RecorderController::BeginWavTake() {
  PcmFormat format;
  format.sampleRate = p_.settings.sampleRate;
  format.channels = p_.settings.channels;
  format.bitsPerSample = p_.settings.bitsPerSample;
  if (const uint32_t code = p_.engine.OpenWavTakeStream(format, p_.settings.inputSource)) {
    // The error is told; keep the meters alive instead of leaving no stream open.
    Raise(p_.engine.ErrorText(code));
    OpenMonitoring(false);
    return;
  }
  TellSubstitute(p_.engine.MonitorSubstituteNotice(), false);
  std::string error;
  std::unique_ptr<TakeWriter> writer =
      CreateMonitorTakeWriter(p_.settings.format, format, TakeNamer(), p_.state.CurrentFile, error);
  if (!error.empty()) {
    // No file, no take: back to monitoring, then tell.
    p_.engine.CloseTakeStream();
    OpenMonitoring(false);
    Raise(error);
    return;
  }
  FollowTakeFile(writer->CurrentFile());
  p_.engine.BeginTake(InPartsWhenAsked(std::move(writer), format), TakeFrameLimit(format.sampleRate));
  takeOnMonitoring_ = true;
  takeShared_ = false;
  SetMode(RecorderMode::Recording);
}

// An Opus take captures at 48 kHz through the second stream, beside
// monitoring, as an MP3 take does: the sound server resamples the input.
void RecorderController::BeginOpusTake() {
  auto encoder = std::make_unique<OpusFileEncoder>(p_.settings.channels == 1 ? 1 : 2, p_.settings.opusBitRate);
  const PcmFormat format = encoder->Input();
  auto writer = std::make_unique<EncodedTakeWriter>(std::move(encoder), TakeNamer());
  EncodedTakeWriter& file = *writer;
  BeginSecondStreamTake(std::move(writer), [&file, this] { return file.Create(p_.state.CurrentFile); }, format);
}

void RecorderController::BeginMp3Take() {
  PcmFormat format;
  format.channels = p_.settings.channelMode == ChannelMode::Mono ? 1 : 2;
  auto writer = std::make_unique<Mp3TakeWriter>(p_.encoderLoader, TakeNamer(), format);
  if (const std::string error = writer->OpenEncoder(RecordingConfig(p_.settings)); !error.empty()) {
    Raise(error);
    return;
  }
  p_.settings.bitsPerSample = 16;
  Mp3TakeWriter& file = *writer;
  BeginSecondStreamTake(std::move(writer), [&file, this] { return file.Create(p_.state.CurrentFile); }, format);
}

// A take through the second stream, beside monitoring: the stream opens, the
// file is created, and the writer takes over.
void RecorderController::BeginSecondStreamTake(std::unique_ptr<TakeWriter> writer,
                                               const std::function<std::string()>& createFile,
                                               const PcmFormat& format) {
  if (const uint32_t code = p_.engine.OpenMp3TakeStream(format, p_.settings.inputSource)) {
    Raise(p_.engine.Mp3ErrorText(code));
    return;
  }
  // The take goes on from the default input; the user is told which.
  Raise(p_.engine.Mp3SubstituteNotice());
  if (const std::string error = createFile(); !error.empty()) {
    p_.engine.CloseTakeStream();
    Raise(error);
    return;
  }
  FollowTakeFile(writer->CurrentFile());
  p_.engine.BeginTake(InPartsWhenAsked(std::move(writer), format), TakeFrameLimit(format.sampleRate));
  takeOnMonitoring_ = false;
  takeShared_ = false;
  SetMode(RecorderMode::Recording);
}

uint64_t RecorderController::TakeFrameLimit(uint32_t sampleRate) const {
  return uint64_t{takeStopSeconds_ > 0 ? takeStopSeconds_ : p_.settings.stopAfterSeconds} * sampleRate;
}

// With SplitEvery the take is cut into files of that much sound. A WAV part
// never reaches the 4 GiB limit, so the writer's own continuation there does
// not shift the cuts.
std::unique_ptr<TakeWriter> RecorderController::InPartsWhenAsked(std::unique_ptr<TakeWriter> writer,
                                                                 const PcmFormat& format) const {
  if (p_.settings.splitEverySeconds == 0) return writer;
  uint64_t frames = uint64_t{p_.settings.splitEverySeconds} * format.sampleRate;
  if (p_.settings.format == OutputFormat::Wav) {
    frames = std::min<uint64_t>(frames, WavTakeWriter::kMaxDataBytes / format.BlockAlign());
  }
  return std::make_unique<SplitTakeWriter>(std::move(writer), frames, format.BlockAlign());
}

bool RecorderController::SharedCapture() const {
  return p_.settings.preRecordSeconds > 0 || p_.settings.startLevelDb != 0;
}

// The take's rate, so the kept frames need no resampling: a WAV or FLAC
// take's, Opus's 48000 Hz; MP3 takes are 44100 Hz.
uint32_t RecorderController::MonitoringRate() const {
  if (!SharedCapture()) return 44100;
  switch (p_.settings.format) {
    case OutputFormat::Wav:
    case OutputFormat::Flac: return p_.settings.sampleRate;
    case OutputFormat::Opus: return OpusFileEncoder::kSampleRate;
    case OutputFormat::Mp3: break;
  }
  return 44100;
}

uint64_t RecorderController::PreRecordFrames() const {
  if (!SharedCapture()) return 0;
  const uint64_t rate = MonitoringRate();
  // A start level keeps at least half a second, so the onset is never cut.
  const uint64_t least = p_.settings.startLevelDb != 0 ? rate / 2 : 0;
  return std::max(uint64_t{p_.settings.preRecordSeconds} * rate, least);
}

// The writer of a shared take and how it creates its file; false after a failure that was told.
bool RecorderController::MakeSharedWriter(std::unique_ptr<TakeWriter>& writer, SharedTake& take) {
  const std::string path = p_.state.CurrentFile;
  if (p_.settings.format == OutputFormat::Wav) {
    take.format = {p_.settings.sampleRate, p_.settings.channels, p_.settings.bitsPerSample};
    auto wav = std::make_unique<WavTakeWriter>(take.format, TakeNamer());
    take.createFile = [w = wav.get(), path] { return w->Create(path); };
    writer = std::move(wav);
    return true;
  }
  if (p_.settings.format == OutputFormat::Flac || p_.settings.format == OutputFormat::Opus) {
    std::unique_ptr<FileEncoder> encoder;
    if (p_.settings.format == OutputFormat::Flac) {
      encoder = std::make_unique<FlacFileEncoder>(
          PcmFormat{p_.settings.sampleRate, p_.settings.channels, p_.settings.bitsPerSample});
    } else {
      encoder = std::make_unique<OpusFileEncoder>(p_.settings.channels == 1 ? 1 : 2, p_.settings.opusBitRate);
    }
    take.format = encoder->Input();
    auto encoded = std::make_unique<EncodedTakeWriter>(std::move(encoder), TakeNamer());
    take.createFile = [w = encoded.get(), path] { return w->Create(path); };
    writer = std::move(encoded);
    return true;
  }
  auto mp3 = std::make_unique<Mp3TakeWriter>(p_.encoderLoader, TakeNamer());
  if (const std::string error = mp3->OpenEncoder(RecordingConfig(p_.settings)); !error.empty()) {
    Raise(error);
    return false;
  }
  p_.settings.bitsPerSample = 16;
  take.format.channels = p_.settings.channelMode == ChannelMode::Mono ? 1 : 2;
  take.createFile = [w = mp3.get(), path] { return w->Create(path); };
  writer = std::move(mp3);
  return true;
}

// A take fed by the monitoring stream: it begins with the kept seconds, at
// once or, with a start level, at the first sound (its file is created then,
// so a take stopped before any sound leaves none).
void RecorderController::BeginSharedTake() {
  if (p_.engine.MonitoringRate() != MonitoringRate() || p_.engine.PreRecordFrames() != PreRecordFrames()) {
    p_.engine.CloseMonitoring();  // the settings changed since monitoring opened
  }
  OpenMonitoring(true);
  if (!p_.engine.MonitoringOpen()) return;
  std::unique_ptr<TakeWriter> writer;
  SharedTake take;
  if (!MakeSharedWriter(writer, take)) return;
  writer = InPartsWhenAsked(std::move(writer), take.format);
  take.rules.preFrames = PreRecordFrames();
  take.rules.level = PeakOfLevel(p_.settings.startLevelDb);
  if (take.rules.level != 0) take.rules.silenceFrames = uint64_t{p_.settings.silencePauseSeconds} * MonitoringRate();
  take.frameLimit = TakeFrameLimit(take.format.sampleRate);
  if (take.rules.level == 0) {
    if (const std::string error = take.createFile(); !error.empty()) {
      Raise(error);
      return;
    }
    take.createFile = nullptr;
    FollowTakeFile(writer->CurrentFile());
  }
  const bool waits = take.rules.level != 0;
  if (!p_.engine.BeginSharedTake(std::move(writer), std::move(take))) return;
  takeOnMonitoring_ = true;
  takeShared_ = true;
  p_.state.wait = waits ? TakeWait::ForSound : TakeWait::None;
  SetMode(RecorderMode::Recording);
}

// Waiting for sound and pausing on silence show in the status; the time is
// the sound in the take, kept seconds included, waits not.
void RecorderController::FollowSharedTake(const TakeProgress& progress) {
  RecorderState& s = p_.state;
  const TakeWait wait =
      progress.armed ? TakeWait::ForSound : (progress.silencePaused ? TakeWait::Silence : TakeWait::None);
  if (wait != s.wait) {
    s.wait = wait;
    s.StatusText.clear();
    emit modeChanged();
  }
  elapsed_ = std::chrono::milliseconds(progress.framesWritten * 1000 / std::max(progress.sampleRate, 1u));
  s.DisplayedMs = static_cast<uint32_t>(elapsed_.count());
  emit elapsedChanged();
}

// The take's file was created under another name than the one chosen, or the
// take went on in a new file: the status and the file list follow. True when
// the file changed.
bool RecorderController::FollowTakeFile(const std::string& file) {
  if (file.empty() || file == p_.state.CurrentFile) return false;
  p_.state.CurrentFile = file;
  p_.state.ActiveFileName = fs::path(file).filename().string();
  p_.state.CurrentBaseName = fs::path(file).stem().string();
  return true;
}

void RecorderController::OpenMonitoring(bool tell) {
  ticksSinceReopen_ = 0;
  if (p_.engine.MonitoringOpen()) return;
  if (const uint32_t code = p_.engine.OpenMonitoring(p_.settings.inputSource, MonitoringRate(), PreRecordFrames())) {
    if (tell) Raise(p_.engine.ErrorText(code));
    return;
  }
  const std::string notice = p_.engine.MonitorSubstituteNotice();
  if (notice.empty()) toldSubstitute_.clear();
  else if (tell) TellSubstitute(notice, true);
}

// A missing input is told at start-up and at every Record; reopening
// monitoring after a stop does not repeat what the user was just told.
void RecorderController::TellSubstitute(const std::string& notice, bool monitoring) {
  if (notice.empty()) {
    toldSubstitute_.clear();
    return;
  }
  if (monitoring && notice == toldSubstitute_) return;
  Raise(notice);
  toldSubstitute_ = notice;
}

// Monitoring follows the input chosen in the settings, also when a missing one
// turns up; a take keeps the input it began with.
void RecorderController::FollowChosenInput() {
  if (!p_.engine.MonitoringOpen() || p_.state.Recording()) return;
  if (p_.engine.MonitoringSource() == p_.settings.inputSource && !p_.engine.MonitorSubstituteEnded() &&
      p_.engine.MonitoringRate() == MonitoringRate() && p_.engine.PreRecordFrames() == PreRecordFrames()) {
    return;
  }
  p_.engine.CloseMonitoring();
  OpenMonitoring(true);
}

void RecorderController::NoteLostSound(uint64_t frames, uint32_t rate) {
  const uint64_t ms = frames * 1000 / (rate > 0 ? rate : 44100);
  if (ms > p_.state.LostMs) p_.state.LostMs = static_cast<uint32_t>(ms);
}

// Ends the take with every frame captured up to now. A WAV take took the
// monitoring stream, which opens again as asked. Returns the writer's failure,
// for the caller to tell.
std::string RecorderController::EndTake(MonitoringAfter after) {
  const bool wav = takeOnMonitoring_;
  TakeProgress last;
  const std::string failure = p_.engine.EndTake(&last);
  NoteLostSound(last.lostFrames, last.sampleRate);
  FollowTakeFile(last.file);
  p_.state.wait = TakeWait::None;
  takeShared_ = false;
  SetMode(RecorderMode::Monitoring);
  if (wav && after != MonitoringAfter::Closed) OpenMonitoring(after == MonitoringAfter::Told);
  return failure;
}

// The take ended because its sound stopped coming: a file that could not be
// written completely is named, so the user does not take it for whole.
void RecorderController::TellIncompleteTake(const std::string& failure) {
  if (!failure.empty()) Raise(recorder_texts::IncompleteTake(p_.state.CurrentFile, failure));
}

// A take that ended on its own (its disk, encoder or stream failed): its file
// holds everything written so far.
void RecorderController::EndFailedTake(const std::string& reason) {
  Raise(EndTake(MonitoringAfter::Quiet));
  Raise(reason);
  emit recordingsChanged();
  p_.state.StatusText.clear();
  ReportLostSound();
}

void RecorderController::StopRecording() {
  if (!p_.state.Recording()) return;
  Raise(EndTake(MonitoringAfter::Told));
  emit recordingsChanged();
  p_.state.StatusText.clear();
  ReportLostSound();
}

// The sound server went away: keep what was captured, end the take and say
// why. Monitoring comes back by itself once the server does.
void RecorderController::HandleLostStream(const std::string& reason) {
  const bool wasRecording = p_.state.Recording();
  const std::string failure = wasRecording ? EndTake(MonitoringAfter::Closed) : std::string();
  p_.engine.CloseMonitoring();
  ticksSinceReopen_ = 0;
  if (wasRecording) {
    emit recordingsChanged();
    p_.state.StatusText.clear();
  }
  Raise(reason);
  TellIncompleteTake(failure);
  if (wasRecording) ReportLostSound();
}

// The chosen input went away (a device unplugged) while the server stays: a
// take ends with what it captured and the input is named once; monitoring
// goes on from the default input at once (quietly without a take: Record
// tells of the missing input). The choice stays in the settings: monitoring
// returns to it when the input comes back.
void RecorderController::HandleRemovedInput() {
  const bool wasRecording = p_.state.Recording();
  const std::string input =
      InputName(p_.engine.MonitoringOpen() ? p_.engine.MonitoringSource() : p_.settings.inputSource);
  const std::string failure = wasRecording ? EndTake(MonitoringAfter::Closed) : std::string();
  p_.engine.CloseMonitoring();
  if (wasRecording) {
    emit recordingsChanged();
    p_.state.StatusText.clear();
  }
  OpenMonitoring(false);
  if (!wasRecording) return;
  Raise(RemovedInputMessage(input));
  TellIncompleteTake(failure);
  // Told just now, in other words: not again when Stop reopens monitoring.
  toldSubstitute_ = p_.engine.MonitorSubstituteNotice();
  ReportLostSound();
}

void RecorderController::TogglePause() {
  MessageScope scope(depth_, [this] { RaiseHeldMessages(); });
  RecorderState& s = p_.state;
  if (!s.Recording() && !s.Playing()) return;
  if (s.wait == TakeWait::ForSound) return;  // nothing to pause before the take's first sound
  if (s.mode == RecorderMode::Recording) {
    p_.engine.PauseTake();
    accumulated_ = elapsed_;
    SetMode(RecorderMode::RecordingPaused);
    // Pausing writes what was captured so far; a failure there ends the take now.
    if (!p_.engine.Progress().failure.empty()) EndFailedTake({});
  } else if (s.mode == RecorderMode::RecordingPaused) {
    p_.engine.ResumeTake();
    startedAt_ = p_.clock.Now();
    SetMode(RecorderMode::Recording);
  } else if (s.mode == RecorderMode::Playing) {
    p_.playback.PausePlayback();
    SetMode(RecorderMode::PlayingPaused);
  } else {
    p_.playback.ResumePlayback();
    SetMode(RecorderMode::Playing);
  }
}

void RecorderController::StopAll() {
  MessageScope scope(depth_, [this] { RaiseHeldMessages(); });
  // A paused take or playback resumes for an instant first.
  if (p_.state.Paused()) TogglePause();
  if (p_.state.Recording()) StopRecording();
  if (p_.state.Playing()) p_.playback.ClosePlayback();
}

std::string RecorderController::LostSoundText(uint32_t lostMs) { return recorder_texts::LostSound(lostMs); }

void RecorderController::ReportLostSound() {
  if (p_.state.LostMs > 0) Raise(LostSoundText(p_.state.LostMs));
}

void RecorderController::Tick() {
  if (shutDown_) return;
  MessageScope scope(depth_, [this] { RaiseHeldMessages(); });
  RecorderState& s = p_.state;
  // The wall clock, so that a start at a time of day follows a clock that is
  // set or a computer that slept.
  if (armedAt_ && p_.clock.WallNow() >= *armedAt_) {
    const uint32_t seconds = armedStopSeconds_;
    Disarm();
    RecordFor(seconds);
  }
  if (s.ShownMark > 0 && (!s.Recording() || p_.clock.Now() - markShownAt_ >= kMarkShown)) ShowMark(0);
  // While paused nothing moves: no meter, no time.
  if (s.Paused()) return;
  if (!p_.engine.MonitoringOpen() && !(s.Recording() && takeOnMonitoring_)) {
    if (++ticksSinceReopen_ >= kReopenTicks) OpenMonitoring(false);
  }
  FollowChosenInput();
  MeterBlock block;
  if (p_.engine.TakeNewestBlock(block) && p_.analysis) p_.analysis->Analyse(block, !s.Minimized);
  if (const uint32_t lost = p_.engine.MonitorLostCode()) {
    if (p_.engine.MonitorInputRemoved()) HandleRemovedInput();
    else HandleLostStream(p_.engine.ErrorText(lost));
    return;
  }
  if (!s.Recording()) return;
  const TakeProgress progress = p_.engine.Progress();
  // The take went on in a new file: the list shows the part just completed.
  if (FollowTakeFile(progress.file)) emit recordingsChanged();
  NoteLostSound(progress.lostFrames, progress.sampleRate);
  if (progress.streamInputRemoved) {
    HandleRemovedInput();
    return;
  }
  if (!progress.failure.empty() || progress.streamLostCode != 0) {
    EndFailedTake(progress.streamLostCode != 0 ? p_.engine.Mp3ErrorText(progress.streamLostCode) : std::string());
    return;
  }
  // A timed take ends as Stop would end it.
  if (progress.limitReached) {
    Execute(RecorderCommand::Stop);
    return;
  }
  if (takeShared_) {
    FollowSharedTake(progress);
    return;
  }
  elapsed_ = SinceStart() + accumulated_;
  s.DisplayedMs = static_cast<uint32_t>(elapsed_.count());
  emit elapsedChanged();
}

bool RecorderController::SettleFolder(const FolderFallback& fallback) {
  MessageScope scope(depth_, [this] { RaiseHeldMessages(); });
  p_.store.LoadSettings();
  std::error_code error;
  if (!fs::is_directory(p_.settings.folder, error)) {
    std::string folder;
    if (fallback.executableDirWritable) {
      folder = (fs::path(fallback.executableDir) / "Temp").string();
      if (!fs::is_directory(folder, error)) fs::create_directory(folder, error);
    } else {
      folder = (fs::path(fallback.musicDir) / "Tarnovox").string();
      if (!fs::is_directory(folder, error)) fs::create_directories(folder, error);
    }
    if (!fs::is_directory(folder, error)) {
      Raise(recorder_texts::CannotCreateFolder(folder));
      return false;
    }
    p_.settings.folder = folder;
  }
  fs::current_path(p_.settings.folder, error);
  p_.recordings.SortColumnForSort();
  return true;
}

bool RecorderController::OpenDevices() {
  MessageScope scope(depth_, [this] { RaiseHeldMessages(); });
  OpenMonitoring(true);
  if (!p_.playback.OpenVolume()) return false;
  p_.playback.ReadVolume();
  return true;
}

std::string RecorderController::ShutDown() {
  MessageScope scope(depth_, [this] { RaiseHeldMessages(); });
  shutDown_ = true;
  tick_.stop();
  if (p_.state.Recording()) {
    Raise(EndTake(MonitoringAfter::Closed));
    p_.state.StatusText.clear();
  }
  if (p_.playback.PlaybackOpen()) p_.playback.CloseMedia();
  p_.shell.CloseMixerWindows();
  p_.engine.StopThread();
  p_.engine.CloseMonitoring();
  p_.playback.CloseVolume();
  if (!p_.store.SaveSettings()) return recorder_texts::CannotSaveSettings(p_.store.IniPath());
  return {};
}

}  // namespace tarnovox
