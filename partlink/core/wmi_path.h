// Reading disk and partition numbers out of WMI object paths by plain text
// search. Object paths are case-insensitive and platforms differ in how they
// spell the key property (DeviceID, DeviceId), so the class-and-key markers
// are matched without case.
#pragma once

#include <optional>
#include <string>

namespace partlink {

extern const wchar_t kLogicalDiskKey[];    // "Win32_LogicalDisk.DeviceID="
extern const wchar_t kDiskPartitionKey[];  // "Win32_DiskPartition.DeviceID="
extern const wchar_t kDiskDriveKey[];      // "Win32_DiskDrive.DeviceID="

// What follows the first occurrence of key in path (key matched without
// case), or nothing when key does not occur.
std::optional<std::wstring> TextAfterKey(const std::wstring& path, const std::wstring& key);

// The drive text "<letter>:" for a drive letter, as given (not upper-cased);
// empty for the character 0, which names no drive.
std::wstring DriveText(wchar_t letter);

// True when the upper-cased rest of a logical disk path contains the drive
// text. A drive text with a lower-case letter is therefore never found.
bool LogicalDiskNamesDrive(const std::wstring& rest, const std::wstring& driveText);

struct DiskPartitionText {
  std::wstring disk;       // after "Disk #" up to the next ","
  std::wstring partition;  // after "Partition #", trailing double quotes removed
};
// Reads "Disk #n, Partition #m" out of the rest of a partition path; nothing
// when either marker is missing.
std::optional<DiskPartitionText> ReadDiskPartition(const std::wstring& rest);

// "Disk #" followed by the disk number text.
std::wstring DiskPattern(const std::wstring& diskText);

// True when a partition path names the disk of the pattern: the pattern must
// occur and must not be followed by a further digit, so that "Disk #1" does
// not also match "Disk #10".
bool PartitionPathNamesDisk(const std::wstring& dependent, const std::wstring& pattern);

// The disk's device name out of the rest of a disk drive path: leading double
// quotes, then trailing double quotes, then all leading backslashes and full
// stops removed ("\"\\\\.\\PHYSICALDRIVE0\"" gives "PHYSICALDRIVE0").
std::wstring SystemDiskName(const std::wstring& rest);

}  // namespace partlink
