#include "UiDriver.h"
#include <commctrl.h>

namespace {

// Another thread's window answers only while its thread pumps messages;
// never wait on it for ever, a test that fails must still end.
LRESULT Ask(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, msg, wParam, lParam, SMTO_NORMAL, 5000, &result)) return -1;
  return static_cast<LRESULT>(result);
}

struct FindBox {
  HWND found = nullptr;
};

BOOL CALLBACK FindInfoBox(HWND window, LPARAM param) {
  char cls[32] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (std::string(cls) == "#32770" && IsWindowVisible(window) && TextOf(window) == "信息：") {
    reinterpret_cast<FindBox*>(param)->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND window, LPARAM param) {
  char cls[32] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (std::string(cls) == "Static") {
    std::string text = TextOf(window);
    if (!text.empty()) *reinterpret_cast<std::string*>(param) = text;
  }
  return TRUE;
}

}  // namespace

std::string TextOf(HWND window) {
  int length = static_cast<int>(Ask(window, WM_GETTEXTLENGTH, 0, 0));
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int copied = static_cast<int>(Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

int RowCountOf(HWND list) { return static_cast<int>(Ask(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string CellOf(HWND list, int row, int column) {
  std::vector<char> buffer(4096);
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  int copied = static_cast<int>(Ask(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
  return copied > 0 ? std::string(buffer.data(), copied) : std::string();
}

std::vector<Row> RowsOf(HWND list) {
  std::vector<Row> rows;
  int count = RowCountOf(list);
  for (int r = 0; r < count; ++r) {
    Row row;
    for (int c = 0; c < 6; ++c) row[c] = CellOf(list, r, c);
    rows.push_back(row);
  }
  return rows;
}

void PumpFor(int milliseconds, const std::function<void(MSG&)>& dispatch) {
  ULONGLONG end = GetTickCount64() + milliseconds;
  while (GetTickCount64() < end) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      dispatch(msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

MessageBoxAnswerer::MessageBoxAnswerer(DWORD uiThread, std::function<void()> onBox)
    : uiThread_(uiThread), onBox_(std::move(onBox)), thread_([this] { Loop(); }) {}

MessageBoxAnswerer::~MessageBoxAnswerer() {
  stop_ = true;
  thread_.join();
}

std::vector<std::string> MessageBoxAnswerer::Texts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return texts_;
}

void MessageBoxAnswerer::Loop() {
  while (!stop_) {
    FindBox box;
    EnumThreadWindows(uiThread_, FindInfoBox, reinterpret_cast<LPARAM>(&box));
    if (!box.found) {
      Sleep(10);
      continue;
    }
    std::string text;
    EnumChildWindows(box.found, CollectStaticText, reinterpret_cast<LPARAM>(&text));
    if (onBox_) onBox_();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      texts_.push_back(text);
    }
    PostMessageA(box.found, WM_COMMAND, IDOK, 0);
    // One answer per box: wait until it has gone.
    for (int i = 0; i < 500 && IsWindow(box.found) && !stop_; ++i) Sleep(10);
  }
}

WhenThen::WhenThen(std::function<bool()> when, std::function<void()> then)
    : when_(std::move(when)), then_(std::move(then)) {
  static const ATOM atom = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TestWhenThen";
    return RegisterClassA(&wc);
  }();
  window_ = CreateWindowExA(0, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(atom)), "", 0, 0, 0, 0, 0,
                            HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetTimer(window_, 1, 10, nullptr);
}

WhenThen::~WhenThen() {
  if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK WhenThen::Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<WhenThen*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (msg == WM_TIMER && self && !self->fired_ && self->when_()) {
    self->fired_ = true;
    KillTimer(window, 1);
    self->then_();
    return 0;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}
