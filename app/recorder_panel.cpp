#include "app/recorder_panel.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tarnovox {
namespace {

QPushButton* AddButton(QHBoxLayout* row, const QString& text, const QString& hint, std::function<void()>* action) {
  auto* button = new QPushButton(text);
  button->setToolTip(hint);
  QObject::connect(button, &QPushButton::clicked, [action] {
    if (*action) (*action)();
  });
  row->addWidget(button);
  return button;
}

}  // namespace

RecorderPanel::RecorderPanel(const RecordSettings& settings, RecorderState& state)
    : settings_(settings), state_(state), canvas_(399, 175, QImage::Format_RGB32) {
  setWindowTitle("Tarnovox");
  canvas_.fill(QColor(0, 0, 160));
  meters_ = new QLabel;
  meters_->setPixmap(QPixmap::fromImage(canvas_));
  status_ = new QLabel("Monitoring");
  time_ = new QLabel("00:00:00");
  format_ = new QLabel;
  files_ = new QTableWidget(2, 3);
  files_->setHorizontalHeaderLabels({"Name", "Size KB", "Date"});
  files_->verticalHeader()->hide();
  files_->setSelectionBehavior(QAbstractItemView::SelectRows);
  files_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(files_, &QTableWidget::itemSelectionChanged, [this] {
    auto* item = files_->currentRow() >= 1 ? files_->item(files_->currentRow(), 0) : nullptr;
    if (item && !item->text().isEmpty()) state_.PickedFile = item->text().trimmed().toStdString();
  });
  files_->hideRow(0);  // row 0 stands for the grid's header row

  auto* buttons = new QHBoxLayout;
  AddButton(buttons, "Record", "Record F5", &actions_.record);
  AddButton(buttons, "Pause", "Pause/Resume F7", &actions_.pause);
  AddButton(buttons, "Stop", "Stop F9", &actions_.stop);
  AddButton(buttons, "Play", "Play", &actions_.play);
  auto shortcut = [this](Qt::Key key, std::function<void()>* action) {
    connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, [action] {
      if (*action) (*action)();
    });
  };
  shortcut(Qt::Key_F5, &actions_.record);
  shortcut(Qt::Key_F7, &actions_.pause);
  shortcut(Qt::Key_F9, &actions_.stop);

  auto* line = new QHBoxLayout;
  line->addWidget(status_, 1);
  line->addWidget(time_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(meters_);
  layout->addLayout(line);
  layout->addWidget(format_);
  layout->addLayout(buttons);
  layout->addWidget(files_, 1);
  UpdateFormatLabels();
}

void RecorderPanel::UpdateTimeDisplay() {
  uint32_t seconds = state_.DisplayedMs / 1000;
  time_->setText(QString::asprintf("%02u:%02u:%02u", seconds / 3600, seconds / 60 % 60, seconds % 60));
}

void RecorderPanel::UpdateFormatLabels() {
  if (settings_.MP3) {
    format_->setText(settings_.VBR ? QString("MP3 VBR %1-%2 kbit/s").arg(settings_.MinBitRate).arg(settings_.MaxBitRate)
                                   : QString("MP3 %1 kbit/s").arg(settings_.BitRate));
  } else {
    format_->setText(QString("WAV %1 Hz %2 bit %3").arg(settings_.SamplePerSecond).arg(settings_.BitPerSample)
                         .arg(settings_.Channels == 1 ? "mono" : "stereo"));
  }
}

void RecorderPanel::StatusTick() {
  if (actions_.pollPlayback) actions_.pollPlayback();
  QString word = "Monitoring";
  if (state_.recording) word = "Recording";
  if (state_.playing) word = "Playing";
  if (state_.paused) word = "Pause";
  state_.StatusText = word.toStdString();
  QString file = state_.recording || state_.playing ? QString::fromStdString(state_.ActiveFileName) : QString();
  status_->setText(file.isEmpty() ? word : word + "  " + file);
  if (!state_.recording && !state_.playing) time_->setText("00:00:00");
}

void RecorderPanel::CopyBitmap(int x, int y, const QImage& bitmap) {
  QPainter painter(&canvas_);
  painter.drawImage(x, y - 90, bitmap);  // the displays sit 90 pixels lower on the skinned window
  painter.end();
  meters_->setPixmap(QPixmap::fromImage(canvas_));
}

void RecorderPanel::ClearMeters() {
  canvas_.fill(QColor(0, 0, 160));
  meters_->setPixmap(QPixmap::fromImage(canvas_));
}

void RecorderPanel::SetRowCount(int rows) { files_->setRowCount(rows); files_->hideRow(0); }

void RecorderPanel::SetCell(int column, int row, const std::string& text) {
  files_->setItem(row, column, new QTableWidgetItem(QString::fromStdString(text)));
}

void RecorderPanel::SelectRow(int row) { files_->selectRow(row); }
void RecorderPanel::ClearSelection() { files_->clearSelection(); }

void RecorderPanel::SetStatusInterval(uint32_t ms) {
  statusInterval_ = ms;
  if (onStatusInterval) onStatusInterval(ms);
}

void RecorderPanel::closeEvent(QCloseEvent* event) {
  if (!actions_.closeQuery || actions_.closeQuery()) event->accept();
  else event->ignore();
}

void RecorderPanel::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) state_.Minimized = isMinimized();
  QWidget::changeEvent(event);
}

}  // namespace tarnovox
