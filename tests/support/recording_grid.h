#pragma once
// RecordingsGrid for tests: keeps the cells and the selection, and logs the
// calls so that tests can check the order in which the list used the grid.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "recordings/recordings_grid.h"

namespace tarnovox::testing {

class RecordingGrid : public RecordingsGrid {
 public:
  void SetRowCount(int rows) override {
    rowCount = rows;
    for (auto it = cells.begin(); it != cells.end();) {
      it = it->first.second >= rows ? cells.erase(it) : std::next(it);
    }
    calls.push_back("rows " + std::to_string(rows));
  }
  void SetCell(int column, int row, const std::string& text) override { cells[{column, row}] = text; }
  void SelectRow(int row) override {
    selectedRow = row;
    calls.push_back("select " + std::to_string(row));
  }
  void ClearSelection() override {
    selectedRow = -1;
    calls.push_back("clear selection");
  }

  std::string Cell(int column, int row) const {
    auto it = cells.find({column, row});
    return it == cells.end() ? std::string() : it->second;
  }

  int rowCount = 0;
  int selectedRow = -1;  // -1: off the data rows
  std::map<std::pair<int, int>, std::string> cells;  // (column, row) -> text
  std::vector<std::string> calls;
};

}  // namespace tarnovox::testing
