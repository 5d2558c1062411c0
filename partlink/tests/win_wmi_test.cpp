// The drive lookup through WMI: the table stand-in for the cases a test must
// set up, and Wine's own WMI for the real path.
#include <gtest/gtest.h>

#include "win_support.h"

namespace partlink_test {
namespace {

// The device path \\.\<device> as a WMI object path writes it, with every
// backslash doubled.
std::wstring Escaped(const std::wstring& device) { return L"\\\\\\\\.\\\\" + device; }

TEST(Wmi, RealWmiUnderWineFindsDriveCOnDisk0) {
  const DiskSet disks{{0, "mbr_standard"}};
  const auto original = ReadBytes(disks.DiskPath(0));
  // No table: the test build asks the system's WMI, and Wine reports drive C
  // as "Disk #0, Partition #0" of \\.\PHYSICALDRIVE0 (writing DeviceId).
  EXPECT_TRUE(RunTool(disks, L"/LOG /HIDE")
                  .Exited(0, {"Found Drive 'C:'\n", "Found \n Drive ID ... 0\n Part ID ... 0\n",
                              "Win32_DiskDrive.DeviceId=\"\\\\\\\\.\\\\PHYSICALDRIVE0\"",
                              "SUCCESS : _getSystemDriveID\n SysDriveID:'0'\n SysDriveName:'PHYSICALDRIVE0'\n",
                              "Target Drive ID = '0'\n"}));
  EXPECT_EQ(ReadBytes(disks.DiskPath(0)), original);
}

TEST(Wmi, RealWmiMapsButDoesNotKnowTheMappedLetter) {
  const LetterGuard letters;
  const DiskSet disks{{0, "mbr_standard"}};
  const DWORD expected = HighestFreeNumber();
  EXPECT_TRUE(RunTool(disks, L"/MAP2").Exited(expected));
  // Wine's WMI lists only its own drives, so the unmap stops harmlessly.
  EXPECT_TRUE(RunTool(disks, L"/LOG /UNMAP2:" + std::to_wstring(expected))
                  .Exited(0, {"Target Drive not found. Abort _UnMap() \n"}));
  EXPECT_TRUE(LetterInUse(LetterOf(expected)));
}

TEST(Wmi, WithoutDriveCTheSystemDiskIsUnknown) {
  SystemDisk disk("mbr_standard", false);
  disk.table.Letter(L'D', L"0", L"1").Drive(L"0", Escaped(L"PHYSICALDRIVE0"));
  EXPECT_TRUE(
      disk.Run(L"/LOG /HIDE").Exited(264, {"ERROR : Missing Drive.\n", "ERROR : failed _getSystemDriveID() \n"}));
}

TEST(Wmi, DiskOneIsNotTakenForDiskTen) {
  SystemDisk disk("mbr_standard", false);
  disk.disks.Put(1, "mbr_standard");
  disk.table.Letter(L'C', L"1", L"1").Drive(L"10", Escaped(L"PHYSICALDRIVE10")).Drive(L"1", Escaped(L"PHYSICALDRIVE1"));
  EXPECT_TRUE(
      disk.Run(L"/LOG /HIDE").Exited(0, {"SysDriveName:'PHYSICALDRIVE1'\n", "Enter : _getTargetPartitionID(1)\n"}));
}

TEST(Wmi, AssociationsWithoutTheNeededPartsAreSkipped) {
  SystemDisk disk("mbr_standard", false);
  disk.table.Line(L"Win32_LogicalDiskToPartition\t<none>\tx")
      .Line(L"Win32_LogicalDiskToPartition\tx:Win32_LogicalDisk.DeviceID=\"C:\"\t<none>")
      .Line(L"Win32_LogicalDiskToPartition\tx:Win32_Volume.DeviceID=\"C:\"\t"
            L"x:Win32_DiskPartition.DeviceID=\"Disk #5, Partition #0\"")
      .Line(L"Win32_LogicalDiskToPartition\tx:WIN32_LOGICALDISK.DEVICEID=\"C:\"\t"
            L"x:win32_diskpartition.deviceid=\"Disk #0, Partition #1\"")
      .Line(L"Win32_DiskDriveToDiskPartition\tx:Win32_DiskPartition.DeviceID=\"Disk #0, Partition #0\"\t<none>")
      .Drive(L"0", Escaped(L"PHYSICALDRIVE0"));
  EXPECT_TRUE(disk.Run(L"/LOG /HIDE")
                  .Exited(0, {"Found \n Drive ID ... 0\n Part ID ... 1\n", "SysDriveName:'PHYSICALDRIVE0'\n"}));
}

TEST(Wmi, SystemDiskNameProblems) {
  struct Case {
    const wchar_t* disk;  // of the drive association
    const wchar_t* device;
    const wchar_t* args;
    DWORD code;
    const char* line;
  };
  for (const Case& c : {Case{L"1", L"PHYSICALDRIVE1", L"/LOG /MAP", 267, "ERROR : Missing System Drive Name.\n"},
                        Case{L"0", L"CDROM0", L"/LOG /SHOW", 278, "ERROR : Bad Device Name '"},
                        Case{L"0", L"PHYSICALDRIVE", L"/LOG /SHOW", 278, "ERROR : Bad Device Name '"},
                        Case{L"0", L"PHYSICALDRIVEx1", L"/LOG /SHOW", 278, "ERROR : Bad Device Name '"}}) {
    SCOPED_TRACE(c.device);
    SystemDisk disk("mbr_standard", false);
    disk.table.Letter(L'C', L"0", L"1").Drive(c.disk, Escaped(c.device));
    EXPECT_TRUE(disk.Run(c.args).Exited(c.code, {c.line}));
  }
}

TEST(Wmi, ConnectionAndEnumerationFailures) {
  struct Case {
    const wchar_t* line;
    const wchar_t* args;
    DWORD code;
  };
  const RecordGuard record;
  for (const Case& c : {Case{L"fail\tWin32_LogicalDiskToPartition", L"/MAP", 263},
                        Case{L"fail\tWin32_DiskDriveToDiskPartition", L"/MAP2", 266},
                        Case{L"connect-fail\t258", L"/HIDE", 258}, Case{L"connect-fail\t261", L"/UNMAP2:3", 261}}) {
    SCOPED_TRACE(c.line);
    SystemDisk disk("mbr_standard");
    disk.table.Line(c.line);
    EXPECT_TRUE(disk.Run(std::wstring(L"/LOG ") + c.args).Exited(c.code));
  }
  // The record is deleted even when the unmap then fails.
  record.Set(L"DRV3", L"Q");
  SystemDisk disk("mbr_standard", false);
  disk.table.Line(L"connect-fail\t257");
  EXPECT_TRUE(disk.Run(L"/LOG /UNMAP3").Exited(257, {"ERROR : failed _initWMI() \n"}));
  EXPECT_FALSE(record.Get(L"DRV3"));
}

}  // namespace
}  // namespace partlink_test
