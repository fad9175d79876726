// The result list on the real list view: rows held by identity, whole cell
// texts of any length, the selection.
#include <windows.h>
#include <commctrl.h>
#include "AppFixture.h"

using ListView = AppFixture;

TEST_F(ListView, WritesFollowTheRowNotItsIndex) {
  ResultList& list = app_->Main().Results();
  RowId first = list.AppendRow();
  RowId second = list.AppendRow();
  list.SetCell(second, 0, "second");
  list.DeleteAllRows();
  RowId third = list.AppendRow();
  RowId fourth = list.AppendRow();
  // The deleted rows' identities name nothing now, though their old indexes do.
  list.SetCell(first, 0, "first, late");
  list.SetCell(second, 1, "second, late");
  list.SetCell(third, 0, "third");
  list.SetCell(fourth, 2, "fourth");
  HWND view = Control(Ctl::超级列表框1);
  std::vector<Row> expected = {{"third", "", "", "", "", ""}, {"", "", "fourth", "", "", ""}};
  EXPECT_EQ(RowsOf(view), expected);
  EXPECT_FALSE(first == third);
  EXPECT_FALSE(second == fourth);
}

TEST_F(ListView, CellTextsComeBackWhole) {
  ResultList& list = app_->Main().Results();
  const std::string longText(5000, 'x');
  const std::string chinese = "找到相关结果约1,230,000个";
  RowId row = list.AppendRow();
  list.SetCell(row, 0, longText);
  list.SetCell(row, 5, chinese);
  EXPECT_EQ(list.RowCount(), 1);
  EXPECT_EQ(list.CellText(0, 0), longText);
  EXPECT_EQ(list.CellText(0, 5), chinese);
  EXPECT_EQ(list.CellText(0, 3), "") << "a cell never set";
  EXPECT_EQ(list.CellText(1, 0), "") << "an index that names no row";
  EXPECT_EQ(list.CellText(-1, 0), "");
}

TEST_F(ListView, SelectedRowIsTheFirstSelectedOrMinusOne) {
  ResultList& list = app_->Main().Results();
  for (int i = 0; i < 3; ++i) list.AppendRow();
  EXPECT_EQ(list.SelectedRow(), -1);
  HWND view = Control(Ctl::超级列表框1);
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  SendMessageA(view, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(list.SelectedRow(), 2);
  // Single selection: selecting another row deselects the first.
  SendMessageA(view, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(list.SelectedRow(), 1);
  EXPECT_EQ(SendMessageA(view, LVM_GETSELECTEDCOUNT, 0, 0), 1);
}
