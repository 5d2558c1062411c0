#include "wizard_run.h"

#include <commctrl.h>

#include "res/resource.h"
#include "testing/test_build.h"

namespace twdrive {
namespace {

std::vector<std::wstring> ComboTexts(HWND combo) {
  std::vector<std::wstring> texts;
  for (int i = 0; i < ComboCount(combo); ++i) texts.push_back(ComboText(combo, i));
  return texts;
}

}  // namespace

const wchar_t* StepName(Step step) {
  switch (step) {
    case Step::kSelectDiscSet:
      return L"select disc set";
    case Step::kCheckDisc:
      return L"check discs";
    case Step::kMakeDisc:
      return L"make disc";
    case Step::kFinish:
      return L"finish";
    default:
      return L"none";
  }
}

WizardRun::~WizardRun() {
  if (Running()) {
    ::TerminateProcess(process_.process(), 0xDEAD);
    ::WaitForSingleObject(process_.process(), 10000);
  }
}

bool WizardRun::Start(const std::wstring& exePath, const std::wstring& arguments) {
  const size_t slash = exePath.rfind(L'\\');
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : exePath.substr(0, slash);
  std::wstring commandLine = L"\"" + exePath + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!::CreateProcessW(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, process_.put())) {
    return false;
  }
  processId_ = process_.get().dwProcessId;
  main_ = nullptr;
  return true;
}

bool WizardRun::Running() const {
  return process_.process() && ::WaitForSingleObject(process_.process(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> WizardRun::WaitExit(DWORD timeoutMs) {
  if (!process_.process()) return std::nullopt;
  if (!WaitUntil([&] { return !Running(); }, timeoutMs)) return std::nullopt;
  DWORD code = 0;
  if (!::GetExitCodeProcess(process_.process(), &code)) return std::nullopt;
  return code;
}

HWND WizardRun::WaitMain(DWORD timeoutMs) {
  WaitUntil(
      [&] {
        for (HWND window : TopWindows(processId_)) {
          if (ClassOf(window) == L"#32770" && ::GetDlgItem(window, IDC_NEXT) && ::GetDlgItem(window, IDC_TITLE)) {
            main_ = window;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return main_;
}

bool WizardRun::WaitIdle(DWORD timeoutMs) const {
  return process_.process() && ::WaitForInputIdle(process_.process(), timeoutMs) == 0;
}

namespace {
BOOL CALLBACK FindPendingPaint(HWND window, LPARAM param) {
  if (!::GetUpdateRect(window, nullptr, FALSE)) return TRUE;
  *reinterpret_cast<bool*>(param) = true;
  return FALSE;
}
}  // namespace

bool WizardRun::WaitSettled(DWORD timeoutMs) const {
  if (!main_) return false;
  return WaitUntil(
      [&] {
        DWORD_PTR answer = 0;
        if (!WaitIdle(timeoutMs) ||
            !::SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &answer)) {
          return false;
        }
        bool pending = ::GetUpdateRect(main_, nullptr, FALSE) != FALSE;
        if (!pending) ::EnumChildWindows(main_, FindPendingPaint, reinterpret_cast<LPARAM>(&pending));
        return !pending;
      },
      timeoutMs);
}

bool WizardRun::Settle(DWORD timeoutMs) const {
  if (!main_) return false;
  tw::UniqueHandle settled(::CreateEventW(nullptr, TRUE, FALSE, twtest::SettleEventName(processId_).c_str()));
  if (!settled || !::PostMessageW(main_, ::RegisterWindowMessageW(twtest::kSettleMessage), 0, 0)) return false;
  return WaitUntil([&] { return ::WaitForSingleObject(settled.get(), 0) == WAIT_OBJECT_0; }, timeoutMs);
}

HWND WizardRun::StepDialog() const { return main_ ? ::FindWindowExW(main_, nullptr, L"#32770", nullptr) : nullptr; }

Step WizardRun::CurrentStep() const {
  HWND step = StepDialog();
  if (!step) return Step::kNone;
  if (::GetDlgItem(step, IDC_DISC_SET_LIST)) return Step::kSelectDiscSet;
  if (::GetDlgItem(step, IDC_DISC_LIST)) return Step::kCheckDisc;
  if (::GetDlgItem(step, IDC_RESULT_LINES)) return Step::kFinish;
  if (::GetDlgItem(step, IDC_STEP_DESCRIPTION)) return Step::kMakeDisc;
  return Step::kNone;
}

HWND WizardRun::WaitStep(Step step, HWND previous, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        HWND current = StepDialog();
        if (current && current != previous && ::IsWindowVisible(current) && CurrentStep() == step) found = current;
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

HWND WizardRun::NextTo(Step step, DWORD timeoutMs) {
  HWND current = StepDialog();
  Next();
  return WaitStep(step, current, timeoutMs);
}

HWND WizardRun::Button(int id) const { return ::GetDlgItem(main_, id); }
void WizardRun::Next() const { Press(Button(IDC_NEXT)); }
void WizardRun::Back() const { Press(Button(IDC_BACK)); }
void WizardRun::CloseButton() const { Press(Button(IDC_CLOSE_BUTTON)); }
void WizardRun::MinimiseButton() const { Press(Button(IDC_MINIMISE_BUTTON)); }

std::vector<std::wstring> WizardRun::DiscSets() const {
  RemoteList list(::GetDlgItem(StepDialog(), IDC_DISC_SET_LIST));
  std::vector<std::wstring> names;
  for (int i = 0; i < list.Count(); ++i) names.push_back(list.Text(i));
  return names;
}

bool WizardRun::ChooseDiscSet(const std::wstring& name) const {
  HWND listWindow = ::GetDlgItem(StepDialog(), IDC_DISC_SET_LIST);
  RemoteList list(listWindow);
  for (int i = 0; i < list.Count(); ++i) {
    if (list.Text(i) != name) continue;
    // A click that arrives while the wizard is still settling may miss:
    // click again, as a person would, until the set is chosen.
    for (int attempt = 0; attempt < 3; ++attempt) {
      const auto point = list.LabelPoint(i);
      if (!point) return false;
      ClickAt(*point);
      if (WaitUntil([&] { return (list.State(i, LVIS_SELECTED) & LVIS_SELECTED) != 0; }, 2000)) return true;
      HWND under = ::WindowFromPoint(*point);
      DWORD owner = 0;
      ::GetWindowThreadProcessId(under, &owner);
      problem_ = L"the click at " + std::to_wstring(point->x) + L"," + std::to_wstring(point->y) + L" met \"" +
                 ClassOf(under) + L"\" \"" + TextOf(::GetAncestor(under, GA_ROOT)) + L"\" of process " +
                 std::to_wstring(owner) + L" (the wizard is " + std::to_wstring(processId_) + L")";
    }
    return false;
  }
  return false;
}

std::vector<std::wstring> WizardRun::DiscTypes() const {
  return ComboTexts(::GetDlgItem(StepDialog(), IDC_DISC_TYPE_COMBO));
}

bool WizardRun::ChooseDiscType(const std::wstring& text) const {
  HWND combo = ::GetDlgItem(StepDialog(), IDC_DISC_TYPE_COMBO);
  const std::vector<std::wstring> texts = ComboTexts(combo);
  for (size_t i = 0; i < texts.size(); ++i) {
    if (texts[i] != text) continue;
    ChooseCombo(combo, static_cast<int>(i));
    return WaitUntil([&] { return ComboSelection(combo) == static_cast<int>(i); }, 5000);
  }
  return false;
}

std::wstring WizardRun::DiscCountText() const { return ItemText(StepDialog(), IDC_DISC_COUNT); }

std::wstring WizardRun::DriveText() const {
  HWND step = StepDialog();
  HWND combo = ::GetDlgItem(step, IDC_DRIVE_COMBO);
  if (::IsWindowVisible(combo)) return ComboText(combo, ComboSelection(combo));
  return ItemText(step, IDC_DRIVE_EDIT);
}

std::vector<std::wstring> WizardRun::DiscTitles() const {
  RemoteList list(::GetDlgItem(StepDialog(), IDC_DISC_LIST));
  std::vector<std::wstring> titles;
  for (int i = 0; i < list.Count(); ++i) titles.push_back(list.Text(i));
  return titles;
}

std::vector<bool> WizardRun::Ticks() const {
  RemoteList list(::GetDlgItem(StepDialog(), IDC_DISC_LIST));
  std::vector<bool> ticks;
  for (int i = 0; i < list.Count(); ++i) ticks.push_back(list.Checked(i));
  return ticks;
}

bool WizardRun::ClickCheckBox(int item) const {
  RemoteList list(::GetDlgItem(StepDialog(), IDC_DISC_LIST));
  const bool before = list.Checked(item);
  const auto point = list.CheckBoxPoint(item);
  if (!point) return false;
  ClickAt(*point);
  return WaitUntil([&] { return list.Checked(item) != before; }, 5000);
}

bool WizardRun::ClickLabel(int item, bool right) const {
  RemoteList list(::GetDlgItem(StepDialog(), IDC_DISC_LIST));
  const bool before = list.Checked(item);
  const auto point = list.LabelPoint(item);
  if (!point) return false;
  ClickAt(*point, right);
  return WaitUntil([&] { return list.Checked(item) != before; }, 5000);
}

std::wstring WizardRun::StepText(int id) const { return ItemText(StepDialog(), id); }

std::optional<MessageBoxInfo> WizardRun::WaitMessageBox(DWORD timeoutMs) const {
  return twdrive::WaitMessageBox(processId_, timeoutMs, {main_});
}

}  // namespace twdrive
