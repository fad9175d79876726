// The themed look read back from the pixels on screen: the frames of push
// buttons and edit boxes in the green frame colour, existing ones and those
// created later; the list view keeps its own look.
#include <windows.h>
#include <commctrl.h>
#include <vector>
#include "AppFixture.h"

namespace {

// The colour at the middle of the window's left edge, as painted.
COLORREF LeftEdgePixel(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
  RECT rect;
  GetWindowRect(window, &rect);
  HDC dc = GetWindowDC(window);
  COLORREF colour = GetPixel(dc, 0, (rect.bottom - rect.top) / 2);
  ReleaseDC(window, dc);
  return colour;
}

}  // namespace

using Themed = AppFixture;

TEST_F(Themed, ButtonsAndEditBoxesOfTheMainWindowHaveTheGreenFrame) {
  ASSERT_TRUE(app_->Look().On());
  Pump(100);
  struct Case {
    Ctl control;
    bool themed;
  };
  const Case cases[] = {
      {Ctl::按钮1, true}, {Ctl::按钮2, true}, {Ctl::按钮3, true},
      {Ctl::编辑框1, true}, {Ctl::超级列表框1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.control));
    COLORREF colour = LeftEdgePixel(Control(c.control));
    if (c.themed) EXPECT_EQ(colour, ThemedLook::kFrame) << std::hex << colour;
    else EXPECT_NE(colour, ThemedLook::kFrame) << std::hex << colour;
  }
  // Focus and a press repaint in the scheme, not in the system's look.
  SetFocus(Control(Ctl::按钮1));
  SendMessageA(Control(Ctl::按钮1), BM_SETSTATE, TRUE, 0);
  EXPECT_EQ(LeftEdgePixel(Control(Ctl::按钮1)), ThemedLook::kFrame);
  SendMessageA(Control(Ctl::按钮1), BM_SETSTATE, FALSE, 0);
}

TEST_F(Themed, ControlsCreatedLaterOnTheThreadAreThemedToo) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND window = CreateWindowExA(0, "STATIC", "later", WS_POPUP | WS_VISIBLE, 10, 10, 400, 300, nullptr,
                                nullptr, instance, nullptr);
  ASSERT_NE(window, nullptr);
  struct Case {
    const char* name;
    const char* className;
    DWORD style;
    DWORD exStyle;
    bool themed;
  };
  // Both ways an edit box gets a border: a plain one and a sunken edge.
  const Case cases[] = {
      {"push button", "BUTTON", BS_PUSHBUTTON, 0, true},
      {"check box", "BUTTON", BS_AUTOCHECKBOX, 0, true},
      {"radio button", "BUTTON", BS_AUTORADIOBUTTON, 0, true},
      {"group box", "BUTTON", BS_GROUPBOX, 0, true},
      {"edit box, border", "EDIT", WS_BORDER | ES_MULTILINE, 0, true},
      {"edit box, sunken", "EDIT", 0, WS_EX_CLIENTEDGE, true},
      {"combo box", "COMBOBOX", CBS_DROPDOWNLIST, 0, true},
      {"spin button", "msctls_updown32", 0, 0, true},
      {"label", "STATIC", WS_BORDER, 0, false},
      {"list view", "SysListView32", LVS_REPORT, WS_EX_CLIENTEDGE, false},
  };
  std::vector<HWND> controls;
  int y = 5;
  for (const Case& c : cases) {
    controls.push_back(CreateWindowExA(c.exStyle, c.className, c.name, WS_CHILD | WS_VISIBLE | c.style, 10, y,
                                       120, 24, window, nullptr, instance, nullptr));
    y += 28;
  }
  Pump(100);
  for (size_t i = 0; i < controls.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    ASSERT_NE(controls[i], nullptr);
    COLORREF colour = LeftEdgePixel(controls[i]);
    if (cases[i].themed) {
      EXPECT_EQ(colour, ThemedLook::kFrame) << std::hex << colour;
    } else {
      EXPECT_NE(colour, ThemedLook::kFrame) << std::hex << colour;
    }
  }
  DestroyWindow(window);
}
