#include "app/ThemedLook.h"
#include <commctrl.h>
#include <cctype>
#include <string>

namespace {

constexpr UINT_PTR kSubclassId = 0x6c6f6f6b;  // one subclass per window, whatever the kind
constexpr COLORREF kFace = RGB(240, 245, 231);
constexpr COLORREF kFacePressed = RGB(214, 226, 190);
constexpr COLORREF kMark = RGB(74, 102, 36);

enum class Kind { None, Button, Edit, Combo, ComboList, Spin };

Kind KindOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  std::string cls(name);
  for (char& c : cls) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  if (cls == "button") return Kind::Button;
  if (cls == "edit") return Kind::Edit;
  if (cls == "combobox") return Kind::Combo;
  if (cls == "combolbox") return Kind::ComboList;
  if (cls == "msctls_updown32") return Kind::Spin;
  return Kind::None;
}

struct GdiObject {
  HGDIOBJ object;
  explicit GdiObject(HGDIOBJ o) : object(o) {}
  ~GdiObject() { DeleteObject(object); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
};

void Frame(HDC dc, const RECT& rect, COLORREF colour) {
  GdiObject brush(CreateSolidBrush(colour));
  FrameRect(dc, &rect, static_cast<HBRUSH>(brush.object));
}

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
  GdiObject brush(CreateSolidBrush(colour));
  FillRect(dc, &rect, static_cast<HBRUSH>(brush.object));
}

std::string TextOf(HWND window) {
  int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

void DrawCaption(HWND window, HDC dc, RECT rect, UINT format) {
  std::string text = TextOf(window);
  if (text.empty()) return;
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, IsWindowEnabled(window) ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT));
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
  if (old) SelectObject(dc, old);
}

void PaintPushButton(HWND window, HDC dc, const RECT& client) {
  LRESULT state = SendMessageA(window, BM_GETSTATE, 0, 0);
  bool pressed = (state & BST_PUSHED) != 0;
  Fill(dc, client, pressed ? kFacePressed : kFace);
  Frame(dc, client, ThemedLook::kFrame);
  RECT text = client;
  if (pressed) OffsetRect(&text, 1, 1);
  DrawCaption(window, dc, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (GetFocus() == window && !(SendMessageA(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
    RECT focus = client;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(dc, &focus);
  }
}

void PaintCheckOrRadio(HWND window, HDC dc, const RECT& client, bool radio) {
  Fill(dc, client, GetSysColor(COLOR_BTNFACE));
  int box = 13;
  RECT mark = {client.left, (client.top + client.bottom - box) / 2, client.left + box,
               (client.top + client.bottom - box) / 2 + box};
  Fill(dc, mark, RGB(255, 255, 255));
  Frame(dc, mark, ThemedLook::kFrame);
  LRESULT check = SendMessageA(window, BM_GETCHECK, 0, 0);
  if (check != BST_UNCHECKED) {
    RECT inner = mark;
    InflateRect(&inner, radio ? -4 : -3, radio ? -4 : -3);
    Fill(dc, inner, check == BST_INDETERMINATE ? kFacePressed : kMark);
  }
  RECT text = client;
  text.left = mark.right + 4;
  DrawCaption(window, dc, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void PaintGroupBox(HWND window, HDC dc, const RECT& client) {
  Fill(dc, client, GetSysColor(COLOR_BTNFACE));
  RECT frame = client;
  frame.top += 7;
  Frame(dc, frame, ThemedLook::kFrame);
  RECT text = {client.left + 8, client.top, client.right - 8, client.top + 16};
  std::string caption = TextOf(window);
  if (!caption.empty()) {
    SIZE size{};
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    if (old) SelectObject(dc, old);
    RECT back = {text.left - 2, client.top, text.left + size.cx + 2, client.top + size.cy};
    Fill(dc, back, GetSysColor(COLOR_BTNFACE));
    DrawCaption(window, dc, text, DT_LEFT | DT_TOP | DT_SINGLELINE);
  }
}

// Returns false for buttons that keep their own drawing (owner-drawn ones).
bool PaintButton(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  LONG type = GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
  switch (type) {
    case BS_OWNERDRAW:
    case BS_USERBUTTON:
      return false;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
      PaintCheckOrRadio(window, dc, client, false);
      return true;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      PaintCheckOrRadio(window, dc, client, true);
      return true;
    case BS_GROUPBOX:
      PaintGroupBox(window, dc, client);
      return true;
    default:
      PaintPushButton(window, dc, client);
      return true;
  }
}

void RepaintNow(HWND window) {
  if (!IsWindowVisible(window)) return;
  HDC dc = GetDC(window);
  PaintButton(window, dc);
  ReleaseDC(window, dc);
}

// The button's own code paints straight away on these, outside WM_PAINT.
bool ButtonRedrawsOn(UINT msg) {
  switch (msg) {
    case WM_SETFOCUS: case WM_KILLFOCUS: case WM_ENABLE: case WM_SETTEXT:
    case BM_SETSTATE: case BM_SETCHECK: case BM_SETSTYLE: case BM_CLICK:
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: case WM_MOUSEMOVE:
    case WM_CAPTURECHANGED: case WM_KEYDOWN: case WM_KEYUP: case WM_UPDATEUISTATE:
    case WM_SYSCOLORCHANGE:
      return true;
  }
  return false;
}

LRESULT CALLBACK ButtonProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      bool painted = PaintButton(window, dc);
      EndPaint(window, &ps);
      if (painted) return 0;
      break;
    }
    case WM_PRINTCLIENT:
      if (PaintButton(window, reinterpret_cast<HDC>(wParam))) return 0;
      break;
    case WM_ERASEBKGND:
      return 1;
  }
  LRESULT result = DefSubclassProc(window, msg, wParam, lParam);
  if (ButtonRedrawsOn(msg) && IsWindow(window)) RepaintNow(window);
  return result;
}

// Edit boxes and the combo's drop-down list: the border in the frame colour,
// a second ring (client edge) in white so the box reads flat.
void PaintBorder(HWND window) {
  LONG style = GetWindowLongA(window, GWL_STYLE);
  LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
  if (!(style & WS_BORDER) && !(exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE))) return;
  HDC dc = GetWindowDC(window);
  RECT outer;
  GetWindowRect(window, &outer);
  OffsetRect(&outer, -outer.left, -outer.top);
  Frame(dc, outer, ThemedLook::kFrame);
  if (exStyle & WS_EX_CLIENTEDGE) {
    RECT inner = outer;
    InflateRect(&inner, -1, -1);
    Frame(dc, inner, RGB(255, 255, 255));
  }
  ReleaseDC(window, dc);
}

// An edit box created with WS_BORDER takes the style off and draws a plain
// border inside its client area: that one is drawn over after each paint.
constexpr DWORD_PTR kClientBorder = 1;

void PaintClientBorder(HWND window) {
  HDC dc = GetDC(window);
  RECT client;
  GetClientRect(window, &client);
  Frame(dc, client, ThemedLook::kFrame);
  ReleaseDC(window, dc);
}

LRESULT CALLBACK BorderProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  LRESULT result = DefSubclassProc(window, msg, wParam, lParam);
  switch (msg) {
    case WM_NCPAINT:
    case WM_PAINT:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
      if (!IsWindow(window) || !IsWindowVisible(window)) break;
      if (data == kClientBorder) {
        if (msg != WM_NCPAINT) PaintClientBorder(window);
      } else if (msg != WM_PAINT) {
        PaintBorder(window);
      }
      break;
  }
  return result;
}

// Combo boxes and spin buttons draw their frame in their client area.
LRESULT CALLBACK ClientFrameProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  LRESULT result = DefSubclassProc(window, msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_LBUTTONUP:
      if (IsWindow(window) && IsWindowVisible(window)) PaintClientBorder(window);
      break;
  }
  return result;
}

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
    ApplyThemedLook(reinterpret_cast<HWND>(wParam), static_cast<DWORD>(create->style));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK ApplyToChild(HWND window, LPARAM) {
  ApplyThemedLook(window, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)));
  return TRUE;
}

BOOL CALLBACK ApplyToTopLevel(HWND window, LPARAM) {
  ApplyThemedLook(window, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)));
  EnumChildWindows(window, ApplyToChild, 0);
  return TRUE;
}

}  // namespace

void ApplyThemedLook(HWND window, DWORD creationStyle) {
  SUBCLASSPROC proc = nullptr;
  DWORD_PTR data = 0;
  switch (KindOf(window)) {
    case Kind::Button: proc = ButtonProc; break;
    case Kind::Edit:
      proc = BorderProc;
      if ((creationStyle & WS_BORDER) && !(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
        data = kClientBorder;
      break;
    case Kind::ComboList: proc = BorderProc; break;
    case Kind::Combo:
    case Kind::Spin: proc = ClientFrameProc; break;
    case Kind::None: return;
  }
  // Setting the same procedure and id again only replaces its data: a window
  // met twice is subclassed once.
  if (!SetWindowSubclass(window, proc, kSubclassId, data)) return;
  if (IsWindowVisible(window))
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

ThemedLook::~ThemedLook() {
  if (hook_) UnhookWindowsHookEx(hook_);
}

bool ThemedLook::SwitchOn() {
  if (hook_) return true;
  hook_ = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
  if (!hook_) return false;
  EnumThreadWindows(GetCurrentThreadId(), ApplyToTopLevel, 0);
  return true;
}
