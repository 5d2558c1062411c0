// Entry point of the wizard. Start-up and the main window are added by the
// wizard-frame work; until then the program only refuses to run.
#include <windows.h>

#include "app/log.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  TW_LOG(L"wWinMain", L"");
  return 2;
}
