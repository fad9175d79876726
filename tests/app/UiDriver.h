// Drives the program's windows from a test as a user would: answers message
// boxes, acts in the middle of a run, reads controls back.
#pragma once
#include <windows.h>
#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using Row = std::array<std::string, 6>;

// Reads a list view straight through its messages (any thread).
int RowCountOf(HWND list);
std::string CellOf(HWND list, int row, int column);
std::vector<Row> RowsOf(HWND list);
std::string TextOf(HWND window);

// Dispatches the calling thread's messages for a while, through `dispatch`.
void PumpFor(int milliseconds, const std::function<void(MSG&)>& dispatch);

// Finds the "信息：" boxes of one thread, notes their text (and, through
// `onBox`, anything else worth seeing at that moment) and presses OK.
class MessageBoxAnswerer {
 public:
  MessageBoxAnswerer(DWORD uiThread, std::function<void()> onBox = {});
  ~MessageBoxAnswerer();
  std::vector<std::string> Texts() const;

 private:
  void Loop();

  DWORD uiThread_;
  std::function<void()> onBox_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> texts_;
  std::thread thread_;
};

// Polls `when` on the calling (window) thread through a timer, which every
// message wait of the program dispatches, and once it holds runs `then` there
// once, as a user's action between two messages.
class WhenThen {
 public:
  WhenThen(std::function<bool()> when, std::function<void()> then);
  ~WhenThen();
  WhenThen(const WhenThen&) = delete;
  WhenThen& operator=(const WhenThen&) = delete;
  bool Fired() const { return fired_; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  std::function<bool()> when_;
  std::function<void()> then_;
  bool fired_ = false;
  HWND window_ = nullptr;
};
