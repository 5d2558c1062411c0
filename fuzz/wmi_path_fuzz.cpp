// WMI object paths: the text after a class-and-key marker, the drive,
// disk and partition numbers read out of it, the system disk's name, and
// the device paths the test build's disk layer reads.
//
// Input (structured): a path, a disk number text and a drive letter.
//
// Properties: the text after a key is the path's tail right after the
// first occurrence of the key (without case), and no earlier occurrence
// exists; disk and partition texts are pieces of the path, the disk text
// without ",", the partition text without trailing double quotes; a disk
// pattern names the path only where it occurs and is not followed by a
// digit; the system disk name is a piece of the path that starts with
// neither backslash nor full stop and ends without a double quote; a read
// harddisk partition or device path, written back, matches the path
// without case.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "core/drive_letters.h"
#include "core/image.h"
#include "core/text.h"
#include "core/wmi_path.h"
#include "fuzz_support.h"

using namespace partlink;

namespace {

std::wstring Upper(const std::wstring& text) { return ToUpperAscii(text); }

bool DigitAt(const std::wstring& text, size_t at) { return at < text.size() && text[at] >= L'0' && text[at] <= L'9'; }

// Every run of digits without its leading zeros (one zero kept for zero).
std::wstring WithoutLeadingZeros(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'0' && DigitAt(text, i + 1) && !DigitAt(out, out.size() - 1)) continue;
    out += text[i];
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::wstring diskText = fuzz::Widen(in.ConsumeRandomLengthString(12));
  const wchar_t letter = static_cast<wchar_t>(in.ConsumeIntegral<uint8_t>());
  const std::wstring path = fuzz::Widen(in.ConsumeRemainingBytesAsString());

  for (const wchar_t* key : {kLogicalDiskKey, kDiskPartitionKey, kDiskDriveKey}) {
    const auto rest = TextAfterKey(path, key);
    const size_t at = Upper(path).find(Upper(key));
    FUZZ_CHECK(rest.has_value() == (at != std::wstring::npos));
    if (rest) FUZZ_CHECK(*rest == path.substr(at + std::wstring(key).size()));
  }

  const std::wstring drive = DriveText(letter);
  FUZZ_CHECK(drive.empty() == (letter == L'\0'));
  if (LogicalDiskNamesDrive(path, drive)) FUZZ_CHECK(Upper(path).find(drive) != std::wstring::npos);
  const int32_t number = DriveNumberOfLetter(letter);
  FUZZ_CHECK(number >= 0 && number <= 26);
  if (number != 0) FUZZ_CHECK(DriveLetterOfNumber(number) == Upper(std::wstring(1, letter))[0]);

  if (const auto read = ReadDiskPartition(path)) {
    FUZZ_CHECK(path.find(read->disk) != std::wstring::npos && read->disk.find(L',') == std::wstring::npos);
    FUZZ_CHECK(path.find(read->partition) != std::wstring::npos);
    FUZZ_CHECK(read->partition.empty() || read->partition.back() != L'"');
  } else {
    FUZZ_CHECK(path.find(L"Disk #") == std::wstring::npos || path.find(L"Partition #") == std::wstring::npos);
  }

  const std::wstring pattern = DiskPattern(diskText);
  bool names = false;
  for (size_t at = path.find(pattern); at != std::wstring::npos; at = path.find(pattern, at + 1)) {
    names = names || !DigitAt(path, at + pattern.size());
  }
  FUZZ_CHECK(PartitionPathNamesDisk(path, pattern) == names);

  const std::wstring name = SystemDiskName(path);
  FUZZ_CHECK(name.size() <= path.size() && path.find(name) != std::wstring::npos);
  if (!name.empty()) {
    FUZZ_CHECK(name.front() != L'\\' && name.front() != L'.' && name.back() != L'"');
  }

  if (const auto hp = ParseHarddiskPartitionPath(path)) {
    FUZZ_CHECK(hp->disk >= 0 && hp->partition >= 0);
    const std::wstring canonical = L"\\DEVICE\\HARDDISK" + std::to_wstring(hp->disk) + L"\\PARTITION" +
                                   std::to_wstring(hp->partition);
    // Leading zeros aside, the path is the canonical text.
    FUZZ_CHECK(Upper(WithoutLeadingZeros(path)) == canonical);
    const auto again = ParseHarddiskPartitionPath(canonical);
    FUZZ_CHECK(again && again->disk == hp->disk && again->partition == hp->partition);
  }
  if (const auto device = ParseDevicePath(path)) {
    if (device->isDisk) {
      FUZZ_CHECK(device->disk >= 0 && FindNoCase(path, L"\\\\.\\PHYSICALDRIVE") == 0);
    } else {
      FUZZ_CHECK(device->letter >= L'A' && device->letter <= L'Z' && path.size() == 6);
      FUZZ_CHECK(Upper(path) == std::wstring(L"\\\\.\\") + device->letter + L":");
    }
  }
  return 0;
}
