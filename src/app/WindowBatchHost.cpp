#include "app/WindowBatchHost.h"
#include <utility>
#include "fetch/FetchPage.h"
#include "text/PageText.h"

WindowBatchHost::WindowBatchHost(HWND domainBox, ResultList& results, std::function<bool()> ending)
    : domainBox_(domainBox), results_(results), ending_(std::move(ending)) {}

Text WindowText(HWND window) {
  if (!window || !IsWindow(window)) return Text();
  // The length is an upper bound (it may count a double-byte text twice);
  // the copy tells the real one.
  int length = GetWindowTextLengthA(window);
  if (length <= 0) return Text();
  Text text(static_cast<size_t>(length) + 1, '\0');
  int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

void ShowInfoMessage(const Text& text) {
  MessageBoxA(nullptr, text.c_str(), "信息：", MB_OK | MB_TASKMODAL);
}

Text WindowBatchHost::DomainListText() { return WindowText(domainBox_); }

Bytes WindowBatchHost::Fetch(const Text& url) { return FetchPage(url); }

Text WindowBatchHost::Decode(const Bytes& body) { return DecodePage(body); }

void WindowBatchHost::ShowMessage(const Text& text) { ShowInfoMessage(text); }
