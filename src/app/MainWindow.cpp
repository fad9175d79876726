#include "app/MainWindow.h"
#include <commctrl.h>
#include "app/Banner.h"
#include "app/ProgramWindows.h"
#include "app/WindowBatchHost.h"
#include "query/BatchQuery.h"

namespace {

const char kClassName[] = "DomainRankMainWindow";
const char kTitle[] = "蓝木--域名百度权重批量查询v1.0  官方网址:http://domainrank.example/";
const char kSampleDomain[] = "example.com";

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kEditStyle = WS_CHILD | ES_LEFT | ES_MULTILINE | ES_WANTRETURN |
                             ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_HSCROLL | WS_VSCROLL;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER;
constexpr DWORD kLabelStyle = WS_CHILD | WS_VISIBLE | SS_LEFT;

// Control ids stay clear of IDOK and IDCANCEL, which the dialog keys send;
// tests/app/ShotDriver.cpp knows those of 编辑框1 and 按钮1.
struct ControlEntry {
  Ctl control;
  const char* className;
  DWORD style;
  DWORD exStyle;
  int x, y, width, height;
  const char* text;
  int id;
};

const ControlEntry kLayout[] = {
    {Ctl::图片框1, "STATIC", WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 1, 1, 864, 88, "", 1001},
    {Ctl::标签1, "STATIC", kLabelStyle, 0, 12, 94, 80, 24, "导入域名", 1002},
    {Ctl::编辑框1, "EDIT", kEditStyle | WS_VISIBLE | WS_TABSTOP, WS_EX_CLIENTEDGE, 8, 119, 256, 320, kSampleDomain, 1003},
    {Ctl::标签2, "STATIC", kLabelStyle, 0, 273, 95, 80, 24, "查询域名", 1004},
    {Ctl::超级列表框1, WC_LISTVIEWA,
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER,
     WS_EX_CLIENTEDGE, 272, 119, 584, 368, "", 1005},
    {Ctl::按钮1, "BUTTON", kButtonStyle, 0, 8, 448, 80, 32, "开始查询", 1006},
    {Ctl::按钮2, "BUTTON", kButtonStyle, 0, 96, 448, 80, 32, "清空列表", 1007},
    {Ctl::按钮3, "BUTTON", kButtonStyle, 0, 184, 448, 80, 32, "导出结果列表", 1008},
    // The export staging box: created hidden, never shown.
    {Ctl::编辑框2, "EDIT", kEditStyle, WS_EX_CLIENTEDGE, 504, 96, 256, 320, "", 1009},
};

struct ColumnEntry {
  const char* title;
  int width;
  int format;
};

const ColumnEntry kColumns[] = {
    {"域名", 80, LVCFMT_LEFT},      {"百度权重", 100, LVCFMT_CENTER},
    {"百度流量", 100, LVCFMT_CENTER}, {"百度收录", 100, LVCFMT_CENTER},
    {"反连接", 100, LVCFMT_CENTER},   {"可以注册", 100, LVCFMT_CENTER},
};

int IdOf(Ctl control) {
  for (const ControlEntry& entry : kLayout)
    if (entry.control == control) return entry.id;
  return 0;
}

bool RegisterMainClass(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSEXA wc{};
  if (GetClassInfoExA(instance, kClassName, &wc)) return true;
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  return RegisterClassExA(&wc) != 0;
}

}  // namespace

MainWindow::MainWindow(ProgramWindows& windows, const QuerySettings& settings)
    : windows_(windows), settings_(settings) {}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (banner_) DeleteObject(banner_);
}

bool MainWindow::Create(HINSTANCE instance) {
  if (hwnd_ || !RegisterMainClass(instance, WindowProc)) return false;
  int left = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  int top = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  // Control parent: the page fetch's own message pump then gives Tab to the
  // dialog keys as the main loop does.
  CreateWindowExA(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, kClassName, kTitle, kWindowStyle, left, top, kWidth, kHeight,
                  nullptr, nullptr, instance, this);
  return hwnd_ != nullptr;
}

void MainWindow::Show() {
  if (!hwnd_) return;
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
  SetFocus(Control(Ctl::编辑框1));
  UpdateWindow(hwnd_);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  MainWindow* self = nullptr;
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    self = static_cast<MainWindow*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
  return self->HandleMessage(msg, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = hwnd_;
  switch (msg) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
      return 0;
    case WM_NEXTDLGCTL:
      OnNextControl(wParam, lParam);
      return 0;
    case WM_CLOSE:
      // No question: the window closes at once, also during a batch.
      ending_ = true;
      break;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_NCDESTROY:
      OnNcDestroy();
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool MainWindow::OnCreate() {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE));
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (const ControlEntry& entry : kLayout) {
    HWND control = CreateWindowExA(entry.exStyle, entry.className, entry.text, entry.style, entry.x,
                                   entry.y, entry.width, entry.height, hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)),
                                   instance, nullptr);
    if (!control) return false;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    controls_[static_cast<size_t>(entry.control)] = control;
  }
  // Both boxes must hold a pasted list or an export of any length.
  SendMessageA(Control(Ctl::编辑框1), EM_SETLIMITTEXT, 0, 0);
  SendMessageA(Control(Ctl::编辑框2), EM_SETLIMITTEXT, 0, 0);

  HWND list = Control(Ctl::超级列表框1);
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  int index = 0;
  for (const ColumnEntry& entry : kColumns) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = entry.format;
    column.cx = entry.width;
    column.pszText = const_cast<char*>(entry.title);
    column.iSubItem = index;
    if (SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column)) < 0)
      return false;
    ++index;
  }
  results_.Attach(list);

  banner_ = StretchedPicture(kBannerGif, kBannerGifSize, 864, 88);
  if (banner_)
    SendMessageA(Control(Ctl::图片框1), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner_));

  windows_.Add(hwnd_);
  return true;
}

void MainWindow::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == IdOf(Ctl::按钮1)) OnStart();
  else if (id == IdOf(Ctl::按钮2)) OnClear();
}

void MainWindow::OnNotify(const NMHDR& header) {
  if (header.hwndFrom != Control(Ctl::超级列表框1) || header.code != LVN_ITEMCHANGED) return;
  const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
  if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_FOCUSED) &&
      !(change.uOldState & LVIS_FOCUSED))
    OnRowFocused(change.iItem);
}

// A multi-line edit box asks its parent to move on when Tab is pressed in it;
// the dialog manager would, and this window is not a dialog.
void MainWindow::OnNextControl(WPARAM wParam, LPARAM lParam) {
  HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                               : GetNextDlgTabItem(hwnd_, GetFocus(), wParam != 0);
  if (!target) return;
  SetFocus(target);
  if (SendMessageA(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(target, EM_SETSEL, 0, -1);
}

void MainWindow::OnStart() {
  if (ending_) return;
  // The run may outlive the window (it dispatches messages while it waits),
  // so it asks this object, not the window, whether to go on.
  WindowBatchHost host(Control(Ctl::编辑框1), results_, [this] { return ending_; });
  BatchQuery(host, settings_);
}

void MainWindow::OnClear() { results_.DeleteAllRows(); }

void MainWindow::OnRowFocused(int) {}

void MainWindow::OnDestroy() {
  ending_ = true;
  windows_.Remove(hwnd_);
}

void MainWindow::OnNcDestroy() {
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  results_.Attach(nullptr);
  controls_.fill(nullptr);
  hwnd_ = nullptr;
}
