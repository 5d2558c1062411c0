// The burning engine stand-in run on a disc information file and a burn
// file list written by the writers here, as the make-disc step hands them
// over: the engine must accept both and put exactly the listed data on the
// disc.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/handles.h"
#include "steps/mk_disc_dlg.h"
#include "steps_test_support.h"

namespace {

using twtest::TempDir;

using Lines = std::vector<std::wstring>;

// Files and folders on the disc as "\relative" (folders end with "\"), sorted.
Lines Tree(const std::wstring& root) {
  Lines paths;
  for (const twtest::TreeFile& file : twtest::ReadTree(root)) paths.push_back(file.path);
  return paths;
}

class EngineEndToEnd : public ::testing::Test {
 protected:
  EngineEndToEnd() : surroundings_(dir_.path()[0]) {
    tw::Settings().AppName = L"Recovery Disc Maker";
    engine_ = dir_ / L"product\\KSCORE.exe";
    twtest::MakeDirs(dir_ / L"product");
    EXPECT_TRUE(::CopyFileW((twtest::StandinDir() + L"\\KSCORE.exe").c_str(), engine_.c_str(), FALSE));
    twtest::WriteBytes(disc_ + L"\\KSVDISC.TAG", "");
    twtest::WriteTextFile(dir_ / L"product\\KSCORE.ini",
                          L"[Drives]\r\nE=" + disc_ + L"\r\n[Capacity]\r\nDVD_1=4\r\nBD_1=8\r\n");
  }

  // Writes both files as the make-disc step does and runs the engine on them.
  DWORD MakeDisc(const DiscEntry& entry) {
    const std::wstring info = dir_ / L"temp folder\\TWR1.tmp";
    const std::wstring list = dir_ / L"temp folder\\TWR2.tmp";
    twtest::MakeDirs(dir_ / L"temp folder");
    if (!MkDiscDlg::CreateDiscInfoFile(info, L"E:\\", 0, list, entry)) return 0xFFFFFFFE;
    if (!MkDiscDlg::CreateBrnFileListFile(list, 0, L"C:\\Tarnwright_Act.ini", entry)) return 0xFFFFFFFD;
    std::wstring commandLine = L"\"" + engine_ + L"\" /F:" + info;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const bool started = ::CreateProcessW(engine_.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                          nullptr, &startup, &process);
    return started ? twtest::WaitForExitCode(process) : 0xFFFFFFFC;
  }

  std::wstring Marker(const wchar_t* key) const {
    wchar_t value[256] = {};
    ::GetPrivateProfileStringW(L"Disc", key, L"", value, 256, (disc_ + L"\\KSVDISC.TAG").c_str());
    return value;
  }

  stepstest::SettingsGuard settings_;
  TempDir dir_;
  stepstest::ListSurroundings surroundings_;
  std::wstring engine_;
  const std::wstring disc_ = dir_ / L"disc E";
  const std::wstring data_ = dir_ / L"Recovery Data";
};

TEST_F(EngineEndToEnd, BootableFilesDiscIsAcceptedAndWrittenAsListed) {
  twtest::WriteBytes(data_ + L"\\a.wim", std::string(300 * 1024 + 7, 'a'));
  twtest::WriteBytes(data_ + L"\\ドライバ\\b.bin", "driver");
  twtest::WriteBytes(data_ + L"\\ドライバ\\skip.tmp", "excluded");
  twtest::MakeDirs(data_ + L"\\empty");
  twtest::WriteBytes(dir_ / L"boot\\boot.img", std::string(2048, 'b'));
  surroundings_.SetCommonList(data_ + L"\\ドライバ\\skip.tmp");

  DiscEntry entry;
  entry.Title = L"Recovery Disc 1";
  entry.VolumeLabel = L"RECOVERY_1";
  entry.Type = 3;
  entry.Folder = data_ + L"\\";
  entry.BootImg = dir_ / L"boot\\boot.img";
  entry.BootImgType = 2;
  ASSERT_EQ(MakeDisc(entry), 0u);
  EXPECT_EQ(Tree(disc_), (Lines{L"\\[BOOT]\\", L"\\[BOOT]\\boot.img", L"\\a.wim", L"\\empty\\", L"\\ドライバ\\",
                                     L"\\ドライバ\\b.bin"}));
  EXPECT_EQ(twtest::ReadBytes(disc_ + L"\\a.wim"), std::string(300 * 1024 + 7, 'a'));
  EXPECT_EQ(Marker(L"Title"), L"Recovery Disc 1");
  EXPECT_EQ(Marker(L"VolumeLabel"), L"RECOVERY_1");
  EXPECT_EQ(Marker(L"WritingType"), L"Files_Bootable");
  EXPECT_EQ(Marker(L"BootImgType"), L"2");
}

TEST_F(EngineEndToEnd, IsoAndImageDiscsAreAccepted) {
  twtest::WriteBytes(data_ + L"\\Iso\\recovery.iso", std::string(4096, 'i'));
  DiscEntry iso;
  iso.Title = L"ISO";
  iso.Type = 0;
  iso.Folder = data_ + L"\\Iso";
  ASSERT_EQ(MakeDisc(iso), 0u);
  EXPECT_EQ(Tree(disc_), Lines{L"\\recovery.iso"});
  EXPECT_EQ(Marker(L"WritingType"), L"ISO");

  // Second disc of an image set packed onto 1 MiB discs.
  tw::Settings().Dvd1SizeMiB = 1;
  tw::Settings().ImageInfo32.clear();
  tw::Settings().ImageInfo64.clear();
  const std::wstring image = data_ + L"\\Image";
  twtest::WriteTextFile(image + L"\\r.inf", L"[ImageFileInfo]\r\nImageInfo=Model-X\r\n");
  twtest::WriteBytes(image + L"\\r.fc2", std::string(700 * 1024, '1'));
  twtest::WriteBytes(image + L"\\r.002", std::string(700 * 1024, '2'));
  DiscEntry second;
  second.DiscNumber = 1;
  second.Title = L"Image 2";
  second.Type = 1;
  second.Folder = image;
  ASSERT_EQ(MakeDisc(second), 0u);
  EXPECT_EQ(Tree(disc_), Lines{L"\\r.002"});
  EXPECT_EQ(Marker(L"WritingType"), L"Files");
}

}  // namespace
