// KSCORE.exe, stand-in for the burning product's engine. Started as
//   "...\KSCORE.exe" /F:<disc information file>
// it writes the job's files into the folder that plays the disc of the drive
// named by "ODD", verifies them, and exits with one of the codes in
// engine.h. A small progress window with a Cancel button shows the work.
//
// Settings in KSCORE.ini beside the program:
//   [Drives]    E=C:\VirtualDiscs\E     folder that plays drive E's disc; it
//                                        must hold the marker KSVDISC.TAG
//   [Capacity]  DVD_1=8  BD_1=32         capacity of each disc type in MiB
//   [Test]      ExitCode=116             end with this code, write nothing
//               FailOnce=320             first run ends with this code,
//                                        later runs work ([State] FailedOnce)
//               DelayMs=3000             wait this long before the work
//               Crash=1                  end by an unhandled exception
//               CorruptAfterWrite=1      damage a written file (verify fails)
//               SpoilOnce=damage|short|remove|eject   after the first
//                                        run that succeeds, change the middle
//                                        byte of the first written file, cut
//                                        it to half, remove it, or move the
//                                        disc's folder aside ([State]
//                                        SpoiledOnce, SpoiledFile, SpoiledAt)
//   [RawImages] E=C:\VirtualDiscs\E.raw  an ISO disc's sectors: its image is
//                                        also written there
// Each run records [LastRun] CommandLine, JobFile, ExitCode and Runs there.
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "common/standin.h"
#include "engine.h"

namespace {

constexpr wchar_t kWindowClass[] = L"KSCOREProgressWindow";
constexpr UINT kProgressMessage = WM_APP + 1;
constexpr UINT kDoneMessage = WM_APP + 2;
constexpr int kHeadingId = 101;
constexpr int kPhaseId = 102;
constexpr int kBarId = 103;

// State shared by the window (UI thread) and the work (worker thread). The
// worker never touches a window; it posts messages.
struct Shared : kscore::Reporter {
  HWND window = nullptr;
  std::atomic<bool> cancel{false};
  std::atomic<unsigned> permille{0};
  std::mutex lock;
  std::wstring phase;
  DWORD result = kscore::kSuccess;

  void Phase(const std::wstring& text) override {
    {
      std::lock_guard<std::mutex> guard(lock);
      phase = text;
    }
    Notify();
  }
  void Fraction(uint64_t done, uint64_t total) override {
    const unsigned value = total == 0 ? 1000u : static_cast<unsigned>(done * 1000 / total);
    if (value != permille.exchange(value)) Notify();
  }
  bool Cancelled() override { return cancel.load(); }
  void Notify() {
    if (window) ::PostMessageW(window, kProgressMessage, 0, 0);
  }
};

Shared* g_shared = nullptr;

LONG WINAPI EndOnCrash(EXCEPTION_POINTERS*) { return EXCEPTION_EXECUTE_HANDLER; }

// Ends the process the way a crash does, without a crash dialog.
[[noreturn]] void Crash() {
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  ::SetUnhandledExceptionFilter(EndOnCrash);
  ::RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  ::ExitProcess(EXCEPTION_ACCESS_VIOLATION);
}

DWORD Work(const std::wstring& ini, const kscore::Job& job, Shared& shared) {
  const DWORD delay = standin::IniNumber(ini, L"Test", L"DelayMs", 0);
  if (delay > 0) shared.Phase(L"Waiting for the drive");
  for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < delay;) {
    if (shared.Cancelled()) return kscore::kCancelled;
    ::Sleep(20);
  }
  if (standin::HasIniKey(ini, L"Test", L"FailOnce") && standin::IniNumber(ini, L"State", L"FailedOnce", 0) == 0) {
    standin::WriteIni(ini, L"State", L"FailedOnce", L"1");
    return standin::IniNumber(ini, L"Test", L"FailOnce", kscore::kWriteError);
  }
  if (standin::HasIniKey(ini, L"Test", L"ExitCode")) return standin::IniNumber(ini, L"Test", L"ExitCode", 0);
  return kscore::Burn(ini, job, shared);
}

void ShowProgress(HWND window) {
  std::wstring phase;
  {
    std::lock_guard<std::mutex> guard(g_shared->lock);
    phase = g_shared->phase;
  }
  ::SetDlgItemTextW(window, kPhaseId, phase.c_str());
  ::SendDlgItemMessageW(window, kBarId, PBM_SETPOS, g_shared->permille.load(), 0);
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kProgressMessage:
      ShowProgress(window);
      return 0;
    case kDoneMessage:
      ::DestroyWindow(window);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) {
        g_shared->cancel = true;
        ::EnableWindow(::GetDlgItem(window, IDCANCEL), FALSE);
        ::SetDlgItemTextW(window, kPhaseId, L"Cancelling...");
      }
      return 0;
    case WM_CLOSE:  // closing the window asks to cancel; it ends with the work
      ::SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return standin::AtEdge<LRESULT>(0, [&] { return HandleMessage(window, message, wParam, lParam); });
}

HWND CreateProgressWindow(HINSTANCE instance, const kscore::Job& job) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!::RegisterClassW(&windowClass)) return nullptr;

  const std::wstring caption = job.progressTitle.empty() ? L"KSCORE" : job.progressTitle;
  HWND window = ::CreateWindowExW(0, kWindowClass, caption.c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 440, 170, nullptr, nullptr, instance, nullptr);
  if (!window) return nullptr;
  HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  std::wstring heading = job.mainTitle;
  if (!job.discTitle.empty()) heading += (heading.empty() ? L"" : L" - ") + job.discTitle;
  struct Child {
    const wchar_t* cls;
    const wchar_t* text;
    DWORD style;
    int id, x, y, w, h;
  } children[] = {
      {L"STATIC", heading.c_str(), SS_LEFT, kHeadingId, 12, 10, 400, 18},
      {L"STATIC", L"", SS_LEFT | SS_PATHELLIPSIS, kPhaseId, 12, 32, 400, 18},
      {PROGRESS_CLASSW, L"", 0, kBarId, 12, 56, 400, 18},
      {L"BUTTON", L"Cancel", BS_PUSHBUTTON, IDCANCEL, 332, 86, 80, 24},
  };
  for (const Child& c : children) {
    HWND child = ::CreateWindowExW(0, c.cls, c.text, WS_CHILD | WS_VISIBLE | c.style, c.x, c.y, c.w, c.h, window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    if (child) ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  ::SendDlgItemMessageW(window, kBarId, PBM_SETRANGE32, 0, 1000);
  ::ShowWindow(window, SW_SHOWNORMAL);
  return window;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const std::wstring ini = standin::ModuleFolder(nullptr) + L"\\KSCORE.ini";
  if (!standin::FileExists(ini)) return kscore::kNotSetUp;

  const std::wstring commandLine = ::GetCommandLineW();
  const std::wstring jobPath = kscore::JobPathFromCommandLine(commandLine);
  standin::WriteIni(ini, L"LastRun", L"CommandLine", commandLine);
  standin::WriteIni(ini, L"LastRun", L"JobFile", jobPath);
  standin::WriteIni(ini, L"LastRun", L"Runs", std::to_wstring(standin::IniNumber(ini, L"LastRun", L"Runs", 0) + 1));
  standin::WriteIni(ini, L"LastRun", L"ExitCode", L"");
  if (standin::IniNumber(ini, L"Test", L"Crash", 0) != 0) Crash();

  kscore::Job job;
  DWORD result = jobPath.empty() ? static_cast<DWORD>(kscore::kBadCommandLine) : kscore::ReadJob(jobPath, job);
  if (result == kscore::kSuccess) {
    Shared shared;
    g_shared = &shared;
    shared.window = CreateProgressWindow(instance, job);
    if (shared.window) {
      std::thread worker([&] {
        // A failure inside the work counts as a failed write, never as an
        // exception that ends the engine without its exit code.
        shared.result = standin::AtEdge<DWORD>(kscore::kWriteError, [&] { return Work(ini, job, shared); });
        ::PostMessageW(shared.window, kDoneMessage, 0, 0);
      });
      MSG message;
      while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
      }
      worker.join();
    } else {
      shared.result = Work(ini, job, shared);  // no display: work without a window
    }
    result = shared.result;
    g_shared = nullptr;
  }
  standin::WriteIni(ini, L"LastRun", L"ExitCode", std::to_wstring(result));
  return static_cast<int>(result);
}
