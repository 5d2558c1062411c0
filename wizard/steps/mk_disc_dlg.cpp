#include "mk_disc_dlg.h"

#include <memory>

#include "app/core/text.h"
#include "app/file_read.h"
#include "app/guard.h"
#include "app/handles.h"
#include "app/log.h"
#include "app/power.h"
#include "app/settings.h"
#include "app/syshelpers.h"
#include "burn/brn_app_cnctor.h"
#include "config/lang_ini.h"
#include "config/process_records.h"
#include "res/resource.h"
#include "steps/core/disc_info_text.h"
#include "steps/core/step_rules.h"
#include "steps/disc_verifier.h"
#include "steps/step_common.h"
#include "ui/autoplay_cancel.h"
#include "ui/core/wizard_tables.h"
#include "ui/dialog_designer.h"
#include "ui/mini_prgrss.h"
#include "ui/vrfy_prgrss.h"

using tw::steps::PostFatal;
using tw::steps::PostToMain;

namespace {

constexpr wchar_t kFn[] = L"MkDiscDlg::DlgProc";
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollPeriodMs = 1000;
constexpr DWORD kPollWaitMs = 100;

// The step's process-wide state: one make-disc dialog lives at a time.
struct MakeState {
  MkDiscDlgParam* context = nullptr;
  tw::ProcessInfo engine;  // zero while no engine runs
  std::wstring infoPath;
  std::wstring listPath;
  LangIni::MkDiscData texts;
  tw::power::KeepAwake awake;  // held while the engine runs
};
MakeState g_state;
std::unique_ptr<CDialogDesigner> g_designer;

const DiscEntry* CurrentEntry(const MkDiscDlgParam* c, uint32_t* index = nullptr) {
  if (!c || !c->CurrentDisc) return nullptr;
  const auto entry = tw::steps::CurrentEntryIndex(*c->CurrentDisc, c->DiscCount, c->DiscListIndex, c->DiscListCount);
  if (!entry || !c->DiscList) return nullptr;
  if (index) *index = *entry;
  return &c->DiscList[*entry];
}

void Finish(HWND dialog, int32_t result, int32_t exitCode) {
  MkDiscDlgParam* c = g_state.context;
  if (c && c->Result) *c->Result = result;
  if (c && c->ExitCode) *c->ExitCode = exitCode;
  PostToMain(dialog, tw::msg::kGoNext);
}

// The wizard steps aside from the task bar while the engine shows its own
// window, and comes back in front when it ends.
void StepAside(HWND mainWindow) {
  ::ShowWindow(mainWindow, SW_MINIMIZE);
  ::ShowWindow(mainWindow, SW_HIDE);
  LONG_PTR style = ::GetWindowLongPtrW(mainWindow, GWL_EXSTYLE);
  ::SetWindowLongPtrW(mainWindow, GWL_EXSTYLE, (style & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW);
  ::ShowWindow(mainWindow, SW_SHOW);
}

void ComeBack(HWND mainWindow) {
  ::ShowWindow(mainWindow, SW_HIDE);
  LONG_PTR style = ::GetWindowLongPtrW(mainWindow, GWL_EXSTYLE);
  ::SetWindowLongPtrW(mainWindow, GWL_EXSTYLE, (style & ~static_cast<LONG_PTR>(WS_EX_TOOLWINDOW)) | WS_EX_APPWINDOW);
  ::SetWindowPos(mainWindow, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
  ::ShowWindow(mainWindow, SW_RESTORE);
  Norvane::DeskKit::Common::ActivateTargetWindow(mainWindow);
}

// Starts the engine on the prepared files; on success the wizard steps
// aside and the polling starts.
bool StartEngine(HWND dialog) {
  CBrnAppCnctor connector;
  if (!connector.IsReady) {
    TW_LOG(kFn, L"");
    tw::steps::ShowAppMessage(dialog, tw::Records().Messages.Msg_BurnAppNotInstalled, MB_OK | MB_ICONERROR);
    Finish(dialog, tw::ui::kMakeFailed, 0);
    return false;
  }
  if (!connector.ExecuteBrnApp(g_state.infoPath, g_state.engine.put())) {
    TW_LOG(kFn, g_state.infoPath);
    Finish(dialog, tw::ui::kMakeFailed, 0);
    return false;
  }
  g_state.awake.Request();
  StepAside(::GetParent(dialog));
  ::SetTimer(dialog, kPollTimer, kPollPeriodMs, nullptr);
  return true;
}

void DeleteIfFile(const std::wstring& path) {
  if (!path.empty() && tw::IsExistingFile(path)) ::DeleteFileW(path.c_str());
}

bool CreateFlagFile(const std::wstring& flag) {
  if (!CreateParentFolders(flag)) return false;
  tw::UniqueFile file(::CreateFileW(flag.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

// What reading the disc back found, recorded for the finish report.
void RecordReadBack(const MkDiscDlgParam* c, tw::ui::ReadBack readBack) {
  if (!c || !c->ReadBacks || !c->CurrentDisc) return;
  if (c->ReadBacks->size() <= *c->CurrentDisc) c->ReadBacks->resize(*c->CurrentDisc + 1, tw::ui::ReadBack::kNotRead);
  (*c->ReadBacks)[*c->CurrentDisc] = readBack;
}

// One read-back of the disc, run by the counting progress window's worker.
struct ReadBackRun {
  wchar_t driveLetter = 0;
  std::wstring listPath;
  tw::verify::Result result;
};

class WindowProgress : public tw::verify::Progress {
 public:
  explicit WindowProgress(VrfyPrgrss::Reporter& reporter) : reporter_(reporter) {}
  void Total(uint64_t bytes) override { reporter_.Total(bytes); }
  void Advance(uint64_t bytes) override { reporter_.Advance(bytes); }
  bool Cancelled() const override { return reporter_.Cancelled(); }

 private:
  VrfyPrgrss::Reporter& reporter_;
};

int32_t ReadBackWork(uintptr_t argument, VrfyPrgrss::Reporter& reporter) {
  auto* run = reinterpret_cast<ReadBackRun*>(argument);
  WindowProgress progress(reporter);
  run->result = tw::verify::VerifyDisc(run->driveLetter, run->listPath, progress);
  return 1;
}

// Reads the disc in the chosen drive back against its burn file list, in
// the counting progress window; the computer stays awake meanwhile.
tw::verify::Result ReadDiscBack(HWND dialog, const DiscEntry& entry) {
  MakeState& s = g_state;
  ReadBackRun run;
  run.driveLetter = s.context->OddLetter;
  run.listPath = s.listPath;
  VrfyPrgrss::Param param;
  param.texts = {s.texts.VerifyCaption,  tw::ReplaceAll(s.texts.VerifyHeading, L"%DiscName%", entry.Title),
                 s.texts.VerifyBytes,    s.texts.VerifyTimeLeft,
                 s.texts.VerifyTimeUnknown, s.texts.VerifyCancel};
  param.Function = ReadBackWork;
  param.Argument = reinterpret_cast<uintptr_t>(&run);
  s.awake.Request();
  const INT_PTR ran = VrfyPrgrss::Run(::GetModuleHandleW(nullptr), ::GetParent(dialog), &param);
  s.awake.Release();
  if (ran != 1) {
    // The window or its worker could not run: nothing was read.
    run.result = tw::verify::Result{};
    run.result.outcome = tw::verify::Outcome::kReadError;
    run.result.path = s.listPath;
    run.result.error = static_cast<uint32_t>(ran);
  }
  return run.result;
}

// The engine has made the disc. Where the settings ask for it the disc is
// read back first, and only a disc that counts as made gets its marker. A
// disc that differs is written again on Retry (the same two files); a drive
// that shows no disc is read again once the user has put it back.
void OnDiscWritten(HWND dialog, DWORD exitCode) {
  MakeState& s = g_state;
  const DiscEntry* entry = CurrentEntry(s.context);
  tw::ui::ReadBack readBack = tw::ui::ReadBack::kNotRead;
  while (tw::Settings().VerifyDisc && entry) {
    const tw::verify::Result r = ReadDiscBack(dialog, *entry);
    if (r.outcome == tw::verify::Outcome::kVerified) {
      readBack = tw::ui::ReadBack::kVerified;
      break;
    }
    TW_LOG(kFn, tw::verify::LogText(r));
    if (r.outcome == tw::verify::Outcome::kNotVerifiable) break;  // counts as the engine said
    const bool noDisc = tw::verify::AsksForTheDisc(r.outcome);
    const std::wstring text =
        tw::ReplaceAll(noDisc ? s.texts.Msg_VerifyNoDisc : s.texts.Msg_VerifyFailed, L"%DiscName%", entry->Title);
    if (tw::steps::ShowAppMessage(dialog, text, MB_RETRYCANCEL | (noDisc ? MB_ICONWARNING : MB_ICONERROR)) ==
        IDRETRY) {
      if (noDisc) continue;  // read the disc again
      StartEngine(dialog);   // write it again, with the same two files
      return;
    }
    RecordReadBack(s.context, tw::ui::ReadBack::kFailed);
    Finish(dialog, tw::ui::kMakeFailed, 0);
    return;
  }
  DeleteIfFile(s.infoPath);
  DeleteIfFile(s.listPath);
  RecordReadBack(s.context, readBack);
  if (entry && !entry->Flag.empty() && !CreateFlagFile(entry->Flag)) {
    TW_LOG(kFn, entry->Flag);
    Finish(dialog, tw::ui::kMakeFailed, static_cast<int32_t>(exitCode));
    return;
  }
  ++*s.context->CurrentDisc;
  Finish(dialog, tw::ui::kMakeSucceeded, 0);
}

void OnEngineEnded(HWND dialog, bool waitFailed) {
  MakeState& s = g_state;
  ComeBack(::GetParent(dialog));
  DWORD exitCode = 0;
  bool haveExitCode = false;
  if (!waitFailed) {
    haveExitCode = ::GetExitCodeProcess(s.engine.process(), &exitCode) != FALSE;
    if (!haveExitCode) TW_LOG(kFn, tw::Hex8(::GetLastError()));
  }
  s.engine.Close();
  s.awake.Release();
  const DiscEntry* entry = CurrentEntry(s.context);
  switch (tw::steps::JudgeEngineEnd(waitFailed, haveExitCode, exitCode)) {
    case tw::steps::EngineOutcome::kSuccess:
      OnDiscWritten(dialog, exitCode);
      return;
    case tw::steps::EngineOutcome::kAbort:
      DeleteIfFile(s.infoPath);
      DeleteIfFile(s.listPath);
      Finish(dialog, tw::ui::kMakeAborted, 0);
      return;
    case tw::steps::EngineOutcome::kFailure:
      break;
  }
  TW_LOG(kFn, tw::Hex8With(exitCode, s.infoPath));
  const std::wstring text =
      tw::ReplaceAll(s.texts.Msg_MakingDiscFailed, L"%DiscName%", entry ? entry->Title : std::wstring());
  if (tw::steps::ShowAppMessage(dialog, text, MB_RETRYCANCEL | MB_ICONERROR) == IDRETRY) {
    StartEngine(dialog);  // the same two files
    return;
  }
  Finish(dialog, tw::ui::kMakeFailed, haveExitCode ? static_cast<int32_t>(exitCode) : 0);
}

void OnTimer(HWND dialog) {
  ::KillTimer(dialog, kPollTimer);
  if (!g_state.context) return;
  const DWORD wait = ::WaitForSingleObject(g_state.engine.process(), kPollWaitMs);
  if (wait == WAIT_TIMEOUT) {
    ::SetTimer(dialog, kPollTimer, kPollPeriodMs, nullptr);
    return;
  }
  const bool waitFailed = wait != WAIT_OBJECT_0;
  if (waitFailed) TW_LOG(kFn, tw::Hex8(::GetLastError()));
  OnEngineEnded(dialog, waitFailed);
}

void OnNext(HWND dialog) {
  MakeState& s = g_state;
  if (s.engine.process()) {
    // The engine is already making this disc: one run at a time.
    TW_LOG(kFn, L"");
    return;
  }
  for (;;) {
    SYSTEM_POWER_STATUS power{};
    if (tw::power::GetStatus(&power) && power.ACLineStatus == 1) break;
    if (tw::steps::ShowAppMessage(dialog, tw::Records().Messages.Msg_ConnectAcPower, MB_OKCANCEL | MB_ICONWARNING) !=
        IDOK) {
      return;  // stays waiting for Next
    }
  }
  if (!s.context) {
    TW_LOG(kFn, L"");
    PostFatal(dialog, tw::msg::FatalCode::kUnknown);
    return;
  }
  s.infoPath.clear();
  s.listPath.clear();
  void* block[3] = {s.context, &s.infoPath, &s.listPath};
  MiniPrgrssParam progress{MkDiscDlg::PrepareOfBrningDiscCapsulated, reinterpret_cast<uintptr_t>(block)};
  const INT_PTR prepared = MiniPrgrss::Run(::GetModuleHandleW(nullptr), ::GetParent(dialog), &progress);
  if (prepared != 1) {
    TW_LOG(kFn, tw::Hex8(static_cast<uint32_t>(prepared)));
    Finish(dialog, tw::ui::kMakeFailed, 0);
    return;
  }
  s.engine.Close();
  StartEngine(dialog);
}

BOOL OnInitDialog(HWND dialog, MkDiscDlgParam* context) {
  MakeState& s = g_state;
  s.context = context;
  if (!context) {
    TW_LOG(kFn, L"");
    PostFatal(dialog, tw::msg::FatalCode::kUnknown);
    return TRUE;
  }
  CQLNAutoPlayCancel::Register(::GetCurrentThreadId());
  s.engine.Close();
  s.texts = LangIni::CIniMgr::GetMkDiscData(context->LangIniPath);
  tw::steps::SetFont(dialog, IDC_STEP_DESCRIPTION, g_designer->Font(3));
  const uint32_t current = context->CurrentDisc ? *context->CurrentDisc : 0xFFFFFFFFu;
  if (!CurrentEntry(context)) {
    const uint32_t index = current < context->DiscCount && context->DiscListIndex
                               ? static_cast<uint32_t>(context->DiscListIndex[current])
                               : 0xFFFFFFFFu;
    TW_LOG(kFn, tw::Hex8Pair(context->DiscCount, current));
    TW_LOG(kFn, tw::Hex8Pair(context->DiscListCount, index));
    PostFatal(dialog, tw::msg::FatalCode::kUnknown);
    return TRUE;
  }
  if (!MkDiscDlg::ShowDescriptionOfBrningDisc(dialog)) {
    TW_LOG(kFn, L"");
    PostFatal(dialog, tw::msg::FatalCode::kUnknown);
  }
  return TRUE;
}

INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!g_designer) g_designer = std::make_unique<CDialogDesigner>();
  INT_PTR common = FALSE;
  if (tw::steps::HandleCommonMessage(dialog, message, wParam, *g_designer, &common)) return common;
  MakeState& s = g_state;
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog, reinterpret_cast<MkDiscDlgParam*>(lParam));
    case tw::msg::kNextPressed:
      OnNext(dialog);
      return TRUE;
    case tw::msg::kBackPressed:
      if (s.engine.process()) {
        TW_LOG(kFn, L"");  // not while the engine is making the disc
        return TRUE;
      }
      if (s.context && s.context->Result) *s.context->Result = tw::ui::kMakeAborted;
      PostToMain(dialog, tw::msg::kGoBack);
      return TRUE;
    case WM_TIMER:
      if (wParam != kPollTimer) return FALSE;
      OnTimer(dialog);
      return TRUE;
    case WM_DESTROY:
      s.context = nullptr;
      s.infoPath.clear();
      s.listPath.clear();
      s.awake.Release();
      CQLNAutoPlayCancel::Unregister(::GetCurrentThreadId());
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR CALLBACK MkDiscDlg::DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return TW_GUARDED(kFn, INT_PTR{FALSE}, [&] { return Handle(dialog, message, wParam, lParam); });
}

bool MkDiscDlg::ShowDescriptionOfBrningDisc(HWND dialog) {
  constexpr wchar_t kOp[] = L"MkDiscDlg::ShowDescriptionOfBrningDisc";
  const DiscEntry* entry = CurrentEntry(g_state.context);
  if (!entry) {
    TW_LOG(kOp, L"");
    return false;
  }
  const std::wstring& path = entry->Message;
  const tw::FileBytes file = tw::ReadWholeFile(path, tw::steps::kMaxDescriptionBytes);
  if (!file.ok() || file.bytes.empty()) {
    // An empty or oversized file is logged with its size, a failed open or
    // read with the system's error.
    const bool bySize = file.ok() || file.status == tw::FileReadStatus::kTooLarge ||
                        file.status == tw::FileReadStatus::kNoMemory;
    TW_LOG(kOp, tw::Hex8With(bySize ? static_cast<uint32_t>(file.size) : file.error, path));
    return false;
  }
  const auto text = tw::steps::DescriptionText(file.bytes, entry->Title);
  if (!text) {
    TW_LOG(kOp, path);
    return false;
  }
  ::SetDlgItemTextW(dialog, IDC_STEP_DESCRIPTION, text->c_str());
  return true;
}

int32_t MkDiscDlg::PrepareOfBrningDiscCapsulated(uintptr_t block) {
  auto** pointers = reinterpret_cast<void**>(block);
  if (!pointers) {
    TW_LOG(L"MkDiscDlg::PrepareOfBrningDiscCapsulated", L"");
    return 0;
  }
  return PrepareOfBrningDisc(static_cast<const MkDiscDlgParam*>(pointers[0]), static_cast<std::wstring*>(pointers[1]),
                             static_cast<std::wstring*>(pointers[2]))
             ? 1
             : 0;
}

bool MkDiscDlg::PrepareOfBrningDisc(const MkDiscDlgParam* context, std::wstring* infoPath, std::wstring* listPath) {
  constexpr wchar_t kOp[] = L"MkDiscDlg::PrepareOfBrningDisc";
  uint32_t entryIndex = 0;
  const DiscEntry* entry = CurrentEntry(context, &entryIndex);
  if (!context || !infoPath || !listPath || !entry) {
    TW_LOG(kOp, L"");
    return false;
  }
  wchar_t folder[MAX_PATH] = {};
  const DWORD length = ::GetTempPathW(MAX_PATH, folder);
  if (length == 0 || length >= MAX_PATH) {
    TW_LOG(kOp, tw::Hex8(::GetLastError()));
    return false;
  }
  for (std::wstring* path : {infoPath, listPath}) {
    wchar_t name[MAX_PATH] = {};
    if (!::GetTempFileNameW(folder, L"TWR", 0, name)) {
      TW_LOG(kOp, tw::Hex8(::GetLastError()));
      return false;
    }
    *path = name;
  }
  const std::wstring root = tw::DriveRootOf(context->OddLetter);
  if (!CreateDiscInfoFile(*infoPath, root, context->DiscType, *listPath, *entry)) {
    TW_LOG(kOp, tw::Hex8With(entryIndex, *infoPath));
    return false;
  }
  if (!CreateBrnFileListFile(*listPath, context->DiscType, context->ActIniPath, *entry)) {
    TW_LOG(kOp, tw::Hex8With(entryIndex, *listPath));
    return false;
  }
  return true;
}

bool CreateParentFolders(const std::wstring& filePath) {
  for (const std::wstring& folder : tw::steps::ParentFolders(filePath)) {
    if (!::CreateDirectoryW(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
      TW_LOG(L"CreateParentFolders", tw::Hex8With(::GetLastError(), folder));
      return false;
    }
  }
  return true;
}
