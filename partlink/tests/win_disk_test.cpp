// Hiding and showing the recovery partition: the target search on the system
// disk and the rewrite of one type byte in sector 0, against image files.
#include <gtest/gtest.h>

#include "win_support.h"

namespace partlink_test {
namespace {

// Offsets of the type bytes of MBR entries 1 to 4.
constexpr size_t kType1 = 450;
constexpr size_t kType3 = 482;

// Bytes where two images differ.
std::vector<size_t> Differences(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  std::vector<size_t> at;
  EXPECT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i] != b[i]) at.push_back(i);
  }
  return at;
}

struct ImageDisk {
  explicit ImageDisk(const char* image) {
    disks.Put(0, image);
    table.SystemOnDisk0();
    original = ReadBytes(disks.DiskPath(0));
  }
  RunResult Run(const wchar_t* args) { return RunTool(disks, args, &table); }
  std::vector<uint8_t> Now() const { return ReadBytes(disks.DiskPath(0)); }

  DiskSet disks;
  WmiTable table;
  std::vector<uint8_t> original;
};

TEST(HideShow, ShowChangesOnlyTheTypeByteThenHideFindsNothing) {
  ImageDisk disk("mbr_standard");
  const RunResult show = disk.Run(L"/SHOW");
  EXPECT_EQ(show.exitCode, 0u);
  EXPECT_EQ(show.out, "");
  const auto shown = disk.Now();
  EXPECT_EQ(Differences(disk.original, shown), std::vector<size_t>{kType1});
  EXPECT_EQ(shown[kType1], 0x07);

  // The search looks for type 0x27 only, so the shown partition is not found.
  const RunResult hide = disk.Run(L"/hide /log");
  EXPECT_EQ(hide.exitCode, 268u);
  EXPECT_TRUE(hide.Contains("ERROR : Target Partition not Found\n"));
  EXPECT_TRUE(hide.Contains("ERROR : failed _getTargetPartitionID() \n"));
  EXPECT_EQ(disk.Now(), shown);
}

TEST(HideShow, HideOnAHiddenPartitionWritesTheSameSector) {
  ImageDisk disk("mbr_standard");
  const RunResult hide = disk.Run(L"/LOG /HIDE");
  EXPECT_EQ(hide.exitCode, 0u);
  EXPECT_TRUE(hide.Contains("Enter : _chgPatID(39)\n"));
  EXPECT_TRUE(hide.Contains("Enter :_SetPartitionID(Drv:0, Partition:1, ID:27\n\n"));
  EXPECT_TRUE(hide.Contains("Exit :_SetPartitionID(Drv:0, Partition:1, ID:27\n\n"));
  EXPECT_TRUE(hide.Contains("SUCCESS : _chgPatID\n"));
  EXPECT_EQ(disk.Now(), disk.original);
}

TEST(HideShow, TargetBehindAnExtendedPartition) {
  ImageDisk disk("mbr_ext_recovery");
  const RunResult show = disk.Run(L"/LOG /SHOW");
  EXPECT_EQ(show.exitCode, 0u);
  EXPECT_TRUE(show.Contains("Found Target Drive \n PartID = 2 \n FileSystem = 00000027 \n"
                            "MBR Indx. of Target = 3 \n Number of ExtPart. = 1 \n"
                            "Number of Forward Ext Part = 1 \nSUCCESS : _getTargetPartitionID\n"));
  EXPECT_TRUE(show.Contains("Enter :_SetPartitionID(Drv:0, Partition:3, ID:07\n\n"));
  EXPECT_EQ(Differences(disk.original, disk.Now()), std::vector<size_t>{kType3});
}

TEST(HideShow, DisksWithoutAUsableTargetAreNotWritten) {
  struct Case {
    const char* image;
    DWORD code;
    const char* line;
  };
  for (const Case& c : {Case{"mbr_lone_recovery", 269, "ERROR : Few partition in system disk\n"},
                        Case{"mbr_no_recovery", 268, "ERROR : Target Partition not Found\n"},
                        Case{"mbr_zero_start", 268, "ERROR : Target Partition not Found\n"},
                        Case{"gpt_no_recovery", 268, "ERROR : Target Partition not Found\n"}}) {
    SCOPED_TRACE(c.image);
    ImageDisk disk(c.image);
    const RunResult r = disk.Run(L"/LOG /SHOW");
    EXPECT_EQ(r.exitCode, c.code);
    EXPECT_TRUE(r.Contains(c.line));
    EXPECT_EQ(disk.Now(), disk.original);
  }
}

TEST(HideShow, GptDisksAreNeverWritten) {
  ImageDisk disk("gpt_recovery4");
  for (const wchar_t* args : {L"/SHOW /LOG", L"/HIDE /LOG"}) {
    SCOPED_TRACE(args);
    const RunResult r = disk.Run(args);
    EXPECT_EQ(r.exitCode, 286u);
    EXPECT_TRUE(r.Contains("ERROR : target drive is GPT.\nFound Target Drive \n PartID = 4 \n FileSystem = 00000027 \n"));
    EXPECT_TRUE(r.Contains("ERROR : failed _SetPartitionID() \n"));
    EXPECT_EQ(disk.Now(), disk.original);
  }
}

TEST(HideShow, WriteFailuresLeaveTheDiskAlone) {
  ImageDisk disk("mbr_standard");
  {
    // Another reader that does not share writing: the disk cannot be opened
    // for writing, but can still be read.
    HANDLE reader = ::CreateFileW(disk.disks.DiskPath(0).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    const RunResult r = disk.Run(L"/LOG /SHOW");
    ::CloseHandle(reader);
    EXPECT_EQ(r.exitCode, 273u);
    EXPECT_TRUE(r.Contains("Found Target Drive \n"));
    EXPECT_TRUE(r.Contains("ERROR : failed _WriteSector\n"));
    EXPECT_EQ(disk.Now(), disk.original);
  }

  // A sector that cannot be read whole is never written back.
  ImageDisk shortDisk("mbr_standard");
  std::vector<uint8_t> head(shortDisk.original.begin(), shortDisk.original.begin() + 500);
  WriteBytes(shortDisk.disks.DiskPath(0), head);
  const RunResult s = shortDisk.Run(L"/LOG /SHOW");
  EXPECT_EQ(s.exitCode, 272u);
  EXPECT_TRUE(s.Contains("ERROR : failed _ReadSector()\n"));
  EXPECT_EQ(shortDisk.Now(), head);
}

}  // namespace
}  // namespace partlink_test
