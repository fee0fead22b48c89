#include "ui/file_grid.h"

#include <QFile>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "ui/file_list_rules.h"

namespace tarnovox {
namespace {

const QColor kNavy(0, 0, 128);
const QColor kSilver(192, 192, 192);
const QColor kHeaderFill(0, 0, 176);
const QColor kHeaderPressed(0, 0, 208);
constexpr int kRowHeight = 16;

// The column titles, in one place and through tr() so they can be translated.
struct Texts {
  static QString ColumnTitle(int column) {
    switch (column) {
      case 0: return FileGridHeader::tr("Name");
      case 1: return FileGridHeader::tr("Size, KB");
      case 2: return FileGridHeader::tr("Date");
      default: return {};
    }
  }
};

QFont GridFont() {
  QFont font("MS Sans Serif");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  font.setBold(true);
  return font;
}

// The header's mark in the grid's own font: the arrows the header shows have
// no font of their own here.
QString MarkText(SortMark mark) {
  switch (mark) {
    case SortMark::Up: return QString(QChar(0x2191));
    case SortMark::Down: return QString(QChar(0x2193));
    case SortMark::None: break;
  }
  return " ";
}

}  // namespace

QPixmap FileKindPicture(int index) {
  // Drawn at the screen's resolution, so it is as sharp as the text at 200 %.
  const qreal ratio = qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
  QPixmap picture(QSize(24, 24) * ratio);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor body = index == 0 ? QColor(120, 214, 120) : QColor(255, 200, 80);
  painter.setPen(QPen(body, 2));
  if (index == 0) {
    // A short stretch of waveform.
    QPainterPath wave(QPointF(3, 12));
    for (int x = 3; x <= 21; x += 3) wave.lineTo(x, (x / 3) % 2 ? 6 + x / 4 : 18 - x / 4);
    painter.drawPath(wave);
  } else {
    // A note: stem, flag and head.
    painter.drawLine(QPointF(14, 4), QPointF(14, 17));
    painter.drawLine(QPointF(14, 4), QPointF(19, 8));
    painter.setBrush(body);
    painter.drawEllipse(QPointF(11, 17), 3.5, 2.8);
  }
  return picture;
}

int FileGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(cells_.size());
}

int FileGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant FileGridModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  return QFile::decodeName(QByteArray::fromStdString(Cell(index.column(), index.row())));
}

void FileGridModel::SetRows(int rows) {
  if (rows == rowCount()) return;
  beginResetModel();
  cells_.resize(static_cast<size_t>(std::max(rows, 0)));
  endResetModel();
}

void FileGridModel::SetCell(int column, int row, const std::string& text) {
  cells_[static_cast<size_t>(row)][static_cast<size_t>(column)] = text;
  // A sort writes every cell: the views hear of it once, when it is done.
  if (changePending_) return;
  changePending_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        changePending_ = false;
        if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, 2), {Qt::DisplayRole});
      },
      Qt::QueuedConnection);
}

const std::string& FileGridModel::Cell(int column, int row) const {
  static const std::string kNone;
  if (row < 0 || row >= rowCount() || column < 0 || column > 2) return kNone;
  return cells_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

FileGridHeader::FileGridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setSectionResizeMode(QHeaderView::Interactive);
  setSectionsClickable(false);
  setHighlightSections(false);
  setStretchLastSection(false);
  setMinimumSectionSize(8);
  setFixedHeight(kRowHeight);
}

void FileGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  const bool pressed = sortColumn && sortColumn() == logicalIndex;
  const QColor colour = pressed ? kHeaderPressed : kHeaderFill;
  const int x = rect.left() + (pressed ? 1 : 0);
  const int y = rect.top() + (pressed ? 1 : 0);
  painter->save();
  painter->fillRect(rect, kNavy);
  // The frame from (left + 1, top) to (right - 1, bottom - 1), right and bottom left out.
  painter->fillRect(QRect(rect.left() + 1, rect.top(), rect.width() - 2, rect.height() - 1), colour);
  painter->setFont(font());
  painter->setPen(Qt::white);
  const QString mark = MarkText(sort ? SortMarkFor(sort(), logicalIndex) : SortMark::None);
  const QFontMetrics metrics(font());
  const int baseline = y + metrics.ascent();
  const int markX = logicalIndex == 0 ? x + 26 : x;
  const int textX = logicalIndex == 0 ? x + 36 : x + 10;
  painter->drawText(markX, baseline, mark);
  if (logicalIndex >= 0 && logicalIndex < 3) painter->drawText(textX, baseline, Texts::ColumnTitle(logicalIndex));
  painter->restore();
}

void FileGridHeader::mouseReleaseEvent(QMouseEvent* event) {
  QHeaderView::mouseReleaseEvent(event);
  emit releasedAt(event->position().toPoint().x());
}

FileGrid::FileGrid(QWidget* parent)
    : QTableView(parent), cells_(new FileGridModel(this)), header_(new FileGridHeader(this)) {
  setModel(cells_);
  setHorizontalHeader(header_);
  header_->setFont(GridFont());
  verticalHeader()->hide();
  verticalHeader()->setMinimumSectionSize(kRowHeight);
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  // Ctrl-click, Shift-click and Ctrl+A take several rows for Convert and
  // Delete; the current row stays the one everything else works on.
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(true);
  setWordWrap(false);
  setTextElideMode(Qt::ElideNone);
  setFont(GridFont());
  QPalette palette = this->palette();
  palette.setColor(QPalette::Base, kNavy);
  palette.setColor(QPalette::Text, kSilver);
  palette.setColor(QPalette::Window, kNavy);
  setPalette(palette);
  // The strip of the header row right of the last column is navy like the cells.
  setStyleSheet("QTableView { gridline-color: rgb(0, 0, 176); }"
                "QHeaderView { background-color: rgb(0, 0, 128); }");
  wavPicture_ = FileKindPicture(0);
  mp3Picture_ = FileKindPicture(1);
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
    const int row = current.row();
    if (writing_ || row < 0) return;
    emit rowPicked(row + 1);
  });
  // A Ctrl-click that takes a row out of the selection makes that row current;
  // with one row left highlighted, that row becomes the current one again, so
  // what is highlighted is what everything works on.
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (writing_ || rows.size() != 1 || rows.first().row() == currentIndex().row()) return;
    selectionModel()->setCurrentIndex(rows.first(), QItemSelectionModel::NoUpdate);
  });
}

void FileGrid::SetRowCount(int rows) {
  writing_ = true;
  cells_->SetRows(rows > 1 ? rows - 1 : 0);
  writing_ = false;
}

void FileGrid::SetCell(int column, int row, const std::string& text) {
  if (row < 1 || column < 0 || column > 2) return;
  if (row > cells_->rowCount()) SetRowCount(row + 1);
  cells_->SetCell(column, row - 1, text);
}

void FileGrid::SelectRow(int row) {
  if (row < 1 || row > cells_->rowCount()) return;
  writing_ = true;
  setCurrentIndex(cells_->index(row - 1, 0));
  writing_ = false;
}

void FileGrid::ClearSelection() {
  writing_ = true;
  setCurrentIndex(QModelIndex());
  clearSelection();
  writing_ = false;
}

QString FileGrid::Cell(int column, int row) const {
  return row >= 1 ? QFile::decodeName(QByteArray::fromStdString(cells_->Cell(column, row - 1))) : QString();
}

int FileGrid::SelectedRow() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

std::vector<int> FileGrid::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row() + 1);
  std::sort(rows.begin(), rows.end());
  return rows;
}

void FileGrid::paintEvent(QPaintEvent* event) {
  QTableView::paintEvent(event);
  QPainter painter(viewport());
  const int first = std::max(0, rowAt(0) - 1);
  int last = rowAt(viewport()->height());
  const int rows = cells_->rowCount();
  if (last < 0) last = rows - 1;
  for (int row = first; row <= std::min(last + 1, rows - 1); ++row) {
    const std::string extension = UpperExtension(cells_->Cell(0, row));
    // WMA files have no picture of their own.
    const QPixmap* picture = extension == ".WAV" ? &wavPicture_ : extension == ".MP3" ? &mp3Picture_ : nullptr;
    if (picture == nullptr) continue;
    const QRect place = visualRect(model()->index(row, 0));
    painter.drawPixmap(place.left() + 1, place.top() - 3, *picture);
  }
}

void FileGrid::mousePressEvent(QMouseEvent* event) {
  // A press on the row that is already highlighted moves no current cell, yet
  // the user pointed at that row: it is selected all the same.
  const int before = currentIndex().row();
  QTableView::mousePressEvent(event);
  const int row = rowAt(event->position().toPoint().y());
  if (row < 0 || row != before || currentIndex().row() != before) return;
  emit rowPicked(row + 1);
}

void FileGrid::mouseReleaseEvent(QMouseEvent* event) {
  QTableView::mouseReleaseEvent(event);
  const int row = rowAt(event->position().toPoint().y());
  emit rowReleased(row < 0 ? -1 : row + 1);
}

void FileGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  QTableView::mouseDoubleClickEvent(event);
  emit rowDoubleClicked();
}

// A conversion disables the grid, which hands the keyboard to the next
// control; once enabled again the grid takes it back, so the arrow keys go on
// moving through the rows instead of the position bar.
void FileGrid::focusOutEvent(QFocusEvent* event) {
  if (!isEnabled()) refocusWhenEnabled_ = true;
  QTableView::focusOutEvent(event);
}

void FileGrid::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange && isEnabled() && refocusWhenEnabled_) {
    refocusWhenEnabled_ = false;
    setFocus(Qt::OtherFocusReason);
  }
  QTableView::changeEvent(event);
}

// The view makes the first row current when it gets the focus. That is not
// the user's pick, and nothing is highlighted: leave no current row, so the
// first Down highlights and picks the first row instead of skipping it.
void FileGrid::focusInEvent(QFocusEvent* event) {
  const bool hadCurrent = currentIndex().isValid();
  writing_ = true;
  QTableView::focusInEvent(event);
  if (!hadCurrent && !selectionModel()->hasSelection()) selectionModel()->clearCurrentIndex();
  writing_ = false;
}

}  // namespace tarnovox
