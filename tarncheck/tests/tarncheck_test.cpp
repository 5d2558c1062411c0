// tarncheck.exe end to end: the sample deployment, and broken copies of it
// with one fault each and the sentence the engineer must read about it.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/core/text.h"
#include "app/handles.h"
#include "app/log.h"
#include "app/syshelpers.h"
#include "burn_test_support.h"
#include "gendata.h"
#include "pe_builder.h"
#include "test_support.h"

namespace {

using twtest::Encoding;

std::wstring Source(const std::wstring& relative) { return twtest::HostPath(TW_SOURCE_DIR) + L"\\" + relative; }

using twtest::CopyTree;

// A text file as the wizard's files are kept: UTF-16 after FF FE, else 8-bit.
std::wstring ReadText(const std::wstring& path, Encoding* encoding) {
  const std::string bytes = twtest::ReadBytes(path);
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    *encoding = Encoding::Utf16Bom;
    return tw::FromUtf16Le(bytes.substr(2));
  }
  *encoding = Encoding::Ansi;
  return std::wstring(bytes.begin(), bytes.end());
}

// Replaces the one occurrence of `from` in the file, keeping its encoding.
void Edit(const std::wstring& path, const std::wstring& from, const std::wstring& to) {
  Encoding encoding;
  std::wstring text = ReadText(path, &encoding);
  const size_t at = text.find(from);
  ASSERT_NE(at, std::wstring::npos) << from;
  text.replace(at, from.size(), to);
  twtest::WriteTextFile(path, text, encoding);
}

struct Outcome {
  DWORD exitCode = 0xFFFFFFFF;
  std::wstring output;
};

// Runs tarncheck.exe (or its test build) with the arguments and collects
// what it prints (UTF-8).
Outcome RunTarncheck(const std::wstring& arguments, const char* program = TARNCHECK_EXE) {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  Outcome run;
  if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
  tw::UniqueHandle reader(readEnd), writer(writeEnd);
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = nullptr;
  std::wstring commandLine = L"\"" + twtest::HostPath(program) + L"\" " + arguments;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process)) {
    return run;
  }
  writer.reset();
  // Read while the program runs and once more after it has ended, without
  // waiting for the pipe to close: a process the system starts on the
  // child's behalf may hold the pipe's write end for its whole life.
  std::string bytes;
  auto drain = [&] {
    DWORD available = 0;
    char buffer[4096];
    DWORD read = 0;
    while (::PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
           ::ReadFile(readEnd, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
      bytes.append(buffer, read);
    }
  };
  for (int i = 0; i < 6000 && ::WaitForSingleObject(process.hProcess, 10) == WAIT_TIMEOUT; ++i) drain();
  drain();
  run.exitCode = twtest::WaitForExitCode(process);
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  run.output.assign(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &run.output[0], n);
  return run;
}

// Descriptors in SDDL: what an administrator's copy below Program Files
// carries, and a folder whose access list also lets Users write.
constexpr wchar_t kAdminOnly[] = L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
constexpr wchar_t kUsersMayWrite[] = L"O:BAD:AI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)";

// The machine names of this build and of the other architecture.
#ifdef _WIN64
constexpr wchar_t kOwnMachine[] = L"64-bit x64";
constexpr uint16_t kOwnMachineValue = 0x8664;
#else
constexpr wchar_t kOwnMachine[] = L"32-bit x86";
constexpr uint16_t kOwnMachineValue = 0x014C;
#endif

// A synthetic library of this build's machine exporting `names`.
std::string LibraryBytes(std::vector<std::string> names) {
  petest::Shape shape;
  shape.machine = kOwnMachineValue;
#ifdef _WIN64
  shape.pe32Plus = true;
#endif
  shape.exports = std::move(names);
  return petest::Build(shape);
}

// The sample deployment in a folder of its own, the generated recovery data
// at the root of C: (recorded as the recovery drive) and a burning product
// with one DVD and BD writer. Wine keeps no access lists on files (it makes
// every descriptor from the Unix mode: owner the Wine user, who may do
// everything), so these checks run the test build, whose descriptors come
// from a table: by default the administrators-only list of a deployment
// below Program Files.
class TarncheckTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (tw::IsExistingFolder(kRecovery) && !tw::IsExistingFile(kMarker)) {
      setupError_ = new std::string("C:\\Recovery exists and was not made by a test");
      return;
    }
    const gendata::Result data = gendata::Generate(gendata::Scale::Small, std::filesystem::path(L"C:\\"),
                                                   std::filesystem::path(Source(L"demo\\deployment\\recovery")), true);
    if (!data.ok) {
      setupError_ = new std::string(data.error);
      return;
    }
    twtest::WriteBytes(kMarker, "");
  }
  static void TearDownTestSuite() {
    if (tw::IsExistingFile(kMarker)) twtest::RemoveTree(kRecovery);
    delete setupError_;
    setupError_ = nullptr;
  }

  TarncheckTest() : partlink_(L"SOFTWARE\\Norvane\\ZRV_PARTLINK"), quillon_(L"SOFTWARE\\Norvane\\Quillon") {
    partlink_.SetString(L"DRV3", L"C");
    quillon_.DeleteValue(L"InstFolder");
    product_.SetLibrarySettings(L"[GetOddsList]\r\nResult=0\r\nDrives=E\r\n[Drive E]\r\nName=Test Writer\r\n"
                                L"Codes=101,201\r\n");
    CopyTree(Source(L"demo\\deployment\\program"), program_.path());
    ::CopyFileW((twtest::StandinDir() + L"\\QLNCmnDlg.dll").c_str(), (program_ / L"QLNCmnDlg.dll").c_str(), FALSE);
    twtest::WriteBytes(program_ / L"Tarnwright.exe", "");
    SetDescriptors({});
    ::SetEnvironmentVariableW(L"TARNCHECK_TEST_DESCRIPTORS", (table_ / L"descriptors.txt").c_str());
  }
  ~TarncheckTest() override { ::SetEnvironmentVariableW(L"TARNCHECK_TEST_DESCRIPTORS", nullptr); }

  // The test build's descriptor table: these rows, the rest administrators only.
  void SetDescriptors(const std::vector<std::pair<std::wstring, std::wstring>>& rows) {
    std::wstring text = std::wstring(L"*\t") + kAdminOnly + L"\r\n";
    for (const auto& row : rows) text += row.first + L"\t" + row.second + L"\r\n";
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], n, nullptr, nullptr);
    twtest::WriteBytes(table_ / L"descriptors.txt", bytes);
  }

  void SetUp() override {
    if (setupError_) GTEST_SKIP() << *setupError_;
  }

  Outcome Check() { return RunTarncheck(L"\"" + program_.path() + L"\"", TARNCHECK_TESTBUILD_EXE); }

 public:
  std::wstring P(const std::wstring& relative) const { return program_ / relative; }

 protected:

  static constexpr wchar_t kRecovery[] = L"C:\\Recovery";
  static constexpr wchar_t kMarker[] = L"C:\\Recovery\\made_by_test";
  static std::string* setupError_;

  twtest::ScopedHklmKey partlink_;
  twtest::ScopedHklmKey quillon_;
  burntest::FakeProduct product_;
  twtest::TempDir program_;
  twtest::TempDir table_;
};
std::string* TarncheckTest::setupError_ = nullptr;

TEST_F(TarncheckTest, SampleDeploymentIsClean) {
  const Outcome run = Check();
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find(std::wstring(L"KSIF.dll is a ") + kOwnMachine + L" DLL and exports GetOddsListW"),
            std::wstring::npos) << run.output;
  EXPECT_NE(run.output.find(std::wstring(L"QLNCmnDlg.dll is a ") + kOwnMachine +
                            L" DLL and exports ShowAttentionToDiscFormatDlg"),
            std::wstring::npos);
  for (const wchar_t* expected : {
           L"Tarnwright_Act.ini: " , L"(beside the program)",
           L"Tarnwright_Lang.ini: ",
           L"recovery drive: HKLM\\SOFTWARE\\Norvane\\ZRV_PARTLINK, DRV3 = C",
           L"E: Test Writer (writes DVD and BD)",
           L"Set 1 \"Recovery Media\" (Info_1)",
           L"DVD: 2 tasks, 4 discs to make",
           L"Image from C:\\Recovery\\Image, 3 DVDs; not made yet",
           L"disc 3: RcvImage.003",
           L"Image from C:\\Recovery\\Image, 1 BD; not made yet",
           L"Set 2 \"Drivers and Applications\" (Info_2)",
           L"Set 4 \"Support Tools\" (Info_4)",
           L"language folder Japanese [0x0411]",
           L"places checked: only SYSTEM, Administrators and TrustedInstaller may change them",
           L"0 errors, 0 warnings",
       }) {
    EXPECT_NE(run.output.find(expected), std::wstring::npos) << expected << "\n" << run.output;
  }
}

// One fault each: the exit code and the sentence the engineer must see.
TEST_F(TarncheckTest, BrokenDeploymentsAreReportedInWords) {
  const std::wstring act = L"Tarnwright_Act.ini";
  const std::wstring set = L"TarnSet.ini";
  const std::wstring english = L"English\\Tarnwright_Lang.ini";
  const struct {
    const char* fault;
    std::function<void(TarncheckTest&)> make;
    DWORD exitCode;
    std::vector<std::wstring> sentences;
  } cases[] = {
      {"action settings missing",
       [&](TarncheckTest& t) { ::DeleteFileW(t.P(act).c_str()); }, 2,
       {L"ERROR: Tarnwright_Act.ini is not found: the wizard stops at start (\"Necessary file is not found.\")"}},
      {"common exclusion list missing",
       [&](TarncheckTest& t) { ::DeleteFileW(t.P(L"TarnSet_Exclusion.ini").c_str()); }, 2,
       {L"ERROR: TarnSet_Exclusion.ini is not found: the wizard stops at start (Msg_FileLacked)"}},
      {"description file missing",
       [&](TarncheckTest& t) {
         Edit(t.P(set), L"Message=?:\\Recovery\\Messages\\SupportTools.txt", L"Message=?:\\Recovery\\Messages\\Gone.txt");
       },
       2,
       {L"ERROR: Task_DVD1_4_1 \"Support Tools\" is dropped: its description file (Message) "
        L"C:\\Recovery\\Messages\\Gone.txt does not exist.",
        L"ERROR: Set 4 \"Support Tools\" disappears: it has no valid DVD task"}},
      {"image kind not accepted",
       [&](TarncheckTest& t) { Edit(t.P(act), L"Inf_ImageInfo_64=RCV_WIN_X64", L"Inf_ImageInfo_64=RCV_WIN_A64"); }, 2,
       {L"is dropped: the image kind \"RCV_WIN_X64\" of C:\\Recovery\\Image\\RcvImage.inf is not accepted "
        L"(Inf_ImageInfo_32/64 of Tarnwright_Act.ini accept \"RCV_WIN_X86\" or \"RCV_WIN_A64\")"}},
      {"a piece larger than a disc",
       [&](TarncheckTest& t) { Edit(t.P(act), L"DVD1_Size=2", L"DVD1_Size=1"); }, 2,
       {L"Task_DVD1_1_2 \"Recovery Disc %DiscNum%\" is dropped: the piece C:\\Recovery\\Image\\RcvImage.fc2 (1.5 MiB) "
        L"is larger than a whole DVD (1.0 MiB)"}},
      {"unknown task type",
       [&](TarncheckTest& t) { Edit(t.P(set), L"Type=ISO", L"Type=Iso9660"); }, 2,
       {L"Task_DVD1_4_1 \"Support Tools\" is dropped: its Type \"Iso9660\" is none of ISO, Image, Files, "
        L"Files_Bootable (the wizard passes it over without a log entry)."}},
      {"image discs sharing one marker file",
       [&](TarncheckTest& t) {
         Edit(t.P(set), L"Flag=?:\\Recovery\\Done\\Set1_DVD_Recovery%DiscNum%.flg",
              L"Flag=?:\\Recovery\\Done\\Set1_DVD_Recovery.flg");
       },
       2, {L"Task_DVD1_1_2: its 3 discs share one marker file C:\\Recovery\\Done\\Set1_DVD_Recovery.flg"}},
      {"start program missing",
       [&](TarncheckTest& t) {
         Edit(t.P(act), L"FilePath=\r\nParameter=\r\nSuccessExitCodeList=0",
              L"FilePath=C:\\Nowhere\\partlink.exe\r\nParameter=/MAP3\r\nSuccessExitCodeList=1,2,3");
       },
       2,
       {L"ERROR: start program [ExecuteAtStart]: C:\\Nowhere\\partlink.exe does not exist: the wizard stops at start "
        L"(Msg_FileLacked)"}},
      {"blank before \"=\"",
       [&](TarncheckTest& t) { Edit(t.P(act), L"CanSelectODD=1", L"CanSelectODD =0"); }, 1,
       {L"WARNING: Tarnwright_Act.ini line 55 [SelectDiscSet]: \"CanSelectODD =0\" has a blank before \"=\": the "
        L"wizard takes CanSelectODD only when \"=\" follows the name directly, so this line is ignored"}},
      {"misspelt key",
       [&](TarncheckTest& t) { Edit(t.P(act), L"BackButton_Visible=1", L"BackButton_Visibel=0"); }, 1,
       {L"[SelectDiscSet]: \"BackButton_Visibel\" is not a key the wizard reads here (did you mean "
        L"BackButton_Visible?): the line is ignored"}},
      {"key given twice",
       [&](TarncheckTest& t) { Edit(t.P(act), L"BD1_Size=8", L"BD1_Size=8\r\nDVD1_Size=3"); }, 1,
       {L"[OpticalDisc]: DVD1_Size is given 2 times (lines 16 and 18): the wizard takes the last one, \"3\""}},
      {"number read only in part",
       [&](TarncheckTest& t) { Edit(t.P(act), L"DVD1_Size=2", L"DVD1_Size=2.5GB"); }, 1,
       {L"WARNING: Tarnwright_Act.ini line 16 [OpticalDisc]: \"DVD1_Size=2.5GB\" reads as a number only in part: "
        L"the wizard reads DVD1_Size as 2 and ignores \".5GB\""}},
      {"start program in the system folder",
       [&](TarncheckTest& t) {
         Edit(t.P(act), L"FilePath=\r\nParameter=\r\nSuccessExitCodeList=0",
              L"FilePath=C:\\Windows\\System32\\cmd.exe\r\nParameter=/c exit 0\r\nSuccessExitCodeList=0");
       },
       1,
       {L"WARNING: start program [ExecuteAtStart]: C:\\Windows\\System32\\cmd.exe lies in the Windows system folder "
        L"(System32). On 64-bit Windows the 32-bit wizard is redirected"}},
      {"number that does not read",
       [&](TarncheckTest& t) { Edit(t.P(act), L"FontSize1=14", L"FontSize1=large"); }, 1,
       {L"Tarnwright_Act.ini line 6 [Application]: \"FontSize1=large\" does not read as a number: the wizard keeps "
        L"the default 12"}},
      {"language text missing",
       [&](TarncheckTest& t) { Edit(t.P(english), L"OkButton=OK\r\n", L""); }, 1,
       {L"English\\Tarnwright_Lang.ini line 73 [Finish]: OkButton is missing: the wizard shows an empty text there"}},
      {"placeholder missing",
       [&](TarncheckTest& t) { Edit(t.P(english), L"S_S_Info=%DiscName%: made", L"S_S_Info=made"); }, 1,
       {L"[Finish]: S_S_Info lacks %DiscName%, which the wizard replaces in this text"}},
      {"text too long for its control",
       [&](TarncheckTest& t) {
         Edit(t.P(english), L"AppName=Recovery Disc Creator",
              L"AppName=Recovery Disc Creator for every model of the fictitious maker's notebook family");
       },
       1, {L"English\\Tarnwright_Lang.ini [Application] AppName is longer than its control shows at 96 DPI: needs"}},
      {"help page missing, the Default page shown instead",
       [&](TarncheckTest& t) { ::DeleteFileW(t.P(L"Help\\Japanese\\finish.htm").c_str()); }, 1,
       {L"WARNING: Help.ini line 6 [Help]: 4004 names \"finish.htm\", which is missing for language folder Japanese "
        L"(looked for " + P(L"Help\\Japanese\\finish.htm") + L"): users of [0x0411] get the Default page "
        L"\"index.htm\" on step 4 (finish) instead"}},
      {"help page missing",  // the step's own page and the Default one
       [&](TarncheckTest& t) {
         ::DeleteFileW(t.P(L"Help\\Japanese\\finish.htm").c_str());
         ::DeleteFileW(t.P(L"Help\\Japanese\\index.htm").c_str());
       },
       1,
       {L"step 4 (finish) has no help page for language folder Japanese"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault);
    TarncheckTest& fixture = *this;
    twtest::RemoveTree(program_.path());
    CopyTree(Source(L"demo\\deployment\\program"), program_.path());
    ::CopyFileW((twtest::StandinDir() + L"\\QLNCmnDlg.dll").c_str(), P(L"QLNCmnDlg.dll").c_str(), FALSE);
    twtest::WriteBytes(P(L"Tarnwright.exe"), "");
    c.make(fixture);
    const Outcome run = Check();
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    for (const std::wstring& sentence : c.sentences) {
      EXPECT_NE(run.output.find(sentence), std::wstring::npos) << sentence << "\n" << run.output;
    }
  }
}

TEST_F(TarncheckTest, BurningProductMissingStopsTheWizard) {
  product_.key().DeleteValue(L"InstFolder");
  const Outcome run = Check();
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_NE(run.output.find(L"ERROR: the burning product is not installed"), std::wstring::npos) << run.output;
}

// Libraries the wizard loads that it cannot use: of the other architecture,
// with only a decorated export, or cut off. Each is put in place, checked
// and replaced by the stand-in again.
TEST_F(TarncheckTest, LibrariesTheWizardCannotUseAreErrors) {
#ifdef _WIN64
  const std::wstring other = L"is built for 32-bit x86 (0x014C), but the wizard is a 64-bit x64 program";
#else
  const std::wstring other = L"is built for 64-bit x64 (0x8664), but the wizard is a 32-bit x86 program";
#endif
#ifdef TARNCHECK_OTHER_ARCH_DLL
  const std::string otherBytes = twtest::ReadBytes(twtest::HostPath(TARNCHECK_OTHER_ARCH_DLL));
#else
  petest::Shape shape;
  shape.machine = kOwnMachineValue == 0x014C ? 0x8664 : 0x014C;
  shape.pe32Plus = shape.machine == 0x8664;
  shape.exports = {"GetOddsListW", "ShowAttentionToDiscFormatDlg"};
  const std::string otherBytes = petest::Build(shape);
#endif
  ASSERT_GT(otherBytes.size(), 64u);
  const std::wstring engineLibrary = product_ / L"KSIF.dll";
  const std::wstring dialogLibrary = P(L"QLNCmnDlg.dll");
  const std::string standinEngine = twtest::ReadBytes(twtest::StandinDir() + L"\\KSIF.dll");
  const std::string standinDialog = twtest::ReadBytes(twtest::StandinDir() + L"\\QLNCmnDlg.dll");
  const struct {
    const char* what;
    bool engine;  // KSIF.dll, else QLNCmnDlg.dll
    std::string bytes;
    std::wstring sentence;
  } cases[] = {
      {"engine library of the other architecture", true, otherBytes,
       L"ERROR: KSIF.dll (" + engineLibrary + L") " + other +
           L" and can only load a " + kOwnMachine + L" library: the wizard stops at start (Msg_BurnAppNotInstalled)"},
      {"engine library with a decorated export", true, LibraryBytes({"GetOddsListW@8"}),
       L"ERROR: KSIF.dll (" + engineLibrary +
           L") does not export \"GetOddsListW\" by that name, only as the decorated \"GetOddsListW@8\""},
      {"engine library cut off", true, standinEngine.substr(0, 100),
       L"ERROR: KSIF.dll (" + engineLibrary + L") cannot be read as a library: its PE header"},
      {"dialog library of the other architecture", false, otherBytes,
       L"ERROR: QLNCmnDlg.dll (" + dialogLibrary + L") " + other},
      {"dialog library with a decorated export", false, LibraryBytes({"_ShowAttentionToDiscFormatDlg@4"}),
       L"only as the decorated \"_ShowAttentionToDiscFormatDlg@4\" (the name a 32-bit __stdcall function gets "
       L"without a .def file or --kill-at), while the wizard asks for exactly \"ShowAttentionToDiscFormatDlg\": the "
       L"wizard ends when Next is pressed on the check-disc step"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    twtest::WriteBytes(c.engine ? engineLibrary : dialogLibrary, c.bytes);
    const Outcome run = Check();
    twtest::WriteBytes(engineLibrary, standinEngine);
    twtest::WriteBytes(dialogLibrary, standinDialog);
    EXPECT_EQ(run.exitCode, 2u) << run.output;
    EXPECT_NE(run.output.find(c.sentence), std::wstring::npos) << c.sentence << "\n" << run.output;
  }
}

// Places a non-administrator may change, with the account and the right:
// descriptors from the test build's table, since Wine keeps none.
TEST_F(TarncheckTest, WritablePlacesNameTheAccountAndTheRight) {
  SetDescriptors({
      {program_.path(), kUsersMayWrite},
      {P(L"Tarnwright_Act.ini"), L"O:S-1-5-21-1-2-3-1001D:PAI(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)"},
      {product_ / L"KSIF.dll", L"O:BAD:PAI(A;;FA;;;SY)(A;;FA;;;BA)(A;;GA;;;WD)"},
  });
  const Outcome run = Check();
  EXPECT_EQ(run.exitCode, 2u) << run.output;
  for (const std::wstring& expected : {
           L"ERROR: the program folder and the common dialog library's folder " + program_.path() +
               L" may be changed by accounts other than the administrators, and the wizard runs with administrator "
               L"rights from it:\r\n",
           std::wstring(L"BUILTIN\\Users (S-1-5-32-545) may add files and add subfolders\r\n"),
           L"ERROR: Tarnwright_Act.ini " + P(L"Tarnwright_Act.ini") + L" may be changed",
           std::wstring(L"S-1-5-21-1-2-3-1001 (no account of that SID is known here), its owner, may change "
                        L"permissions\r\n"),
           L"ERROR: KSIF.dll " + (product_ / L"KSIF.dll") + L" may be changed",
           std::wstring(L"Everyone (S-1-1-0) may write data, append data, change permissions and take ownership\r\n"),
       }) {
    EXPECT_NE(run.output.find(expected), std::wstring::npos) << expected << "\n" << run.output;
  }
  // The files in the folder Users may add to stay the administrators' own.
  EXPECT_EQ(run.output.find(L"ERROR: TarnSet.ini"), std::wstring::npos) << run.output;
}

// The shipped program reads the platform's descriptors: under Wine those
// come from the Unix mode bits, with the Wine user as owner and full
// control. An access list that lets Everyone write is kept as the mode's
// "others" bits, so that much a test can show with a real descriptor.
TEST_F(TarncheckTest, RealDescriptorsOfThePlatformAreRead) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
      L"D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;WD)", SDDL_REVISION_1, &sd, nullptr));
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  ::GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted);
  std::wstring folder = program_.path();
  const DWORD set = ::SetNamedSecurityInfoW(&folder[0], SE_FILE_OBJECT,
                                            DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                            nullptr, dacl, nullptr);
  ::LocalFree(sd);
  ASSERT_EQ(set, 0u);
  const Outcome run = RunTarncheck(L"\"" + program_.path() + L"\"");
  EXPECT_EQ(run.exitCode, 2u) << run.output;
  EXPECT_NE(run.output.find(L"Everyone (S-1-1-0) may add files, add subfolders and delete files and subfolders in "
                            L"it\r\n"),
            std::wstring::npos)
      << run.output;
  // Wine names the Wine user as every object's owner.
  EXPECT_NE(run.output.find(L", its owner, may "), std::wstring::npos) << run.output;
}

TEST(TarncheckCommandLine, LogRingAndBadArguments) {
  twtest::EnsureLogParentFolder();
  WriteLog(L"Norvane\\Quillon\\Tarnwright\\Tarnwright.log", L"Tarnwright.exe", L"TarncheckTest::Marker", 42,
           L"marker entry");
  Outcome run = RunTarncheck(L"/log");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.output.rfind(L"time ", 0), 0u) << run.output;
  EXPECT_NE(run.output.find(L"TarncheckTest::Marker"), std::wstring::npos);
  EXPECT_NE(run.output.find(L"marker entry"), std::wstring::npos);
  run = RunTarncheck(L"/log /since:2999-01-01");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.output.rfind(L"No log entries from 2999-01-01 on", 0), 0u) << run.output;
  run = RunTarncheck(L"/verbose");
  EXPECT_EQ(run.exitCode, 3u);
  EXPECT_EQ(run.output.rfind(L"tarncheck: unknown option \"/verbose\"", 0), 0u) << run.output;
  run = RunTarncheck(L"C:\\NoSuchDeployment");
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_NE(run.output.find(L"ERROR: C:\\NoSuchDeployment is not a folder"), std::wstring::npos) << run.output;
}

}  // namespace
