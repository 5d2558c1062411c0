#include "exclusion_list.h"

#include <windows.h>

#include <new>

#include "app/core/text.h"
#include "app/handles.h"
#include "app/log.h"
#include "app/syshelpers.h"
#include "config/core/exclusion_lines.h"

namespace {
constexpr wchar_t kCommonListName[] = L"TarnSet_Exclusion.ini";
// Far beyond any list of 500 paths; a larger file is not read at all.
constexpr uint64_t kMaxListBytes = 64ull << 20;
}  // namespace

CExclusionListMgr::CExclusionListMgr() = default;

CExclusionListMgr::CExclusionListMgr(const std::wstring& path) : ownPathGiven_(true), path_(path) {}

bool CExclusionListMgr::GetExclusionList(uint32_t* count, std::wstring* entries, uint32_t capacity) {
  constexpr wchar_t kFn[] = L"CExclusionListMgr::GetExclusionList";
  if (!count) {
    TW_LOG(kFn, L"");
    return false;
  }
  if (!loaded_ && !LoadListFile()) {
    TW_LOG(kFn, path_);
    return false;
  }
  if (entries) {
    if (capacity < count_) {
      TW_LOG(kFn, tw::Hex8(count_));
      return false;
    }
    std::copy(entries_.begin(), entries_.end(), entries);
  }
  *count = count_;
  return true;
}

bool CExclusionListMgr::LoadListFile() {
  constexpr wchar_t kFn[] = L"CExclusionListMgr::LoadListFile";
  std::wstring file;
  if (ownPathGiven_) {
    // A task's own list that does not exist simply adds nothing.
    if (!tw::IsExistingFile(path_)) {
      entries_.clear();
      count_ = 0;
      loaded_ = true;
      return true;
    }
    file = path_;
  } else {
    if (!GetTargetFilePathInBkupApp(::GetModuleHandleW(nullptr), nullptr, kCommonListName, &file)) {
      TW_LOG(kFn, kCommonListName);
      return false;
    }
    path_ = file;
  }

  tw::UniqueFile handle(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!handle || !::GetFileSizeEx(handle.get(), &size)) {
    TW_LOG(kFn, tw::Hex8With(::GetLastError(), file));
    return false;
  }
  if (size.QuadPart == 0) {
    entries_.clear();
    count_ = 0;
    loaded_ = true;
    return true;
  }
  if (static_cast<uint64_t>(size.QuadPart) > kMaxListBytes) {
    TW_LOG(kFn, tw::Hex64Halves(static_cast<uint64_t>(size.QuadPart)) + L", " + file);
    return false;
  }
  const DWORD bytes = static_cast<DWORD>(size.QuadPart);
  std::string content;
  try {
    content.assign(bytes + 2u, '\0');
  } catch (const std::bad_alloc&) {
    TW_LOG(kFn, tw::Hex64Halves(bytes) + L", " + file);
    return false;
  }
  DWORD read = 0;
  if (!::ReadFile(handle.get(), &content[0], bytes, &read, nullptr)) {
    TW_LOG(kFn, tw::Hex8With(::GetLastError(), file));
    return false;
  }
  content.resize(read);

  wchar_t driveLetter = 0;
  if (!GetHideDrvLttr(&driveLetter)) {
    TW_LOG(kFn, file);
    return false;
  }
  entries_ = tw::exclusion::ParseListFile(content, driveLetter);
  count_ = static_cast<uint32_t>(entries_.size());
  loaded_ = true;
  return true;
}
