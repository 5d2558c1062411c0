#include "args.h"

#include "app/core/text.h"
#include "core/log_table.h"

namespace tc {

Options ParseArgs(const std::vector<std::wstring>& args) {
  Options options;
  bool log = false;
  bool sinceGiven = false;
  auto bad = [&options](const std::wstring& error) {
    options.mode = Options::kBad;
    options.error = error;
    return options;
  };
  for (const std::wstring& arg : args) {
    const bool option = !arg.empty() && (arg[0] == L'/' || arg[0] == L'-');
    if (!option) {
      if (!options.folder.empty()) return bad(L"more than one folder given: \"" + arg + L"\"");
      options.folder = arg;
      continue;
    }
    const std::wstring name = arg.substr(1);
    if (name == L"?" || tw::EqualsNoCase(name, L"help")) {
      options.mode = Options::kHelp;
      return options;
    }
    if (tw::EqualsNoCase(name, L"log")) {
      log = true;
    } else if (tw::StartsWithNoCase(name, L"since:")) {
      if (!ParseLogTime(name.substr(6), &options.since)) {
        return bad(L"\"" + name.substr(6) + L"\" is no time of the form YYYY-MM-DD hh:mm:ss.mmm");
      }
      sinceGiven = true;
    } else {
      return bad(L"unknown option \"" + arg + L"\"");
    }
  }
  if (sinceGiven && !log) return bad(L"/since: goes with /log");
  if (log && !options.folder.empty()) return bad(L"/log takes no folder");
  options.mode = log ? Options::kLog : Options::kCheck;
  return options;
}

std::wstring UsageText() {
  return L"tarncheck: checks a Tarnwright deployment before the machine ships.\n"
         L"\n"
         L"  tarncheck [FOLDER]\n"
         L"      Checks the deployment in FOLDER (default: the folder of tarncheck.exe) as\n"
         L"      the wizard placed there would find it, and prints a report.\n"
         L"      Exit code 0: nothing stops or silently changes a run; 1: warnings only;\n"
         L"      2: something stops the wizard or drops a disc; 3: bad command line.\n"
         L"  tarncheck /log [/since:TIME]\n"
         L"      Prints the wizard's log ring from the oldest to the newest entry, or only\n"
         L"      the entries from TIME on (YYYY-MM-DD[ hh[:mm[:ss[.mmm]]]]).\n";
}

}  // namespace tc
