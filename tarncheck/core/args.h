// The command line of tarncheck.
#pragma once

#include <string>
#include <vector>

namespace tc {

struct Options {
  enum Mode { kCheck, kLog, kHelp, kBad } mode = kCheck;
  std::wstring folder;  // kCheck: the deployment folder ("" = the program's own)
  std::wstring since;   // kLog: normalized time, "" for the whole ring
  std::wstring error;   // kBad: what is wrong
};

// The arguments after the program name. Options start with "/" or "-" and
// are matched ignoring case: "/log", "/since:TIME" (with /log), "/?",
// "/help". At most one folder.
Options ParseArgs(const std::vector<std::wstring>& args);

// What "tarncheck /?" prints.
std::wstring UsageText();

}  // namespace tc
