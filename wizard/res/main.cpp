// Entry point of the wizard: start-up, the main window and shutdown live in
// the start-up library; the test build also lets tests stand in for the
// power status.
#include <windows.h>

#include "app/startup/startup.h"
#ifdef TW_TEST_BUILD
#include "testing/test_build.h"
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
#ifdef TW_TEST_BUILD
  twtest::InstallTestBuildSeams();
#endif
  return tw::RunTarnwright(instance, ::GetCommandLineW());
}
