// tarncheck.exe end to end: the sample deployment, and broken copies of it
// with one fault each and the sentence the engineer must read about it.
#include <gtest/gtest.h>

#include <windows.h>

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

// Runs tarncheck.exe with the arguments and collects what it prints (UTF-8).
Outcome RunTarncheck(const std::wstring& arguments) {
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
  std::wstring commandLine = L"\"" + twtest::HostPath(TARNCHECK_EXE) + L"\" " + arguments;
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

// The sample deployment in a folder of its own, the generated recovery data
// at the root of C: (recorded as the recovery drive) and a burning product
// with one DVD and BD writer.
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
  }

  void SetUp() override {
    if (setupError_) GTEST_SKIP() << *setupError_;
  }

  Outcome Check() { return RunTarncheck(L"\"" + program_.path() + L"\""); }

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
};
std::string* TarncheckTest::setupError_ = nullptr;

TEST_F(TarncheckTest, SampleDeploymentIsClean) {
  const Outcome run = Check();
  EXPECT_EQ(run.exitCode, 0u) << run.output;
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
       {L"WARNING: Tarnwright_Act.ini line 52 [SelectDiscSet]: \"CanSelectODD =0\" has a blank before \"=\": the "
        L"wizard takes CanSelectODD only when \"=\" follows the name directly, so this line is ignored"}},
      {"misspelt key",
       [&](TarncheckTest& t) { Edit(t.P(act), L"BackButton_Visible=1", L"BackButton_Visibel=0"); }, 1,
       {L"[SelectDiscSet]: \"BackButton_Visibel\" is not a key the wizard reads here (did you mean "
        L"BackButton_Visible?): the line is ignored"}},
      {"key given twice",
       [&](TarncheckTest& t) { Edit(t.P(act), L"BD1_Size=8", L"BD1_Size=8\r\nDVD1_Size=3"); }, 1,
       {L"[OpticalDisc]: DVD1_Size is given 2 times (lines 16 and 18): the wizard takes the last one, \"3\""}},
      {"number that does not read",
       [&](TarncheckTest& t) { Edit(t.P(act), L"FontSize1=14", L"FontSize1=large"); }, 1,
       {L"Tarnwright_Act.ini line 6 [Application]: \"FontSize1=large\" does not read as a number: the wizard keeps "
        L"the default 12"}},
      {"language text missing",
       [&](TarncheckTest& t) { Edit(t.P(english), L"OkButton=OK\r\n", L""); }, 1,
       {L"English\\Tarnwright_Lang.ini line 62 [Finish]: OkButton is missing: the wizard shows an empty text there"}},
      {"placeholder missing",
       [&](TarncheckTest& t) { Edit(t.P(english), L"S_S_Info=%DiscName%: made", L"S_S_Info=made"); }, 1,
       {L"[Finish]: S_S_Info lacks %DiscName%, which the wizard replaces in this text"}},
      {"text too long for its control",
       [&](TarncheckTest& t) {
         Edit(t.P(english), L"AppName=Recovery Disc Creator",
              L"AppName=Recovery Disc Creator for every model of the fictitious maker's notebook family");
       },
       1, {L"English\\Tarnwright_Lang.ini [Application] AppName is longer than its control shows at 96 DPI: needs"}},
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
