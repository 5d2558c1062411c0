#include "tarnset.h"

#include <windows.h>

#include <memory>
#include <new>

#include "app/core/text.h"
#include "app/handles.h"
#include "app/log.h"
#include "app/syshelpers.h"
#include "config/base_ini.h"
#include "config/rcv_data.h"

namespace TarnSet {

using tw::tarnset::kMaxSets;
using tw::tarnset::kMaxTasks;
using tw::tarnset::TaskVerdict;

namespace {

constexpr wchar_t kLoadFn[] = L"TarnSet::CMgr::LoadTaskData";

bool FileExists(const std::wstring& path) { return tw::IsExistingFile(path); }

// The file's section names, each also in the platform's lower- and
// upper-case forms (see SectionIndex). False when the list cannot be had
// whole: the caller then fetches every number.
bool ListSections(const std::wstring& iniPath, tw::tarnset::SectionIndex* index) {
  // No name in the list is longer than its line in the file, so a buffer
  // of one character per byte holds the whole list with room to spare.
  const uint64_t size = Norvane::DeskKit::Common::MyGetFileSizeEx(iniPath.c_str());
  constexpr uint64_t kLargest = 64ull << 20;
  if (size == 0 || size > kLargest) return false;
  const DWORD capacity = static_cast<DWORD>(size) + 2;
  std::unique_ptr<wchar_t[]> names;
  try {
    names.reset(new wchar_t[capacity]);
  } catch (const std::bad_alloc&) {
    return false;
  }
  const DWORD copied = ::GetPrivateProfileSectionNamesW(names.get(), capacity, iniPath.c_str());
  if (copied + 2 >= capacity) return false;  // what a cut-off list returns
  // Every name up to the count returned, so that an empty name could not
  // hide the ones after it.
  for (DWORD start = 0; start < copied;) {
    DWORD end = start;
    while (end < copied && names[end] != L'\0') ++end;
    const std::wstring name(names.get() + start, end - start);
    start = end + 1;
    if (name.empty()) continue;
    index->Add(name);
    std::wstring folded = name;
    for (DWORD map : {static_cast<DWORD>(LCMAP_LOWERCASE), static_cast<DWORD>(LCMAP_UPPERCASE)}) {
      if (::LCMapStringW(LOCALE_INVARIANT, map, name.c_str(), static_cast<int>(name.size()), &folded[0],
                         static_cast<int>(folded.size())) == static_cast<int>(name.size())) {
        index->Add(folded);
      }
    }
  }
  return true;
}

// Title of "Info_n"; empty when the file or the key cannot be read.
std::wstring ReadSetTitle(const std::wstring& iniPath, uint32_t setNumber) {
  const std::wstring section = tw::tarnset::InfoSectionName(setNumber);
  DWORD size = 0;
  if (!GetIniString(iniPath.c_str(), section.c_str(), L"Title", nullptr, L"", &size) || size <= 1) return L"";
  std::vector<wchar_t> title(size, L'\0');
  if (!GetIniString(iniPath.c_str(), section.c_str(), L"Title", title.data(), L"", &size)) return L"";
  return title.data();
}

// The first search match of "*.iso" in the folder must be a file.
// Kept, NoIsoFile or IsoIsFolder; `error` gets the system error code.
TaskVerdict IsoFileVerdict(const std::wstring& folder, uint32_t* error) {
  const std::wstring pattern = folder + L"\\*.iso";
  WIN32_FIND_DATAW found{};
  tw::UniqueFind search(::FindFirstFileW(pattern.c_str(), &found));
  if (!search) {
    *error = ::GetLastError();
    TW_LOG(kLoadFn, tw::Hex8With(*error, pattern));
    return TaskVerdict::NoIsoFile;
  }
  if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    *error = ERROR_DIRECTORY;
    TW_LOG(kLoadFn, tw::Hex8With(ERROR_DIRECTORY, tw::JoinPath(folder, found.cFileName)));
    return TaskVerdict::IsoIsFolder;
  }
  return TaskVerdict::Kept;
}

// The folder holds at least one entry besides "." and "..".
bool HasAnyEntry(const std::wstring& folder, uint32_t* listingError) {
  const std::wstring pattern = folder + L"\\*";
  WIN32_FIND_DATAW found{};
  tw::UniqueFind search(::FindFirstFileW(pattern.c_str(), &found));
  if (!search) {
    const DWORD error = ::GetLastError();
    *listingError = error;
    if (error != ERROR_FILE_NOT_FOUND) TW_LOG(kLoadFn, tw::Hex8With(error, pattern));
    return false;
  }
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") return true;
  } while (::FindNextFileW(search.get(), &found));
  return false;
}

}  // namespace

bool ChkWrittenDiscsOfTask(TaskData* task) {
  if (!task) {
    TW_LOG(L"TarnSet::ChkWrittenDiscsOfTask", L"");
    return false;
  }
  tw::tarnset::RefreshWrittenState(*task, FileExists);
  return true;
}

CMgr::CMgr(const std::wstring& logPath, const std::wstring& tarnSetIniPath, tw::tarnset::LoadTrace* trace,
           SectionLookup lookup)
    : logPath_(logPath), sets_(kMaxSets), trace_(trace) {
  constexpr wchar_t kFn[] = L"TarnSet::CMgr::CMgr";
  // The trace is the caller's and is written only during this load.
  tw::ScopeExit forgetTrace([this] {
    trace_ = nullptr;
    sections_ = nullptr;
  });
  if (!tw::IsExistingFile(tarnSetIniPath)) {
    TW_LOG(kFn, tw::Hex8With(ERROR_FILE_NOT_FOUND, tarnSetIniPath));
    return;
  }
  // A set or task whose section the file does not hold reads as an empty
  // section: it is passed over without a fetch.
  tw::tarnset::SectionIndex sections;
  if (lookup == SectionLookup::Listed && ListSections(tarnSetIniPath, &sections)) sections_ = &sections;
  for (uint32_t number = 1; number <= kMaxSets; ++number) {
    if (sections_ && !sections_->Has(tw::tarnset::InfoSectionName(number))) continue;
    const std::wstring title = ReadSetTitle(tarnSetIniPath, number);
    if (title.empty()) continue;
    tw::tarnset::SetTrace* setTrace = nullptr;
    if (trace_) {
      trace_->sets.push_back({number, title, tw::tarnset::SetVerdict::Offered, false});
      setTrace = &trace_->sets.back();
    }
    const uint32_t position = InfoCount;
    if (!LoadTaskData(0, tarnSetIniPath, position, number)) {
      TW_LOG(kFn, tw::Hex8Pair(position, number));
      if (setTrace) setTrace->verdict = tw::tarnset::SetVerdict::NotLoaded;
      continue;
    }
    // A set must offer at least one DVD disc.
    if (sets_[position].tasks[0].empty()) {
      if (setTrace) setTrace->verdict = tw::tarnset::SetVerdict::NoDvdTask;
      continue;
    }
    sets_[position].name = title;
    if (!LoadTaskData(1, tarnSetIniPath, position, number)) {
      TW_LOG(kFn, tw::Hex8Pair(position, number));
      if (setTrace) setTrace->bdNotLoaded = true;
    }
    ++InfoCount;
  }
}

bool CMgr::LoadTaskData(int32_t discType, const std::wstring& iniPath, uint32_t setPosition, uint32_t setNumber) {
  if (iniPath.empty() || setPosition >= kMaxSets || (discType != 0 && discType != 1)) {
    TW_LOG(kLoadFn, tw::Hex8Pair(setPosition, static_cast<uint32_t>(discType)) + L", " + iniPath);
    return false;
  }
  std::vector<TaskData>& tasks = sets_[setPosition].tasks[discType];
  tasks.clear();
  wchar_t driveLetter = 0;
  if (!GetHideDrvLttr(&driveLetter)) {
    TW_LOG(kLoadFn, tw::Hex8Pair(setPosition, setNumber));
    return false;
  }
  if (!tw::IsExistingFile(iniPath)) {
    TW_LOG(kLoadFn, tw::Hex8With(ERROR_FILE_NOT_FOUND, iniPath));
    return false;
  }
  for (uint32_t number = 1; number <= kMaxTasks; ++number) {
    const std::wstring section = tw::tarnset::TaskSectionName(discType, setNumber, number);
    if (sections_ && !sections_->Has(section)) continue;
    SectionBuffer buffer;
    if (!CBaseIniMgr::GetTargetSecData(iniPath, section, buffer)) continue;
    const std::vector<std::wstring> lines = buffer.Lines();
    if (lines.empty()) continue;  // no such section
    tw::tarnset::ParsedTask parsed = tw::tarnset::ParseTaskLines(lines, driveLetter);
    tw::tarnset::TaskTrace* taskTrace = nullptr;
    if (trace_) {
      trace_->tasks.emplace_back();
      taskTrace = &trace_->tasks.back();
      taskTrace->discType = discType;
      taskTrace->setNumber = setNumber;
      taskTrace->taskNumber = number;
      taskTrace->section = section;
      taskTrace->task = parsed.task;
      taskTrace->typeText = parsed.typeText;
      taskTrace->bootImgTypeText = parsed.bootImgTypeText;
    }
    TaskData task;
    TaskVerdict verdict = ValidateTask(parsed, discType, section, &task, taskTrace);
    if (verdict == TaskVerdict::Kept && tasks.size() >= kMaxTasks) verdict = TaskVerdict::TooManyTasks;
    if (taskTrace) taskTrace->verdict = verdict;
    if (verdict != TaskVerdict::Kept) continue;
    task.RemainingDiscs = task.TotalDiscs;
    if (taskTrace) taskTrace->task = task;
    tasks.push_back(std::move(task));
  }
  return true;
}

TaskVerdict CMgr::ValidateTask(tw::tarnset::ParsedTask& parsed, int32_t discType, const std::wstring& section,
                               TaskData* out, tw::tarnset::TaskTrace* trace) const {
  TaskData& task = parsed.task;
  uint32_t ignoredError = 0;
  uint32_t& error = trace ? trace->error : ignoredError;
  // Tasks without the required keys, or of an unknown type, are passed over
  // without comment: they are not meant to be made.
  if (task.Title.empty()) return TaskVerdict::NoTitle;
  if (parsed.typeText.empty()) return TaskVerdict::NoType;
  if (task.Folder.empty()) return TaskVerdict::NoFolder;
  if (task.Message.empty()) return TaskVerdict::NoMessage;
  if (!tw::tarnset::TypeCodeOf(parsed.typeText, task.Type)) return TaskVerdict::UnknownType;
  if (!tw::IsExistingFile(task.Message)) {
    error = ::GetLastError();
    TW_LOG(kLoadFn, tw::Hex8With(error, task.Message));
    return TaskVerdict::MessageMissing;
  }
  task.Folder = tw::WithoutTrailingBackslash(task.Folder);
  uint32_t bootImgType = 0;
  if (tw::ScanUnsigned(parsed.bootImgTypeText, bootImgType)) task.BootImgType = bootImgType;

  switch (task.Type) {
    case kTypeIso: {
      const TaskVerdict iso = IsoFileVerdict(task.Folder, &error);
      if (iso != TaskVerdict::Kept) return iso;
      task.TotalDiscs = 1;
      break;
    }
    case kTypeImage: {
      // The disc count follows the capacity of the list's own disc type,
      // so that a BD list counts BDs, as the burn file list will pack them.
      uint32_t discs = 0;
      uint32_t files = 0;
      if (!GetRcvDataInfo(task.Folder, discType, &discs, &files, logPath_, nullptr, 0,
                          trace ? &trace->image : nullptr)) {
        TW_LOG(kLoadFn, tw::Hex8With(static_cast<uint32_t>(discType), section));
        return TaskVerdict::ImageUnusable;
      }
      task.TotalDiscs = discs;
      break;
    }
    default:  // "Files" and "Files_Bootable"
      if (!HasAnyEntry(task.Folder, &error)) return TaskVerdict::FolderEmpty;
      task.TotalDiscs = 1;
      break;
  }
  if (task.Type == kTypeFilesBootable) {
    if (task.BootImg.empty() || !tw::IsExistingFile(task.BootImg)) {
      error = ::GetLastError();
      TW_LOG(kLoadFn, tw::Hex8With(error, section + L", " + task.BootImg));
      return TaskVerdict::BootImgMissing;
    }
    uint32_t kind = 0;
    if (!tw::ScanUnsigned(parsed.bootImgTypeText, kind) || kind > tw::tarnset::kMaxBootImgType) {
      TW_LOG(kLoadFn, section + L", " + parsed.bootImgTypeText);
      return TaskVerdict::BootImgTypeBad;
    }
  }
  *out = std::move(task);
  return TaskVerdict::Kept;
}

bool CMgr::CheckPosition(const wchar_t* function, uint32_t line, uint32_t setPosition, int32_t discType) const {
  if (setPosition >= InfoCount || setPosition >= kMaxSets) {
    tw::Log(function, line, tw::Hex8Pair(setPosition, InfoCount));
    return false;
  }
  if (discType != 0 && discType != 1) {
    tw::Log(function, line, tw::Hex8(static_cast<uint32_t>(discType)));
    return false;
  }
  const size_t count = sets_[setPosition].tasks[discType].size();
  if (count > kMaxTasks) {
    tw::Log(function, line, tw::Hex8(static_cast<uint32_t>(count)));
    return false;
  }
  return true;
}

bool CMgr::GetInfoData(std::wstring* names) const {
  if (!names || InfoCount > kMaxSets) {
    TW_LOG(L"TarnSet::CMgr::GetInfoData", tw::Hex8(InfoCount));
    return false;
  }
  for (uint32_t i = 0; i < InfoCount; ++i) names[i] = sets_[i].name;
  return true;
}

uint32_t CMgr::GetTaskCountInInfo(uint32_t setPosition, int32_t discType) const {
  if (!CheckPosition(L"TarnSet::CMgr::GetTaskCountInInfo", __LINE__, setPosition, discType)) return 0;
  return static_cast<uint32_t>(sets_[setPosition].tasks[discType].size());
}

bool CMgr::GetTaskData(uint32_t setPosition, int32_t discType, TaskData* tasks) const {
  if (!tasks) {
    TW_LOG(L"TarnSet::CMgr::GetTaskData", tw::Hex8(setPosition));
    return false;
  }
  if (!CheckPosition(L"TarnSet::CMgr::GetTaskData", __LINE__, setPosition, discType)) return false;
  const std::vector<TaskData>& list = sets_[setPosition].tasks[discType];
  std::copy(list.begin(), list.end(), tasks);
  return true;
}

void CMgr::ChkWrittenDiscs() {
  for (uint32_t i = 0; i < InfoCount && i < kMaxSets; ++i) {
    std::vector<TaskData>& dvd = sets_[i].tasks[0];
    std::vector<TaskData>& bd = sets_[i].tasks[1];
    tw::tarnset::RefreshSetWrittenState(dvd.data(), static_cast<uint32_t>(dvd.size()), bd.data(),
                                        static_cast<uint32_t>(bd.size()), FileExists);
  }
}

}  // namespace TarnSet
