#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/log_reader.h"
#include "steps/mk_disc_dlg.h"
#include "steps_test_support.h"

namespace {

using stepstest::SettingsGuard;
using stepstest::Utf16File;
using twtest::LoggedMessages;
using twtest::TempDir;
using Lines = std::vector<std::wstring>;

constexpr wchar_t kFn[] = L"MkDiscDlg::CreateDiscInfoFile";

DiscEntry BootableEntry() {
  DiscEntry e;
  e.Title = L"Recovery Disc 1";
  e.VolumeLabel = L"RECOVERY_1";
  e.Type = 3;
  e.Folder = L"D:\\Recovery\\Disc1";
  e.BootImg = L"D:\\Recovery\\boot.img";
  e.BootImgType = 1;
  return e;
}

class DiscInfoFile : public ::testing::Test {
 protected:
  DiscInfoFile() { tw::Settings().AppName = L"Recovery Disc Maker"; }
  bool Create(const DiscEntry& e, int32_t discType = 0) {
    return MkDiscDlg::CreateDiscInfoFile(path_, L"E:\\", discType, L"C:\\Temp\\TWR1A.tmp", e);
  }
  std::string Bytes() const { return twtest::ReadBytes(path_); }

  SettingsGuard settings_;
  TempDir dir_;
  const std::wstring path_ = dir_ / L"TWR19.tmp";
};

TEST_F(DiscInfoFile, BootableDiscByteForByte) {
  ASSERT_TRUE(Create(BootableEntry(), 1));
  const std::string bytes = Bytes();
  EXPECT_EQ(bytes,
            Utf16File(L"[MainUI]\r\nWndTitle=Recovery Disc Maker\r\n"
                      L"[ProgressUI]\r\nTitle=Recovery Disc Maker\r\n"
                      L"[WriteInfo]\r\nTitle=Recovery Disc 1\r\nWritingType=Files_Bootable\r\n"
                      L"WriteData=C:\\Temp\\TWR1A.tmp\r\nBootImg=D:\\Recovery\\boot.img\r\nBootImgType=1\r\n"
                      L"ODD=E:\\\r\nDisc=BD_1\r\nWritingSpeed=2\r\n"
                      L"[Option]\r\nVolumeLabel=RECOVERY_1\r\n"));
  EXPECT_EQ(bytes.compare(0, 2, "\xFF\xFE"), 0);
  EXPECT_FALSE(stepstest::HasNulUnit(bytes));
}

TEST_F(DiscInfoFile, ImageIsWrittenAsFilesAndOptionHeaderEndsTheFile) {
  DiscEntry e = BootableEntry();
  e.Type = 1;
  e.VolumeLabel.clear();
  e.Title = L"リカバリディスク 2";
  ASSERT_TRUE(Create(e));
  EXPECT_EQ(Bytes(), Utf16File(L"[MainUI]\r\nWndTitle=Recovery Disc Maker\r\n"
                               L"[ProgressUI]\r\nTitle=Recovery Disc Maker\r\n"
                               L"[WriteInfo]\r\nTitle=リカバリディスク 2\r\nWritingType=Files\r\n"
                               L"WriteData=C:\\Temp\\TWR1A.tmp\r\nODD=E:\\\r\nDisc=DVD_1\r\nWritingSpeed=2\r\n"
                               L"[Option]\r\n"));
}

TEST_F(DiscInfoFile, ReplacesWhatTheFileHeld) {
  twtest::WriteBytes(path_, std::string(4096, 'x'));
  DiscEntry e = BootableEntry();
  e.Type = 0;
  ASSERT_TRUE(Create(e));
  const std::string bytes = Bytes();
  EXPECT_EQ(bytes.find('x'), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - 6), tw::ToUtf16Le(L"1\r\n"));
}

TEST_F(DiscInfoFile, BootImgTypeFiveFailsAfterBootImg) {
  DiscEntry e = BootableEntry();
  e.BootImgType = 5;
  tw::LogWatch watch;
  EXPECT_FALSE(Create(e));
  EXPECT_EQ(LoggedMessages(watch, kFn), Lines{L"0x00000005, Recovery Disc 1"});
  const std::wstring text = tw::FromUtf16Le(Bytes().substr(2));
  const std::wstring last = L"BootImg=D:\\Recovery\\boot.img\r\n";
  ASSERT_GT(text.size(), last.size());
  EXPECT_EQ(text.substr(text.size() - last.size()), last);
}

TEST_F(DiscInfoFile, UnknownTypeOrDiscTypeFails) {
  DiscEntry e = BootableEntry();
  e.Type = 4;
  tw::LogWatch watch;
  EXPECT_FALSE(Create(e));
  EXPECT_EQ(LoggedMessages(watch, kFn), Lines{L"0x00000004"});
  EXPECT_EQ(tw::FromUtf16Le(Bytes()).find(L"WritingType"), std::wstring::npos);
  e.Type = 2;
  EXPECT_FALSE(Create(e, 2));
  EXPECT_EQ(LoggedMessages(watch, kFn), (Lines{L"0x00000004", L"0x00000002, Recovery Disc 1"}));
  EXPECT_EQ(tw::FromUtf16Le(Bytes()).find(L"Disc="), std::wstring::npos);
}

TEST_F(DiscInfoFile, FileThatCannotBeCreatedIsLogged) {
  const std::wstring path = dir_ / L"missing\\TWR1.tmp";
  tw::LogWatch watch;
  EXPECT_FALSE(MkDiscDlg::CreateDiscInfoFile(path, L"E:\\", 0, L"C:\\l.tmp", BootableEntry()));
  EXPECT_EQ(LoggedMessages(watch, kFn), Lines{L"0x00000003, " + path});
}

}  // namespace
