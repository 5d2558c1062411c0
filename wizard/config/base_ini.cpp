#include "base_ini.h"

#include <windows.h>

#include <new>

#include "app/core/text.h"
#include "app/log.h"
#include "app/syshelpers.h"

bool CBaseIniMgr::GetTargetSecData(const std::wstring& iniPath, const std::wstring& section,
                                   SectionBuffer& buffer) {
  constexpr wchar_t kFn[] = L"CBaseIniMgr::GetTargetSecData";
  buffer.reset();
  const DWORD attributes = ::GetFileAttributesW(iniPath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    TW_LOG(kFn, iniPath);
    return false;
  }
  const uint64_t size = Norvane::DeskKit::Common::MyGetFileSizeEx(iniPath.c_str());
  if (size == 0) {
    TW_LOG(kFn, iniPath);
    return false;
  }
  // One character per byte of the file. A file beyond any real deployment
  // (the largest disc-set file the limits allow is a few megabytes), or a
  // buffer that cannot be had, is a read failure like any other: the reader
  // then returns its defaults.
  if (size > kMaxIniFileBytes) {
    TW_LOG(kFn, tw::Hex64Halves(size) + L", " + iniPath);
    return false;
  }
  const DWORD capacity = static_cast<DWORD>(size);
  std::unique_ptr<wchar_t[]> data;
  try {
    data.reset(new wchar_t[capacity]);
  } catch (const std::bad_alloc&) {  // also an array length the heap cannot express
  }
  if (!data) {
    TW_LOG(kFn, tw::Hex64Halves(size) + L", " + iniPath);
    return false;
  }
  // The call ends what it copies with two NULs; only its start needs
  // clearing for a section that does not exist.
  data[0] = L'\0';
  if (capacity > 1) data[1] = L'\0';
  const DWORD copied = ::GetPrivateProfileSectionW(section.c_str(), data.get(), capacity, iniPath.c_str());
  if (static_cast<uint64_t>(copied) + 2 <= capacity) {
    data[copied] = L'\0';
    data[copied + 1] = L'\0';
  }
  buffer.data = std::move(data);
  buffer.capacity = capacity;
  return true;
}

bool CBaseIniMgr::GetValueOfKey(const std::wstring& line, const std::wstring& keyName, std::wstring& value) {
  return tw::ini::MatchKey(line, keyName, value);
}
