#include "app/wmi.h"

#include <memory>

#include "app/console.h"
#include "app/disk.h"
#include "app/seams.h"
#include "core/text.h"
#include "core/wmi_path.h"

namespace partlink {

WmiLookupTexts& LookupTexts() {
  static WmiLookupTexts texts;
  return texts;
}

uint32_t _initWMI() {
  const uint32_t result = Wmi().Connect();
  if (result != 0) _termWMI();
  return result;
}

uint32_t _termWMI() {
  Wmi().Disconnect();
  return 0;
}

uint32_t _DrvLetter2PartID(wchar_t letter) {
  Print(Format(L"\n\nEnter : _DrvLetter2PartID(%c)\n", {FormatArg::Char(letter)}));
  WmiLookupTexts& texts = LookupTexts();
  texts.diskNumber.clear();
  texts.partitionIndex.clear();
  const std::wstring driveText = DriveText(letter);

  std::unique_ptr<WmiEnumeration> instances;
  switch (Wmi().Enumerate(L"Win32_LogicalDiskToPartition", instances)) {
    case WmiService::EnumStart::NameAllocationFailed:
      Print(L"ERROR : Failed SysAllocString(Win32)\n");
      return 262;
    case WmiService::EnumStart::EnumerationFailed:
      Print(L"ERROR : Failed CreateInstanceEnum()\n");
      return 263;
    case WmiService::EnumStart::Ok:
      break;
  }
  Print(L"Finding drive ID ...\n");

  while (auto instance = instances->Next()) {
    std::wstring dependent;
    if (!instance->ReadText(L"Dependent", dependent)) continue;
    const auto drive = TextAfterKey(dependent, kLogicalDiskKey);
    if (!drive) continue;
    Print(Format(L"Checking ... %s\n", {*drive}));
    if (!LogicalDiskNamesDrive(*drive, driveText)) continue;
    Print(Format(L"Found Drive '%s'\n", {driveText}));

    std::wstring antecedent;
    if (!instance->ReadText(L"Antecedent", antecedent)) continue;
    const auto partition = TextAfterKey(antecedent, kDiskPartitionKey);
    if (!partition) continue;
    Print(Format(L"Checking ... %s\n", {*partition}));
    const auto numbers = ReadDiskPartition(*partition);
    if (!numbers) continue;
    Print(Format(L"Found \n Drive ID ... %s\n Part ID ... %s\n", {numbers->disk, numbers->partition}));
    texts.diskNumber = numbers->disk;
    texts.partitionIndex = numbers->partition;
    break;
  }
  instances.reset();

  if (texts.diskNumber.empty() || texts.partitionIndex.empty()) {
    Print(L"ERROR : Missing Drive.\n");
    return 264;
  }
  // On a GPT disk the partition number of the volume replaces WMI's index;
  // a volume on an MBR disk keeps the index.
  _getVolumePartNumber(letter);
  Print(Format(L"\n\nSUCCESS : _DrvLetter2PartID(%c)\n", {FormatArg::Char(letter)}));
  return 0;
}

uint32_t _getSystemDriveID() {
  Print(L"\n\nEnter : _getSystemDriveID\n");
  WmiLookupTexts& texts = LookupTexts();
  texts.systemDiskName.clear();

  const uint32_t init = _initWMI();
  if (init != 0) return init;
  const uint32_t lookup = _DrvLetter2PartID(L'C');
  if (lookup != 0) {
    _termWMI();
    return lookup;
  }

  std::unique_ptr<WmiEnumeration> instances;
  switch (Wmi().Enumerate(L"Win32_DiskDriveToDiskPartition", instances)) {
    case WmiService::EnumStart::NameAllocationFailed:
      Print(L"ERROR : Failed SysAllocString(Win32)\n");
      _termWMI();
      return 265;
    case WmiService::EnumStart::EnumerationFailed:
      Print(L"ERROR : Failed CreateInstanceEnum()\n");
      _termWMI();
      return 266;
    case WmiService::EnumStart::Ok:
      break;
  }
  Print(L"Finding system drive name ...\n");
  const std::wstring pattern = DiskPattern(texts.diskNumber);

  while (auto instance = instances->Next()) {
    std::wstring dependent;
    if (!instance->ReadText(L"Dependent", dependent)) continue;
    Print(Format(L"Checking ... %s\n", {dependent}));
    if (!PartitionPathNamesDisk(dependent, pattern)) continue;
    Print(L"Found System Drive.\n");

    std::wstring antecedent;
    if (!instance->ReadText(L"Antecedent", antecedent)) continue;
    Print(Format(L"Checking ... %s\n", {antecedent}));
    const auto drive = TextAfterKey(antecedent, kDiskDriveKey);
    if (!drive) continue;
    const std::wstring name = SystemDiskName(*drive);
    Print(Format(L"Found System Drive Name ... %s\n", {name}));
    texts.systemDiskName = name;
    break;
  }
  instances.reset();

  if (texts.systemDiskName.empty()) {
    _termWMI();
    Print(L"ERROR : Missing System Drive Name.\n");
    return 267;
  }
  _termWMI();
  Print(Format(L"\n\nSUCCESS : _getSystemDriveID\n SysDriveID:'%s'\n SysDriveName:'%s'\n",
               {texts.diskNumber, texts.systemDiskName}));
  return 0;
}

}  // namespace partlink
