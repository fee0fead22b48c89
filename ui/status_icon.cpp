#include "ui/status_icon.h"

#include <QPainter>
#include <QPixmap>

#include "ui/status_display.h"

namespace tarnovox {

StatusIcon::StatusIcon(const RecorderState& state, std::function<uint32_t()> elapsedMs,
                       std::unique_ptr<PanelIcon> panel, QObject* parent)
    : QObject(parent), state_(state), elapsedMs_(std::move(elapsedMs)), panel_(std::move(panel)) {
  // The same commands as F5, F7 and F9: Record closes a playback and records.
  const auto send = [this](RecorderCommand command) { return [this, command] { emit commandChosen(command); }; };
  menu_.addAction("Record", this, send(RecorderCommand::Record));
  menu_.addAction("Pause", this, send(RecorderCommand::Pause));
  menu_.addAction("Stop", this, send(RecorderCommand::Stop));
  menu_.addSeparator();
  menu_.addAction("Show", this, [this] { emit showRequested(); });
  menu_.addAction("Quit", this, [this] { emit quitRequested(); });
  for (const Picture picture : {Picture::Monitoring, Picture::Recording, Picture::Paused})
    pictures_[static_cast<int>(picture)] = Draw(picture);
}

void StatusIcon::Show() {
  ShowState();
  // A click on the icon itself brings the window up, as Show does.
  panel_->Show(&menu_, [this] { emit showRequested(); });
}

void StatusIcon::ShowState() {
  const Picture picture = state_.Paused()                         ? Picture::Paused
                          : state_.mode == RecorderMode::Recording ? Picture::Recording
                                                                   : Picture::Monitoring;
  // Only what changed goes to the panel: the time moves on every tick.
  if (static_cast<int>(picture) != shownPicture_) {
    shownPicture_ = static_cast<int>(picture);
    panel_->SetPicture(pictures_[shownPicture_]);
  }
  if (const PanelStatus status = Status(state_); status != shownStatus_) {
    shownStatus_ = status;
    panel_->SetStatus(status);
  }
  const QString tip = ToolTip(state_, state_.Recording() ? elapsedMs_() : 0);
  if (tip != shownToolTip_) {
    shownToolTip_ = tip;
    const QStringList lines = tip.split('\n');
    panel_->SetToolTip(lines.first(), lines.mid(1).join('\n'));
  }
}

PanelStatus StatusIcon::Status(const RecorderState& state) {
  return state.mode == RecorderMode::Recording ? PanelStatus::NeedsAttention : PanelStatus::Active;
}

QString StatusIcon::ToolTip(const RecorderState& state, uint32_t elapsedMs) {
  switch (state.mode) {
    case RecorderMode::Monitoring: return "Tarnovox\nMonitoring";
    case RecorderMode::Playing:
      return "Tarnovox\nPlaying " + QString::fromStdString(state.ActiveFileName);
    case RecorderMode::PlayingPaused:
      return "Tarnovox\nPaused " + QString::fromStdString(state.ActiveFileName);
    case RecorderMode::Recording:
    case RecorderMode::RecordingPaused: break;
  }
  const QString word = state.Paused() ? "Paused" : "Recording";
  return "Tarnovox\n" + word + " " + QString::fromStdString(state.ActiveFileName) + "\n" + TimeText(elapsedMs);
}

// A dark disc with level bars for monitoring; a red dot over it while
// recording; two amber bars while paused. Drawn at 64 px, which panels scale down.
QIcon StatusIcon::Draw(Picture picture) {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(40, 44, 52));
  painter.drawEllipse(2, 2, 60, 60);
  if (picture == Picture::Paused) {
    painter.setBrush(QColor(240, 176, 32));
    painter.drawRect(18, 16, 10, 32);
    painter.drawRect(36, 16, 10, 32);
  } else {
    painter.setBrush(QColor(64, 200, 96));
    const int heights[] = {14, 26, 36, 22, 30};
    for (int i = 0; i < 5; ++i) painter.drawRect(12 + i * 8, 46 - heights[i], 6, heights[i]);
  }
  if (picture == Picture::Recording) {
    painter.setBrush(QColor(230, 30, 30));
    painter.setPen(QPen(Qt::white, 3));
    painter.drawEllipse(30, 2, 32, 32);
  }
  painter.end();
  return QIcon(pixmap);
}

}  // namespace tarnovox
