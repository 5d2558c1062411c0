// tarnwalk.exe: walks the wizard through a whole disc set by itself, the way
// a person would, for the demo. It saves a screenshot of every step and of
// the attention, progress, disc check, failure and finish windows (a disc
// that the engine made but its read-back found bad is written again with
// Retry), and after each disc compares what the engine wrote with its
// source files.
//
//   tarnwalk.exe WIZARD.exe ENGINE_FOLDER OUT_FOLDER SET_NUMBER TYPE_TEXT
//
// SET_NUMBER counts the disc-set list from 1 (0: only a screenshot of the
// first step, then Back); TYPE_TEXT is the disc type as
// the wizard shows it ("DVD"). The engine folder holds KSCORE.ini and the
// list of what each drive's last disc holds. Screenshots go to OUT_FOLDER as
// 24-bit bitmaps, the disc listing to OUT_FOLDER\discs.txt. Exit code 0
// only when every disc was made and every file of it equals its source.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <cwchar>
#include <string>
#include <vector>

#include "app/core/text.h"
#include "app/handles.h"
#include "res/resource.h"
#include "testing/window_driver.h"
#include "testing/wizard_run.h"

namespace {

using twdrive::Step;

std::wstring g_out;
std::wstring g_listing;

// One line on standard output in UTF-8, whatever the console's code page.
void Say(const std::wstring& text) {
  const std::string utf8 = tw::ToUtf8(text + L"\n");
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

// Saves the window as "name.bmp" ("name-2.bmp" for a second one), so that
// the same walk always gives the same file names.
void Shot(HWND window, const std::wstring& name) {
  static std::vector<std::wstring> taken;
  std::wstring file = name;
  for (int n = 2; std::find(taken.begin(), taken.end(), file) != taken.end(); ++n) file = name + L"-" + std::to_wstring(n);
  taken.push_back(file);
  const std::wstring path = g_out + L"\\" + file + L".bmp";
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  twdrive::WaitUntil([] { return false; }, 150);  // let the other process paint
  if (!twdrive::CaptureWindow(window, path)) Say(L"could not save " + path);
}

std::string ReadAll(const std::wstring& path) {
  tw::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  std::string bytes;
  if (!file) return bytes;
  LARGE_INTEGER size{};
  ::GetFileSizeEx(file.get(), &size);
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() && !::ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)) bytes.clear();
  return bytes;
}

std::wstring Profile(const std::wstring& ini, const wchar_t* section, const wchar_t* key) {
  wchar_t value[512] = {};
  ::GetPrivateProfileStringW(section, key, L"", value, 512, ini.c_str());
  return value;
}

// Compares the drive's last disc with its sources: one listing line.
bool CheckDisc(const std::wstring& engineFolder, int number) {
  const std::wstring disc = Profile(engineFolder + L"\\KSCORE.ini", L"Drives", L"E");
  const std::wstring marker = disc + L"\\KSVDISC.TAG";
  const std::string list = ReadAll(engineFolder + L"\\Disc_E.lst");
  std::wstring text(list.size() / 2, L'\0');
  if (!text.empty()) std::memcpy(&text[0], list.data(), text.size() * 2);
  if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
  unsigned files = 0, equal = 0;
  unsigned long long bytes = 0;
  std::wstring different;
  for (size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
    const std::wstring line = text.substr(start, end - start);
    const size_t tab = line.find(L'\t');
    if (tab == std::wstring::npos) continue;
    const std::wstring target = line.substr(0, tab), source = line.substr(tab + 1);
    const std::string written = ReadAll(target), original = ReadAll(source);
    ++files;
    bytes += written.size();
    if (written == original && ::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
      ++equal;
    } else {
      different += L"\n    differs: " + target.substr(disc.size());
    }
  }
  wchar_t line[512];
  std::swprintf(line, 512, L"Disc %d \"%ls\" (volume %ls, %ls): %u files, %llu bytes, %ls", number,
                Profile(marker, L"Disc", L"Title").c_str(), Profile(marker, L"Disc", L"VolumeLabel").c_str(),
                Profile(marker, L"Disc", L"Type").c_str(), files, bytes,
                files > 0 && equal == files ? L"every file equal to its source" : L"NOT equal to its source");
  g_listing += line + different + L"\r\n";
  Say(line + different);
  return files > 0 && equal == files;
}

int Walk(const std::wstring& wizard, const std::wstring& engineFolder, int setNumber, const std::wstring& type) {
  twdrive::WizardRun run;
  if (!run.Start(wizard) || !run.WaitMain(30000) || !run.WaitStep(Step::kSelectDiscSet)) {
    Say(L"the wizard did not show its first step");
    return 1;
  }
  if (setNumber == 0) {  // the first step only
    Shot(run.Main(), L"select-disc-set");
    run.Back();
    return run.WaitExit(30000) == 0u ? 0 : 1;
  }
  const std::vector<std::wstring> sets = run.DiscSets();
  if (setNumber < 1 || static_cast<size_t>(setNumber) > sets.size() || !run.ChooseDiscSet(sets[setNumber - 1]) ||
      !run.ChooseDiscType(type)) {
    Say(L"the disc set or type could not be chosen");
    return 1;
  }
  Say(L"disc set \"" + sets[setNumber - 1] + L"\" on " + type + L": " + run.DiscCountText() + L" discs");
  Shot(run.Main(), L"select-disc-set");
  HWND step = run.StepDialog();
  run.Next();
  if (!(step = run.WaitStep(Step::kCheckDisc, step))) return Say(L"no check step"), 1;
  Shot(run.Main(), L"check-discs");
  run.Next();
  // The maker's attention about disc formatting, owned by the wizard.
  HWND attention = nullptr;
  twdrive::WaitUntil(
      [&] {
        for (HWND window : twdrive::TopWindows(run.ProcessId())) {
          if (window != run.Main() && ::GetDlgItem(window, IDOK) && !::GetDlgItem(window, 0xFFFF)) attention = window;
        }
        return attention != nullptr || run.CurrentStep() == Step::kMakeDisc;
      },
      20000);
  if (attention) {
    Shot(attention, L"attention");
    twdrive::PressItem(attention, IDOK);
  }
  int disc = 0;
  bool allGood = true;
  bool checkingShot = false;  // the disc check's window, once per walk
  for (;;) {
    HWND next = nullptr;
    twdrive::WaitUntil(
        [&] {
          HWND current = run.StepDialog();
          if (current != step && (run.CurrentStep() == Step::kMakeDisc || run.CurrentStep() == Step::kFinish)) {
            next = current;
          }
          return next != nullptr;
        },
        120000);
    if (!next) return Say(L"the wizard stopped between discs"), 1;
    step = next;
    if (disc > 0) allGood = CheckDisc(engineFolder, disc) && allGood;
    if (run.CurrentStep() == Step::kFinish) break;
    ++disc;
    Shot(run.Main(), L"make-disc-" + std::to_wstring(disc));
    run.Next();
    // The preparation's progress window, if it stays long enough to be seen,
    // then the engine's own window, the disc check's window (when it stays
    // long enough), or the making-failed message.
    bool engineShot = false, preparingShot = false;
    for (;;) {
      HWND progress = nullptr, engine = nullptr, checking = nullptr;
      std::optional<twdrive::MessageBoxInfo> failed;
      twdrive::WaitUntil(
          [&] {
            for (HWND window : twdrive::TopWindows(run.ProcessId())) {
              if (::GetDlgItem(window, IDC_VERIFY_BYTES)) {
                checking = window;
              } else if (::GetDlgItem(window, IDC_PROGRESS_BAR)) {
                progress = window;
              }
            }
            engine = twdrive::WaitTopWindow(0, L"KSCOREProgressWindow", L"", 0);
            failed = twdrive::WaitMessageBox(run.ProcessId(), 0, {run.Main(), checking});
            return (progress && !preparingShot) || (engine && !engineShot) || (checking && !checkingShot) || failed ||
                   run.StepDialog() != step;
          },
          120000);
      if (progress && !preparingShot) {
        preparingShot = true;
        Shot(progress, L"preparing-disc-" + std::to_wstring(disc));
        continue;
      }
      if (checking && !checkingShot) {
        // The first time it knows the time left (a duration "m:ss" in its
        // text), if it lives that long.
        if (twdrive::WaitUntil(
                [&] {
                  return ::IsWindow(checking) &&
                         twdrive::ItemText(checking, IDC_VERIFY_TIME).find(L':') != std::wstring::npos;
                },
                5000)) {
          Shot(checking, L"checking-disc");
          checkingShot = true;
        }
        while (::IsWindow(checking)) twdrive::WaitUntil([&] { return !::IsWindow(checking); }, 60000);
        continue;
      }
      if (engine && !engineShot) {
        engineShot = true;
        Shot(engine, L"engine-disc-" + std::to_wstring(disc));
        continue;
      }
      if (failed) {
        // After an engine run that ended with success, the message is the
        // read-back's: the disc does not hold what was written.
        const bool readBack = ::GetPrivateProfileIntW(L"LastRun", L"ExitCode", -1,
                                                      (engineFolder + L"\\KSCORE.ini").c_str()) == 0;
        Shot(failed->window, (readBack ? L"verify-failed-disc-" : L"failure-disc-") + std::to_wstring(disc));
        Say(L"disc " + std::to_wstring(disc) +
            (readBack ? L": the engine said success, the read-back did not: " : L" failed once: ") + failed->text +
            L" -> Retry");
        twdrive::Answer(*failed, IDRETRY);
        engineShot = false;
        continue;
      }
      break;
    }
  }
  Shot(run.Main(), L"finish");
  const std::wstring report = run.StepText(IDC_RESULT_LINES);
  Say(L"report:\n" + report);
  run.Next();
  const auto exit = run.WaitExit(30000);
  Say(L"the wizard ended with exit code " + (exit ? std::to_wstring(*exit) : std::wstring(L"(still running)")));
  return allGood && exit && *exit == 0 && disc > 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 6) {
    Say(L"usage: tarnwalk.exe WIZARD.exe ENGINE_FOLDER OUT_FOLDER SET_NUMBER TYPE_TEXT");
    return 2;
  }
  g_out = argv[3];
  ::CreateDirectoryW(g_out.c_str(), nullptr);
  const int result = Walk(argv[1], argv[2], std::wcstol(argv[4], nullptr, 10), argv[5]);
  tw::UniqueFile listing(
      ::CreateFileW((g_out + L"\\discs.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (listing) {
    const std::wstring text = std::wstring(1, L'\xFEFF') + g_listing;
    DWORD written = 0;
    ::WriteFile(listing.get(), text.data(), static_cast<DWORD>(text.size() * 2), &written, nullptr);
  }
  return result;
}
