#pragma once
// FileGrid: the file list window's three-column grid. The recordings list
// writes its rows here (row 0 is the header, data rows start at 1); the header
// is drawn with the sorted column pressed and an arrow for the direction, and
// a small picture of the file kind stands before each name.
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QPixmap>
#include <QTableView>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "recordings/recordings_grid.h"
#include "settings/record_settings.h"

namespace tarnovox {

// The header row, painted as the file list draws it.
class FileGridHeader : public QHeaderView {
  Q_OBJECT

 public:
  explicit FileGridHeader(QWidget* parent);
  std::function<ListSort()> sort;   // RecordSettings::listSort
  std::function<int()> sortColumn;  // RecordingsList::SortColumn

 signals:
  // A mouse button released over the header, at x in the header's viewport.
  void releasedAt(int x);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// The cells as the list wrote them, the file system's bytes, turned into text
// only for the rows that are drawn: a folder of thousands of recordings costs
// three strings a row, not three item objects. Row r of the model is grid row
// r + 1.
class FileGridModel : public QAbstractTableModel {
 public:
  explicit FileGridModel(QObject* parent) : QAbstractTableModel(parent) {}
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  void SetRows(int rows);
  void SetCell(int column, int row, const std::string& text);
  const std::string& Cell(int column, int row) const;

 private:
  std::vector<std::array<std::string, 3>> cells_;
  bool changePending_ = false;
};

class FileGrid : public QTableView, public RecordingsGrid {
  Q_OBJECT

 public:
  explicit FileGrid(QWidget* parent);

  void SetRowCount(int rows) override;
  void SetCell(int column, int row, const std::string& text) override;
  void SelectRow(int row) override;
  void ClearSelection() override;

  // The cell text of grid row `row` (0 is the header).
  QString Cell(int column, int row) const;
  // The grid row (1 and up) of the highlighted data row, 0 when none.
  int SelectedRow() const;
  // The grid rows (1 and up) of every highlighted data row, in grid order.
  std::vector<int> SelectedRows() const;
  FileGridHeader* Header() const { return header_; }

 signals:
  // The user made a data row current (grid row, 1 and up), by keyboard or
  // mouse, or pressed on the row already current; never the list's own moves.
  void rowPicked(int row);
  // A mouse button released over the grid: the grid row, -1 below the rows.
  void rowReleased(int row);
  void rowDoubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;  // the file-kind pictures before the names
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  FileGridModel* cells_;
  FileGridHeader* header_;
  QPixmap wavPicture_, mp3Picture_;
  bool writing_ = false;  // the list, not the user, moves the selection
  bool refocusWhenEnabled_ = false;
};

// The two file-kind pictures, 24 x 24 with a transparent background: 0 WAV, 1 MP3.
QPixmap FileKindPicture(int index);

}  // namespace tarnovox
