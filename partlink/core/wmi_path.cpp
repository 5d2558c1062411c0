#include "core/wmi_path.h"

#include "core/text.h"

namespace partlink {

const wchar_t kLogicalDiskKey[] = L"Win32_LogicalDisk.DeviceID=";
const wchar_t kDiskPartitionKey[] = L"Win32_DiskPartition.DeviceID=";
const wchar_t kDiskDriveKey[] = L"Win32_DiskDrive.DeviceID=";

std::optional<std::wstring> TextAfterKey(const std::wstring& path, const std::wstring& key) {
  const size_t at = FindNoCase(path, key);
  if (at == std::wstring::npos) return std::nullopt;
  return path.substr(at + key.size());
}

std::wstring DriveText(wchar_t letter) {
  if (letter == L'\0') return std::wstring();
  return std::wstring(1, letter) + L":";
}

bool LogicalDiskNamesDrive(const std::wstring& rest, const std::wstring& driveText) {
  if (driveText.empty()) return false;
  return ToUpperAscii(rest).find(driveText) != std::wstring::npos;
}

std::optional<DiskPartitionText> ReadDiskPartition(const std::wstring& rest) {
  static const std::wstring kDisk = L"Disk #";
  static const std::wstring kPartition = L"Partition #";
  const size_t disk = rest.find(kDisk);
  if (disk == std::wstring::npos) return std::nullopt;
  const size_t diskStart = disk + kDisk.size();
  const size_t comma = rest.find(L',', diskStart);
  const size_t partition = rest.find(kPartition);
  if (partition == std::wstring::npos) return std::nullopt;

  DiskPartitionText text;
  text.disk = rest.substr(diskStart, comma == std::wstring::npos ? std::wstring::npos : comma - diskStart);
  text.partition = rest.substr(partition + kPartition.size());
  while (!text.partition.empty() && text.partition.back() == L'"') text.partition.pop_back();
  return text;
}

std::wstring DiskPattern(const std::wstring& diskText) { return L"Disk #" + diskText; }

bool PartitionPathNamesDisk(const std::wstring& dependent, const std::wstring& pattern) {
  for (size_t at = dependent.find(pattern); at != std::wstring::npos; at = dependent.find(pattern, at + 1)) {
    const size_t after = at + pattern.size();
    if (after >= dependent.size() || dependent[after] < L'0' || dependent[after] > L'9') return true;
  }
  return false;
}

std::wstring SystemDiskName(const std::wstring& rest) {
  size_t begin = 0;
  size_t end = rest.size();
  while (begin < end && rest[begin] == L'"') ++begin;
  while (end > begin && rest[end - 1] == L'"') --end;
  while (begin < end && (rest[begin] == L'\\' || rest[begin] == L'.')) ++begin;
  return rest.substr(begin, end - begin);
}

}  // namespace partlink
