// Start-up and end: the code page, the window as it first appears, and the
// message loop that ends with the program's last window.
#include <windows.h>
#include <commctrl.h>
#include "AppFixture.h"

TEST(CodePage, IsGbk) {
  // Every Chinese marker and text of the program relies on it.
  EXPECT_EQ(GetACP(), 936u);
}

using StartUp = AppFixture;

TEST_F(StartUp, MainWindowIsShownCentredAndActive) {
  RECT rect;
  GetWindowRect(Main(), &rect);
  EXPECT_EQ(rect.right - rect.left, 874);
  EXPECT_EQ(rect.bottom - rect.top, 528);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 874) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 528) / 2);
  EXPECT_TRUE(IsWindowVisible(Main()));
  EXPECT_EQ(GetActiveWindow(), Main());
  EXPECT_EQ(GetForegroundWindow(), Main());
}

TEST_F(StartUp, EveryStartShowsTheSameInitialState) {
  // Something left behind by the first start must not show in the second.
  SetDomains("changed.example");
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.pszText = const_cast<char*>("left over");
  SendMessageA(Control(Ctl::超级列表框1), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  ASSERT_EQ(RowCountOf(Control(Ctl::超级列表框1)), 1);
  for (int start = 0; start < 2; ++start) {
    SCOPED_TRACE(start);
    app_ = std::make_unique<App>();
    TakeQuit();
    ASSERT_TRUE(app_->Start(GetModuleHandleA(nullptr)));
    EXPECT_EQ(TextOf(Control(Ctl::编辑框1)), "example.com");
    EXPECT_EQ(TextOf(Control(Ctl::编辑框2)), "");
    EXPECT_EQ(RowCountOf(Control(Ctl::超级列表框1)), 0);
  }
}

// The other window of the program, closed by a timer inside the loop.
ProgramWindows* gWindows = nullptr;
HWND gOther = nullptr;

TEST_F(StartUp, LoopEndsWhenTheLastWindowHasClosed) {
  ProgramWindows& windows = app_->Windows();
  EXPECT_EQ(windows.Count(), 1);
  // A second window of the program (the notice window's place) keeps the
  // loop going after the main window has closed.
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  windows.Add(other);

  PostMessageA(Main(), WM_CLOSE, 0, 0);
  Pump(100);
  EXPECT_FALSE(IsWindow(app_->Main().Handle()));
  EXPECT_EQ(windows.Count(), 1);
  EXPECT_FALSE(TakeQuit()) << "the loop must not end while a window is open";

  gWindows = &windows;
  gOther = other;
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    DestroyWindow(gOther);
    gWindows->Remove(gOther);
  });
  ULONGLONG before = GetTickCount64();
  EXPECT_EQ(app_->Run(), 0);
  EXPECT_LT(GetTickCount64() - before, 5000u);
  EXPECT_EQ(windows.Count(), 0);
  EXPECT_FALSE(IsWindow(other));
}

TEST_F(StartUp, ClosingTheOnlyWindowEndsTheLoopWithoutAQuestion) {
  PostMessageA(Main(), WM_CLOSE, 0, 0);
  EXPECT_EQ(app_->Run(), 0);
  EXPECT_FALSE(IsWindow(app_->Main().Handle()));
  EXPECT_EQ(app_->Windows().Count(), 0);
}
