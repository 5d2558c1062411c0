#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/log_reader.h"
#include "app/msgbox.h"
#include "app/settings.h"
#include "config/rcv_data.h"
#include "config_test_support.h"
#include "test_support.h"

using cfgtest::kMiB;
using cfgtest::MakeImageSet;
using twtest::LoggedMessages;
using twtest::TempDir;
using Lines = std::vector<std::wstring>;

namespace {

constexpr wchar_t kFn[] = L"TarnSet::GetRcvDataInfo";
constexpr wchar_t kChkFn[] = L"TarnSet::ChkFileSizeAndAddRcvDataFileList";

struct Result {
  bool ok;
  uint32_t discs;
  uint32_t files;
};

Result Enumerate(const std::wstring& folder, int32_t discType = 0) {
  Result r{false, 99, 99};
  r.ok = TarnSet::GetRcvDataInfo(folder, discType, &r.discs, &r.files, L"detail", nullptr, 0);
  return r;
}

class RcvDataTest : public ::testing::Test {
 protected:
  RcvDataTest() {
    tw::Settings().ImageInfo32.clear();
    tw::Settings().ImageInfo64.clear();
  }
  cfgtest::SettingsGuard settings_;
  TempDir dir_;
};

TEST_F(RcvDataTest, MembersAreFoundInOrderAndPackedOntoDiscs) {
  tw::Settings().Dvd1SizeMiB = 4300;
  MakeImageSet(dir_.path(), L"RcvImage", L"",
               {{L".nv", 4096}, {L".crc", 512}, {L".fc2", 3000 * kMiB}, {L".002", 1000 * kMiB},
                {L".003", 1000 * kMiB}});
  const Result dvd = Enumerate(dir_.path());
  EXPECT_TRUE(dvd.ok);
  EXPECT_EQ(dvd.files, 6u);
  EXPECT_EQ(dvd.discs, 2u);  // the last 1000 MiB piece opens disc 2
  const Result bd = Enumerate(dir_.path() + L"\\", 1);
  EXPECT_TRUE(bd.ok);
  EXPECT_EQ(bd.discs, 1u);
}

TEST_F(RcvDataTest, LayoutTextListsEachDiscOnItsOwnLine) {
  tw::Settings().Dvd1SizeMiB = 2;
  MakeImageSet(dir_.path(), L"img", L"", {{L".nv", 100}, {L".fc2", 2 * kMiB - 200}, {L".002", kMiB}});
  uint32_t discs = 0, files = 0;
  ASSERT_TRUE(TarnSet::GetRcvDataInfo(dir_.path(), 0, &discs, &files, L"", nullptr, 0));
  std::vector<wchar_t> layout(files * 261 + 1, L'\0');
  ASSERT_TRUE(TarnSet::GetRcvDataInfo(dir_.path(), 0, &discs, &files, L"", layout.data(),
                                      static_cast<uint32_t>(layout.size())));
  const std::wstring b = dir_.path() + L"\\img";
  EXPECT_EQ(std::wstring(layout.data()), b + L".inf\t" + b + L".nv\t" + b + L".fc2\n" + b + L".002\n\n");
  EXPECT_EQ(discs, 2u);
  EXPECT_EQ(files, 4u);
}

// The layout buffer is filled exactly to its last character at most; one
// character less fails with a log entry and writes nothing beyond it.
TEST_F(RcvDataTest, LayoutTextAtTheExactBoundary) {
  MakeImageSet(dir_.path(), L"img", L"", {{L".fc2", 10}});
  const std::wstring b = dir_.path() + L"\\img";
  const std::wstring expected = b + L".inf\t" + b + L".fc2\n\n";
  const uint32_t exact = static_cast<uint32_t>(expected.size() + 1);
  for (uint32_t capacity : {exact, exact - 1, exact - 2, exact - 3}) {
    std::vector<wchar_t> layout(capacity + 8, L'#');
    std::fill(layout.begin(), layout.begin() + capacity, L'\0');
    tw::LogWatch watch;
    uint32_t discs = 9, files = 9;
    const bool ok = TarnSet::GetRcvDataInfo(dir_.path(), 0, &discs, &files, L"", layout.data(), capacity);
    EXPECT_EQ(ok, capacity == exact) << capacity;
    if (ok) {
      EXPECT_EQ(std::wstring(layout.data()), expected);
    } else {
      EXPECT_EQ(discs, 0u);
      EXPECT_EQ(files, 0u);
      EXPECT_EQ(layout[0], L'\0');  // no partial layout left behind
      EXPECT_EQ(watch.NewEntries().size(), 1u);
    }
    EXPECT_EQ(std::wstring(layout.begin() + capacity, layout.end()), L"########") << capacity;
  }
}

TEST_F(RcvDataTest, ImageInfoMustMatchOneAcceptedValueExactly) {
  MakeImageSet(dir_.path(), L"img", L"RCV_WIN_X64", {{L".fc2", 10}});
  EXPECT_TRUE(Enumerate(dir_.path()).ok);  // both accepted values empty: anything goes
  tw::Settings().ImageInfo32 = L"RCV_WIN_X86";
  tw::Settings().ImageInfo64 = L"rcv_win_x64";
  tw::LogWatch watch;
  const Result r = Enumerate(dir_.path());
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.discs, 0u);
  EXPECT_EQ(r.files, 0u);
  EXPECT_EQ(LoggedMessages(watch, kFn), Lines{L"RCV_WIN_X64, " + dir_.path() + L"\\img.inf"});
  tw::Settings().ImageInfo64 = L"RCV_WIN_X64";
  EXPECT_TRUE(Enumerate(dir_.path()).ok);
  tw::Settings().ImageInfo64.clear();
  tw::Settings().ImageInfo32 = L"RCV_WIN_X64";
  EXPECT_TRUE(Enumerate(dir_.path()).ok);
}

TEST_F(RcvDataTest, EmptyImageInfoIsAcceptedOnlyWhenNothingIsConfigured) {
  MakeImageSet(dir_.path(), L"img", L"", {{L".fc2", 10}});
  EXPECT_TRUE(Enumerate(dir_.path()).ok);
  tw::Settings().ImageInfo64 = L"RCV_WIN_X64";
  EXPECT_FALSE(Enumerate(dir_.path()).ok);
}

TEST_F(RcvDataTest, CompanionChainStopsAtTheFirstMissingCompanion) {
  MakeImageSet(dir_.path(), L"img", L"", {{L".crc", 10}, {L".fc2", 10}});
  const Result r = Enumerate(dir_.path());
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.files, 2u);  // inf and fc2: the crc without an nv is not taken
}

TEST_F(RcvDataTest, PieceChainStopsAtTheFirstGap) {
  MakeImageSet(dir_.path(), L"img", L"",
               {{L".nv", 10}, {L".crc", 10}, {L".fc2", 10}, {L".002", 10}, {L".004", 10}});
  twtest::MakeDirs(dir_ / L"img.003.d");
  const Result r = Enumerate(dir_.path());
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.files, 5u);
  // A folder in place of a piece ends the chain like a missing one.
  twtest::MakeDirs(dir_ / L"img.003");
  EXPECT_EQ(Enumerate(dir_.path()).files, 5u);
}

TEST_F(RcvDataTest, MissingPartsFailWithOneLogEntry) {
  MakeImageSet(dir_ / L"nofc2", L"img", L"", {{L".nv", 10}, {L".002", 10}});
  twtest::MakeDirs(dir_ / L"noinf");
  twtest::WriteTextFile(dir_ / L"noinf\\img.fc2", L"x");
  twtest::MakeDirs(dir_ / L"noinf\\folder.inf");
  MakeImageSet(dir_ / L"ok", L"img", L"", {{L".fc2", 10}});
  for (const std::wstring& folder : {dir_ / L"nofc2", dir_ / L"noinf", dir_ / L"absent", dir_ / L"ok\\img.fc2",
                                     std::wstring()}) {
    tw::LogWatch watch;
    const Result r = Enumerate(folder);
    EXPECT_FALSE(r.ok) << folder;
    EXPECT_EQ(r.discs, 0u);
    EXPECT_EQ(r.files, 0u);
    EXPECT_EQ(watch.EntriesOf(kFn).size(), 1u) << folder;
  }
  tw::LogWatch watch;
  EXPECT_FALSE(Enumerate(dir_ / L"ok", 2).ok);  // neither DVD nor BD
  EXPECT_EQ(watch.EntriesOf(kFn).size(), 1u);
  uint32_t discs = 0;
  EXPECT_FALSE(TarnSet::GetRcvDataInfo(dir_ / L"ok", 0, &discs, nullptr, L"", nullptr, 0));
}

TEST_F(RcvDataTest, OversizedPieceIsReportedAndFailsTheEnumeration) {
  tw::Settings().Dvd1SizeMiB = 1;
  MakeImageSet(dir_.path(), L"img", L"", {{L".fc2", kMiB}, {L".002", kMiB + 1}});
  twtest::MessageBoxRecorder boxes;
  tw::LogWatch watch;
  std::vector<wchar_t> layout(3 * 261 + 1, L'\0');
  uint32_t discs = 5, files = 5;
  EXPECT_FALSE(TarnSet::GetRcvDataInfo(dir_.path(), 0, &discs, &files, L"", layout.data(),
                                       static_cast<uint32_t>(layout.size())));
  EXPECT_EQ(discs, 0u);
  EXPECT_EQ(files, 0u);
  EXPECT_TRUE(std::all_of(layout.begin(), layout.end(), [](wchar_t c) { return c == L'\0'; }));
  const std::vector<twtest::MessageBoxRecorder::Call> box = {
      {nullptr, L"The size of one file in the specified folder is over the writable size of the disc.", L"Tarnwright",
       MB_OK | MB_ICONERROR}};
  EXPECT_EQ(boxes.calls(), box);
  EXPECT_EQ(watch.EntriesOf(kChkFn).size(), 1u);
  // A piece exactly as large as the disc fits.
  ::DeleteFileW((dir_ / L"img.002").c_str());
  EXPECT_TRUE(Enumerate(dir_.path()).ok);
  EXPECT_EQ(boxes.calls(), box);
}

// Each way an image set can fail names its kind and the path concerned.
TEST_F(RcvDataTest, FailureNamesWhatStoppedTheEnumeration) {
  using Kind = tw::pack::Problem::Kind;
  tw::Settings().Dvd1SizeMiB = 1;
  tw::Settings().ImageInfo32 = L"RCV_WIN_X86";
  MakeImageSet(dir_ / L"ok", L"img", L"RCV_WIN_X86", {{L".fc2", 10}});
  MakeImageSet(dir_ / L"other", L"img", L"RCV_WIN_X64", {{L".fc2", 10}});
  MakeImageSet(dir_ / L"nofc2", L"img", L"RCV_WIN_X86", {{L".nv", 10}});
  MakeImageSet(dir_ / L"big", L"img", L"RCV_WIN_X86", {{L".fc2", 10}, {L".002", kMiB + 1}});
  twtest::MakeDirs(dir_ / L"noinf");
  twtest::MessageBoxRecorder boxes;
  const struct {
    std::wstring folder;
    int32_t discType;
    Kind kind;
    std::wstring path;
  } cases[] = {
      {dir_ / L"ok", 0, Kind::kNone, L""},
      {dir_ / L"absent", 0, Kind::kNoFolder, dir_ / L"absent"},
      {dir_ / L"ok", 2, Kind::kBadDiscType, dir_ / L"ok"},
      {dir_ / L"noinf", 0, Kind::kNoInfoFile, dir_ / L"noinf"},
      {dir_ / L"other", 0, Kind::kImageInfoRejected, dir_ / L"other\\img.inf"},
      {dir_ / L"nofc2", 0, Kind::kNoFirstPiece, dir_ / L"nofc2\\img.fc2"},
      {dir_ / L"big", 0, Kind::kTooLarge, dir_ / L"big\\img.002"},
  };
  for (const auto& c : cases) {
    tw::pack::Problem problem;
    problem.kind = Kind::kLayoutFull;  // a stale value is replaced
    uint32_t discs = 0, files = 0;
    EXPECT_EQ(TarnSet::GetRcvDataInfo(c.folder, c.discType, &discs, &files, L"", nullptr, 0, &problem),
              c.kind == Kind::kNone)
        << c.folder;
    EXPECT_EQ(problem.kind, c.kind) << c.folder;
    EXPECT_EQ(problem.path, c.path);
  }
  tw::pack::Problem problem;
  uint32_t discs = 0, files = 0;
  TarnSet::GetRcvDataInfo(dir_ / L"other", 0, &discs, &files, L"", nullptr, 0, &problem);
  EXPECT_EQ(problem.imageInfo, L"RCV_WIN_X64");
  TarnSet::GetRcvDataInfo(dir_ / L"big", 0, &discs, &files, L"", nullptr, 0, &problem);
  EXPECT_EQ(problem.size, kMiB + 1);
  EXPECT_EQ(problem.capacity, kMiB);
  std::vector<wchar_t> layout(8, L'\0');  // too small for the first path
  EXPECT_FALSE(TarnSet::GetRcvDataInfo(dir_ / L"ok", 0, &discs, &files, L"", layout.data(), 8, &problem));
  EXPECT_EQ(problem.kind, Kind::kLayoutFull);
}

TEST_F(RcvDataTest, PerFileStepUpdatesThePackingState) {
  twtest::MakeSizedFile(dir_ / L"a", 60);
  twtest::MakeSizedFile(dir_ / L"b", 50);
  uint64_t used = 0;
  uint32_t discs = 1, files = 0;
  std::vector<wchar_t> layout(600, L'\0');
  ASSERT_TRUE(TarnSet::ChkFileSizeAndAddRcvDataFileList(dir_ / L"a", 100, &used, &discs, &files, layout.data(), 600));
  ASSERT_TRUE(TarnSet::ChkFileSizeAndAddRcvDataFileList(dir_ / L"b", 100, &used, &discs, &files, layout.data(), 600));
  EXPECT_EQ(used, 50u);
  EXPECT_EQ(discs, 2u);
  EXPECT_EQ(files, 2u);
  EXPECT_EQ(std::wstring(layout.data()), dir_ / L"a" + L"\n" + dir_ / L"b");
  tw::LogWatch watch;
  EXPECT_FALSE(TarnSet::ChkFileSizeAndAddRcvDataFileList(dir_ / L"none", 100, &used, &discs, &files, nullptr, 0));
  EXPECT_EQ(LoggedMessages(watch, kChkFn), Lines{L"0x00000002, " + dir_ / L"none"});
}

}  // namespace
