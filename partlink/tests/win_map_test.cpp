// Mapping and unmapping the recovery partition end to end: the test build
// on image files and a WMI table, with the real DefineDosDevice,
// GetLogicalDrives and registry.
#include <gtest/gtest.h>

#include "win_support.h"

namespace partlink_test {
namespace {

const wchar_t kDrv[] = L"DRV";
const wchar_t kDrv3[] = L"DRV3";
const wchar_t kPartition1[] = L"\\Device\\Harddisk0\\Partition1";

std::wstring Text(wchar_t letter) { return std::wstring(1, letter); }
std::string Narrow(wchar_t letter) { return std::string(1, static_cast<char>(letter)); }

// A system disk 0 made from an image, with the drive C association; the
// letters the test maps and the registry record are restored afterwards.
struct MapFixture : SystemDisk {
  using SystemDisk::SystemDisk;
  // Runs an option that returns the mapped letter's number ("/MAP2",
  // "/MAP3"): it must be the highest free letter, leading to the target.
  RunResult MapNumbered(const std::wstring& args, const std::wstring& target, wchar_t& letter) {
    const DWORD expected = HighestFreeNumber();
    EXPECT_NE(expected, 0u);
    letter = LetterOf(expected);
    RunResult r = Run(args);
    EXPECT_EQ(r.exitCode, expected);
    EXPECT_EQ(LetterTarget(letter), target);
    return r;
  }

  LetterGuard letters;
  RecordGuard record;
};

TEST(Map, Map2ReturnsTheHighestFreeLetterAndUnmap2RemovesIt) {
  MapFixture f("mbr_standard");
  wchar_t letter = 0;
  EXPECT_EQ(f.MapNumbered(L"/MAP2", kPartition1, letter).out, "");
  ASSERT_FALSE(HasFailure());
  EXPECT_FALSE(f.record.Get(kDrv));
  EXPECT_FALSE(f.record.Get(kDrv3));

  // WMI now reports the letter on the first partition of disk 0 (index 0).
  f.table.Letter(letter, L"0", L"0");
  EXPECT_TRUE(f.Run(L"/LOG /UNMAP2:" + std::to_wstring(letter - L'A' + 1))
                  .Exited(0, {"Target Drive : '" + Narrow(letter) + "'\n", "SUCCESS : _UnMap2\n"}));
  EXPECT_FALSE(LetterInUse(letter));
}

TEST(Map, MapRegRecordsTheLetterAndUnmapTakesItBack) {
  MapFixture f("mbr_ext_recovery");
  const wchar_t letter = LetterOf(HighestFreeNumber());
  const std::string key = "HKLM\\SOFTWARE\\Norvane\\ZRV_PARTLINK DRV = '" + Narrow(letter) + "'\n";

  EXPECT_TRUE(f.Run(L"/LOG /MAPREG")
                  .Exited(0, {"Mapping..\n '\\Device\\Harddisk0\\Partition2' -> '" + Narrow(letter) + ":'\n\n",
                              "Write Reg.\n " + key, "SUCCESS : _Map\n"}));
  EXPECT_EQ(f.record.Get(kDrv), Text(letter));
  EXPECT_EQ(LetterTarget(letter), L"\\Device\\Harddisk0\\Partition2");

  // WMI's index 2 is the third entry, the recovery partition.
  f.table.Letter(letter, L"0", L"2");
  EXPECT_TRUE(f.Run(L"/UNMAP /LOG").Exited(0, {"Query Reg.\n " + key, "SUCCESS : _UnMap\n"}));
  EXPECT_FALSE(f.record.Get(kDrv));
  EXPECT_FALSE(LetterInUse(letter));
}

TEST(Map, Map3RecordsTheLetterASecondMap3MapsBelowItAndUnmap3TakesTheRecordedOne) {
  MapFixture f("mbr_standard");
  wchar_t first = 0;
  f.MapNumbered(L"/map3", kPartition1, first);
  ASSERT_FALSE(HasFailure());
  EXPECT_EQ(f.record.Get(kDrv3), Text(first));
  EXPECT_FALSE(f.record.Get(kDrv));

  wchar_t second = 0;
  f.MapNumbered(L"/MAP3", kPartition1, second);
  ASSERT_LT(second, first);
  EXPECT_EQ(f.record.Get(kDrv3), Text(second));
  // The first letter stays mapped and is no longer recorded.
  EXPECT_EQ(LetterTarget(first), kPartition1);

  f.table.Letter(second, L"0", L"0");
  EXPECT_TRUE(f.Run(L"/unmap3").Exited(0));
  EXPECT_FALSE(f.record.Get(kDrv3));
  EXPECT_FALSE(LetterInUse(second));
  EXPECT_TRUE(LetterInUse(first));
}

TEST(Map, AllLettersInUseFailsWithoutRecord) {
  MapFixture f("mbr_standard");
  f.letters.OccupyAllFree();
  ASSERT_EQ(HighestFreeNumber(), 0u);
  EXPECT_TRUE(
      f.Run(L"/LOG /MAPREG")
          .Exited(282, {"ERROR : Available Drive Letter not Found.\nERROR : failed _getAvailableDriveLetter() \n"}));
  EXPECT_FALSE(f.record.Get(kDrv));
  EXPECT_TRUE(f.Run(L"/MAP3").Exited(282));
  EXPECT_FALSE(f.record.Get(kDrv3));
}

TEST(Map, FailedRecordLeavesTheLetterMapped) {
  MapFixture f("mbr_standard");
  const wchar_t letter = LetterOf(HighestFreeNumber());
  const RunResult r = f.Run(L"/LOG /MAPREG", {{L"PARTLINK_FAIL_REGISTRY_WRITE", L"1"}});
  EXPECT_TRUE(r.Exited(284, {"ERROR : failed CRegKey.SetStringValue() \n"}));
  EXPECT_FALSE(r.Contains("SUCCESS : _Map\n"));
  EXPECT_EQ(LetterTarget(letter), kPartition1);
  EXPECT_FALSE(f.record.Get(kDrv));
}

TEST(Unmap, WithoutARecordNothingChanges) {
  MapFixture f("mbr_standard");
  const DWORD before = ::GetLogicalDrives();
  for (const wchar_t* args : {L"/LOG /UNMAP", L"/LOG /UNMAP3"}) {
    SCOPED_TRACE(args);
    EXPECT_TRUE(f.Run(args).Exited(0, {"Enter : _UnMap\nERROR : failed CRegKey."}));
  }
  // With the key present but the value missing.
  f.record.Set(L"OTHER", L"Q");
  EXPECT_TRUE(f.Run(L"/LOG /UNMAP").Exited(0, {"ERROR : failed CRegKey.QueryStringValue() LastError=00000002 \n"}));
  EXPECT_EQ(::GetLogicalDrives(), before);
}

// A recorded letter that no longer leads to the recovery partition is left
// mapped, and its record is gone after every attempt.
TEST(Unmap, RecordedLetterThatLeadsNowhereOrElsewhereIsLeftAlone) {
  MapFixture f("mbr_standard");
  wchar_t letter = 0;
  f.MapNumbered(L"/MAP3", kPartition1, letter);
  ASSERT_FALSE(HasFailure());

  // No association for the letter: the lookup fails with 264, the run with 0.
  EXPECT_TRUE(f.Run(L"/LOG /UNMAP3").Exited(0, {"ERROR : Missing Drive.\nTarget Drive not found. Abort _UnMap() \n"}));
  EXPECT_TRUE(LetterInUse(letter));
  EXPECT_FALSE(f.record.Get(kDrv3));

  // A letter recorded in lower case is never found, although WMI knows it.
  f.table.Letter(letter, L"0", L"0");
  f.record.Set(kDrv3, Text(static_cast<wchar_t>(letter - L'A' + L'a')));
  EXPECT_TRUE(f.Run(L"/UNMAP3").Exited(0));
  EXPECT_TRUE(LetterInUse(letter));
  EXPECT_FALSE(f.record.Get(kDrv3));

  // WMI now puts the letter on index 1, the 0x07 partition: another volume.
  f.table = WmiTable();
  f.table.SystemOnDisk0().Letter(letter, L"0", L"1");
  f.record.Set(kDrv3, Text(letter));
  const RunResult r = f.Run(L"/LOG /UNMAP3");
  EXPECT_TRUE(r.Exited(0, {"Partition ID = 7\n"}));
  EXPECT_FALSE(r.Contains("UnMapping"));
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
    EXPECT_TRUE(r.Exited(0, {"Target Drive not found. Abort _UnMap() \n"}));
    EXPECT_FALSE(r.Contains("UnMapping"));
  }
  EXPECT_EQ(::GetLogicalDrives(), before);
}

TEST(Gpt, MapThroughTheRecoveryTypeAndUnmapByPartitionNumber) {
  MapFixture f("gpt_recovery4");
  wchar_t letter = 0;
  f.MapNumbered(L"/LOG /MAP3", L"\\Device\\Harddisk0\\Partition4", letter);

  // WMI's partition index is replaced by the volume's partition number - 1.
  f.table.Letter(letter, L"0", L"9");
  EXPECT_TRUE(f.Run(L"/LOG /UNMAP3")
                  .Exited(0, {"PartitionNumber - 0x00000004\n",
                              "Enter : _getFileSystemID(0, 4)\nThis is GPT Disk.\ntarget drive is GPT.\n"
                              "{DE94BBA4-06D1-4D40-A16A-BFD50179D6AC}.\n",
                              "SUCCESS : _UnMap\n"}));
  EXPECT_FALSE(LetterInUse(letter));
}

TEST(Gpt, PartitionNumberThreeGivesIndexTwo) {
  MapFixture f("gpt_gap");
  wchar_t letter = 0;
  f.MapNumbered(L"/MAP2", L"\\Device\\Harddisk0\\Partition3", letter);
  ASSERT_FALSE(HasFailure());
  f.table.Letter(letter, L"0", L"1");
  EXPECT_TRUE(
      f.Run(L"/LOG /UNMAP2:" + std::to_wstring(letter - L'A' + 1)).Exited(0, {"Enter : _getFileSystemID(0, 3)\n"}));
  EXPECT_FALSE(LetterInUse(letter));
}

TEST(Gpt, IndexBeyondTheLayoutIsRefused) {
  MapFixture f("gpt_recovery4");
  // A letter whose definition does not lead to a partition keeps WMI's index.
  f.table.Letter(L'Y', L"0", L"7");
  EXPECT_TRUE(
      f.Run(L"/LOG /UNMAP2:25").Exited(268, {"ERROR : Partition not found.\nERROR : failed _getFileSystemID() \n"}));
}

TEST(Mbr, IndexBeyondTheFourEntriesIsRefused) {
  MapFixture f("mbr_standard");
  f.letters.OccupyAllFree();
  f.table.Letter(L'Y', L"0", L"4");
  const auto before = f.Disk0();
  EXPECT_TRUE(
      f.Run(L"/LOG /UNMAP2:25").Exited(268, {"Enter : _getFileSystemID(0, 5)\nERROR : Partition not found.\n"}));
  EXPECT_TRUE(LetterInUse(L'Y'));
  EXPECT_EQ(f.Disk0(), before);
}

}  // namespace
}  // namespace partlink_test
