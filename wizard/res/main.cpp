// Entry point of the shipped wizard: start-up, the main window and shutdown
// live in the start-up library.
#include <windows.h>

#include "app/startup/startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  return tw::RunTarnwright(instance, ::GetCommandLineW());
}
