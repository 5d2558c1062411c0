#include "app/drives.h"

#include <windows.h>

#include <string>

#include "app/console.h"
#include "app/disk.h"
#include "app/handles.h"
#include "app/seams.h"
#include "app/wmi.h"
#include "core/drive_letters.h"
#include "core/mbr.h"
#include "core/text.h"

namespace partlink {

const wchar_t kRecordKey[] = L"SOFTWARE\\Norvane\\ZRV_PARTLINK";
const wchar_t kRecordDrv[] = L"DRV";
const wchar_t kRecordDrv3[] = L"DRV3";

namespace {

constexpr REGSAM kRecordAccess = KEY_READ | KEY_WRITE | KEY_WOW64_32KEY;
constexpr DWORD kRecordMaxChars = 100;

// Finds the target partition on the system disk; disk receives its number.
uint32_t FindTargetOnSystemDisk(int32_t& disk) {
  const uint32_t system = _getSystemDriveID();
  if (system != 0) {
    Print(L"ERROR : failed _getSystemDriveID() \n");
    return system;
  }
  const std::wstring& name = LookupTexts().systemDiskName;
  static const std::wstring kPhysicalDrive = L"PHYSICALDRIVE";
  const size_t at = name.find(kPhysicalDrive);
  const std::wstring number = at == std::wstring::npos ? std::wstring() : name.substr(at + kPhysicalDrive.size());
  // Without a number after it the name names no disk; reading it as 0 would
  // pick disk 0, which need not be the system disk.
  if (at == std::wstring::npos || number.empty() || number[0] < L'0' || number[0] > L'9') {
    Print(Format(L"ERROR : Bad Device Name '%s'\n", {name}));
    return 278;
  }
  Print(Format(L"Target Drive ID = '%s'\n", {number}));
  disk = DecimalPrefix(number);

  const uint32_t target = _getTargetPartitionID(disk);
  if (target != 0) {
    Print(L"ERROR : failed _getTargetPartitionID() \n");
    return target;
  }
  return 0;
}

uint32_t WriteRecord(const wchar_t* valueName, wchar_t letter) {
  UniqueKey key;
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRecordKey, 0, nullptr, REG_OPTION_NON_VOLATILE, kRecordAccess, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS) {
    Print(L"ERROR : failed CRegKey.Create() \n");
    return 283;
  }
  const wchar_t value[2] = {letter, L'\0'};
  if (RegistryWriteFailureRequested() ||
      ::RegSetValueExW(key.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof(value)) !=
          ERROR_SUCCESS) {
    Print(L"ERROR : failed CRegKey.SetStringValue() \n");
    return 284;
  }
  Print(Format(L"Write Reg.\n HKLM\\%s %s = '%s'\n", {kRecordKey, valueName, std::wstring(1, letter)}));
  return 0;
}

// Reads and deletes a recorded letter. False when there is no record to
// read (the caller then stops with 0).
bool TakeRecord(const wchar_t* valueName, wchar_t& letter) {
  UniqueKey key;
  const LSTATUS opened = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRecordKey, 0, kRecordAccess, key.put());
  if (opened != ERROR_SUCCESS) {
    Print(Format(L"ERROR : failed CRegKey.Open() LastError=%08X \n", {static_cast<uint32_t>(opened)}));
    return false;
  }
  wchar_t buffer[kRecordMaxChars + 1] = {};
  DWORD type = 0;
  DWORD bytes = kRecordMaxChars * sizeof(wchar_t);
  LSTATUS read = ::RegQueryValueExW(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
  if (read == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ) read = ERROR_INVALID_DATA;
  if (read != ERROR_SUCCESS) {
    key.reset();
    Print(Format(L"ERROR : failed CRegKey.QueryStringValue() LastError=%08X \n", {static_cast<uint32_t>(read)}));
    return false;
  }
  std::wstring value(buffer, bytes / sizeof(wchar_t));
  while (!value.empty() && value.back() == L'\0') value.pop_back();
  ::RegDeleteValueW(key.get(), valueName);
  key.reset();
  Print(Format(L"Query Reg.\n HKLM\\%s %s = '%s'\n", {kRecordKey, valueName, value}));
  letter = value.empty() ? L'\0' : value[0];
  return true;
}

// The unmap steps shared by every unmap option: the letter is removed only
// when it leads to a partition of type 0x27.
uint32_t UnmapChecked(wchar_t letter, const wchar_t* successLine) {
  const uint32_t init = _initWMI();
  if (init != 0) {
    Print(L"ERROR : failed _initWMI() \n");
    return init;
  }
  const uint32_t lookup = _DrvLetter2PartID(letter);
  _termWMI();
  if (lookup == 264) {
    Print(L"Target Drive not found. Abort _UnMap() \n");
    return 0;
  }
  if (lookup != 0) {
    Print(L"ERROR : failed _DrvLetter2PartID() \n");
    return lookup;
  }
  const int32_t disk = DecimalPrefix(LookupTexts().diskNumber);
  const int32_t index = DecimalPrefix(LookupTexts().partitionIndex) + 1;
  uint8_t type = 0;
  const uint32_t fs = _getFileSystemID(disk, index, type);
  if (fs != 0) {
    Print(L"ERROR : failed _getFileSystemID() \n");
    return fs;
  }
  if (type != kTypeRecovery) return 0;
  const uint32_t unmapped = _UnmapDrive(letter);
  if (unmapped != 0) {
    Print(L"ERROR : failed _UnmapDrive() \n");
    return unmapped;
  }
  Print(successLine);
  return 0;
}

uint32_t UnMapRecorded(const wchar_t* valueName) {
  Print(L"Enter : _UnMap\n");
  wchar_t letter = L'\0';
  if (!TakeRecord(valueName, letter)) return 0;
  return UnmapChecked(letter, L"SUCCESS : _UnMap\n");
}

// The map steps shared by "/MAP", "/MAPREG", "/MAP2" and "/MAP3". On success
// number receives the mapped letter's drive number.
uint32_t MapTarget(const wchar_t* name, const wchar_t* recordValue, uint32_t& number) {
  Print(Format(L"Enter : %s\n", {name}));
  int32_t disk = 0;
  const uint32_t found = FindTargetOnSystemDisk(disk);
  if (found != 0) return found;

  wchar_t letter = L'\0';
  const uint32_t available = _getAvailableDriveLetter(letter);
  if (available >= 256) {
    Print(L"ERROR : failed _getAvailableDriveLetter() \n");
    return available;
  }
  const uint32_t mapped = _MapDrive(disk, Target().partitionId, letter);
  if (mapped != 0) {
    Print(L"ERROR : failed _MapDrive() \n");
    return mapped;
  }
  // A failed record leaves the letter mapped: the partition is usable, and
  // the exit code tells the caller that no record was written.
  if (recordValue != nullptr) {
    const uint32_t recorded = WriteRecord(recordValue, letter);
    if (recorded != 0) return recorded;
  }
  Print(Format(L"SUCCESS : %s\n", {name}));
  number = available;
  return 0;
}

}  // namespace

uint32_t _getAvailableDriveLetter(wchar_t& letter) {
  Print(L"Enter : _getAvailableDriveLetter() \n");
  letter = L'\0';
  const DWORD used = ::GetLogicalDrives();
  if (used == 0) {
    Print(L"ERROR : failed GetLogicalDrives()\n");
    return 281;
  }
  const int32_t number = HighestFreeDriveNumber(used);
  if (number == 0) {
    Print(L"ERROR : Available Drive Letter not Found.\n");
    return 282;
  }
  letter = DriveLetterOfNumber(number);
  Print(Format(L"Found Available Drive Letter. ('%c')\n", {FormatArg::Char(letter)}));
  Print(L"Exit : _getAvailableDriveLetter() \n");
  return static_cast<uint32_t>(number);
}

uint32_t _MapDrive(int32_t disk, int32_t partitionId, wchar_t letter) {
  const std::wstring target = Format(L"\\Device\\Harddisk%1d\\Partition%1d", {disk & 0xFF, partitionId & 0xFF});
  const std::wstring device = Format(L"%c:", {FormatArg::Char(letter)});
  Print(Format(L"Mapping..\n '%s' -> '%s'\n\n", {target, device}));
  if (!::DefineDosDeviceW(DDD_RAW_TARGET_PATH, device.c_str(), target.c_str())) return 276;
  return 0;
}

uint32_t _UnmapDrive(wchar_t letter) {
  const std::wstring device = Format(L"%c:", {FormatArg::Char(letter)});
  Print(Format(L"UnMapping..\n '%s' \n\n", {device}));
  if (!::DefineDosDeviceW(DDD_REMOVE_DEFINITION, device.c_str(), nullptr)) return 277;
  return 0;
}

uint32_t _Map(bool withRecord) {
  uint32_t number = 0;
  return MapTarget(L"_Map", withRecord ? kRecordDrv : nullptr, number);
}

uint32_t _Map2() {
  uint32_t number = 0;
  const uint32_t result = MapTarget(L"_Map2", nullptr, number);
  return result != 0 ? result : number;
}

uint32_t _Map3() {
  uint32_t number = 0;
  const uint32_t result = MapTarget(L"_Map3", kRecordDrv3, number);
  return result != 0 ? result : number;
}

uint32_t _UnMap() { return UnMapRecorded(kRecordDrv); }

uint32_t _UnMap3() { return UnMapRecorded(kRecordDrv3); }

uint32_t _UnMap2(int32_t driveNumber) {
  Print(L"Enter : _UnMap2\n");
  const wchar_t letter = DriveLetterOfNumber(driveNumber);
  // A number outside 1 to 26 names no drive; it is not turned into some other
  // character that a text search could match.
  if (letter == L'\0') {
    Print(L"Target Drive not found. Abort _UnMap() \n");
    return 0;
  }
  Print(Format(L"Target Drive : '%s'\n", {std::wstring(1, letter)}));
  return UnmapChecked(letter, L"SUCCESS : _UnMap2\n");
}

uint32_t _chgPatID(uint8_t type) {
  Print(Format(L"Enter : _chgPatID(%d)\n", {type}));
  int32_t disk = 0;
  const uint32_t found = FindTargetOnSystemDisk(disk);
  if (found != 0) return found;
  const uint32_t set = _SetPartitionID(disk, Target().mbrIndex, type);
  if (set != 0) {
    Print(L"ERROR : failed _SetPartitionID() \n");
    return set;
  }
  Print(L"SUCCESS : _chgPatID\n");
  return 0;
}

}  // namespace partlink
