#include <gtest/gtest.h>

#include "core/wmi_path.h"

namespace partlink {
namespace {

TEST(WmiPath, KeysMatchWithoutCase) {
  const std::wstring windows = L"\\\\PC\\root\\cimv2:Win32_LogicalDisk.DeviceID=\"C:\"";
  const std::wstring wine = L"\\\\VM\\ROOT\\CIMV2:Win32_LogicalDisk.DeviceId=\"C:\"";
  EXPECT_EQ(TextAfterKey(windows, kLogicalDiskKey).value_or(L"-"), L"\"C:\"");
  EXPECT_EQ(TextAfterKey(wine, kLogicalDiskKey).value_or(L"-"), L"\"C:\"");
  EXPECT_FALSE(TextAfterKey(wine, kDiskPartitionKey));
}

TEST(WmiPath, DriveTextIsSearchedInTheUpperCasedPath) {
  EXPECT_TRUE(LogicalDiskNamesDrive(L"\"c:\"", DriveText(L'C')));
  EXPECT_TRUE(LogicalDiskNamesDrive(L"\"Y:\"", DriveText(L'Y')));
  EXPECT_FALSE(LogicalDiskNamesDrive(L"\"Y:\"", DriveText(L'Z')));
  // A drive letter given in lower case is never found.
  EXPECT_FALSE(LogicalDiskNamesDrive(L"\"c:\"", DriveText(L'c')));
  // The character 0 names no drive and matches nothing.
  EXPECT_EQ(DriveText(L'\0'), L"");
  EXPECT_FALSE(LogicalDiskNamesDrive(L"\"C:\"", DriveText(L'\0')));
}

TEST(WmiPath, DiskAndPartitionNumbers) {
  const auto t = ReadDiskPartition(L"\"Disk #3, Partition #12\"");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->disk, L"3");
  EXPECT_EQ(t->partition, L"12");
  EXPECT_FALSE(ReadDiskPartition(L"\"Partition #1\""));
  EXPECT_FALSE(ReadDiskPartition(L"\"Disk #1\""));
  const auto noComma = ReadDiskPartition(L"Disk #4 Partition #0\"\"");
  ASSERT_TRUE(noComma);
  EXPECT_EQ(noComma->disk, L"4 Partition #0\"\"");
  EXPECT_EQ(noComma->partition, L"0");
}

TEST(WmiPath, SystemDiskPatternDoesNotMatchALongerNumber) {
  const std::wstring pattern = DiskPattern(L"1");
  EXPECT_EQ(pattern, L"Disk #1");
  EXPECT_FALSE(PartitionPathNamesDisk(L"x:Win32_DiskPartition.DeviceID=\"Disk #10, Partition #0\"", pattern));
  EXPECT_FALSE(PartitionPathNamesDisk(L"\"Disk #19\"", pattern));
  EXPECT_TRUE(PartitionPathNamesDisk(L"x:Win32_DiskPartition.DeviceID=\"Disk #1, Partition #0\"", pattern));
  EXPECT_TRUE(PartitionPathNamesDisk(L"\"Disk #10 Disk #1\"", pattern));
  EXPECT_TRUE(PartitionPathNamesDisk(L"Disk #1", pattern));
  EXPECT_FALSE(PartitionPathNamesDisk(L"disk #1,", pattern));
}

TEST(WmiPath, SystemDiskNameOfTheEscapedDevicePath) {
  const std::wstring antecedent = L"\\\\PC\\root\\cimv2:Win32_DiskDrive.DeviceID=\"\\\\\\\\.\\\\PHYSICALDRIVE0\"";
  const auto rest = TextAfterKey(antecedent, kDiskDriveKey);
  ASSERT_TRUE(rest);
  EXPECT_EQ(SystemDiskName(*rest), L"PHYSICALDRIVE0");
  EXPECT_EQ(SystemDiskName(L"\"\"\\\\.\\PHYSICALDRIVE2\"\""), L"PHYSICALDRIVE2");
  EXPECT_EQ(SystemDiskName(L"\"\""), L"");
  EXPECT_EQ(SystemDiskName(L"..\\\\"), L"");
}

}  // namespace
}  // namespace partlink
