#pragma once
// The view the recordings list writes into: the file list window's grid.
// Row 0 is the header row; data rows start at 1. Columns: 0 name, 1 size, 2 date.
#include <string>

namespace tarnovox {

class RecordingsGrid {
 public:
  virtual ~RecordingsGrid() = default;
  // Total number of rows, the header row included.
  virtual void SetRowCount(int rows) = 0;
  virtual void SetCell(int column, int row, const std::string& text) = 0;
  // Highlights one data row (1 or more).
  virtual void SelectRow(int row) = 0;
  // Moves the highlight off the data rows, so that no recording looks picked.
  virtual void ClearSelection() = 0;
};

}  // namespace tarnovox
