#include "query/ListModel.h"

#include <algorithm>

RowId ListModel::AppendRow() {
  rows_.push_back(Entry{nextId_, {}});
  return RowId{nextId_++};
}

ListModel::Entry* ListModel::Find(RowId row) {
  auto it = std::lower_bound(rows_.begin(), rows_.end(), row.value,
                             [](const Entry& e, uint64_t id) { return e.id < id; });
  return (it != rows_.end() && it->id == row.value) ? &*it : nullptr;
}

void ListModel::SetCell(RowId row, int column, const Text& text) {
  if (column < 0 || column >= kColumnCount) return;
  if (Entry* e = Find(row)) e->cells[column] = text;
}

int ListModel::RowCount() const { return static_cast<int>(rows_.size()); }

Text ListModel::CellText(int rowIndex, int column) const {
  if (rowIndex < 0 || rowIndex >= RowCount() || column < 0 || column >= kColumnCount) return {};
  return rows_[rowIndex].cells[column];
}

void ListModel::DeleteAllRows() {
  rows_.clear();
  selectedId_ = 0;
}

int ListModel::SelectedRow() const {
  if (selectedId_ == 0) return -1;
  for (int i = 0; i < RowCount(); ++i)
    if (rows_[i].id == selectedId_) return i;
  return -1;
}

void ListModel::DeleteRow(int rowIndex) {
  if (rowIndex < 0 || rowIndex >= RowCount()) return;
  if (rows_[rowIndex].id == selectedId_) selectedId_ = 0;
  rows_.erase(rows_.begin() + rowIndex);
}

void ListModel::SelectRow(int rowIndex) {
  selectedId_ = (rowIndex >= 0 && rowIndex < RowCount()) ? rows_[rowIndex].id : 0;
}

std::array<Text, ListModel::kColumnCount> ListModel::Row(int rowIndex) const {
  if (rowIndex < 0 || rowIndex >= RowCount()) return {};
  return rows_[rowIndex].cells;
}
