// The result list as the batch run and the list actions see it. Rows are
// addressed by identity: a write for a row that no longer exists is dropped.
#pragma once
#include <cstdint>
#include "text/Text.h"

struct RowId {
  uint64_t value = 0;
  friend bool operator==(RowId, RowId) = default;
};

class ResultList {
 public:
  virtual ~ResultList() = default;
  // Adds a blank row after the last one.
  virtual RowId AppendRow() = 0;
  // Writes one cell; a row that is gone is ignored.
  virtual void SetCell(RowId row, int column, const Text& text) = 0;
  virtual int RowCount() const = 0;
  // Empty for a cell never set and for an index that names no row.
  virtual Text CellText(int rowIndex, int column) const = 0;
  virtual void DeleteAllRows() = 0;
  // Index of the first selected row, -1 when none.
  virtual int SelectedRow() const = 0;
};
