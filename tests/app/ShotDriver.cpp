// Drives a running domainrank from another process, for the README
// screenshot: fills the domain box, presses 开始查询, answers "完成", and
// later closes the tool. Only messages that cross processes as they are.
//   shot_driver run STATUSFILE DOMAIN...   then   shot_driver close STATUSFILE
#include <windows.h>
#include <cstdio>
#include <string>

namespace {

constexpr int kDomainBoxId = 1003;
constexpr int kStartButtonId = 1006;

HWND WaitForWindow(const char* cls, const char* title, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    HWND w = FindWindowA(cls, title);
    if (w && IsWindowVisible(w)) return w;
    Sleep(100);
  }
  return nullptr;
}

void Report(const char* path, const std::string& text) {
  FILE* f = std::fopen(path, "wb");
  if (!f) return;
  std::fputs(text.c_str(), f);
  std::fclose(f);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string command = argv[1];
  const char* status = argv[2];
  HWND main = WaitForWindow("DomainRankMainWindow", nullptr, 60);
  if (!main) {
    Report(status, "no main window\n");
    return 1;
  }
  if (command == "close") {
    PostMessageA(main, WM_CLOSE, 0, 0);
    Report(status, "closed\n");
    return 0;
  }
  std::string domains;
  for (int i = 3; i < argc; ++i) {
    if (!domains.empty()) domains += "\r\n";
    domains += argv[i];
  }
  SendMessageA(GetDlgItem(main, kDomainBoxId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(domains.c_str()));
  // Posted: a sent click would hold this process until the run ends.
  PostMessageA(GetDlgItem(main, kStartButtonId), BM_CLICK, 0, 0);
  HWND box = WaitForWindow("#32770", "信息：", 120);
  if (!box) {
    Report(status, "no message box\n");
    return 1;
  }
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(50);
  Report(status, "done\n");
  return 0;
}
