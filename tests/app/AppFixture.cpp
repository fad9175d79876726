#include "AppFixture.h"
#include <cstdlib>
#include <string>
#include "fetch/MessageWait.h"

StandinServer& Standin() {
  static StandinServer server;
  static const bool started = [] {
    int port = server.Start();
    std::string base = "127.0.0.1:" + std::to_string(port);
    _putenv_s("DOMAINRANK_LOOKUP_PREFIX", ("http://" + base + "/cha/").c_str());
    _putenv_s("DOMAINRANK_SEARCH_HOST", base.c_str());
    _putenv_s("DOMAINRANK_BADGE_HOST", server.BadgeHost().c_str());
    return port != 0;
  }();
  EXPECT_TRUE(started) << "the stand-in service did not start";
  return server;
}

void AppFixture::SetUp() {
  Standin().ClearRequests();
  app_ = std::make_unique<App>();
  ASSERT_TRUE(app_->Start(GetModuleHandleA(nullptr)));
  Pump(50);
}

void AppFixture::TearDown() {
  app_.reset();
  // What the closed windows left behind, for a bounded time; and the quit
  // message a closed main window leaves for a loop that did not run.
  PumpFor(50, [](MSG& msg) { DispatchMessageA(&msg); });
  TakeQuit();
}

void AppFixture::Pump(int milliseconds) {
  PumpFor(milliseconds, [](MSG& msg) { DispatchWindowMessage(msg); });
}

bool AppFixture::TakeQuit() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}
