// Binds the batch run to the real window: the domain box, the list view, the
// page fetch and the message box.
#pragma once
#include <windows.h>
#include <functional>
#include "query/BatchQuery.h"

class WindowBatchHost final : public BatchHost {
 public:
  // ending: asked before every step; true once the main window is closing.
  WindowBatchHost(HWND domainBox, ResultList& results, std::function<bool()> ending);

  Text DomainListText() override;
  ResultList& Results() override { return results_; }
  Bytes Fetch(const Text& url) override;
  Text Decode(const Bytes& body) override;
  void ShowMessage(const Text& text) override;
  bool Ending() override { return ending_(); }

 private:
  HWND domainBox_;
  ResultList& results_;
  std::function<bool()> ending_;
};

// The whole text of a window, however long.
Text WindowText(HWND window);
// The system's message box: caption "信息：", OK only, no owner, task-modal.
void ShowInfoMessage(const Text& text);
