// Entry point of the wizard's test build (Tarnwright_testbuild.exe): the
// shipped program's start-up, with the seams of test_build.h installed
// first and removed after it.
#include <windows.h>

#include "app/startup/startup.h"
#include "testing/test_build.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const twtest::TestBuildSeams seams;
  return tw::RunTarnwright(instance, ::GetCommandLineW());
}
