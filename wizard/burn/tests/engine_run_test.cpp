// The engine stand-in really run by ExecuteBrnApp on a disc information
// file and a burn file list written here, as the make-disc step writes them.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/handles.h"
#include "burn/brn_app_cnctor.h"
#include "burn_test_support.h"

using burntest::FakeProduct;
using twtest::PatternBytes;
using twtest::ReadTree;
using twtest::TreeFile;

namespace {

struct ListLine {
  std::wstring source, discPath;
};

// UTF-16LE with byte-order mark, CR LF lines, closed by an empty line.
void WriteBurnList(const std::wstring& path, const std::vector<ListLine>& lines, bool closed = true) {
  std::wstring text;
  for (const auto& l : lines) text += l.source + L"\t" + l.discPath + L"\r\n";
  if (closed) text += L"\r\n";
  twtest::WriteTextFile(path, text, twtest::Encoding::Utf16Bom);
}

struct DiscInfo {
  std::wstring writingType = L"Files";
  std::wstring writeData;
  std::wstring bootImg;
  std::wstring odd = L"E:\\";
  std::wstring disc = L"DVD_1";
  std::wstring volumeLabel = L"RECOVERY_1";
};

// The engine's exit code, and the class the connector gives it.
void ExpectResult(DWORD code, DWORD expected, BrnResultType type) {
  EXPECT_EQ(code, expected);
  EXPECT_EQ(CBrnAppCnctor::GetBrnResultType(code), type) << code;
}

void WriteDiscInfo(const std::wstring& path, const DiscInfo& d) {
  std::wstring text = L"[MainUI]\r\nWndTitle=Tarnwright\r\n[ProgressUI]\r\nTitle=Tarnwright progress\r\n"
                      L"[WriteInfo]\r\nTitle=Recovery Disc 1\r\nWritingType=" + d.writingType +
                      L"\r\nWriteData=" + d.writeData + L"\r\n";
  if (!d.bootImg.empty()) text += L"BootImg=" + d.bootImg + L"\r\nBootImgType=1\r\n";
  text += L"ODD=" + d.odd + L"\r\nDisc=" + d.disc + L"\r\nWritingSpeed=2\r\n[Option]\r\n";
  if (!d.volumeLabel.empty()) text += L"VolumeLabel=" + d.volumeLabel + L"\r\n";
  twtest::WriteTextFile(path, text, twtest::Encoding::Utf16Bom);
}

// A product with drive E's disc, a data folder and a job folder whose name
// holds blanks, as temporary folders under a user profile may.
class EngineRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    disc_ = product_.MakeVirtualDisc(L"disc E");
    data_ = product_ / L"data";
    jobs_ = product_ / L"job files";
    twtest::MakeDirs(jobs_);
    Settings(L"");
  }
  void Settings(const std::wstring& test, const std::wstring& capacity = L"DVD_1=4\r\nBD_1=8\r\n") {
    product_.SetEngineSettings(L"[Drives]\r\nE=" + disc_ + L"\r\n[Capacity]\r\n" + capacity + L"[Test]\r\n" + test);
  }
  std::wstring AddFile(const std::wstring& relative, size_t size, unsigned seed) {
    const std::wstring path = data_ + relative;
    twtest::WriteBytes(path, PatternBytes(size, seed));
    return path;
  }
  // Writes the job for `lines`; Run also runs the engine to its end.
  void WriteJob(const std::vector<ListLine>& lines, DiscInfo info = DiscInfo(), bool closed = true) {
    info.writeData = jobs_ + L"\\TWR1.tmp";
    WriteBurnList(info.writeData, lines, closed);
    WriteDiscInfo(InfoPath(), info);
  }
  DWORD Run(const std::vector<ListLine>& lines, const DiscInfo& info = DiscInfo(), bool closed = true) {
    WriteJob(lines, info, closed);
    return RunJob(InfoPath());
  }
  DWORD RunJob(const std::wstring& infoPath) {
    PROCESS_INFORMATION pi{};
    return CBrnAppCnctor().ExecuteBrnApp(infoPath, &pi) ? twtest::WaitForExitCode(pi) : 0xFFFFFFFF;
  }
  std::wstring InfoPath() const { return jobs_ + L"\\TWR0.tmp"; }
  // What the disc should hold for `lines` of data below data_.
  std::vector<TreeFile> Expected(const std::vector<ListLine>& lines) {
    std::vector<TreeFile> out;
    for (const auto& l : lines) {
      if (::GetFileAttributesW(l.source.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
        out.push_back({l.discPath + L"\\", std::string()});
      } else {
        out.push_back({l.discPath, twtest::ReadBytes(l.source)});
      }
      // Folders on the way to the file.
      for (size_t p = l.discPath.find(L'\\', 1); p != std::wstring::npos; p = l.discPath.find(L'\\', p + 1)) {
        out.push_back({l.discPath.substr(0, p + 1), std::string()});
      }
    }
    std::sort(out.begin(), out.end(), [](const TreeFile& a, const TreeFile& b) { return a.path < b.path; });
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
  }
  std::vector<ListLine> SampleLines() {
    twtest::MakeDirs(data_ + L"\\empty");
    return {{AddFile(L"\\a.wim", 300 * 1024 + 7, 1), L"\\a.wim"},
            {AddFile(L"\\sub\\b.swm", 1024 * 1024 + 3, 2), L"\\sub\\b.swm"},
            {AddFile(L"\\sub\\deeper\\c.txt", 0, 3), L"\\sub\\deeper\\c.txt"},
            {data_ + L"\\empty", L"\\empty"}};
  }

  FakeProduct product_;
  std::wstring disc_, data_, jobs_;
};

TEST_F(EngineRunTest, WritesTheListedFilesAndReplacesTheOldContent) {
  twtest::WriteBytes(disc_ + L"\\old\\left over.bin", "old content");
  const auto lines = SampleLines();
  ASSERT_EQ(Run(lines), 0u);
  EXPECT_EQ(ReadTree(disc_), Expected(lines));
  // The marker stays and carries the disc's label.
  wchar_t label[64] = {};
  ::GetPrivateProfileStringW(L"Disc", L"VolumeLabel", L"", label, 64, (disc_ + L"\\KSVDISC.TAG").c_str());
  EXPECT_STREQ(label, L"RECOVERY_1");
  // The job path with blanks arrived whole, unquoted after "/F:".
  EXPECT_EQ(product_.EngineSetting(L"LastRun", L"JobFile"), InfoPath());
  EXPECT_EQ(product_.EngineSetting(L"LastRun", L"CommandLine"),
            L"\"" + (product_ / L"KSCORE.exe") + L"\" /F:" + InfoPath());
  EXPECT_EQ(CBrnAppCnctor::GetBrnResultType(0), BrnResultType::Success);
}

TEST_F(EngineRunTest, IsoImageAndBootImageAreWritten) {
  const std::wstring iso = AddFile(L"\\image.iso", 200 * 1024, 4);
  DiscInfo isoJob;
  isoJob.writingType = L"ISO";
  ASSERT_EQ(Run({{iso, L""}}, isoJob), 0u);
  EXPECT_EQ(ReadTree(disc_), (std::vector<TreeFile>{{L"\\image.iso", twtest::ReadBytes(iso)}}));

  // The boot image may lie outside the data folder.
  const std::wstring boot = product_ / L"boot.img";
  twtest::WriteBytes(boot, PatternBytes(4096, 5));
  DiscInfo bootable;
  bootable.writingType = L"Files_Bootable";
  bootable.bootImg = boot;
  const std::wstring file = AddFile(L"\\x.bin", 1000, 6);
  ASSERT_EQ(Run({{file, L"\\x.bin"}}, bootable), 0u);
  EXPECT_EQ(ReadTree(disc_), (std::vector<TreeFile>{{L"\\[BOOT]\\", ""},
                                                  {L"\\[BOOT]\\boot.img", twtest::ReadBytes(boot)},
                                                  {L"\\x.bin", twtest::ReadBytes(file)}}));
}

TEST_F(EngineRunTest, DataLargerThanTheDiscIsRefusedBeforeErasing) {
  Settings(L"", L"DVD_1=1\r\n");
  twtest::WriteBytes(disc_ + L"\\keep.bin", "keep");
  const std::wstring exact = AddFile(L"\\exact.bin", 1024 * 1024, 7);
  ASSERT_EQ(Run({{exact, L"\\exact.bin"}}), 0u);  // exactly the capacity fits

  const std::wstring extra = AddFile(L"\\one more.bin", 1, 8);
  twtest::WriteBytes(disc_ + L"\\keep.bin", "keep");
  ExpectResult(Run({{exact, L"\\exact.bin"}, {extra, L"\\one more.bin"}}), 306u, BrnResultType::Preparing);
  EXPECT_EQ(twtest::ReadBytes(disc_ + L"\\keep.bin"), "keep");
}

TEST_F(EngineRunTest, FolderWithoutTheMarkerIsNeverEmptied) {
  const std::wstring plain = product_.MakeVirtualDisc(L"plain", false);
  twtest::WriteBytes(plain + L"\\precious.doc", "precious");
  product_.SetEngineSettings(L"[Drives]\r\nE=" + plain + L"\r\n[Capacity]\r\nDVD_1=4\r\n");
  ExpectResult(Run({{AddFile(L"\\a.bin", 10, 9), L"\\a.bin"}}), 305u, BrnResultType::Preparing);
  EXPECT_EQ(twtest::ReadBytes(plain + L"\\precious.doc"), "precious");
}

TEST_F(EngineRunTest, FailsOnceThenSucceedsOnRetry) {
  Settings(L"FailOnce=116\r\n");
  const auto lines = SampleLines();
  ExpectResult(Run(lines), 116u, BrnResultType::Burning);
  EXPECT_TRUE(ReadTree(disc_).empty());
  // Retry runs the engine again with the same two files.
  EXPECT_EQ(RunJob(InfoPath()), 0u);
  EXPECT_EQ(ReadTree(disc_), Expected(lines));
  EXPECT_EQ(product_.EngineSetting(L"LastRun", L"Runs"), L"2");
}

TEST_F(EngineRunTest, GivenExitCodesAndACrashReachTheCaller) {
  const std::vector<ListLine> lines = {{AddFile(L"\\a.bin", 10, 10), L"\\a.bin"}};
  for (DWORD code : {311u, 117u, 112u}) {
    Settings(L"ExitCode=" + std::to_wstring(code) + L"\r\n");
    EXPECT_EQ(Run(lines), code);
  }
  Settings(L"Crash=1\r\n");
  ExpectResult(Run(lines), EXCEPTION_ACCESS_VIOLATION, BrnResultType::Unknown);
}

TEST_F(EngineRunTest, DamagedWriteFailsVerification) {
  Settings(L"CorruptAfterWrite=1\r\n");
  ExpectResult(Run({{AddFile(L"\\a.bin", 5000, 11), L"\\a.bin"}}), 323u, BrnResultType::Verifying);
}

TEST_F(EngineRunTest, BadJobsAreRefused) {
  const std::wstring file = AddFile(L"\\a.bin", 10, 12);
  EXPECT_EQ(Run({{file, L"\\a.bin"}}, DiscInfo(), false), 302u);  // list without its closing empty line
  EXPECT_EQ(Run({{file, L"\\..\\outside.bin"}}), 302u);           // a path that leaves the disc
  EXPECT_EQ(Run({{file + L".missing", L"\\a.bin"}}), 303u);
  DiscInfo otherDrive;
  otherDrive.odd = L"Q:\\";
  EXPECT_EQ(Run({{file, L"\\a.bin"}}, otherDrive), 304u);
  DiscInfo unknownDisc;
  unknownDisc.disc = L"HD_1";
  EXPECT_EQ(Run({{file, L"\\a.bin"}}, unknownDisc), 301u);
  EXPECT_EQ(RunJob(jobs_ + L"\\missing.tmp"), 301u);
  EXPECT_TRUE(ReadTree(disc_).empty());
}

// The engine's progress window: a visible top-level window of that process
// with a Cancel button.
HWND FindProgressWindow(DWORD processId) {
  struct {
    DWORD processId;
    HWND found;
  } search{processId, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM param) CALLBACK -> BOOL {
        auto* s = reinterpret_cast<decltype(search)*>(param);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner != s->processId || !::IsWindowVisible(window) || !::GetDlgItem(window, IDCANCEL)) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TEST_F(EngineRunTest, CancelInTheProgressWindowAborts) {
  Settings(L"DelayMs=60000\r\n");
  WriteJob({{AddFile(L"\\a.bin", 10, 13), L"\\a.bin"}});
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CBrnAppCnctor().ExecuteBrnApp(InfoPath(), &pi));
  HWND window = nullptr;
  for (int i = 0; i < 200 && !window; ++i) {
    ::Sleep(50);
    window = FindProgressWindow(pi.dwProcessId);
  }
  ASSERT_NE(window, nullptr);
  wchar_t caption[128] = {};
  ::GetWindowTextW(window, caption, 128);
  EXPECT_STREQ(caption, L"Tarnwright progress");
  ::SendMessageW(::GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
  ExpectResult(twtest::WaitForExitCode(pi), 310u, BrnResultType::Abort);
}

}  // namespace
