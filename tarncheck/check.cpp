#include "check.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "app/core/number_list.h"
#include "app/core/text.h"
#include "app/file_read.h"
#include "app/format.h"
#include "app/handles.h"
#include "app/settings.h"
#include "app/syshelpers.h"
#include "burn/brn_app_cnctor.h"
#include "config/act_ini.h"
#include "config/exclusion_list.h"
#include "config/lang_ini.h"
#include "config/rcv_data.h"
#include "config/tarnset.h"
#include "core/geometry.h"
#include "core/ini_scan.h"
#include "core/key_tables.h"
#include "core/lang_checks.h"
#include "core/lint.h"
#include "core/pe_image.h"
#include "core/program_paths.h"
#include "core/wording.h"
#include "measure.h"
#include "places.h"
#include "steps/chk_disc_dlg.h"
#include "steps/core/burn_list_text.h"
#include "steps/core/step_rules.h"
#include "steps/mk_disc_dlg.h"
#include "steps/slct_disc_set_dlg.h"

namespace tc {
namespace {

constexpr wchar_t kActName[] = L"Tarnwright_Act.ini";
constexpr wchar_t kLangName[] = L"Tarnwright_Lang.ini";
constexpr wchar_t kSetName[] = L"TarnSet.ini";
constexpr wchar_t kExclusionName[] = L"TarnSet_Exclusion.ini";
constexpr wchar_t kLanguageIniName[] = L"Language.ini";
constexpr wchar_t kHelpIniName[] = L"Help.ini";
constexpr wchar_t kDialogLibraryName[] = L"QLNCmnDlg.dll";
// The machine of the libraries the wizard can load: its own.
#ifdef _WIN64
constexpr uint16_t kWizardMachine = kMachineAmd64;
#else
constexpr uint16_t kWizardMachine = kMachineI386;
#endif

std::wstring Q(const std::wstring& text) { return L"\"" + text + L"\""; }

// Deployment files are small; anything larger than this is not read.
constexpr uint64_t kMaxFileBytes = 64ull << 20;

std::string ReadFileBytes(const std::wstring& path) { return tw::ReadWholeFile(path, kMaxFileBytes).bytes; }

std::wstring FromAnsi(const std::string& bytes) {
  if (bytes.empty()) return L"";
  const int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);
  return text;
}

IniText ReadIni(const std::wstring& path) { return ScanIni(DecodeIniBytes(ReadFileBytes(path), FromAnsi)); }

// A file's size without a log entry when it cannot be read (0 then).
uint64_t SizeOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::wstring FileName(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

void AddFindings(Report& report, const std::wstring& file, const std::vector<Finding>& findings, int level = 1) {
  for (const Finding& f : findings) report.Add(f.severity, Where(file, f) + f.text, level);
}

// The wizard's load of a maker's library and its bind of `exportName`,
// judged from the file's bytes; each problem ends with what the wizard then
// does (`whenUnloadable` or `whenUnbound`). True when both will work.
bool CheckLibraryFile(const std::wstring& name, const std::wstring& path, const char* exportName,
                      const std::wstring& whenUnloadable, const std::wstring& whenUnbound, Report& report) {
  const tw::FileBytes file = tw::ReadWholeFile(path, kMaxFileBytes);
  if (!file.ok()) {
    report.Add(Severity::Warning, name + L" (" + path + L") cannot be read to check what it is (" +
                                      (file.status == tw::FileReadStatus::kTooLarge
                                           ? L"larger than " + tw::Dec(kMaxFileBytes >> 20) + L" MiB"
                                           : L"error " + tw::Dec(file.error)) +
                                      L")");
    return false;
  }
  const PeImage image = ReadPeImage(file.bytes);
  const std::wstring wanted(exportName, exportName + std::char_traits<char>::length(exportName));
  const std::vector<std::wstring> problems = JudgeWizardLibrary(image, kWizardMachine, exportName);
  if (problems.empty()) {
    report.Line(name + L" is a " + MachineName(image.machine) + L" DLL and exports " + wanted);
    return true;
  }
  const bool loads = image.readable && image.machine == kWizardMachine && image.IsDll();
  for (const std::wstring& problem : problems) {
    report.Add(Severity::Error, name + L" (" + path + L") " + problem + L": " + (loads ? whenUnbound : whenUnloadable));
  }
  return false;
}

std::wstring InstallFolder() {
  std::wstring install;
  if (!GetBkupAppInstFolderPath(&install)) return L"";
  return tw::WithoutTrailingBackslash(install);
}

// ---------------------------------------------------------------- the files

struct Files {
  std::wstring folder;   // the deployment
  std::wstring install;  // the backup product's install folder ("" when none)
  std::wstring act, lang, set, exclusion, help, languageIni, dialogLibrary;
};

std::wstring HowFound(const Files& files, const std::wstring& path) {
  if (FolderOf(path) == files.folder) return L"beside the program";
  if (!files.folder.empty() && tw::StartsWithNoCase(path, files.folder + L"\\")) {
    return L"in the language folder " + FileName(FolderOf(path)) + L" (through Language.ini)";
  }
  return L"through the backup product's install folder";
}

void CheckFiles(Files& files, Report& report) {
  report.Heading(L"Files the wizard looks for");
  struct Needed {
    const wchar_t* name;
    std::wstring* path;
    const wchar_t* whenMissing;
  } needed[] = {
      {kActName, &files.act, L"the wizard stops at start (\"Necessary file is not found.\")"},
      {kLangName, &files.lang, L"the wizard stops at start (\"Necessary file is not found.\")"},
      {kSetName, &files.set, L"the wizard stops at start (\"Necessary file is not found.\")"},
      {kExclusionName, &files.exclusion, L"the wizard stops at start (Msg_FileLacked)"},
  };
  for (const Needed& n : needed) {
    if (GetTargetFilePathInProgramFolder(files.folder, nullptr, n.name, n.path)) {
      report.Line(std::wstring(n.name) + L": " + *n.path + L" (" + HowFound(files, *n.path) + L")");
    } else {
      n.path->clear();
      report.Add(Severity::Error, std::wstring(n.name) + L" is not found: " + n.whenMissing);
    }
  }
  for (const std::wstring& base : {files.folder, files.install}) {
    if (!base.empty() && files.help.empty() && tw::IsExistingFile(tw::JoinPath(base, kHelpIniName))) {
      files.help = tw::JoinPath(base, kHelpIniName);
    }
    if (!base.empty() && files.languageIni.empty() && tw::IsExistingFile(tw::JoinPath(base, kLanguageIniName))) {
      files.languageIni = tw::JoinPath(base, kLanguageIniName);
    }
  }
  if (!files.help.empty()) {
    report.Line(std::wstring(kHelpIniName) + L": " + files.help);
  } else {
    report.Add(Severity::Warning, L"Help.ini is not found: the wizard hides the help button on every step");
  }
  if (!files.languageIni.empty()) report.Line(std::wstring(kLanguageIniName) + L": " + files.languageIni);
  const std::wstring besideLibrary = tw::JoinPath(files.folder, kDialogLibraryName);
  const std::wstring commonLibrary =
      files.install.empty() ? std::wstring() : files.install + L"\\Common\\" + kDialogLibraryName;
  if (tw::IsExistingFile(besideLibrary)) {
    files.dialogLibrary = besideLibrary;
  } else if (!commonLibrary.empty() && tw::IsExistingFile(commonLibrary)) {
    files.dialogLibrary = commonLibrary;
  }
  if (!files.dialogLibrary.empty()) {
    report.Line(std::wstring(kDialogLibraryName) + L": " + files.dialogLibrary);
    const wchar_t* ends = L"the wizard ends when Next is pressed on the check-disc step";
    CheckLibraryFile(kDialogLibraryName, files.dialogLibrary, ChkDiscDlg::kAttentionExportName, ends, ends, report);
  } else {
    report.Add(Severity::Error, std::wstring(kDialogLibraryName) +
                                    L" is neither beside the program nor in the backup product's Common folder: "
                                    L"the wizard ends when Next is pressed on the check-disc step");
  }
  if (!tw::IsExistingFile(tw::JoinPath(files.folder, L"Tarnwright.exe"))) {
    report.Add(Severity::Note, L"Tarnwright.exe is not in " + files.folder + L" (the check assumes it will be)");
  }
  report.Line(L"user interface language of this user: " + tw::Fmt(L"0x%04x", ::GetUserDefaultUILanguage()));
}

// ---------------------------------------------------------------- action settings

std::wstring CodesText(const std::vector<int32_t>& codes) {
  std::wstring text;
  for (size_t i = 0; i < codes.size(); ++i) text += (i == 0 ? L"" : L", ") + tw::DecSigned(codes[i]);
  return text;
}

// A start or end program in the system folder: the 32-bit wizard asks for
// it there and is given the folder for 32-bit system files instead.
void CheckSystemFolderProgram(const std::wstring& name, const std::wstring& path, Report& report) {
  wchar_t system[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemDirectoryW(system, MAX_PATH + 1);
  if (!IsUnderSystemFolder(path, length > 0 && length <= MAX_PATH ? system : L"")) return;
  std::wstring text = name + L": " + path +
                      L" lies in the Windows system folder (System32). On 64-bit Windows the 32-bit wizard is "
                      L"redirected to the folder for 32-bit system files (SysWOW64) there: it checks for and starts "
                      L"the program of that name in SysWOW64, never a 64-bit one in System32";
  wchar_t wow64[MAX_PATH + 1] = {};
  const UINT wowLength = ::GetSystemWow64DirectoryW(wow64, MAX_PATH + 1);
  const std::wstring normalized = NormalizedPath(path);
  if (wowLength > 0 && wowLength <= MAX_PATH && tw::StartsWithNoCase(normalized, std::wstring(system) + L"\\")) {
    const std::wstring redirected = std::wstring(wow64) + normalized.substr(length);
    text += L" (on this machine " + redirected + (tw::IsExistingFile(redirected) ? L", which exists)" : L", which does not exist)");
  }
  report.Add(Severity::Warning, text + L". Put the program in a folder of its own, or name the 64-bit one as "
                                       L"C:\\Windows\\Sysnative\\...",
             2);
}

void CheckProgram(const wchar_t* section, const ActIni::ExcData& program, bool atStart, Report& report) {
  const std::wstring name = std::wstring(atStart ? L"start" : L"end") + L" program [" + section + L"]";
  if (program.FilePath.empty()) {
    report.Line(name + L": none");
    return;
  }
  const bool relative = program.FilePath.size() < 3 || program.FilePath[1] != L':';
  const bool exists = tw::IsExistingFile(program.FilePath);
  report.Line(name + L": " + Q(program.FilePath) + L" " + program.Parameter + (exists ? L"" : L" (missing)"));
  if (!exists) {
    report.Add(Severity::Error, name + L": " + program.FilePath +
                                    L" does not exist: the wizard stops at start (Msg_FileLacked)",
               2);
  } else if (relative && !tw::StartsWithNoCase(program.FilePath, L"\\\\")) {
    report.Add(Severity::Warning,
               name + L": " + program.FilePath +
                   L" is a relative path: the wizard looks for it from whatever folder it is started in",
               2);
  }
  CheckSystemFolderProgram(name, program.FilePath, report);
  const tw::NumberListResult codes = tw::ParseNumberList(program.SuccessExitCodeList);
  report.Line(L"success exit codes as the wizard reads them: " +
                  (codes.numbers.empty() ? std::wstring(L"none") : CodesText(codes.numbers)) +
                  L"; error message " + (program.ShowErrorMessage ? L"shown" : L"not shown"),
              2);
  for (const std::wstring& piece : codes.skipped) {
    report.Add(Severity::Warning,
               name + L": SuccessExitCodeList piece " + Q(piece) +
                   (piece.size() > 9 ? L" is longer than 9 characters" : L" is not a number") + L" and is skipped",
               2);
  }
  if (codes.numbers.empty()) {
    report.Add(Severity::Error,
               name + L": SuccessExitCodeList " + Q(program.SuccessExitCodeList) +
                   L" holds no exit code, so no run of the program counts as success and the wizard " +
                   (atStart ? L"never opens" : L"always ends with exit code 2"),
               2);
  }
}

struct Action {
  ActIni::AppData fonts;
  ActIni::OptclDiscData discs;
  ActIni::RcvDataData recovery;
  ActIni::ExcData start, end;
  wchar_t driveLetter = 0;
  bool driveKnown = false;
};

void CheckAction(const Files& files, Action& action, Report& report) {
  report.Heading(L"Action settings (Tarnwright_Act.ini)");
  if (files.act.empty()) {
    report.Line(L"not found: the wizard would not start; the defaults are used below");
  } else {
    AddFindings(report, kActName, LintFile(ReadIni(files.act), FixedSections(ActionSections())));
  }
  action.fonts = ActIni::CIniMgr::GetAppData(files.act);
  action.discs = ActIni::CIniMgr::GetOptclDiscData(files.act);
  action.recovery = ActIni::CIniMgr::GetRcvDataData(files.act);
  action.start = ActIni::CIniMgr::GetExcAtStrtData(files.act);
  action.end = ActIni::CIniMgr::GetExcAtEndData(files.act);
  LoadProcessWideActionSettings(files.act);

  const ActIni::AppData& f = action.fonts;
  report.Line(L"fonts: 1 = " + f.FontName1 + L" " + tw::Dec(f.FontSize1) + L" pt, 2 = " + f.FontName2 + L" " +
              tw::Dec(f.FontSize2) + L" pt, 3 = " + f.FontName3 + L" " + tw::Dec(f.FontSize3) + L" pt (4 = 3 bold)");
  report.Line(L"disc capacity: DVD " + tw::Dec(action.discs.DVD1_Size) + L" MiB, BD " + tw::Dec(action.discs.BD1_Size) +
              L" MiB");
  report.Line(action.discs.VerifyDisc != 0
                  ? L"made discs: each is read back and compared with the recovery data before it counts as made "
                    L"(VerifyDisc=" + tw::Dec(action.discs.VerifyDisc) + L")"
                  : L"made discs: taken as the burning engine reports them, not read back (VerifyDisc absent or 0)");
  if (action.discs.DVD1_Size == 0) {
    report.Add(Severity::Error, L"DVD1_Size is 0: nothing fits on a DVD, so no Image task can be kept");
  }
  if (action.discs.BD1_Size == 0) {
    report.Add(Severity::Error, L"BD1_Size is 0: nothing fits on a BD, so no BD Image task can be kept");
  }
  CheckProgram(L"ExecuteAtStart", action.start, true, report);
  CheckProgram(L"ExecuteAtEnd", action.end, false, report);

  const ActIni::RcvDataData& r = action.recovery;
  const std::wstring value = L"HKLM\\" + r.StorageDrive_RegKey + L", " + r.StorageDrive_RegValueName;
  if (r.StorageDrive_RegKey.empty() || r.StorageDrive_RegValueName.empty()) {
    report.Add(Severity::Error,
               L"StorageDrive_RegKey or StorageDrive_RegValueName is empty: the wizard cannot find the recovery "
               L"drive, so no disc set can be loaded");
  } else if (GetHideDrvLttr(&action.driveLetter)) {
    action.driveKnown = true;
    const std::wstring root = std::wstring(1, action.driveLetter) + L":\\";
    const bool open = ::GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES;
    report.Line(L"recovery drive: " + value + L" = " + std::wstring(1, action.driveLetter) + L" (" + root +
                (open ? L" is reachable)" : L" is not reachable)"));
    if (open && !action.start.FilePath.empty()) {
      report.Add(Severity::Note, L"the recovery drive " + root +
                                     L" is open now: the wizard refuses to start while it is (Msg_HideDriveOpended, "
                                     L"exit code 0). Its start program is meant to open it: close the drive before "
                                     L"starting the wizard");
    }
  } else if (!action.start.FilePath.empty()) {
    report.Add(Severity::Error, L"the recovery drive letter is not recorded in " + value +
                                    L": the start program records it when the wizard starts, and tarncheck starts no "
                                    L"program. Run the start program once (" +
                                    action.start.FilePath + L" " + action.start.Parameter +
                                    L") and check again: until then the disc sets cannot be checked");
  } else {
    report.Add(Severity::Error, L"the recovery drive letter cannot be read from " + value +
                                    L" and no start program records it: no disc set can be loaded");
  }
  report.Line(L"accepted image kinds: " +
              (r.Inf_ImageInfo_32.empty() && r.Inf_ImageInfo_64.empty()
                   ? std::wstring(L"any (Inf_ImageInfo_32 and _64 are empty)")
                   : Q(r.Inf_ImageInfo_32) + L", " + Q(r.Inf_ImageInfo_64)));
}

// ---------------------------------------------------------------- burning product

struct Drives {
  bool any = false;
  bool bd = false;
  std::wstring folder;  // the burning product's install folder, "" when none is registered
};

Drives CheckBurningProduct(Report& report) {
  report.Heading(L"Burning product");
  Drives drives;
  CBrnAppCnctor connector;
  std::wstring folder = connector.InstFolderPath;
  if (!connector.IsReady && connector.GetInstFolderPath(&folder)) folder = tw::WithoutTrailingBackslash(folder);
  if (!folder.empty()) {
    drives.folder = folder;
    report.Line(L"registered install folder: " + folder);
    const std::wstring library = tw::JoinPath(folder, CBrnAppCnctor::kEngineLibraryName);
    if (tw::IsExistingFile(library)) {
      const size_t errors = report.Count(Severity::Error);
      CheckLibraryFile(CBrnAppCnctor::kEngineLibraryName, library, CBrnAppCnctor::kGetOddsListName,
                       L"the wizard stops at start (Msg_BurnAppNotInstalled)",
                       L"the wizard stops on its first step (Msg_GettingDriveInfoFailed)", report);
      // When the connector could not load it, the findings say why.
      if (!connector.IsReady && report.Count(Severity::Error) > errors) return drives;
    }
  }
  if (!connector.IsReady) {
    report.Add(Severity::Error, L"the burning product is not installed (HKLM\\SOFTWARE\\Norvane\\Kilnspar, InstFolder, "
                                L"with KSCORE.exe and KSIF.dll): the wizard stops at start (Msg_BurnAppNotInstalled)");
    return drives;
  }
  OddInfo list[26];
  uint32_t count = 26;
  if (!connector.GetOddsInfo(list, &count)) {
    report.Add(Severity::Error, L"its drive list cannot be read: the wizard stops on its first step "
                                L"(Msg_GettingDriveInfoFailed)");
    return drives;
  }
  if (count == 0) {
    report.Add(Severity::Error, L"it lists no drive that writes DVDs: the wizard waits 5 s on its first step, then "
                                L"stops (Msg_NoUsableODD)");
    return drives;
  }
  drives.any = true;
  for (uint32_t i = 0; i < count; ++i) {
    drives.bd = drives.bd || list[i].BdWritable;
    report.Line(std::wstring(1, list[i].DriveLetter) + L": " + list[i].DriveName +
                (list[i].BdWritable ? L" (writes DVD and BD)" : L" (writes DVD)"));
  }
  return drives;
}

// ---------------------------------------------------------------- disc sets

struct TextToMeasure {
  std::wstring what;
  std::wstring text;
};

struct SetContext {
  const Files* files;
  const Action* action;
  Drives drives;
  std::vector<std::wstring> common;  // the common exclusion list
  std::vector<TextToMeasure> descriptions;
};

std::vector<std::wstring> FetchList(CExclusionListMgr& manager) {
  uint32_t count = 0;
  std::vector<std::wstring> entries;
  if (!manager.GetExclusionList(&count, nullptr, 0) || count == 0) return entries;
  entries.resize(count);
  if (!manager.GetExclusionList(&count, entries.data(), count)) entries.clear();
  entries.resize(std::min<size_t>(count, entries.size()));
  return entries;
}

std::wstring TaskTypeName(int32_t type) {
  switch (type) {
    case TarnSet::kTypeIso:
      return L"ISO";
    case TarnSet::kTypeImage:
      return L"Image";
    case TarnSet::kTypeFiles:
      return L"Files";
    case TarnSet::kTypeFilesBootable:
      return L"Files_Bootable";
  }
  return L"?";
}

// The image's disc layout as the burn file list picks it, one line per disc.
void ReportImageLayout(const TarnSet::TaskData& task, int32_t discType, const std::wstring& actPath, Report& report) {
  uint32_t discs = 0, files = 0;
  if (!TarnSet::GetRcvDataInfo(task.Folder, discType, &discs, &files, actPath, nullptr, 0)) return;
  std::vector<wchar_t> layout(static_cast<size_t>(files) * 261 + 1, L'\0');
  if (!TarnSet::GetRcvDataInfo(task.Folder, discType, &discs, &files, actPath, layout.data(),
                               static_cast<uint32_t>(layout.size()))) {
    return;
  }
  layout.back() = L'\0';
  const uint64_t capacity = GetWritableDiscSize(discType);
  for (uint32_t d = 0; d < discs; ++d) {
    const tw::LayoutPick pick = tw::PickLayoutLine(layout.data(), discs, d);
    if (pick.failure) {
      report.Add(Severity::Error, L"disc " + tw::Dec(d + 1) + L" cannot be picked from the image's layout: " +
                                      *pick.failure + L" (the make-disc step fails)",
                 4);
      continue;
    }
    uint64_t used = 0;
    std::wstring names;
    for (const std::wstring& item : pick.items) {
      used += SizeOf(item);
      names += (names.empty() ? L"" : L", ") + FileName(item);
    }
    report.Line(L"disc " + tw::Dec(d + 1) + L": " + names + L" (" + MiB(used) + L" of " + MiB(capacity) + L")", 4);
  }
}

// What the make-disc step will find when it gets to this task's discs.
void ReportTaskContent(const std::wstring& head, const TarnSet::TaskData& task, int32_t discType, SetContext& ctx,
                       Report& report) {
  const uint64_t capacity = GetWritableDiscSize(discType);
  const std::wstring type = DiscTypeName(discType);
  std::wstring line = head + TaskTypeName(task.Type) + L" from " + task.Folder + L", " + tw::Dec(task.TotalDiscs) +
                      L" " + type + (task.TotalDiscs == 1 ? L"" : L"s");
  if (task.Type == TarnSet::kTypeIso || task.Type == TarnSet::kTypeFiles || task.Type == TarnSet::kTypeFilesBootable) {
    uint64_t total = 0;
    bool sized = true;
    if (task.Type == TarnSet::kTypeIso) {
      WIN32_FIND_DATAW found{};
      tw::UniqueFind search(::FindFirstFileW(tw::IsoSearchPattern(task.Folder).c_str(), &found));
      total = search ? SizeOf(tw::ChildPath(task.Folder, found.cFileName)) : 0;
    } else {
      std::vector<std::wstring> own;
      if (!task.ExclusionList.empty()) {
        CExclusionListMgr ownList(task.ExclusionList);
        own = FetchList(ownList);
      }
      uint32_t count = 0;
      sized = MkDiscDlg::WriteBrnFilesInfo_Files(nullptr, task.Folder, task.Folder, ctx.common.data(),
                                                 static_cast<uint32_t>(ctx.common.size()), own.data(),
                                                 static_cast<uint32_t>(own.size()), &total, &count);
      if (task.Type == TarnSet::kTypeFilesBootable) total += SizeOf(task.BootImg);
    }
    if (sized) line += L", " + MiB(total) + L" of " + MiB(capacity);
    report.Line(line + L"; " + WrittenState(task), 3);
    if (sized && total > capacity) {
      report.Add(Severity::Error,
                 Q(task.Title) + L" holds " + MiB(total) + L", more than one " + type + L" (" + MiB(capacity) +
                     L"): the make-disc step stops with \"" +
                     (task.Type == TarnSet::kTypeIso
                          ? L"The size of one file in the specified folder is over the writable size of the disc."
                          : L"The total size of files in the specified folder is over the writable size of the disc.") +
                     L"\"",
                 3);
    }
    if (!sized) {
      report.Add(Severity::Error, Q(task.Title) + L": the folder " + task.Folder +
                                      L" cannot be listed completely: the make-disc step fails",
                 3);
    }
    return;
  }
  report.Line(line + L"; " + WrittenState(task), 3);
  ReportImageLayout(task, discType, ctx.files->act, report);
}

// Title, VolumeLabel and Flag as the select-disc-set step turns them into
// discs, and the description the make-disc step shows.
void CheckTaskTexts(const tw::tarnset::TaskTrace& trace, SetContext& ctx, Report& report) {
  const TarnSet::TaskData& task = trace.task;
  const std::vector<std::wstring> discNum = {L"%DiscNum%"};
  for (const auto& field : {std::make_pair(L"Title", &task.Title), std::make_pair(L"VolumeLabel", &task.VolumeLabel)}) {
    for (const std::wstring& token : StrayPlaceholders(*field.second, discNum)) {
      report.Add(Severity::Warning, trace.section + L" " + field.first + L" shows " + token +
                                        L" as typed: only %DiscNum% is replaced there",
                 3);
    }
  }
  if (task.Type == TarnSet::kTypeImage && task.TotalDiscs > 1) {
    if (!task.Flag.empty() && task.Flag.find(L"%DiscNum%") == std::wstring::npos) {
      report.Add(Severity::Error,
                 trace.section + L": its " + tw::Dec(task.TotalDiscs) + L" discs share one marker file " + task.Flag +
                     L" (Flag lacks %DiscNum%): once one disc is made the wizard counts all of them as made and "
                     L"never offers the others again",
                 3);
    }
    if (task.Title.find(L"%DiscNum%") == std::wstring::npos) {
      report.Add(Severity::Warning,
                 trace.section + L": its " + tw::Dec(task.TotalDiscs) + L" discs all carry the name " + Q(task.Title) +
                     L" (Title lacks %DiscNum%)",
                 3);
    }
  }
  if (task.Type != TarnSet::kTypeImage && task.Flag.find(L"%DiscNum%") != std::wstring::npos) {
    report.Add(Severity::Note, trace.section + L": %DiscNum% in its Flag stays as typed (it is replaced only for "
                                              L"Image tasks)",
               3);
  }
  if (!task.ExclusionList.empty() && !tw::IsExistingFile(task.ExclusionList)) {
    report.Add(Severity::Warning, trace.section + L": its own exclusion list " + task.ExclusionList +
                                      L" does not exist, so nothing extra is left off the disc",
               3);
  }
  // Read and decoded as the make-disc step does, within its size limit.
  const tw::FileBytes file = tw::ReadWholeFile(task.Message, tw::steps::kMaxDescriptionBytes);
  const std::wstring title = tw::ReplaceAll(task.Title, L"%DiscNum%", L"1");
  const std::optional<std::wstring> shown =
      file.ok() ? tw::steps::DescriptionText(file.bytes, title) : std::optional<std::wstring>();
  if (!shown) {
    const std::wstring why = file.status == tw::FileReadStatus::kTooLarge
                                 ? L"larger than " + tw::Dec(tw::steps::kMaxDescriptionBytes >> 20) + L" MiB"
                             : file.ok() ? std::wstring(L"empty")
                                         : L"unreadable (error " + tw::Dec(file.error) + L")";
    report.Add(Severity::Error, trace.section + L": its description file " + task.Message + L" is " + why +
                                    L": the make-disc step ends the wizard when it gets to this disc",
               3);
    return;
  }
  const std::string& bytes = file.bytes;
  if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF || static_cast<unsigned char>(bytes[1]) != 0xFE) {
    report.Add(Severity::Warning, trace.section + L": its description file " + task.Message +
                                      L" does not start with the UTF-16 byte-order mark: the wizard reads it as "
                                      L"UTF-16 after its first two bytes all the same",
               3);
  }
  const std::wstring text = tw::steps::DescriptionText(bytes, L"%DiscName%").value_or(std::wstring());
  for (const std::wstring& token : StrayPlaceholders(text, {L"%DiscName%"})) {
    report.Add(Severity::Warning, trace.section + L": its description shows " + token +
                                      L" as typed: only %DiscName% is replaced there",
               3);
  }
  ctx.descriptions.push_back({L"description of " + trace.section + L" (" + FileName(task.Message) + L")", *shown});
}

// Task sections of sets that have no "Info_n" Title, and sections beyond
// the numbers the wizard tries.
void LintSetNumbers(const IniText& ini, Report& report) {
  std::set<uint32_t> titled;
  for (const IniSection& section : ini.sections) {
    DiscSetSectionName name;
    if (!ParseDiscSetSectionName(section.name, &name) || !name.isInfo) continue;
    if (&section != FindSection(ini, section.name)) continue;
    std::wstring title;
    for (const IniLine& line : section.lines) {
      std::wstring value;
      if (tw::StartsWithNoCase(line.text, L"Title=")) title = line.text.substr(6);
    }
    if (!title.empty()) titled.insert(name.setNumber);
  }
  std::set<uint32_t> reported;
  for (const IniSection& section : ini.sections) {
    DiscSetSectionName name;
    if (!ParseDiscSetSectionName(section.name, &name) || name.isInfo) continue;
    if (titled.count(name.setNumber) || !reported.insert(name.setNumber).second) continue;
    report.Add(Severity::Warning,
               std::wstring(kSetName) + L" line " + tw::Dec(section.number) + L": [" + section.name +
                   L"] belongs to set " + tw::Dec(name.setNumber) + L", which has no [Info_" +
                   tw::Dec(name.setNumber) + L"] with a Title: its tasks are never read");
  }
}

std::vector<std::wstring> CheckDiscSets(SetContext& ctx, Report& report) {
  report.Heading(L"Disc sets (TarnSet.ini)");
  std::vector<std::wstring> names;
  if (ctx.files->set.empty()) {
    report.Line(L"not found: no disc set");
    return names;
  }
  const IniText ini = ReadIni(ctx.files->set);
  AddFindings(report, kSetName, LintFile(ini, DiscSetSections()));
  LintSetNumbers(ini, report);

  tw::tarnset::LoadTrace trace;
  TarnSet::CMgr mgr(ctx.files->act, ctx.files->set, &trace);
  mgr.ChkWrittenDiscs();
  std::vector<std::wstring> setNames(100);
  mgr.GetInfoData(setNames.data());

  TaskFacts facts;
  facts.acceptedImageInfo[0] = ctx.action->recovery.Inf_ImageInfo_32;
  facts.acceptedImageInfo[1] = ctx.action->recovery.Inf_ImageInfo_64;
  uint32_t position = 0;
  for (const tw::tarnset::SetTrace& set : trace.sets) {
    report.Line(L"Set " + tw::Dec(set.setNumber) + L" " + Q(set.title) + L" (Info_" + tw::Dec(set.setNumber) + L")");
    const bool offered = set.verdict == tw::tarnset::SetVerdict::Offered;
    std::vector<TarnSet::TaskData> kept[2];
    const int32_t setIndex = offered ? static_cast<int32_t>(position) : -1;
    if (offered) {
      names.push_back(set.title);
      for (int32_t type = 0; type < 2; ++type) {
        kept[type].resize(100);
        mgr.GetTaskData(position, type, kept[type].data());
        kept[type].resize(mgr.GetTaskCountInInfo(position, type));
      }
      ++position;
    }
    for (int32_t type = 0; type < 2; ++type) {
      size_t next = 0;
      // The count the first step shows, by its own rule.
      uint32_t discsToMake = 0;
      if (offered && !SlctDiscSetDlg::GetTotalDiscCount(setIndex, type, &mgr, &discsToMake)) discsToMake = 0;
      bool any = false;
      for (const tw::tarnset::TaskTrace& t : trace.tasks) {
        if (t.setNumber != set.setNumber || t.discType != type) continue;
        if (!any) {
          report.Line(DiscTypeName(type) + L": " + tw::Dec(kept[type].size()) + L" task" +
                          (kept[type].size() == 1 ? L"" : L"s") + L", " + tw::Dec(discsToMake) + L" disc" +
                          (discsToMake == 1 ? L"" : L"s") + L" to make",
                      2);
          any = true;
        }
        if (t.verdict != tw::tarnset::TaskVerdict::Kept) {
          facts.folderExists = tw::IsExistingFolder(t.task.Folder);
          report.Add(Severity::Error, DropSentence(t, facts), 3);
          continue;
        }
        // Kept tasks come in the order they were traced.
        const TarnSet::TaskData& task = next < kept[type].size() ? kept[type][next++] : t.task;
        ReportTaskContent(t.section + L" " + Q(task.Title) + L": ", task, type, ctx, report);
        tw::tarnset::TaskTrace withState = t;
        withState.task = task;
        CheckTaskTexts(withState, ctx, report);
      }
      if (!any && offered) report.Line(DiscTypeName(type) + L": no task", 2);
      if (offered && type == 1 && !kept[1].empty() && ctx.drives.any && !ctx.drives.bd) {
        report.Add(Severity::Note, L"no drive of this machine writes BD: the wizard offers this set on DVD only", 2);
      }
      if (offered && discsToMake == 0 && !kept[type].empty()) {
        report.Add(Severity::Note, L"every " + DiscTypeName(type) +
                                       L" disc of this set is marked as made: the wizard says Msg_AlreadyWritten",
                   2);
      }
    }
    if (!offered) report.Add(Severity::Error, SetSentence(set), 2);
    if (set.bdNotLoaded) report.Add(Severity::Error, L"its BD tasks could not be loaded", 2);
  }
  if (trace.sets.empty()) {
    report.Add(Severity::Error, L"TarnSet.ini defines no disc set with a Title: the wizard shows Msg_NoDiscSetData "
                                L"and ends");
  } else if (names.empty()) {
    report.Add(Severity::Error, L"no disc set is offered: the wizard shows Msg_NoDiscSetData and ends");
  }
  return names;
}

// ---------------------------------------------------------------- exclusion list

void CheckExclusionList(const Files& files, const Action& action, SetContext& ctx, Report& report) {
  report.Heading(L"Exclusion list (TarnSet_Exclusion.ini)");
  if (files.exclusion.empty()) {
    report.Line(L"not found");
    return;
  }
  const std::string bytes = ReadFileBytes(files.exclusion);
  if (bytes.size() >= 2 && (static_cast<unsigned char>(bytes[0]) != 0xFF || static_cast<unsigned char>(bytes[1]) != 0xFE)) {
    report.Add(Severity::Warning, L"the file does not start with the UTF-16 byte-order mark: the wizard reads it as "
                                  L"UTF-16 all the same, so 8-bit text names nothing");
  }
  const std::wstring text = tw::FromUtf16Le(bytes.size() > 2 ? bytes.substr(2) : std::string());
  const size_t lines = text.empty() ? 0 : static_cast<size_t>(std::count(text.begin(), text.end(), L'\n')) + 1;
  if (lines > 500) {
    report.Add(Severity::Warning, L"the list has " + tw::Dec(lines) + L" lines: the wizard reads only the first 500");
  }
  if (!action.driveKnown) {
    report.Line(L"not read: the recovery drive letter is unknown");
    return;
  }
  CExclusionListMgr manager(files.exclusion);
  ctx.common = FetchList(manager);
  report.Line(tw::Dec(ctx.common.size()) + L" entries");
  for (const std::wstring& entry : ctx.common) {
    const bool full = (entry.size() >= 3 && entry[1] == L':' && entry[2] == L'\\') || tw::StartsWithNoCase(entry, L"\\\\");
    if (!full) {
      report.Add(Severity::Warning, Q(entry) + L" is no full path, so it matches nothing (the wizard compares whole "
                                               L"paths)");
    } else if (entry.back() == L'\\') {
      report.Add(Severity::Warning, Q(entry) + L" ends with a backslash (kept because of the quotes around it), so it "
                                               L"matches nothing");
    }
  }
}

// ---------------------------------------------------------------- languages

ShownTexts ShownTextsOf(const std::wstring& lang) {
  const LangIni::AppData app = LangIni::CIniMgr::GetAppData(lang);
  const LangIni::OptclDiscData discs = LangIni::CIniMgr::GetOptclDiscData(lang);
  const LangIni::DriveData drive = LangIni::CIniMgr::GetDriveData(lang);
  const LangIni::SlctDiscSetData select = LangIni::CIniMgr::GetSlctDiscSetData(lang);
  const LangIni::ChkDiscData check = LangIni::CIniMgr::GetChkDiscData(lang);
  const LangIni::MkDiscData make = LangIni::CIniMgr::GetMkDiscData(lang);
  const LangIni::FnshData finish = LangIni::CIniMgr::GetFnshData(lang);
  ShownTexts t;
  t.AppName = app.AppName;
  t.FuncDescription = app.FuncDescription;
  t.Step[0] = app.Step1;
  t.Step[1] = app.Step2;
  t.Step[2] = app.Step3;
  t.Step[3] = app.Step4;
  t.SelectDescription = select.StepDescription;
  t.DiscSet = select.DiscSet;
  t.Odd = select.ODD;
  t.DiscType = select.DiscType;
  t.DiscCount = select.DiscCount;
  t.DriveNameOutputFormat = drive.DriveNameOutputFormat;
  t.DriveTypeDvd = drive.DriveType_ODD_DVD;
  t.DriveTypeBd = drive.DriveType_ODD_BD;
  t.Dvd1 = discs.DVD1;
  t.Bd1 = discs.BD1;
  const std::wstring buttons[7] = {select.BackButton, select.NextButton, check.BackButton, check.NextButton,
                                   make.BackButton,   make.NextButton,   finish.OkButton};
  std::copy(std::begin(buttons), std::end(buttons), t.ButtonTexts);
  t.CheckDescription = check.StepDescription;
  t.CheckAttention = check.StepAttention;
  t.Reports[0] = finish.SuccessReport;
  t.Reports[1] = finish.AbortReport;
  t.Reports[2] = finish.FailureReport;
  t.Details[0] = finish.S_ResultDetailInfo;
  t.Details[1] = finish.A_ResultDetailInfo;
  t.Details[2] = finish.F_ResultDetailInfo;
  return t;
}

void MeasureTexts(TextMeasurer& measurer, const std::wstring& file, const std::vector<TextUse>& uses, Report& report,
                  int level) {
  for (const TextUse& use : uses) {
    if (use.text.empty()) continue;
    const std::optional<std::wstring> verdict = JudgeFit(*use.box, measurer.Measure(*use.box, use.text));
    if (verdict) {
      report.Add(Severity::Warning, file + L" " + use.what + L" is longer than its control shows at 96 DPI: " + *verdict,
                 level);
    }
  }
}

struct LanguageFolder {
  std::wstring sections;  // "0x0409, Default"
  std::wstring folder;    // as written
};

std::vector<LanguageFolder> LanguageFolders(const Files& files, Report& report) {
  std::vector<LanguageFolder> folders;
  if (files.languageIni.empty()) return folders;
  const IniText ini = ReadIni(files.languageIni);
  bool hasDefault = false;
  for (const IniSection& section : ini.sections) {
    if (&section != FindSection(ini, section.name)) continue;
    const bool isDefault = tw::EqualsNoCase(section.name, L"Default");
    const bool isLanguage = section.name.size() == 6 && tw::StartsWithNoCase(section.name, L"0x") &&
                            std::all_of(section.name.begin() + 2, section.name.end(), [](wchar_t c) {
                              return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
                            });
    if (!isDefault && !isLanguage) {
      report.Add(Severity::Warning, std::wstring(kLanguageIniName) + L" line " + tw::Dec(section.number) + L": [" +
                                        section.name +
                                        L"] is never read: the wizard looks for \"0x\" and four hex digits of the "
                                        L"user's language (such as 0x0409), then [Default]");
      continue;
    }
    hasDefault = hasDefault || isDefault;
    wchar_t value[MAX_PATH + 1] = {};
    ::GetPrivateProfileStringW(section.name.c_str(), L"Folder", L"", value, MAX_PATH + 1, files.languageIni.c_str());
    const std::wstring folder = tw::WithoutTrailingBackslash(value);
    if (folder.empty()) {
      report.Add(Severity::Warning, std::wstring(kLanguageIniName) + L" [" + section.name + L"] names no Folder");
      continue;
    }
    auto same = std::find_if(folders.begin(), folders.end(),
                             [&](const LanguageFolder& f) { return tw::EqualsNoCase(f.folder, folder); });
    if (same != folders.end()) {
      same->sections += L", " + section.name;
    } else {
      folders.push_back({section.name, folder});
    }
  }
  if (!hasDefault) {
    report.Add(Severity::Warning, std::wstring(kLanguageIniName) +
                                      L" has no [Default]: a user whose language it does not list gets no language file "
                                      L"and the wizard stops at start");
  }
  return folders;
}

void CheckLanguages(const Files& files, const Action& action, const std::vector<std::wstring>& setNames,
                    SetContext& ctx, Report& report) {
  report.Heading(L"Language texts (Tarnwright_Lang.ini)");
  TextMeasurer measurer(action.fonts);
  if (measurer.ready()) {
    report.Line(L"texts measured at 96 DPI with " + measurer.FaceOf(FontSlot::Font1) + L" (font 1), " +
                measurer.FaceOf(FontSlot::Font2) + L" (font 2), " + measurer.FaceOf(FontSlot::Font3) +
                L" (font 3), as this machine provides them");
  } else {
    report.Add(Severity::Note, L"no device context: the text widths are not measured");
  }
  std::vector<std::pair<std::wstring, std::wstring>> languageFiles;  // label, path
  if (!files.lang.empty() && FolderOf(files.lang) == files.folder) {
    report.Line(L"the wizard uses " + files.lang + L" (beside the program) for every language");
    languageFiles.push_back({kLangName, files.lang});
  } else {
    const std::wstring base = FolderOf(files.languageIni);
    for (const LanguageFolder& f : LanguageFolders(files, report)) {
      const std::wstring path = base + L"\\" + f.folder + L"\\" + kLangName;
      const std::wstring label = f.folder + L"\\" + kLangName;
      const bool used = tw::EqualsNoCase(path, files.lang);
      report.Line(L"language folder " + f.folder + L" [" + f.sections + L"]" +
                  (used ? L": the wizard uses it for this user" : L""));
      if (!tw::IsExistingFile(path)) {
        report.Add(Severity::Warning, label + L" does not exist: users of [" + f.sections +
                                          L"] get the [Default] language, or none",
                   2);
        continue;
      }
      languageFiles.push_back({label, path});
    }
  }
  for (const auto& lang : languageFiles) {
    const IniText ini = ReadIni(lang.second);
    std::vector<Finding> findings = LintFile(ini, FixedSections(LanguageSections()));
    for (Finding& f : CheckLanguageFile(ini)) findings.push_back(std::move(f));
    AddFindings(report, lang.first, findings, 2);
    if (measurer.ready()) {
      MeasureTexts(measurer, lang.first, TextsToMeasure(ShownTextsOf(lang.second), setNames), report, 2);
    }
  }
  if (measurer.ready()) {
    for (const TextToMeasure& d : ctx.descriptions) {
      MeasureTexts(measurer, L"the", {{d.what, &box::kMakeDescription, d.text}}, report, 1);
    }
  }
}

// ---------------------------------------------------------------- help

// The line of the first "key=" in a section, which the profile call reads;
// 0 when there is none.
uint32_t KeyLine(const IniText& ini, const std::wstring& section, const std::wstring& key) {
  const IniSection* found = FindSection(ini, section);
  if (!found) return 0;
  for (const IniLine& line : found->lines) {
    if (tw::StartsWithNoCase(line.text, key + L"=")) return line.number;
  }
  return 0;
}

// Every language folder's pages, not only this user's: a page that Help.ini
// names but that is missing is reported also where the wizard falls back
// to the Default page. Without Language.ini the pages lie beside the program.
void CheckHelpPerLanguage(const Files& files, Report& report) {
  static const wchar_t* const kSteps[] = {L"select disc set", L"check discs", L"make discs", L"finish"};
  struct HelpPlace {
    std::wstring label;  // "language folder English"
    std::wstring pages;  // its help folder, "" for beside the program only
    std::wstring users;  // "users of [0x0409, Default]"
  };
  std::vector<HelpPlace> places;
  if (files.languageIni.empty()) {
    places.push_back({L"the program folder", L"", L"every user"});
  } else {
    Report ignored;
    for (const LanguageFolder& f : LanguageFolders(files, ignored)) {
      places.push_back({L"language folder " + f.folder, FolderOf(files.languageIni) + L"\\Help\\" + f.folder,
                        L"users of [" + f.sections + L"]"});
    }
  }
  const IniText ini = ReadIni(files.help);
  auto profile = [&](const std::wstring& key) {
    wchar_t page[MAX_PATH + 1] = {};
    ::GetPrivateProfileStringW(L"Help", key.c_str(), L"", page, MAX_PATH + 1, files.help.c_str());
    return std::wstring(page);
  };
  const std::wstring fallback = profile(L"Default");
  for (const HelpPlace& place : places) {
    // A page beside the program serves every language.
    auto where = [&](const std::wstring& name) {
      return place.pages.empty() || tw::IsExistingFile(tw::JoinPath(files.folder, name))
                 ? tw::JoinPath(files.folder, name)
                 : tw::JoinPath(place.pages, name);
    };
    auto found = [&](const std::wstring& name) { return !name.empty() && tw::IsExistingFile(where(name)); };
    for (size_t i = 0; i < 4; ++i) {
      const std::wstring id = tw::Dec(kStepHelpIds[i]);
      const std::wstring named = profile(id);
      if (found(named) || (named.empty() && (fallback.empty() || found(fallback)))) continue;
      const std::wstring step = L"step " + tw::Dec(i + 1) + L" (" + kSteps[i] + L")";
      if (!named.empty() && found(fallback)) {
        const Finding finding{Severity::Warning, L"Help", KeyLine(ini, L"Help", id), L""};
        report.Add(Severity::Warning, Where(kHelpIniName, finding) + id + L" names " + Q(named) +
                                          L", which is missing for " + place.label + L" (looked for " + where(named) +
                                          L"): " + place.users + L" get the Default page " + Q(fallback) +
                                          L" on " + step + L" instead");
        continue;
      }
      const std::wstring missing = named.empty() ? fallback : named;
      report.Add(Severity::Warning, step + L" has no help page for " + place.label + L" (looked for " +
                                        where(missing) + L"): " + place.users + L" get no help button there");
    }
  }
}

void CheckHelp(const Files& files, Report& report) {
  report.Heading(L"Help pages (Help.ini)");
  if (files.help.empty()) {
    report.Line(L"no Help.ini: no step has a help button");
    return;
  }
  AddFindings(report, kHelpIniName, LintFile(ReadIni(files.help), HelpSections()));
  static const wchar_t* const kSteps[] = {L"select disc set", L"check discs", L"make discs", L"finish"};
  for (size_t i = 0; i < 4; ++i) {
    std::wstring page;
    const std::wstring id = tw::Dec(kStepHelpIds[i]);
    if (GetHelpFilePathInProgramFolder(files.folder, kStepHelpIds[i], &page)) {
      report.Line(L"step " + tw::Dec(i + 1) + L" (" + kSteps[i] + L", " + id + L"): " + page);
    } else {
      report.Add(Severity::Warning, L"step " + tw::Dec(i + 1) + L" (" + kSteps[i] + L", " + id +
                                        L") has no help page for this user: the wizard hides its help button");
    }
  }
  CheckHelpPerLanguage(files, report);
}

// ---------------------------------------------------------------- writable places

// Every place the elevated wizard reads or runs from.
std::vector<Place> PlacesOf(const Files& files, const Action& action, const Drives& drives) {
  std::vector<Place> places = {{files.folder, L"the program folder"},
                               {tw::JoinPath(files.folder, L"Tarnwright.exe"), L"the wizard"}};
  for (const std::wstring* ini : {&files.act, &files.set, &files.exclusion, &files.help, &files.languageIni}) {
    if (!ini->empty()) places.push_back({*ini, FileName(*ini)});
  }
  if (!files.languageIni.empty()) {
    const std::wstring base = FolderOf(files.languageIni);
    places.push_back({base + L"\\Help", L"the help folder"});
    Report ignored;
    for (const LanguageFolder& f : LanguageFolders(files, ignored)) {
      const std::wstring languageFolder = base + L"\\" + f.folder;
      places.push_back({languageFolder, L"the language folder " + f.folder});
      places.push_back({tw::JoinPath(languageFolder, kLangName), f.folder + L"\\" + kLangName});
      places.push_back({base + L"\\Help\\" + f.folder, L"the help folder " + f.folder});
    }
  }
  // This user's language file, unless a language folder above brought it.
  if (!files.lang.empty() && std::none_of(places.begin(), places.end(), [&](const Place& p) {
        return tw::EqualsNoCase(p.path, files.lang);
      })) {
    places.push_back({files.lang, kLangName});
  }
  for (const auto& program : {std::make_pair(L"start", &action.start), std::make_pair(L"end", &action.end)}) {
    const std::wstring& path = program.second->FilePath;
    if (path.empty() || !tw::IsExistingFile(path)) continue;
    places.push_back({path, std::wstring(L"the ") + program.first + L" program"});
    places.push_back({FolderOf(path), std::wstring(L"the ") + program.first + L" program's folder"});
  }
  if (!drives.folder.empty()) {
    places.push_back({drives.folder, L"the burning product's folder"});
    places.push_back({tw::JoinPath(drives.folder, CBrnAppCnctor::kEngineExeName), CBrnAppCnctor::kEngineExeName});
    places.push_back({tw::JoinPath(drives.folder, CBrnAppCnctor::kEngineLibraryName), CBrnAppCnctor::kEngineLibraryName});
  }
  if (!files.dialogLibrary.empty()) {
    places.push_back({files.dialogLibrary, L"the common dialog library"});
    places.push_back({FolderOf(files.dialogLibrary), L"the common dialog library's folder"});
  }
  return places;
}

}  // namespace

void CheckDeployment(const std::wstring& folder, Report& report) {
  report.Heading(L"Tarnwright deployment check of " + folder);
  if (!tw::IsExistingFolder(folder)) {
    report.Add(Severity::Error, folder + L" is not a folder");
    return;
  }
  Files files;
  files.folder = folder;
  files.install = InstallFolder();
  report.Line(files.install.empty() ? L"backup product install folder: none registered"
                                    : L"backup product install folder: " + files.install);
  CheckFiles(files, report);
  Action action;
  CheckAction(files, action, report);
  SetContext ctx;
  ctx.files = &files;
  ctx.action = &action;
  ctx.drives = CheckBurningProduct(report);
  CheckExclusionList(files, action, ctx, report);
  const std::vector<std::wstring> setNames = CheckDiscSets(ctx, report);
  CheckLanguages(files, action, setNames, ctx, report);
  CheckHelp(files, report);
  CheckWritablePlaces(PlacesOf(files, action, ctx.drives), report);
  report.Heading(L"Log");
  report.Line(L"the wizard's readers wrote their log entries of this check into the log ring under process id " +
              tw::Dec(::GetCurrentProcessId()) + L" (tarncheck /log shows them)");
}

}  // namespace tc
