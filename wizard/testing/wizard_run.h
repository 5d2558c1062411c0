// One run of the wizard's executable, driven from outside through its
// windows: start it, wait for its main window and steps, read what a step
// shows, choose and tick as a user does, press its buttons, and wait for
// its exit code. Used by the end-to-end tests and the demo walker.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/handles.h"
#include "testing/window_driver.h"

namespace twdrive {

enum class Step { kNone, kSelectDiscSet, kCheckDisc, kMakeDisc, kFinish };
const wchar_t* StepName(Step step);

class WizardRun {
 public:
  WizardRun() = default;
  ~WizardRun();  // ends a wizard that is still running
  WizardRun(const WizardRun&) = delete;
  WizardRun& operator=(const WizardRun&) = delete;

  // Starts the program in its own folder with the arguments.
  bool Start(const std::wstring& exePath, const std::wstring& arguments = L"/Tarn");
  DWORD ProcessId() const { return processId_; }
  bool Running() const;
  // The exit code once the program has ended within the time.
  std::optional<DWORD> WaitExit(DWORD timeoutMs = 30000);

  HWND WaitMain(DWORD timeoutMs = 20000);
  // Waits until the wizard waits for input with nothing left to do.
  bool WaitIdle(DWORD timeoutMs = 10000) const;
  // Waits until, besides, none of its windows has painting left to do and
  // the main window has answered a message sent to it: nothing that the
  // last change started is still under way (a paint holds device contexts
  // while it runs).
  bool WaitSettled(DWORD timeoutMs = 10000) const;
  // Waits until the wizard has handled every message posted to it so far
  // (the test build answers; the shipped program does not).
  bool Settle(DWORD timeoutMs = 10000) const;
  HWND Main() const { return main_; }
  HWND StepDialog() const;
  Step CurrentStep() const;
  // Waits for a step dialog other than `previous` of the kind wanted.
  HWND WaitStep(Step step, HWND previous = nullptr, DWORD timeoutMs = 20000);

  // Presses Next and waits for a new step dialog of that kind.
  HWND NextTo(Step step, DWORD timeoutMs = 20000);

  // The main window's buttons.
  void Next() const;
  void Back() const;
  void CloseButton() const;
  void MinimiseButton() const;
  HWND Button(int id) const;

  // First step.
  std::vector<std::wstring> DiscSets() const;
  bool ChooseDiscSet(const std::wstring& name) const;
  std::vector<std::wstring> DiscTypes() const;
  bool ChooseDiscType(const std::wstring& text) const;
  std::wstring DiscCountText() const;
  std::wstring DriveText() const;  // the chosen drive, combo or read-only box

  // Second step.
  std::vector<std::wstring> DiscTitles() const;
  std::vector<bool> Ticks() const;
  // A real click on the item's check box or text (`right` for the right
  // button); waits until the tick has changed when it should.
  bool ClickCheckBox(int item) const;
  bool ClickLabel(int item, bool right = false) const;

  // Make-disc and finish steps.
  std::wstring StepText(int id) const;

  std::optional<MessageBoxInfo> WaitMessageBox(DWORD timeoutMs = 20000) const;

  // What went wrong with the last choice that failed (for the test's message).
  const std::wstring& problem() const { return problem_; }

 private:
  mutable std::wstring problem_;
  tw::ProcessInfo process_;
  DWORD processId_ = 0;
  HWND main_ = nullptr;
};

}  // namespace twdrive
