#pragma once
// SGridFiles: the file list window's three-column grid. The recordings list
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

namespace tarnovox {

// The header row, painted as the file list draws it.
class FileGridHeader : public QHeaderView {
 public:
  explicit FileGridHeader(QWidget* parent);
  std::function<int()> sort;        // RecordSettings::Sort
  std::function<int()> sortColumn;  // RecordingsList::SortColumn
  std::function<void(int x)> released;

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
  FileGridHeader* Header() const { return header_; }

  std::function<void(int row)> selectCell;  // SGridFilesSelectCell (user moves only)
  std::function<void()> clicked;            // SGridFilesClick
  std::function<void()> doubleClicked;      // SGridFilesDblClick
  std::function<void(int row)> released;    // SGridFilesMouseUp on a data row

 protected:
  void paintEvent(QPaintEvent* event) override;  // SGridFilesDrawCell's pictures
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

// ImageList1's two pictures, 24 x 24 with a transparent background: 0 WAV, 1 MP3.
QPixmap FileKindPicture(int index);

}  // namespace tarnovox
