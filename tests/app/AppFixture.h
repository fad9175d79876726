// One started program per test, pointed at the stand-in service that runs
// inside the test program.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <memory>
#include "StandinServer.h"
#include "UiDriver.h"
#include "app/App.h"

// Started on first use; the DOMAINRANK_* variables point at it from then on.
StandinServer& Standin();

class AppFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  HWND Main() const { return app_->Main().Handle(); }
  HWND Control(Ctl control) const { return app_->Main().Control(control); }
  // As a user's click: the handler runs to its end (a run, to its "完成").
  void Click(Ctl button) { SendMessageA(Control(button), BM_CLICK, 0, 0); }
  void SetDomains(const std::string& text) { SetWindowTextA(Control(Ctl::编辑框1), text.c_str()); }
  // Pumps the thread's messages the way the program's loop does.
  void Pump(int milliseconds);
  // True (and removed) when the program has asked its loop to end.
  bool TakeQuit();

  std::unique_ptr<App> app_;
};
