#include "exclusion_list.h"

#include <windows.h>

#include "app/core/text.h"
#include "app/file_read.h"
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

  tw::FileBytes content = tw::ReadWholeFile(file, kMaxListBytes);
  switch (content.status) {
    case tw::FileReadStatus::kOk:
      break;
    case tw::FileReadStatus::kTooLarge:
    case tw::FileReadStatus::kNoMemory:
      TW_LOG(kFn, tw::Hex64Halves(content.size) + L", " + file);
      return false;
    default:
      TW_LOG(kFn, tw::Hex8With(content.error, file));
      return false;
  }
  if (content.bytes.empty()) {
    entries_.clear();
    count_ = 0;
    loaded_ = true;
    return true;
  }

  wchar_t driveLetter = 0;
  if (!GetHideDrvLttr(&driveLetter)) {
    TW_LOG(kFn, file);
    return false;
  }
  entries_ = tw::exclusion::ParseListFile(content.bytes, driveLetter);
  count_ = static_cast<uint32_t>(entries_.size());
  loaded_ = true;
  return true;
}
