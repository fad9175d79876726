// The program's entry: the command line is not used.
#include <windows.h>
#include "app/App.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  UserInterfaceLayer layer;
  App app;
  if (!app.Start(instance)) return 1;
  return app.Run();
}
