#include "startup.h"

#include <objbase.h>
#include <process.h>
#include <shellapi.h>

#include <clocale>
#include <memory>
#include <optional>
#include <vector>

#include "app/core/paths.h"
#include "app/core/text.h"
#include "app/exec.h"
#include "app/guard.h"
#include "app/library_search.h"
#include "app/log.h"
#include "app/msgbox.h"
#include "app/settings.h"
#include "app/startup/running_app_activator.h"
#include "app/syshelpers.h"
#include "burn/brn_app_cnctor.h"
#include "config/act_ini.h"
#include "config/lang_ini.h"
#include "config/process_records.h"
#include "steps/chk_disc_dlg.h"
#include "steps/fnsh_dlg.h"
#include "steps/mk_disc_dlg.h"
#include "steps/slct_disc_set_dlg.h"
#include "ui/gdi.h"
#include "ui/main_dlg.h"
#include "ui/step_manager.h"

namespace tw {
const wchar_t* const kForeignMutexes[4] = {
    L"Global\\{97B3774D-C22B-49B1-BF0F-D50047694343}_Main",
    L"Global\\{97B3774D-C22B-49B1-BF0F-D50047694343}_BackupUI",
    L"Global\\{97B3774D-C22B-49B1-BF0F-D50047694343}_BackupCore",
    L"Global\\{62044498-820E-4D54-8D1F-1248FDAA3F1A}",
};
}  // namespace tw

namespace {

constexpr wchar_t kMain[] = L"wWinMain";
constexpr wchar_t kSwitch[] = L"/Tarn";
constexpr wchar_t kUnknownError[] = L"Unknown error occured.";
constexpr wchar_t kFileNotFound[] = L"Necessary file is not found.";

// Messages with language texts: caption "AppName", no owner.
void ShowLangMessage(const std::wstring& text, UINT icon) {
  tw::ShowMessageBox(nullptr, text, tw::Records().App.AppName, MB_OK | icon);
}

// The full path of a start or end program: as configured when that is a
// full path, else below the wizard's own folder, so that the program is
// never looked for along the system's search order. Empty when the path
// depends on the current drive or folder ("\x.exe", "C:x.exe"): such a
// program counts as missing.
std::wstring ConfiguredProgramPath(const std::wstring& filePath) {
  if (tw::IsFullyQualifiedPath(filePath)) return filePath;
  wchar_t folder[MAX_PATH + 1] = {};
  if (GetModuleFolderPath(::GetModuleHandleW(nullptr), folder) != 0) return std::wstring();
  return tw::ProgramPathFrom(filePath, folder).value_or(std::wstring());
}

// True when the configured program is an existing file; `path` receives
// its full path, and what is logged names that (or the configured text
// when there is none).
bool FindConfiguredProgram(const wchar_t* fn, uint32_t line, const std::wstring& filePath, std::wstring* path) {
  *path = ConfiguredProgramPath(filePath);
  if (!path->empty() && tw::IsExistingFile(*path)) return true;
  tw::Log(fn, line, path->empty() ? filePath : *path);
  return false;
}

// The start and end programs differ only in their section.
bool RunConfiguredProgram(const wchar_t* fn, const LangIni::ExcData& texts, const ActIni::ExcData& program) {
  const LangIni::GnrlMsgData& messages = tw::Records().Messages;
  if (program.FilePath.empty()) return true;
  std::wstring path;
  if (!FindConfiguredProgram(fn, __LINE__, program.FilePath, &path)) {
    ShowLangMessage(messages.Msg_FileLacked, MB_ICONERROR);
    return false;
  }
  uint32_t count = 0;
  std::vector<int32_t> codes;
  bool split = SplitNumberList(nullptr, program.SuccessExitCodeList.c_str(), &count);
  if (split) {
    // An empty list is no failure: the program runs, and no exit code
    // counts as success.
    codes.assign(count, 0);
    split = count == 0 || SplitNumberList(codes.data(), program.SuccessExitCodeList.c_str(), &count);
  }
  if (!split) {
    tw::Log(fn, __LINE__, program.SuccessExitCodeList);
    ShowLangMessage(messages.Msg_UnknownError, MB_ICONERROR);
    return false;
  }
  tw::ProcessInfo process;
  DWORD exitCode = 0;
  if (!ExecuteFile(path.c_str(), program.Parameter.c_str(), true, process.put(), &exitCode)) {
    tw::Log(fn, __LINE__, path);
    ShowLangMessage(messages.Msg_UnknownError, MB_ICONERROR);
    return false;
  }
  process.Close();
  for (int32_t code : codes) {
    if (static_cast<uint32_t>(code) == exitCode) return true;
  }
  tw::Log(fn, __LINE__, tw::Hex8With(exitCode, path));
  if (program.ShowErrorMessage != 0) ShowLangMessage(texts.Msg_Error, MB_ICONERROR);
  return false;
}

// The process's own command line holds at least one argument after the
// program name, and every one of them is the switch (in any case).
enum class CommandLine { kValid, kInvalid, kUnsplittable };
CommandLine CheckCommandLine(const wchar_t* commandLine) {
  int count = 0;
  struct ArgvFree {
    void operator()(LPWSTR* p) const { ::LocalFree(p); }
  };
  std::unique_ptr<LPWSTR, ArgvFree> args(::CommandLineToArgvW(commandLine ? commandLine : L"", &count));
  if (!args) return CommandLine::kUnsplittable;
  if (count < 2) return CommandLine::kInvalid;
  for (int i = 1; i < count; ++i) {
    if (!tw::EqualsNoCase(args.get()[i], kSwitch)) return CommandLine::kInvalid;
  }
  return CommandLine::kValid;
}

// The shell builds its list of drive icons the first time a process asks
// for one, a good part of the time before the first step can show its
// drives. A worker asks for the icons of the system drive and the optical
// drives while start-up goes on, so that they are ready (or nearly) when the
// first step needs them. The worker ends by itself.
void AskForDriveIcons() {
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  wchar_t windows[MAX_PATH + 1] = {};
  const DWORD drives = ::GetLogicalDrives();
  const wchar_t system = ::GetSystemWindowsDirectoryW(windows, MAX_PATH) > 0 ? windows[0] : L'C';
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    if (!(drives & (1u << (letter - L'A')))) continue;
    const std::wstring root = std::wstring(1, letter) + L":\\";
    if (letter != system && ::GetDriveTypeW(root.c_str()) != DRIVE_CDROM) continue;
    SHFILEINFOW info{};
    ::SHGetFileInfoW(root.c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
}

unsigned __stdcall WarmShellIcons(void*) {
  return TW_GUARDED(L"WarmShellIcons", 0u, [] {
    AskForDriveIcons();
    return 0u;
  });
}

void StartWarmingShellIcons() {
  tw::UniqueHandle worker(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, WarmShellIcons, nullptr, 0, nullptr)));
  // Not kept: the worker ends by itself, and nothing waits for it.
}

}  // namespace

int CMutexChecker::CheckMutex() {
  mutex_.reset(::CreateMutexW(nullptr, FALSE, kMutexName));
  const DWORD error = ::GetLastError();
  if (!mutex_) {
    TW_LOG(L"CMutexChecker::CheckMutex", tw::Hex8(error));
    return 2;
  }
  if (error == ERROR_ALREADY_EXISTS) {
    mutex_.reset();
    return 1;
  }
  return 0;
}

bool ChkExistanceOfMutex(const wchar_t* name) {
  constexpr wchar_t kFn[] = L"ChkExistanceOfMutex";
  tw::UniqueHandle mutex(::OpenMutexW(SYNCHRONIZE, FALSE, name));
  if (!mutex) {
    if (::GetLastError() == ERROR_FILE_NOT_FOUND) return true;
    TW_LOG(kFn, tw::Hex8With(::GetLastError(), name));
    ShowLangMessage(tw::Records().Messages.Msg_UnknownError, MB_ICONERROR);
    return false;
  }
  TW_LOG(kFn, L"");
  mutex.reset();
  CRunningAppActivator activator(::GetForegroundWindow());
  if (!activator.Activate()) ShowLangMessage(tw::Records().Messages.Msg_BackupAppLaunchedOnOther, MB_ICONINFORMATION);
  return false;
}

bool ChkExistanceOfNeedfulFile(const std::wstring& actIniPath) {
  constexpr wchar_t kFn[] = L"ChkExistanceOfNeedfulFile";
  const ActIni::ExcData programs[] = {ActIni::CIniMgr::GetExcAtStrtData(actIniPath),
                                      ActIni::CIniMgr::GetExcAtEndData(actIniPath)};
  for (const ActIni::ExcData& program : programs) {
    std::wstring path;
    if (!program.FilePath.empty() && !FindConfiguredProgram(kFn, __LINE__, program.FilePath, &path)) {
      ShowLangMessage(tw::Records().Messages.Msg_FileLacked, MB_ICONERROR);
      return false;
    }
  }
  std::wstring exclusion;
  if (!GetTargetFilePathInBkupApp(::GetModuleHandleW(nullptr), nullptr, L"TarnSet_Exclusion.ini", &exclusion)) {
    TW_LOG(kFn, L"TarnSet_Exclusion.ini");
    ShowLangMessage(tw::Records().Messages.Msg_FileLacked, MB_ICONERROR);
    return false;
  }
  return true;
}

bool ChkHideDrvOpened(const std::wstring& actIniPath) {
  if (ActIni::CIniMgr::GetExcAtStrtData(actIniPath).FilePath.empty()) return false;
  wchar_t letter = 0;
  if (!GetHideDrvLttr(&letter)) return false;
  const std::wstring root = std::wstring(1, letter) + L":\\";
  return ::GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool DoStartProcessing(const std::wstring& langIniPath, const std::wstring& actIniPath) {
  return RunConfiguredProgram(L"DoStartProcessing", LangIni::CIniMgr::GetExcAtStrtData(langIniPath),
                              ActIni::CIniMgr::GetExcAtStrtData(actIniPath));
}

bool DoEndProcessing(const std::wstring& langIniPath, const std::wstring& actIniPath) {
  return RunConfiguredProgram(L"DoEndProcessing", LangIni::CIniMgr::GetExcAtEndData(langIniPath),
                              ActIni::CIniMgr::GetExcAtEndData(actIniPath));
}

void LoadQLNCmnDlgDll_Dummy() {
  constexpr wchar_t kFn[] = L"LoadQLNCmnDlgDll_Dummy";
  std::wstring path;
  switch (FindCommonDialogLibrary(&path)) {
    case LibraryLookup::kNoInstallFolder:
      TW_LOG(kFn, L"");
      return;
    case LibraryLookup::kMissing:
      TW_LOG(kFn, path);
      return;
    case LibraryLookup::kFound:
      break;
  }
  // Loaded for the life of the process and never called from here.
  static HMODULE library = nullptr;
  library = tw::LoadLibraryByFullPath(path);
  if (!library) TW_LOG(kFn, tw::Hex8With(::GetLastError(), path));
}

namespace {

// Locale, the common dialog library and the screen's resolution: what
// start-up sets up before it decides anything.
void PrepareProcess() {
  _wsetlocale(LC_ALL, L".ACP");
  LoadQLNCmnDlgDll_Dummy();
  tw::WindowDc screen(nullptr);
  if (screen) {
    tw::Settings().LogPixelsX = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
    tw::Settings().LogPixelsY = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
  }
}

// Elevation and the switch; the exit code when start-up must stop.
std::optional<int> CheckElevationAndSwitch(const wchar_t* commandLine) {
  const bool elevated = Norvane::DeskKit::Common::IsWindowsVistaOrLater()
                            ? Norvane::DeskKit::Common::IsRunningAsAdministratorOnVistaOrLater()
                            : Norvane::DeskKit::Common::IsRunningAsAdministratorOnXP();
  if (!elevated) {
    TW_LOG(kMain, L"");
    return 2;
  }
  switch (CheckCommandLine(commandLine)) {
    case CommandLine::kUnsplittable:
      TW_LOG(kMain, tw::Hex8(::GetLastError()));
      tw::ShowMessageBox(nullptr, kUnknownError, tw::kFixedCaption, MB_OK | MB_ICONERROR);
      return 2;
    case CommandLine::kInvalid:
      TW_LOG(kMain, commandLine ? commandLine : L"");
      return 2;
    case CommandLine::kValid:
      break;
  }
  return std::nullopt;
}

// The three INI files, in the order looked up.
struct IniPaths {
  std::wstring act, lang, tarnSet;
};
bool FindIniFiles(IniPaths* paths) {
  std::wstring* const outs[3] = {&paths->act, &paths->lang, &paths->tarnSet};
  const wchar_t* const names[3] = {L"Tarnwright_Act.ini", L"Tarnwright_Lang.ini", L"TarnSet.ini"};
  for (int i = 0; i < 3; ++i) {
    if (!GetTargetFilePathInBkupApp(::GetModuleHandleW(nullptr), nullptr, names[i], outs[i])) {
      tw::ShowMessageBox(nullptr, kFileNotFound, tw::kFixedCaption, MB_OK | MB_ICONERROR);
      TW_LOG(kMain, names[i]);
      return false;
    }
  }
  return true;
}

// No other copy of the wizard and no program of the backup product family
// may run; `single` keeps the wizard's own mutex for the rest of the run.
bool NoOtherProgramRuns(CMutexChecker& single) {
  const LangIni::GnrlMsgData& messages = tw::Records().Messages;
  switch (single.CheckMutex()) {
    case 0:
      break;
    case 1: {
      TW_LOG(kMain, L"");
      CRunningAppActivator activator;
      if (!activator.Activate()) ShowLangMessage(messages.Msg_LaunchedOnOther, MB_ICONINFORMATION);
      return false;
    }
    default:
      TW_LOG(kMain, L"");
      ShowLangMessage(messages.Msg_UnknownError, MB_ICONERROR);
      return false;
  }
  for (const wchar_t* name : tw::kForeignMutexes) {
    if (!ChkExistanceOfMutex(name)) {
      TW_LOG(kMain, name);
      return false;
    }
  }
  return true;
}

// The main window with the wizard's own steps; its result as exit code.
int RunMainWindow(HINSTANCE instance, const IniPaths& paths) {
  CFuncMgr::SetStepProcedures({SlctDiscSetDlg::DlgProc, ChkDiscDlg::DlgProc, MkDiscDlg::DlgProc, FnshDlg::DlgProc});
  const MainDlgInitParam param{paths.act, paths.lang, paths.tarnSet};
  const INT_PTR result = MainDlg::Run(instance, param);
  if (result < 0 || result > 2) {
    // The main window could not be made at all (or ended with no result
    // of its own): an error, never a negative exit code.
    TW_LOG(kMain, tw::Hex8(static_cast<uint32_t>(result)));
    return 2;
  }
  return static_cast<int>(result);
}

int StartAndRun(HINSTANCE instance, const wchar_t* commandLine) {
  PrepareProcess();
  if (const std::optional<int> refused = CheckElevationAndSwitch(commandLine)) return *refused;
  StartWarmingShellIcons();
  IniPaths paths;
  if (!FindIniFiles(&paths)) return 2;
  tw::LoadProcessRecords(paths.lang, paths.act);
  const LangIni::GnrlMsgData& messages = tw::Records().Messages;

  CMutexChecker single;
  if (!NoOtherProgramRuns(single)) return 2;
  if (!ChkExistanceOfNeedfulFile(paths.act)) {
    TW_LOG(kMain, L"");
    return 2;
  }
  // Kept until the end, so that the engine library stays loaded.
  CBrnAppCnctor connector;
  if (!connector.IsReady) {
    ShowLangMessage(messages.Msg_BurnAppNotInstalled, MB_ICONERROR);
    TW_LOG(kMain, L"");
    return 2;
  }
  if (ChkHideDrvOpened(paths.act)) {
    TW_LOG(kMain, L"");
    ShowLangMessage(messages.Msg_HideDriveOpended, MB_ICONERROR);
    return 0;
  }
  if (!DoStartProcessing(paths.lang, paths.act)) {
    TW_LOG(kMain, L"");
    return 2;
  }
  const int result = RunMainWindow(instance, paths);
  if (!DoEndProcessing(paths.lang, paths.act)) {
    TW_LOG(kMain, L"");
    return 2;
  }
  return result;
}

}  // namespace

namespace tw {

int RunTarnwright(HINSTANCE instance, const wchar_t* commandLine) {
  // Whatever escapes start-up or the run (running out of memory, above
  // all) ends the program with 2 and one log entry, never unwinding into
  // the system's start-up code.
  return TW_GUARDED(kMain, 2, [&] {
    // Before anything else may load a library by name.
    RestrictLibrarySearch(kMain);
    return StartAndRun(instance, commandLine);
  });
}

}  // namespace tw
