// The main window as laid out: its frame, every control's place, text and
// settings, the list's columns, the tab order, Enter and a long paste.
#include <windows.h>
#include <commctrl.h>
#include <string>
#include "AppFixture.h"

namespace {

RECT ClientRectOf(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

LONG StyleOf(HWND window) { return GetWindowLongA(window, GWL_STYLE); }
LONG ExStyleOf(HWND window) { return GetWindowLongA(window, GWL_EXSTYLE); }

}  // namespace

using Layout = AppFixture;

TEST_F(Layout, WindowFrameTitleAndBackground) {
  EXPECT_EQ(TextOf(Main()).rfind("蓝木--域名百度权重批量查询v1.0  官方网址:", 0), 0u) << TextOf(Main());
  LONG style = StyleOf(Main());
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  // Fixed frame, close box only.
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_CHILD);
  LONG exStyle = ExStyleOf(Main());
  EXPECT_FALSE(exStyle & WS_EX_TOPMOST);
  EXPECT_FALSE(exStyle & WS_EX_TOOLWINDOW);
  // Unowned: the window has a taskbar button of its own.
  EXPECT_EQ(GetWindow(Main(), GW_OWNER), nullptr);
  EXPECT_EQ(GetClassLongPtrA(Main(), GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));

}

TEST_F(Layout, ControlsPlacesTextsAndVisibility) {
  struct Expected {
    Ctl control;
    const char* className;
    int x, y, width, height;
    const char* text;
    bool visible;
    bool tabStop;
  };
  const Expected expected[] = {
      {Ctl::图片框1, "Static", 1, 1, 864, 88, "", true, false},
      {Ctl::标签1, "Static", 12, 94, 80, 24, "导入域名", true, false},
      {Ctl::编辑框1, "Edit", 8, 119, 256, 320, "example.com", true, true},
      {Ctl::标签2, "Static", 273, 95, 80, 24, "查询域名", true, false},
      {Ctl::超级列表框1, "SysListView32", 272, 119, 584, 368, "", true, true},
      {Ctl::按钮1, "Button", 8, 448, 80, 32, "开始查询", true, true},
      {Ctl::按钮2, "Button", 96, 448, 80, 32, "清空列表", true, true},
      {Ctl::按钮3, "Button", 184, 448, 80, 32, "导出结果列表", true, true},
      {Ctl::编辑框2, "Edit", 504, 96, 256, 320, "", false, false},
  };
  HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (const Expected& e : expected) {
    HWND control = Control(e.control);
    SCOPED_TRACE(e.className + std::string(" ") + e.text);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetParent(control), Main());
    EXPECT_EQ(ClassOf(control), e.className);
    RECT rect = ClientRectOf(control);
    EXPECT_EQ(rect.left, e.x);
    EXPECT_EQ(rect.top, e.y);
    EXPECT_EQ(rect.right - rect.left, e.width);
    EXPECT_EQ(rect.bottom - rect.top, e.height);
    if (e.control != Ctl::超级列表框1 && e.control != Ctl::图片框1) {
      EXPECT_EQ(TextOf(control), e.text);
    }
    EXPECT_EQ(IsWindowVisible(control) != FALSE, e.visible);
    EXPECT_EQ((StyleOf(control) & WS_TABSTOP) != 0, e.tabStop);
    EXPECT_TRUE(IsWindowEnabled(control));
    // The picture box shows no text and keeps no font.
    if (e.control != Ctl::图片框1) {
      EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), guiFont);
    }
  }
}

TEST_F(Layout, ButtonsAndEditBoxesSettings) {
  for (Ctl button : {Ctl::按钮1, Ctl::按钮2, Ctl::按钮3}) {
    LONG style = StyleOf(Control(button));
    EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON) << "no default button";
    EXPECT_EQ(style & BS_CENTER, BS_CENTER);
    EXPECT_EQ(style & BS_VCENTER, BS_VCENTER);
  }
  for (Ctl box : {Ctl::编辑框1, Ctl::编辑框2}) {
    LONG style = StyleOf(Control(box));
    for (LONG wanted : {ES_MULTILINE, ES_WANTRETURN, ES_AUTOHSCROLL, ES_AUTOVSCROLL, WS_HSCROLL, WS_VSCROLL})
      EXPECT_TRUE(style & wanted) << std::hex << wanted;
    for (LONG unwanted : {ES_PASSWORD, ES_UPPERCASE, ES_LOWERCASE, ES_READONLY, ES_NOHIDESEL, ES_NUMBER,
                          ES_CENTER, ES_RIGHT})
      EXPECT_FALSE(style & unwanted) << std::hex << unwanted;
    EXPECT_TRUE(ExStyleOf(Control(box)) & WS_EX_CLIENTEDGE);
  }
}

TEST_F(Layout, ListViewSettingsAndColumns) {
  HWND list = Control(Ctl::超级列表框1);
  LONG style = StyleOf(list);
  EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(style & LVS_SINGLESEL);
  EXPECT_TRUE(style & LVS_NOSORTHEADER);
  EXPECT_FALSE(style & LVS_SHOWSELALWAYS) << "selection shown only with the focus";
  EXPECT_FALSE(style & LVS_EDITLABELS);
  EXPECT_FALSE(style & (LVS_SORTASCENDING | LVS_SORTDESCENDING));
  EXPECT_TRUE(ExStyleOf(list) & WS_EX_CLIENTEDGE);
  LRESULT ex = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
  EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT);
  EXPECT_FALSE(ex & (LVS_EX_GRIDLINES | LVS_EX_TRACKSELECT | LVS_EX_CHECKBOXES | LVS_EX_ONECLICKACTIVATE));

  struct Column {
    const char* title;
    int width;
    int format;
  };
  const Column columns[] = {
      {"域名", 80, LVCFMT_LEFT},      {"百度权重", 100, LVCFMT_CENTER},
      {"百度流量", 100, LVCFMT_CENTER}, {"百度收录", 100, LVCFMT_CENTER},
      {"反连接", 100, LVCFMT_CENTER},   {"可以注册", 100, LVCFMT_CENTER},
  };
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 6);
  int index = 0;
  for (const Column& c : columns) {
    SCOPED_TRACE(c.title);
    std::vector<char> title(64);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = title.data();
    column.cchTextMax = static_cast<int>(title.size());
    ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, index, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(title.data(), c.title);
    EXPECT_EQ(column.cx, c.width);
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, c.format);
    ++index;
  }
}

TEST_F(Layout, BannerIsThePictureStretchedToTheBox) {
  HWND banner = Control(Ctl::图片框1);
  EXPECT_FALSE(StyleOf(banner) & WS_BORDER);
  EXPECT_FALSE(ExStyleOf(banner) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
  auto bitmap = reinterpret_cast<HBITMAP>(SendMessageA(banner, STM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_NE(bitmap, nullptr);
  BITMAP info{};
  ASSERT_TRUE(GetObjectA(bitmap, sizeof info, &info));
  EXPECT_EQ(info.bmWidth, 864);
  EXPECT_EQ(info.bmHeight, 88);
  // The picture's left edge is pale and its lower edge the frame green: the
  // stretch reached both corners (an unstretched 468 x 60 would leave the
  // lower right corner empty).
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  COLORREF top = GetPixel(dc, 860, 1);
  COLORREF bottom = GetPixel(dc, 860, 86);
  SelectObject(dc, old);
  DeleteDC(dc);
  EXPECT_GT(GetGValue(top), GetGValue(bottom) + 40) << std::hex << top << " " << bottom;
  EXPECT_NEAR(GetGValue(bottom), 185, 20);
}

TEST_F(Layout, TabMovesThroughTheTabStopsInOrder) {
  const Ctl order[] = {Ctl::编辑框1, Ctl::超级列表框1, Ctl::按钮1, Ctl::按钮2, Ctl::按钮3, Ctl::编辑框1};
  for (size_t i = 1; i < std::size(order); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(GetNextDlgTabItem(Main(), Control(order[i - 1]), FALSE), Control(order[i]));
  }
  // Pressed for real, the keys going through the program's message loop; Tab
  // leaves the domain box without putting a tab character into it.
  SetFocus(Control(order[0]));
  for (size_t i = 1; i < std::size(order); ++i) {
    SCOPED_TRACE(i);
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    PostMessageA(GetFocus(), WM_KEYUP, VK_TAB, 0xC0000001);
    Pump(30);
    EXPECT_EQ(GetFocus(), Control(order[i]));
  }
  EXPECT_EQ(TextOf(Control(Ctl::编辑框1)), "example.com");
}

TEST_F(Layout, EnterInTheDomainBoxStartsANewLineAndPressesNoButton) {
  HWND box = Control(Ctl::编辑框1);
  SetFocus(box);
  SendMessageA(box, EM_SETSEL, 11, 11);
  for (int i = 0; i < 2; ++i) {
    PostMessageA(box, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(box, WM_KEYUP, VK_RETURN, 0xC0000001);
    Pump(30);
  }
  SendMessageA(box, WM_CHAR, 'x', 1);
  EXPECT_EQ(TextOf(box), "example.com\r\n\r\nx");
  Pump(100);
  EXPECT_EQ(RowCountOf(Control(Ctl::超级列表框1)), 0) << "Enter started a run";
  EXPECT_EQ(GetFocus(), box);
}

TEST_F(Layout, ALongPasteIsKeptWhole) {
  std::string list;
  for (int i = 0; i < 100000; ++i) list += "domain" + std::to_string(i) + ".example\r\n";
  HWND box = Control(Ctl::编辑框1);
  SetWindowTextA(box, "");
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, list.size() + 1);
  memcpy(GlobalLock(memory), list.c_str(), list.size() + 1);
  GlobalUnlock(memory);
  ASSERT_NE(SetClipboardData(CF_TEXT, memory), nullptr);
  CloseClipboard();
  SetFocus(box);
  SendMessageA(box, WM_PASTE, 0, 0);
  EXPECT_EQ(static_cast<size_t>(GetWindowTextLengthA(box)), list.size());
  EXPECT_TRUE(TextOf(box) == list);
  EXPECT_EQ(SendMessageA(box, EM_GETLINECOUNT, 0, 0), 100001);
  // A long line scrolls sideways instead of wrapping.
  SetWindowTextA(box, std::string(2000, 'a').c_str());
  EXPECT_EQ(SendMessageA(box, EM_GETLINECOUNT, 0, 0), 1);
}
