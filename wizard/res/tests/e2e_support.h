// The end-to-end runs' helpers: a deployment of the real wizard (the test
// build) and the walks through its steps that several tests share.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/log_reader.h"
#include "test_support.h"
#include "testing/access_walk.h"
#include "testing/deployment.h"
#include "testing/wizard_run.h"

namespace e2e {

using Deployment = twtest::WizardDeployment;

// Starts the wizard of a deployment and waits for its first step.
bool StartToFirstStep(const Deployment& deployment, twdrive::WizardRun& run);

// Walks a started wizard from the first step: chooses the set and type,
// unticks the titles in `skip`, and presses Next on every make-disc step
// until the finish step. False (with a reason) when a step does not come.
bool MakeDiscs(twdrive::WizardRun& run, const std::wstring& set, const std::wstring& type,
               const std::vector<std::wstring>& skip, std::string* why);

// From the first step: chooses the set and goes on to the make-disc step
// with every disc ticked; the make-disc step's dialog, or null.
HWND ToMakeDisc(twdrive::WizardRun& run, const std::wstring& set);

// The finish step's per-disc lines.
std::vector<std::wstring> ReportLines(const twdrive::WizardRun& run);

// Walks what a screen reader learns of the wizard's main window on the
// current step, prints it under the step's label, and fails the test for
// every focusable object without a name and for a mnemonic that two texts
// of the step share.
std::vector<twdrive::AccessibleEntry> WalkStep(const twdrive::WizardRun& run, const std::wstring& label);

// The COM apartment a test's accessibility walk needs, for its scope.
class ComApartment {
 public:
  ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT result_;
};

// The screen resolution the next processes see (HKCU "LogPixels"), put
// back as it was at the end.
class ScopedLogPixels {
 public:
  explicit ScopedLogPixels(DWORD dpi);
  ~ScopedLogPixels();
  ScopedLogPixels(const ScopedLogPixels&) = delete;
  ScopedLogPixels& operator=(const ScopedLogPixels&) = delete;

 private:
  bool had_ = false;
  DWORD previous_ = 0;
};

// One text of the wizard as the test build measured it in its control's
// font (see testing/test_build.h).
struct MeasuredText {
  int parentId = 0;  // 0: a control of the main window; 1: of the step dialog
  int id = 0;
  std::wstring className;
  RECT rect{};
  SIZE room{}, needed{};
  bool singleLine = true;
  std::wstring text;
};
// Measures every text of the window and its current step; empty when the
// test build did not answer.
std::vector<MeasuredText> MeasureTexts(const twdrive::WizardRun& run, const Deployment& deployment);
// What does not fit: texts larger than their room, controls that overlap
// one another or reach out of their window; one line each, named by
// `where`.
std::vector<std::string> FitProblems(const std::vector<MeasuredText>& texts, const std::string& where);

// Walks the wizard at the screen resolution `dpi` and measures every text
// on the way: "Drivers and Applications" (the longest set name) on DVD
// through every step to the success report, then to the failure report
// and to the abort report. The choices are made with keys and messages,
// not clicks: at a high resolution the window reaches past the screen.
// What does not fit, one line each (empty: everything fits).
std::vector<std::string> TextFitWalk(DWORD dpi);

// Functions that logged something since `watch` began, each once, sorted.
std::vector<std::wstring> LoggedFunctions(const tw::LogWatch& watch);

}  // namespace e2e
