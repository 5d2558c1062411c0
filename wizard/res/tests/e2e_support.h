// The end-to-end runs' helpers: a deployment of the real wizard (the test
// build) and the walks through its steps that several tests share.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/log_reader.h"
#include "test_support.h"
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

// Functions that logged something since `watch` began, each once, sorted.
std::vector<std::wstring> LoggedFunctions(const tw::LogWatch& watch);

}  // namespace e2e
