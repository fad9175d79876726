// An in-memory result list for tests and benchmarks: rows addressed by
// identity, six text columns, a selection that can be set by hand.
#pragma once
#include <array>
#include <cstdint>
#include <vector>
#include "query/ResultList.h"

class ListModel final : public ResultList {
 public:
  static constexpr int kColumnCount = 6;

  RowId AppendRow() override;
  // A row that is gone, or a column outside the six, is ignored.
  void SetCell(RowId row, int column, const Text& text) override;
  int RowCount() const override;
  Text CellText(int rowIndex, int column) const override;
  void DeleteAllRows() override;
  int SelectedRow() const override;

  // Removes the row at the index; later rows move up, keeping their identity.
  void DeleteRow(int rowIndex);
  // -1 clears the selection; an index that names no row does too.
  void SelectRow(int rowIndex);
  // The row's six cells, for comparing whole rows in tests.
  std::array<Text, kColumnCount> Row(int rowIndex) const;

 private:
  struct Entry {
    uint64_t id;
    std::array<Text, kColumnCount> cells;
  };
  // Identities only grow, and rows are only appended at the end, so the
  // rows stay sorted by identity and a lookup is a binary search.
  Entry* Find(RowId row);

  std::vector<Entry> rows_;
  uint64_t nextId_ = 1;
  uint64_t selectedId_ = 0;  // by identity, so deletions keep it right
};
