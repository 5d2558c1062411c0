// Mapping and unmapping the recovery partition end to end: the test build
// on image files and a WMI table, with the real DefineDosDevice,
// GetLogicalDrives and registry.
#include <gtest/gtest.h>

#include "win_support.h"

namespace partlink_test {
namespace {

const wchar_t kDrv[] = L"DRV";
const wchar_t kDrv3[] = L"DRV3";

std::wstring Number(DWORD n) { return std::to_wstring(n); }

// A system disk 0 made from an image, with the drive C association.
struct MapFixture {
  explicit MapFixture(const char* image) {
    disks.Put(0, image);
    table.SystemOnDisk0();
  }
  RunResult Run(const std::wstring& args) { return RunTool(disks, args, &table); }

  LetterGuard letters;  // removes what the test maps, also on failure
  RecordGuard record;
  DiskSet disks;
  WmiTable table;
};

TEST(Map, Map2ReturnsTheHighestFreeLetterAndUnmap2RemovesIt) {
  MapFixture f("mbr_standard");
  const DWORD expected = HighestFreeNumber();
  ASSERT_NE(expected, 0u);
  const wchar_t letter = LetterOf(expected);

  const RunResult map = f.Run(L"/MAP2");
  EXPECT_EQ(map.exitCode, expected);
  EXPECT_EQ(map.out, "");
  EXPECT_EQ(LetterTarget(letter), L"\\Device\\Harddisk0\\Partition1");
  EXPECT_FALSE(f.record.Get(kDrv));
  EXPECT_FALSE(f.record.Get(kDrv3));

  // WMI now reports the letter on the first partition of disk 0 (index 0).
  f.table.Letter(letter, L"0", L"0");
  const RunResult unmap = f.Run(L"/LOG /UNMAP2:" + Number(expected));
  EXPECT_EQ(unmap.exitCode, 0u);
  EXPECT_TRUE(unmap.Contains("Target Drive : '" + std::string(1, static_cast<char>(letter)) + "'\n"));
  EXPECT_TRUE(unmap.Contains("SUCCESS : _UnMap2\n"));
  EXPECT_FALSE(LetterInUse(letter));
}

TEST(Map, MapRegRecordsTheLetterAndUnmapTakesItBack) {
  MapFixture f("mbr_ext_recovery");
  const wchar_t letter = LetterOf(HighestFreeNumber());
  const std::string letterText(1, static_cast<char>(letter));

  const RunResult map = f.Run(L"/LOG /MAPREG");
  EXPECT_EQ(map.exitCode, 0u);
  EXPECT_TRUE(map.Contains("Mapping..\n '\\Device\\Harddisk0\\Partition2' -> '" + letterText + ":'\n\n"));
  EXPECT_TRUE(map.Contains("Write Reg.\n HKLM\\SOFTWARE\\Norvane\\ZRV_PARTLINK DRV = '" + letterText + "'\n"));
  EXPECT_TRUE(map.Contains("SUCCESS : _Map\n"));
  EXPECT_EQ(f.record.Get(kDrv), std::wstring(1, letter));
  EXPECT_EQ(LetterTarget(letter), L"\\Device\\Harddisk0\\Partition2");

  // WMI's index 2 is the third entry, the recovery partition.
  f.table.Letter(letter, L"0", L"2");
  const RunResult unmap = f.Run(L"/UNMAP /LOG");
  EXPECT_EQ(unmap.exitCode, 0u);
  EXPECT_TRUE(unmap.Contains("Query Reg.\n HKLM\\SOFTWARE\\Norvane\\ZRV_PARTLINK DRV = '" + letterText + "'\n"));
  EXPECT_TRUE(unmap.Contains("SUCCESS : _UnMap\n"));
  EXPECT_FALSE(f.record.Get(kDrv));
  EXPECT_FALSE(LetterInUse(letter));
}

TEST(Map, Map3RecordsAndReturnsTheLetter) {
  MapFixture f("mbr_standard");
  const DWORD expected = HighestFreeNumber();
  const wchar_t letter = LetterOf(expected);
  const RunResult map = f.Run(L"/map3");
  EXPECT_EQ(map.exitCode, expected);
  EXPECT_EQ(f.record.Get(kDrv3), std::wstring(1, letter));
  EXPECT_FALSE(f.record.Get(kDrv));

  f.table.Letter(letter, L"0", L"0");
  EXPECT_EQ(f.Run(L"/unmap3").exitCode, 0u);
  EXPECT_FALSE(f.record.Get(kDrv3));
  EXPECT_FALSE(LetterInUse(letter));
}

TEST(Map, SecondMap3MapsAgainBelowTheFirst) {
  MapFixture f("mbr_standard");
  const RunResult first = f.Run(L"/MAP3");
  const wchar_t firstLetter = LetterOf(first.exitCode);
  ASSERT_TRUE(LetterInUse(firstLetter));
  const DWORD next = HighestFreeNumber();
  ASSERT_LT(next, first.exitCode);

  const RunResult second = f.Run(L"/MAP3");
  EXPECT_EQ(second.exitCode, next);
  EXPECT_EQ(f.record.Get(kDrv3), std::wstring(1, LetterOf(next)));
  // The first letter stays mapped and is no longer recorded.
  EXPECT_EQ(LetterTarget(firstLetter), L"\\Device\\Harddisk0\\Partition1");
  EXPECT_EQ(LetterTarget(LetterOf(next)), L"\\Device\\Harddisk0\\Partition1");
}

TEST(Map, AllLettersInUseFailsWithoutRecord) {
  MapFixture f("mbr_standard");
  f.letters.OccupyAllFree();
  ASSERT_EQ(HighestFreeNumber(), 0u);
  const RunResult r = f.Run(L"/LOG /MAPREG");
  EXPECT_EQ(r.exitCode, 282u);
  EXPECT_TRUE(r.Contains("ERROR : Available Drive Letter not Found.\n"));
  EXPECT_TRUE(r.Contains("ERROR : failed _getAvailableDriveLetter() \n"));
  EXPECT_FALSE(f.record.Get(kDrv));
  EXPECT_EQ(f.Run(L"/MAP3").exitCode, 282u);
  EXPECT_FALSE(f.record.Get(kDrv3));
}

TEST(Map, FailedRecordLeavesTheLetterMapped) {
  MapFixture f("mbr_standard");
  const wchar_t letter = LetterOf(HighestFreeNumber());
  const RunResult r = RunTool(f.disks, L"/LOG /MAPREG", &f.table, {{L"PARTLINK_FAIL_REGISTRY_WRITE", L"1"}});
  EXPECT_EQ(r.exitCode, 284u);
  EXPECT_TRUE(r.Contains("ERROR : failed CRegKey.SetStringValue() \n"));
  EXPECT_FALSE(r.Contains("SUCCESS : _Map\n"));
  EXPECT_EQ(LetterTarget(letter), L"\\Device\\Harddisk0\\Partition1");
  EXPECT_FALSE(f.record.Get(kDrv));
}

TEST(Unmap, WithoutARecordNothingChanges) {
  MapFixture f("mbr_standard");
  const DWORD before = ::GetLogicalDrives();
  for (const wchar_t* args : {L"/LOG /UNMAP", L"/LOG /UNMAP3"}) {
    SCOPED_TRACE(args);
    const RunResult r = f.Run(args);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(r.Contains("Enter : _UnMap\nERROR : failed CRegKey."));
  }
  // With the key present but the value missing.
  f.record.Set(L"OTHER", L"Q");
  const RunResult r = f.Run(L"/LOG /UNMAP");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(r.Contains("ERROR : failed CRegKey.QueryStringValue() LastError=00000002 \n"));
  EXPECT_EQ(::GetLogicalDrives(), before);
}

TEST(Unmap, LetterReusedByAnotherVolumeIsLeftAlone) {
  MapFixture f("mbr_standard");
  const RunResult map = f.Run(L"/MAP3");
  const wchar_t letter = LetterOf(map.exitCode);
  ASSERT_TRUE(LetterInUse(letter));

  // WMI now puts the letter on index 1, the 0x07 partition.
  f.table.Letter(letter, L"0", L"1");
  const RunResult r = f.Run(L"/LOG /UNMAP3");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(r.Contains("Partition ID = 7\n"));
  EXPECT_FALSE(r.Contains("UnMapping"));
  EXPECT_TRUE(LetterInUse(letter));
  EXPECT_FALSE(f.record.Get(kDrv3));
}

TEST(Unmap, RecordedLetterThatLeadsNowhere) {
  MapFixture f("mbr_standard");
  const RunResult map = f.Run(L"/MAP3");
  const wchar_t letter = LetterOf(map.exitCode);
  ASSERT_TRUE(LetterInUse(letter));
  // No association for the letter: the lookup fails with 264, the run with 0.
  const RunResult r = f.Run(L"/LOG /UNMAP3");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(r.Contains("ERROR : Missing Drive.\nTarget Drive not found. Abort _UnMap() \n"));
  EXPECT_TRUE(LetterInUse(letter));
  EXPECT_FALSE(f.record.Get(kDrv3));

  // A letter recorded in lower case is never found either.
  f.table.Letter(letter, L"0", L"0");
  f.record.Set(kDrv3, std::wstring(1, static_cast<wchar_t>(letter - L'A' + L'a')));
  EXPECT_EQ(f.Run(L"/UNMAP3").exitCode, 0u);
  EXPECT_TRUE(LetterInUse(letter));
  EXPECT_FALSE(f.record.Get(kDrv3));
}

TEST(Unmap, Unmap2NumbersThatNameNoDrive) {
  MapFixture f("mbr_standard");
  f.table.Letter(L'@', L"0", L"0").Letter(L'E', L"0", L"0");
  const DWORD before = ::GetLogicalDrives();
  for (const wchar_t* args : {L"/UNMAP2:E", L"/UNMAP2:0", L"/UNMAP2:27", L"/UNMAP2:-64", L"/UNMAP2:-59"}) {
    SCOPED_TRACE(args);
    const RunResult r = f.Run(std::wstring(L"/LOG ") + args);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(r.Contains("Target Drive not found. Abort _UnMap() \n"));
    EXPECT_FALSE(r.Contains("UnMapping"));
  }
  EXPECT_EQ(::GetLogicalDrives(), before);
}

TEST(Gpt, MapThroughTheRecoveryTypeAndUnmapByPartitionNumber) {
  MapFixture f("gpt_recovery4");
  const DWORD expected = HighestFreeNumber();
  const wchar_t letter = LetterOf(expected);
  const RunResult map = f.Run(L"/LOG /MAP3");
  EXPECT_EQ(map.exitCode, expected);
  EXPECT_EQ(LetterTarget(letter), L"\\Device\\Harddisk0\\Partition4");

  // WMI's partition index is replaced by the volume's partition number - 1.
  f.table.Letter(letter, L"0", L"9");
  const RunResult unmap = f.Run(L"/LOG /UNMAP3");
  EXPECT_EQ(unmap.exitCode, 0u);
  EXPECT_TRUE(unmap.Contains("PartitionNumber - 0x00000004\n"));
  EXPECT_TRUE(unmap.Contains("Enter : _getFileSystemID(0, 4)\nThis is GPT Disk.\ntarget drive is GPT.\n"
                             "{DE94BBA4-06D1-4D40-A16A-BFD50179D6AC}.\n"));
  EXPECT_TRUE(unmap.Contains("SUCCESS : _UnMap\n"));
  EXPECT_FALSE(LetterInUse(letter));
}

TEST(Gpt, PartitionNumberThreeGivesIndexTwo) {
  MapFixture f("gpt_gap");
  const RunResult map = f.Run(L"/MAP2");
  const wchar_t letter = LetterOf(map.exitCode);
  ASSERT_EQ(LetterTarget(letter), L"\\Device\\Harddisk0\\Partition3");
  f.table.Letter(letter, L"0", L"1");
  const RunResult unmap = f.Run(L"/LOG /UNMAP2:" + Number(map.exitCode));
  EXPECT_EQ(unmap.exitCode, 0u);
  EXPECT_TRUE(unmap.Contains("Enter : _getFileSystemID(0, 3)\n"));
  EXPECT_FALSE(LetterInUse(letter));
}

TEST(Gpt, IndexBeyondTheLayoutIsRefused) {
  MapFixture f("gpt_recovery4");
  // A letter whose definition does not lead to a partition keeps WMI's index.
  f.table.Letter(L'Y', L"0", L"7");
  const RunResult r = f.Run(L"/LOG /UNMAP2:25");
  EXPECT_EQ(r.exitCode, 268u);
  EXPECT_TRUE(r.Contains("ERROR : Partition not found.\nERROR : failed _getFileSystemID() \n"));
}

TEST(Mbr, IndexBeyondTheFourEntriesIsRefused) {
  MapFixture f("mbr_standard");
  f.letters.OccupyAllFree();
  f.table.Letter(L'Y', L"0", L"4");
  const auto before = ReadBytes(f.disks.DiskPath(0));
  const RunResult r = f.Run(L"/LOG /UNMAP2:25");
  EXPECT_EQ(r.exitCode, 268u);
  EXPECT_TRUE(r.Contains("Enter : _getFileSystemID(0, 5)\nERROR : Partition not found.\n"));
  EXPECT_TRUE(LetterInUse(L'Y'));
  EXPECT_EQ(ReadBytes(f.disks.DiskPath(0)), before);
}

}  // namespace
}  // namespace partlink_test
