#include "app/App.h"
#include <commctrl.h>
#include <ole2.h>

UserInterfaceLayer::UserInterfaceLayer() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  oleStarted_ = SUCCEEDED(OleInitialize(nullptr));
}

UserInterfaceLayer::~UserInterfaceLayer() {
  if (oleStarted_) OleUninitialize();
}

App::App() : settings_(LoadQuerySettings()), main_(windows_, settings_) {}

bool App::Start(HINSTANCE instance) {
  if (!main_.Create(instance)) return false;
  OnMainWindowCreated();
  main_.Show();
  return true;
}

void App::OnMainWindowCreated() {
  look_.SwitchOn();
  // The notice window opens here, before the main window is shown; it joins
  // windows_ so that the process lives until it has closed too.
}

int App::Run() { return RunMessageLoop(); }
