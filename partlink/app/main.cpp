// Entry of partlink, a console program that runs one operation on the
// recovery partition of the system disk and exits with its result.
#include <windows.h>

#include <exception>
#include <string>
#include <vector>

#include "app/console.h"
#include "app/library_search.h"
#include "app/run.h"

namespace {

// The console start-up: the program's module and command line must be
// available before anything else runs.
bool StartUp(int argc, wchar_t** argv) {
  return ::GetModuleHandleW(nullptr) != nullptr && ::GetCommandLineW() != nullptr && argc >= 0 &&
         (argc == 0 || argv != nullptr);
}

// Whatever escapes the run is reported as a failure line (shown with
// "/LOG", as every error line is); printing it must not throw in turn.
void ReportCaught(const char* what) noexcept {
  try {
    std::wstring text = L"ERROR : unexpected exception";
    if (what) {
      text += L": ";
      for (const char* p = what; *p; ++p) text += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    }
    partlink::Print(text + L"\n");
  } catch (...) {
    // Out of memory while reporting: the exit code still tells.
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Before anything else may load a library by name.
  partlink::RestrictLibrarySearch();
  partlink::SetOutputSwitch(0);
  try {
    if (!StartUp(argc, argv)) {
      partlink::Print(L"致命的なエラー: MFC の初期化ができませんでした。\n");
      return static_cast<int>(partlink::kCodeStartupFailed);
    }
    std::vector<std::wstring> args;
    for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] != nullptr ? argv[i] : L"");
    return static_cast<int>(partlink::RunPartlink(args));
  } catch (const std::exception& e) {
    // Nothing is thrown on purpose; running out of memory must still end
    // the run with a failure code rather than a crash.
    ReportCaught(e.what());
  } catch (...) {
    ReportCaught(nullptr);
  }
  return static_cast<int>(partlink::kCodeStartupFailed);
}
