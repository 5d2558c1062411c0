// The drive lookup through WMI: the table stand-in for the cases a test must
// set up, and Wine's own WMI for the real path.
#include <gtest/gtest.h>

#include "win_support.h"

namespace partlink_test {
namespace {

struct Lookup {
  Lookup() { disks.Put(0, "mbr_standard"); }
  RunResult Run(const wchar_t* args) { return RunTool(disks, args, &table); }
  DiskSet disks;
  WmiTable table;
};

TEST(Wmi, RealWmiUnderWineFindsDriveCOnDisk0) {
  DiskSet disks;
  disks.Put(0, "mbr_standard");
  const auto original = ReadBytes(disks.DiskPath(0));
  // No table: the test build asks the system's WMI, and Wine reports drive C
  // as "Disk #0, Partition #0" of \\.\PHYSICALDRIVE0 (writing DeviceId).
  const RunResult r = RunTool(disks, L"/LOG /HIDE");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(r.Contains("Found Drive 'C:'\n"));
  EXPECT_TRUE(r.Contains("Found \n Drive ID ... 0\n Part ID ... 0\n"));
  EXPECT_TRUE(r.Contains("Win32_DiskDrive.DeviceId=\"\\\\\\\\.\\\\PHYSICALDRIVE0\""));
  EXPECT_TRUE(r.Contains("SUCCESS : _getSystemDriveID\n SysDriveID:'0'\n SysDriveName:'PHYSICALDRIVE0'\n"));
  EXPECT_TRUE(r.Contains("Target Drive ID = '0'\n"));
  EXPECT_EQ(ReadBytes(disks.DiskPath(0)), original);
}

TEST(Wmi, RealWmiMapsButDoesNotKnowTheMappedLetter) {
  LetterGuard letters;
  DiskSet disks;
  disks.Put(0, "mbr_standard");
  const DWORD expected = HighestFreeNumber();
  const RunResult map = RunTool(disks, L"/MAP2");
  EXPECT_EQ(map.exitCode, expected);
  // Wine's WMI lists only its own drives, so the unmap stops harmlessly.
  const RunResult unmap = RunTool(disks, L"/LOG /UNMAP2:" + std::to_wstring(expected));
  EXPECT_EQ(unmap.exitCode, 0u);
  EXPECT_TRUE(unmap.Contains("Target Drive not found. Abort _UnMap() \n"));
  EXPECT_TRUE(LetterInUse(LetterOf(expected)));
}

TEST(Wmi, WithoutDriveCTheSystemDiskIsUnknown) {
  Lookup l;
  l.table.Letter(L'D', L"0", L"1").Drive(L"0", L"\\\\\\\\.\\\\PHYSICALDRIVE0");
  const RunResult r = l.Run(L"/LOG /HIDE");
  EXPECT_EQ(r.exitCode, 264u);
  EXPECT_TRUE(r.Contains("ERROR : Missing Drive.\n"));
  EXPECT_TRUE(r.Contains("ERROR : failed _getSystemDriveID() \n"));
}

TEST(Wmi, DiskOneIsNotTakenForDiskTen) {
  Lookup l;
  l.disks.Put(1, "mbr_standard");
  l.table.Letter(L'C', L"1", L"1")
      .Drive(L"10", L"\\\\\\\\.\\\\PHYSICALDRIVE10")
      .Drive(L"1", L"\\\\\\\\.\\\\PHYSICALDRIVE1");
  const RunResult r = l.Run(L"/LOG /HIDE");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(r.Contains("SysDriveName:'PHYSICALDRIVE1'\n"));
  EXPECT_TRUE(r.Contains("Enter : _getTargetPartitionID(1)\n"));
}

TEST(Wmi, AssociationsWithoutTheNeededPartsAreSkipped) {
  Lookup l;
  l.table
      .Line(L"Win32_LogicalDiskToPartition\t<none>\tx")
      .Line(L"Win32_LogicalDiskToPartition\tx:Win32_LogicalDisk.DeviceID=\"C:\"\t<none>")
      .Line(L"Win32_LogicalDiskToPartition\tx:Win32_Volume.DeviceID=\"C:\"\tx:Win32_DiskPartition.DeviceID=\"Disk #5, Partition #0\"")
      .Line(L"Win32_LogicalDiskToPartition\tx:WIN32_LOGICALDISK.DEVICEID=\"C:\"\tx:win32_diskpartition.deviceid=\"Disk #0, Partition #1\"")
      .Line(L"Win32_DiskDriveToDiskPartition\tx:Win32_DiskPartition.DeviceID=\"Disk #0, Partition #0\"\t<none>")
      .Drive(L"0", L"\\\\\\\\.\\\\PHYSICALDRIVE0");
  const RunResult r = l.Run(L"/LOG /HIDE");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(r.Contains("Found \n Drive ID ... 0\n Part ID ... 1\n"));
  EXPECT_TRUE(r.Contains("SysDriveName:'PHYSICALDRIVE0'\n"));
}

TEST(Wmi, SystemDiskNameProblems) {
  {
    Lookup l;
    l.table.Letter(L'C', L"0", L"1").Drive(L"1", L"\\\\\\\\.\\\\PHYSICALDRIVE1");
    const RunResult r = l.Run(L"/LOG /MAP");
    EXPECT_EQ(r.exitCode, 267u);
    EXPECT_TRUE(r.Contains("ERROR : Missing System Drive Name.\n"));
  }
  for (const wchar_t* device : {L"\\\\\\\\.\\\\CDROM0", L"\\\\\\\\.\\\\PHYSICALDRIVE", L"\\\\\\\\.\\\\PHYSICALDRIVEx1"}) {
    SCOPED_TRACE(device);
    Lookup l;
    l.table.Letter(L'C', L"0", L"1").Drive(L"0", device);
    const RunResult r = l.Run(L"/LOG /SHOW");
    EXPECT_EQ(r.exitCode, 278u);
    EXPECT_TRUE(r.Contains("ERROR : Bad Device Name '"));
  }
}

TEST(Wmi, ConnectionAndEnumerationFailures) {
  struct Case {
    const wchar_t* line;
    const wchar_t* args;
    DWORD code;
  };
  RecordGuard record;
  for (const Case& c : {Case{L"fail\tWin32_LogicalDiskToPartition", L"/MAP", 263},
                        Case{L"fail\tWin32_DiskDriveToDiskPartition", L"/MAP2", 266},
                        Case{L"connect-fail\t258", L"/HIDE", 258},
                        Case{L"connect-fail\t261", L"/UNMAP2:3", 261}}) {
    SCOPED_TRACE(c.line);
    Lookup l;
    l.table.SystemOnDisk0().Line(c.line);
    const RunResult r = l.Run((std::wstring(L"/LOG ") + c.args).c_str());
    EXPECT_EQ(r.exitCode, c.code);
  }
  // The record is deleted even when the unmap then fails.
  record.Set(L"DRV3", L"Q");
  Lookup l;
  l.table.Line(L"connect-fail\t257");
  const RunResult r = l.Run(L"/LOG /UNMAP3");
  EXPECT_EQ(r.exitCode, 257u);
  EXPECT_TRUE(r.Contains("ERROR : failed _initWMI() \n"));
  EXPECT_FALSE(record.Get(L"DRV3"));
}

}  // namespace
}  // namespace partlink_test
