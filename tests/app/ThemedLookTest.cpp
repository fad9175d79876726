// The themed look read back from the pixels on screen: the frames of push
// buttons and edit boxes in the green frame colour, existing ones and those
// created later; the list view keeps its own look.
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
  HWND window = CreateWindowExA(0, "STATIC", "later", WS_POPUP | WS_VISIBLE, 10, 10, 300, 200, nullptr,
                                nullptr, instance, nullptr);
  ASSERT_NE(window, nullptr);
  HWND button = CreateWindowExA(0, "BUTTON", "按钮", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 30,
                                window, nullptr, instance, nullptr);
  // Both ways an edit box gets a border: a plain one and a sunken edge.
  HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE, 10, 50, 120,
                              60, window, nullptr, instance, nullptr);
  HWND sunken = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE, 10, 120, 120, 30,
                                window, nullptr, instance, nullptr);
  HWND label = CreateWindowExA(0, "STATIC", "标签", WS_CHILD | WS_VISIBLE | WS_BORDER, 150, 10, 80, 30,
                               window, nullptr, instance, nullptr);
  Pump(100);
  EXPECT_EQ(LeftEdgePixel(button), ThemedLook::kFrame);
  EXPECT_EQ(LeftEdgePixel(edit), ThemedLook::kFrame);
  EXPECT_EQ(LeftEdgePixel(sunken), ThemedLook::kFrame);
  EXPECT_NE(LeftEdgePixel(label), ThemedLook::kFrame) << "labels keep their look";
  DestroyWindow(window);
}
