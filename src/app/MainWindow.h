// The main window 窗口: built from one fixed layout, it holds the domain box,
// the three buttons, the result list and the banner. The object outlives its
// window: a batch run may still be on the stack when the window is destroyed.
#pragma once
#include <windows.h>
#include <array>
#include "app/ListViewResults.h"
#include "query/Settings.h"

class ProgramWindows;

// The controls, in creation order (which is also the tab order).
enum class Ctl { 图片框1, 标签1, 编辑框1, 标签2, 超级列表框1, 按钮1, 按钮2, 按钮3, 编辑框2, Count };

class MainWindow {
 public:
  static constexpr int kWidth = 874;
  static constexpr int kHeight = 528;

  MainWindow(ProgramWindows& windows, const QuerySettings& settings);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls, centred on the screen and hidden.
  bool Create(HINSTANCE instance);
  // Shows the window and makes it the active one.
  void Show();

  HWND Handle() const { return hwnd_; }
  HWND Control(Ctl control) const { return controls_[static_cast<size_t>(control)]; }
  ResultList& Results() { return results_; }
  // True from the moment the window starts closing: running batches end.
  bool Ending() const { return ending_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  bool OnCreate();
  void OnCommand(int id, int code);
  void OnNotify(const NMHDR& header);
  void OnNextControl(WPARAM wParam, LPARAM lParam);
  void OnStart();
  void OnClear();
  void OnRowFocused(int row);
  void OnDestroy();
  void OnNcDestroy();

  ProgramWindows& windows_;
  QuerySettings settings_;
  HWND hwnd_ = nullptr;
  std::array<HWND, static_cast<size_t>(Ctl::Count)> controls_{};
  HBITMAP banner_ = nullptr;
  ListViewResults results_;
  bool ending_ = false;
};
