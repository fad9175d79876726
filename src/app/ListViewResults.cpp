#include "app/ListViewResults.h"
#include <commctrl.h>

void ListViewResults::Attach(HWND list) {
  list_ = list;
  lastIndex_ = -1;
}

RowId ListViewResults::AppendRow() {
  if (!list_) return RowId{};
  RowId id{nextId_++};
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = RowCount();
  item.pszText = const_cast<char*>("");
  item.lParam = static_cast<LPARAM>(id.value);
  int index = static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  if (index < 0) return RowId{};
  lastIndex_ = index;
  return id;
}

int ListViewResults::FindRow(RowId row) const {
  if (!list_ || row.value == 0) return -1;
  if (lastIndex_ >= 0) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = lastIndex_;
    if (SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) &&
        static_cast<uint64_t>(item.lParam) == row.value)
      return lastIndex_;
  }
  LVFINDINFOA find{};
  find.flags = LVFI_PARAM;
  find.lParam = static_cast<LPARAM>(row.value);
  int index = static_cast<int>(SendMessageA(list_, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(&find)));
  if (index >= 0) lastIndex_ = index;
  return index;
}

void ListViewResults::SetCell(RowId row, int column, const Text& text) {
  int index = FindRow(row);
  if (index < 0) return;
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list_, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
}

int ListViewResults::RowCount() const {
  if (!list_) return 0;
  return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

Text ListViewResults::CellText(int rowIndex, int column) const {
  if (!list_ || rowIndex < 0 || rowIndex >= RowCount()) return Text();
  // The list reports how much it copied, not how long the cell is: grow the
  // buffer until the text fits with room to spare.
  Text buffer(256, '\0');
  for (;;) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    int copied = static_cast<int>(SendMessageA(list_, LVM_GETITEMTEXTA, rowIndex,
                                               reinterpret_cast<LPARAM>(&item)));
    if (copied < 0) return Text();
    if (static_cast<size_t>(copied) + 2 < buffer.size()) {
      buffer.resize(copied);
      return buffer;
    }
    buffer.assign(buffer.size() * 2, '\0');
  }
}

void ListViewResults::DeleteAllRows() {
  if (!list_) return;
  SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
  lastIndex_ = -1;
}

int ListViewResults::SelectedRow() const {
  if (!list_) return -1;
  return static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}
