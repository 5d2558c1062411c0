// Hiding and showing the recovery partition: the target search on the system
// disk and the rewrite of one type byte in sector 0, against image files.
#include <gtest/gtest.h>

#include "app/handles.h"
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

TEST(HideShow, ShowChangesOnlyTheTypeByteThenHideFindsNothing) {
  const SystemDisk disk("mbr_standard");
  const auto original = disk.Disk0();
  const RunResult show = disk.Run(L"/SHOW");
  EXPECT_TRUE(show.Exited(0));
  EXPECT_EQ(show.out, "");
  const auto shown = disk.Disk0();
  EXPECT_EQ(Differences(original, shown), std::vector<size_t>{kType1});
  EXPECT_EQ(shown[kType1], 0x07);

  // The search looks for type 0x27 only, so the shown partition is not found.
  EXPECT_TRUE(disk.Run(L"/hide /log")
                  .Exited(268, {"ERROR : Target Partition not Found\n", "ERROR : failed _getTargetPartitionID() \n"}));
  EXPECT_EQ(disk.Disk0(), shown);
}

TEST(HideShow, HideOnAHiddenPartitionWritesTheSameSector) {
  const SystemDisk disk("mbr_standard");
  const auto original = disk.Disk0();
  EXPECT_TRUE(disk.Run(L"/LOG /HIDE")
                  .Exited(0, {"Enter : _chgPatID(39)\n", "Enter :_SetPartitionID(Drv:0, Partition:1, ID:27\n\n",
                              "Exit :_SetPartitionID(Drv:0, Partition:1, ID:27\n\n", "SUCCESS : _chgPatID\n"}));
  EXPECT_EQ(disk.Disk0(), original);
}

TEST(HideShow, TargetBehindAnExtendedPartition) {
  const SystemDisk disk("mbr_ext_recovery");
  const auto original = disk.Disk0();
  EXPECT_TRUE(disk.Run(L"/LOG /SHOW")
                  .Exited(0, {"Found Target Drive \n PartID = 2 \n FileSystem = 00000027 \n"
                              "MBR Indx. of Target = 3 \n Number of ExtPart. = 1 \n"
                              "Number of Forward Ext Part = 1 \nSUCCESS : _getTargetPartitionID\n",
                              "Enter :_SetPartitionID(Drv:0, Partition:3, ID:07\n\n"}));
  EXPECT_EQ(Differences(original, disk.Disk0()), std::vector<size_t>{kType3});
}

// Runs that stop before writing leave the disk as it was.
TEST(HideShow, FailedRunsDoNotWrite) {
  struct Case {
    const char* image;
    const wchar_t* args;
    DWORD code;
    std::vector<std::string> lines;
  };
  const std::string gpt = "ERROR : target drive is GPT.\nFound Target Drive \n PartID = 4 \n FileSystem = 00000027 \n";
  for (const Case& c : {
           Case{"mbr_lone_recovery", L"/LOG /SHOW", 269, {"ERROR : Few partition in system disk\n"}},
           Case{"mbr_no_recovery", L"/LOG /SHOW", 268, {"ERROR : Target Partition not Found\n"}},
           Case{"mbr_zero_start", L"/LOG /SHOW", 268, {"ERROR : Target Partition not Found\n"}},
           Case{"gpt_no_recovery", L"/LOG /SHOW", 268, {"ERROR : Target Partition not Found\n"}},
           // GPT disks are never written.
           Case{"gpt_recovery4", L"/SHOW /LOG", 286, {gpt, "ERROR : failed _SetPartitionID() \n"}},
           Case{"gpt_recovery4", L"/HIDE /LOG", 286, {gpt, "ERROR : failed _SetPartitionID() \n"}},
       }) {
    SCOPED_TRACE(c.args);
    SCOPED_TRACE(c.image);
    const SystemDisk disk(c.image);
    const auto original = disk.Disk0();
    EXPECT_TRUE(disk.Run(c.args).Exited(c.code, c.lines));
    EXPECT_EQ(disk.Disk0(), original);
  }
}

TEST(HideShow, WriteFailuresLeaveTheDiskAlone) {
  const SystemDisk disk("mbr_standard");
  const auto original = disk.Disk0();
  {
    // Another reader that does not share writing: the disk cannot be opened
    // for writing, but can still be read.
    const partlink::UniqueFile reader(::CreateFileW(disk.disks.DiskPath(0).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                    nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    EXPECT_TRUE(disk.Run(L"/LOG /SHOW").Exited(273, {"Found Target Drive \n", "ERROR : failed _WriteSector\n"}));
  }
  EXPECT_EQ(disk.Disk0(), original);

  // A sector that cannot be read whole is never written back.
  const std::vector<uint8_t> head(original.begin(), original.begin() + 500);
  WriteBytes(disk.disks.DiskPath(0), head);
  EXPECT_TRUE(disk.Run(L"/LOG /SHOW").Exited(272, {"ERROR : failed _ReadSector()\n"}));
  EXPECT_EQ(disk.Disk0(), head);
}

}  // namespace
}  // namespace partlink_test
