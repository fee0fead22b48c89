#include "app/take_notices.h"

#include <QTimer>
#include <utility>

namespace tarnovox {

TakeNotices::TakeNotices(const RecorderController& recorder, const RecorderState& state,
                         const RecordSettings& settings, Hooks hooks)
    : recorder_(recorder), state_(state), settings_(settings), hooks_(std::move(hooks)), mode_(state.mode) {
  connect(&recorder, &RecorderController::modeChanged, this, &TakeNotices::Changed);
  connect(&recorder, &RecorderController::elapsedChanged, this, [this] {
    if (state_.ActiveFileName != file_) Changed();
  });
  connect(&recorder, &RecorderController::stopped, this, [this] {
    stopped_ = true;
    Changed();
  });
  connect(&recorder, &RecorderController::messageRaised, this, [this](const QString& text) {
    messages_ << text;
    Changed();
  });
}

QString TakeNotices::LengthText(std::chrono::milliseconds length) {
  // To the nearest second: the last tick's time lags the take by up to 100 ms.
  const long long seconds = (length.count() + 500) / 1000;
  const QChar zero('0');
  if (seconds < 3600) return QString("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, zero);
  return QString("%1:%2:%3").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, zero).arg(seconds % 60, 2, 10, zero);
}

// The announcements of one command or tick are told together, after it.
void TakeNotices::Changed() {
  if (std::exchange(due_, true)) return;
  QTimer::singleShot(0, this, &TakeNotices::Tell);
}

void TakeNotices::Tell() {
  due_ = false;
  QStringList texts = TakeChanges();
  texts << messages_;
  messages_.clear();
  stopped_ = false;
  if (!settings_.notify || hooks_.userLooks()) return;
  for (const QString& text : texts) hooks_.notify(text);
}

QString TakeNotices::Saved(const std::string& file) const {
  return "Saved " + QString::fromStdString(file) + " (" + LengthText(recorder_.Elapsed() - fileStart_) + ")";
}

// What became of the take since it was last told; remembers it as it is now.
QStringList TakeNotices::TakeChanges() {
  const bool was = mode_ == RecorderMode::Recording || mode_ == RecorderMode::RecordingPaused;
  const bool wasPaused = mode_ == RecorderMode::RecordingPaused;
  const std::string wasFile = file_;
  const QString file = QString::fromStdString(state_.ActiveFileName);
  mode_ = state_.mode;
  file_ = state_.ActiveFileName;
  QStringList texts;
  if (!was && state_.Recording()) {
    fileStart_ = std::chrono::milliseconds(0);
    texts << "Recording " + file;
  } else if (was && !state_.Recording()) {
    // A take that failed ends without Stop: its message says what happened.
    if (stopped_) texts << Saved(wasFile);
  } else if (was && wasFile != state_.ActiveFileName) {
    texts << Saved(wasFile) + ", recording " + file;
    fileStart_ = recorder_.Elapsed();
  } else if (was && wasPaused != state_.Paused()) {
    texts << (state_.Paused() ? "Paused " + file + " (" + LengthText(recorder_.Elapsed()) + ")" : "Resumed " + file);
  }
  return texts;
}

}  // namespace tarnovox
