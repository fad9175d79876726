// The result list on the real list view. Each row carries an identity in its
// item data, so a write for a row that has been deleted finds nothing and is
// dropped instead of landing in whatever row now has its old index.
#pragma once
#include <windows.h>
#include <cstdint>
#include "query/ResultList.h"

class ListViewResults final : public ResultList {
 public:
  explicit ListViewResults(HWND list = nullptr) : list_(list) {}
  // nullptr once the list view is gone: every write is then dropped.
  void Attach(HWND list);

  RowId AppendRow() override;
  void SetCell(RowId row, int column, const Text& text) override;
  int RowCount() const override;
  Text CellText(int rowIndex, int column) const override;
  void DeleteAllRows() override;
  int SelectedRow() const override;

 private:
  int FindRow(RowId row) const;

  HWND list_;
  uint64_t nextId_ = 1;
  // Writes come in bursts for the same row: the last hit is tried first.
  mutable int lastIndex_ = -1;
};
