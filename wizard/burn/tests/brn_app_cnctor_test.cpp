#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/handles.h"
#include "app/log_reader.h"
#include "burn/brn_app_cnctor.h"
#include "burn_test_support.h"

using burntest::FakeProduct;
using twtest::LoggedMessages;
using Lines = std::vector<std::wstring>;

namespace {

constexpr wchar_t kCtor[] = L"CBrnAppCnctor::CBrnAppCnctor";
constexpr wchar_t kGetInst[] = L"CBrnAppCnctor::GetInstFolderPath";
constexpr wchar_t kGetOdds[] = L"CBrnAppCnctor::GetOddsInfo";
constexpr wchar_t kExecute[] = L"CBrnAppCnctor::ExecuteBrnApp";

void ExpectNotReady(const CBrnAppCnctor& c) {
  EXPECT_FALSE(c.IsReady);
  EXPECT_TRUE(c.InstFolderPath.empty());
  EXPECT_TRUE(c.EngineExePath.empty());
  EXPECT_FALSE(c.EngineLibrary);
  EXPECT_EQ(c.GetOddsListProc, nullptr);
}

TEST(CBrnAppCnctor, ReadyWhenBothFilesArePresent) {
  FakeProduct product;
  tw::LogWatch watch;
  CBrnAppCnctor c;
  EXPECT_TRUE(c.IsReady);
  EXPECT_EQ(c.InstFolderPath, product.folder());
  EXPECT_EQ(c.EngineExePath, product / L"KSCORE.exe");
  EXPECT_TRUE(c.EngineLibrary);
  EXPECT_NE(c.GetOddsListProc, nullptr);
  EXPECT_TRUE(watch.NewEntries().empty());
}

TEST(CBrnAppCnctor, TrailingBackslashOfTheFolderIsDropped) {
  FakeProduct product;
  product.key().SetString(CBrnAppCnctor::kInstFolderValue, product.folder() + L"\\");
  CBrnAppCnctor c;
  EXPECT_TRUE(c.IsReady);
  EXPECT_EQ(c.InstFolderPath, product.folder());
  EXPECT_EQ(c.EngineExePath, product.folder() + L"\\KSCORE.exe");
}

TEST(CBrnAppCnctor, InstallFolderValueMustBeAPlainNonEmptyString) {
  FakeProduct product;
  struct Case {
    const wchar_t* what;
    DWORD type;
    std::wstring value;
    const wchar_t* message;
  } cases[] = {
      {L"expand string", REG_EXPAND_SZ, product.folder(), L"0x00000000, InstFolder"},
      {L"empty", REG_SZ, L"", L"0x00000000, InstFolder"},
      {L"longer than a path", REG_SZ, std::wstring(300, L'x'), L"0x000000ea, InstFolder"},
  };
  for (const Case& k : cases) {
    product.key().SetString(CBrnAppCnctor::kInstFolderValue, k.value, k.type);
    tw::LogWatch watch;
    ExpectNotReady(CBrnAppCnctor());
    EXPECT_EQ(LoggedMessages(watch, kGetInst), Lines{k.message}) << k.what;
  }
  product.key().DeleteValue(CBrnAppCnctor::kInstFolderValue);
  tw::LogWatch watch;
  ExpectNotReady(CBrnAppCnctor());
  EXPECT_EQ(LoggedMessages(watch, kGetInst), Lines{L"0x00000002, InstFolder"});
}

TEST(CBrnAppCnctor, MissingEngineOrLibraryMeansNotInstalled) {
  for (const bool withEngine : {false, true}) {
    FakeProduct product(withEngine, !withEngine);
    tw::LogWatch watch;
    ExpectNotReady(CBrnAppCnctor());
    EXPECT_EQ(LoggedMessages(watch, kCtor), Lines{product / (withEngine ? L"KSIF.dll" : L"KSCORE.exe")});
  }
  // A folder of the engine's name does not count as the engine.
  FakeProduct product(false, true);
  twtest::MakeDirs(product / L"KSCORE.exe");
  ExpectNotReady(CBrnAppCnctor());
}

TEST(CBrnAppCnctor, LibraryThatDoesNotLoadMeansNotInstalled) {
  FakeProduct product(true, false);
  twtest::WriteBytes(product / L"KSIF.dll", "not a library");
  tw::LogWatch watch;
  ExpectNotReady(CBrnAppCnctor());
  EXPECT_EQ(LoggedMessages(watch, kCtor), Lines{L"0x000000c1, " + (product / L"KSIF.dll")});
}

TEST(CBrnAppCnctor, LibraryWithoutTheExportStaysReadyButCannotListDrives) {
  FakeProduct product(true, false);
  // Any other library will do: the common dialog stand-in lacks GetOddsListW.
  ASSERT_TRUE(::CopyFileW((twtest::StandinDir() + L"\\QLNCmnDlg.dll").c_str(), (product / L"KSIF.dll").c_str(),
                          FALSE));
  tw::LogWatch watch;
  CBrnAppCnctor c;
  EXPECT_TRUE(c.IsReady);
  EXPECT_TRUE(c.EngineLibrary);
  EXPECT_EQ(c.GetOddsListProc, nullptr);
  EXPECT_EQ(LoggedMessages(watch, kCtor), Lines{L"0x0000007f"});

  OddInfo drives[26];
  uint32_t count = 26;
  EXPECT_FALSE(c.GetOddsInfo(drives, &count));
  EXPECT_EQ(count, 26u);
  EXPECT_EQ(LoggedMessages(watch, kGetOdds), Lines{L""});
}

TEST(CBrnAppCnctor, DestructorUnloadsTheLibrary) {
  FakeProduct product;
  {
    CBrnAppCnctor c;
    ASSERT_TRUE(c.IsReady);
    EXPECT_NE(::GetModuleHandleW((product / L"KSIF.dll").c_str()), nullptr);
  }
  EXPECT_EQ(::GetModuleHandleW((product / L"KSIF.dll").c_str()), nullptr);
  EXPECT_TRUE(::DeleteFileW((product / L"KSIF.dll").c_str()));
}

// GetOddsInfo against the interface library stand-in.
class OddsListTest : public ::testing::Test {
 protected:
  void List(const std::wstring& settings) {
    product_.SetLibrarySettings(settings);
    for (auto& d : drives_) d = OddInfo();
    count_ = 26;
    ok_ = connector_.GetOddsInfo(drives_, &count_);
  }
  FakeProduct product_;
  CBrnAppCnctor connector_;
  OddInfo drives_[26];
  uint32_t count_ = 26;
  bool ok_ = false;
};

TEST_F(OddsListTest, OneDvdWriter) {
  List(L"[GetOddsList]\r\nDrives=E\r\n[Drive E]\r\nName=Virtual DVD Writer\r\nCodes=101,102\r\n");
  ASSERT_TRUE(ok_);
  ASSERT_EQ(count_, 1u);
  EXPECT_EQ(drives_[0].DriveLetter, L'E');
  EXPECT_EQ(drives_[0].DriveName, L"Virtual DVD Writer");
  EXPECT_TRUE(drives_[0].DvdWritable);
  EXPECT_FALSE(drives_[0].BdWritable);
}

TEST_F(OddsListTest, SeveralDrivesKeepTheirOrderAndReadersAreLeftOut) {
  List(L"[GetOddsList]\r\nDrives=F,E,G\r\n"
       L"[Drive F]\r\nName=BD Writer\r\nCodes=101,201,203\r\n"
       L"[Drive E]\r\nName=DVD Writer\r\nCodes=104,105\r\n"
       L"[Drive G]\r\nName=DVD Reader\r\nCodes=105\r\n");
  ASSERT_TRUE(ok_);
  ASSERT_EQ(count_, 2u);
  EXPECT_EQ(drives_[0].DriveLetter, L'F');
  EXPECT_TRUE(drives_[0].BdWritable);
  EXPECT_TRUE(drives_[0].Flag203);
  EXPECT_EQ(drives_[1].DriveLetter, L'E');
  EXPECT_TRUE(drives_[1].Flag105);
  EXPECT_FALSE(drives_[1].BdWritable);
}

TEST_F(OddsListTest, NoDriveIsNotAnError) {
  // "No drive", and success with an empty list.
  for (const wchar_t* settings : {L"[GetOddsList]\r\nResult=55\r\n", L"[GetOddsList]\r\nText=\r\n"}) {
    List(settings);
    EXPECT_TRUE(ok_) << settings;
    EXPECT_EQ(count_, 0u) << settings;
  }
}

TEST_F(OddsListTest, FailureOfTheLibraryLeavesTheCountAlone) {
  tw::LogWatch watch;
  List(L"[GetOddsList]\r\nResult=31\r\n");
  EXPECT_FALSE(ok_);
  EXPECT_EQ(count_, 26u);
  EXPECT_EQ(LoggedMessages(watch, kGetOdds), Lines{L"0x0000001f"});
}

TEST_F(OddsListTest, MalformedTextKeepsTheDrivesReadBeforeIt) {
  tw::LogWatch watch;
  List(L"[GetOddsList]\r\nText=E:\\tA\\t101\\nF:\\tB\\t101,102\r\n");
  EXPECT_FALSE(ok_);
  ASSERT_EQ(count_, 1u);
  EXPECT_EQ(drives_[0].DriveLetter, L'E');
  EXPECT_EQ(LoggedMessages(watch, kGetOdds), Lines{L"101,102"});
}

TEST_F(OddsListTest, CapacityOfTheCallersArrayIsRespected) {
  product_.SetLibrarySettings(L"[GetOddsList]\r\nDrives=E,F\r\n[Drive E]\r\nCodes=101\r\n[Drive F]\r\nCodes=101\r\n");
  OddInfo one[1];
  uint32_t count = 1;
  tw::LogWatch watch;
  EXPECT_FALSE(connector_.GetOddsInfo(one, &count));
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(one[0].DriveLetter, L'E');
  EXPECT_EQ(LoggedMessages(watch, kGetOdds), Lines{L"0x00000001, 0x00000001"});
  EXPECT_FALSE(connector_.GetOddsInfo(nullptr, &count));
  EXPECT_FALSE(connector_.GetOddsInfo(one, nullptr));
}

TEST_F(OddsListTest, UnterminatedBufferIsReadOnlyToItsEnd) {
  // The library fills all 5383 units and writes no terminator: the second
  // line then runs to the buffer's very end without its line feed.
  tw::LogWatch watch;
  List(L"[GetOddsList]\r\nText=E:\\tA\\t101\\nF:\\tB\\t10\r\nPadWith=7\r\n");
  EXPECT_FALSE(ok_);
  ASSERT_EQ(count_, 1u);
  const size_t padding = CBrnAppCnctor::kOddsListChars - std::wstring(L"E:\tA\t101\nF:\tB\t10").size();
  EXPECT_EQ(LoggedMessages(watch, kGetOdds), Lines{L"10" + std::wstring(padding, L'7')});
}

TEST(CBrnAppCnctorExecute, NotReadyConnectorStartsNothing) {
  FakeProduct product(false, false);
  CBrnAppCnctor c;
  ASSERT_FALSE(c.IsReady);
  tw::LogWatch watch;
  PROCESS_INFORMATION pi{};
  EXPECT_FALSE(c.ExecuteBrnApp(L"C:\\job.ini", &pi));
  EXPECT_EQ(LoggedMessages(watch, kExecute), Lines{L""});
}

TEST(CBrnAppCnctorExecute, EngineThatVanishedIsReportedWithItsArguments) {
  FakeProduct product;
  CBrnAppCnctor c;
  ASSERT_TRUE(c.IsReady);
  ASSERT_TRUE(::DeleteFileW(c.EngineExePath.c_str()));
  tw::LogWatch watch;
  PROCESS_INFORMATION pi{};
  EXPECT_FALSE(c.ExecuteBrnApp(L"C:\\a b\\job.ini", &pi));
  EXPECT_EQ(LoggedMessages(watch, kExecute), (Lines{c.EngineExePath, L"/F:C:\\a b\\job.ini"}));
  EXPECT_EQ(watch.EntriesOf(L"ExecuteFile").size(), 1u);
}

}  // namespace
