// The list model keeps rows by identity: a handle names its own row or none.
#include <gtest/gtest.h>

#include "query/ListModel.h"

namespace {

TEST(ListModel, HandlesFollowTheirRowsAndDieWithThem) {
  ListModel m;
  const RowId a = m.AppendRow(), b = m.AppendRow(), c = m.AppendRow();
  m.DeleteRow(0);
  m.SetCell(a, 0, "a");  // gone
  m.SetCell(b, 0, "b");  // moved up to index 0
  m.SetCell(c, 1, "c");
  EXPECT_EQ(m.RowCount(), 2);
  EXPECT_EQ(m.Row(0), (std::array<Text, 6>{"b", "", "", "", "", ""}));
  EXPECT_EQ(m.Row(1), (std::array<Text, 6>{"", "c", "", "", "", ""}));

  m.DeleteAllRows();
  const RowId d = m.AppendRow();
  for (RowId old : {a, b, c}) {
    EXPECT_FALSE(old == d);
    m.SetCell(old, 0, "stale");
  }
  EXPECT_EQ(m.RowCount(), 1);
  EXPECT_EQ(m.CellText(0, 0), "");
}

TEST(ListModel, OutOfRangeReadsAreEmptyAndWritesIgnored) {
  ListModel m;
  const RowId r = m.AppendRow();
  m.SetCell(r, -1, "x");
  m.SetCell(r, ListModel::kColumnCount, "x");
  m.SetCell(RowId{}, 0, "x");
  for (auto [row, col] : {std::pair{0, -1}, {0, 6}, {1, 0}, {-1, 0}, {0, 0}})
    EXPECT_EQ(m.CellText(row, col), "") << row << "," << col;
}

TEST(ListModel, SelectionStaysOnItsRow) {
  ListModel m;
  for (int i = 0; i < 3; ++i) m.AppendRow();
  EXPECT_EQ(m.SelectedRow(), -1);
  m.SelectRow(2);
  m.DeleteRow(0);
  EXPECT_EQ(m.SelectedRow(), 1);
  m.DeleteRow(1);
  EXPECT_EQ(m.SelectedRow(), -1);
  m.SelectRow(0);
  m.DeleteAllRows();
  m.AppendRow();
  EXPECT_EQ(m.SelectedRow(), -1);
  m.SelectRow(5);
  EXPECT_EQ(m.SelectedRow(), -1);
}

}  // namespace
