#include "tarnset_core.h"

#include <algorithm>

#include "app/core/text.h"
#include "ini_core.h"
#include "ini_keys.h"

namespace tw {
namespace tarnset {

std::wstring InfoSectionName(uint32_t setNumber) { return L"Info_" + Dec(setNumber); }

std::wstring TaskSectionName(int32_t discType, uint32_t setNumber, uint32_t taskNumber) {
  return std::wstring(discType == 0 ? L"Task_DVD1_" : L"Task_BD1_") + Dec(setNumber) + L"_" + Dec(taskNumber);
}

std::wstring SectionIndex::Key(const std::wstring& name) {
  auto blank = [](wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
  };
  size_t begin = 0;
  size_t end = name.size();
  while (begin < end && blank(name[begin])) ++begin;
  while (end > begin && blank(name[end - 1])) --end;
  std::wstring key = name.substr(begin, end - begin);
  for (wchar_t& c : key) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return key;
}

void SectionIndex::Add(const std::wstring& name) { names_.insert(Key(name)); }

bool SectionIndex::Has(const std::wstring& name) const { return names_.count(Key(name)) != 0; }

bool TypeCodeOf(const std::wstring& text, int32_t& code) {
  static const struct {
    const wchar_t* name;
    int32_t code;
  } kTypes[] = {{L"ISO", TarnSet::kTypeIso}, {L"Image", TarnSet::kTypeImage}, {L"Files", TarnSet::kTypeFiles},
                {L"Files_Bootable", TarnSet::kTypeFilesBootable}};
  for (const auto& type : kTypes) {
    if (EqualsNoCase(text, type.name)) {
      code = type.code;
      return true;
    }
  }
  return false;
}

std::wstring ExpandDriveMark(std::wstring value, wchar_t driveLetter) {
  if (!value.empty() && value[0] == L'?') value[0] = driveLetter;
  return value;
}

TaskData ResetTask() {
  TaskData task;
  task.Type = TarnSet::kTypeFiles;
  task.BootImgType = IniKey::BootImgType.defaultValue;
  return task;
}

ParsedTask ParseTaskLines(const std::vector<std::wstring>& lines, wchar_t driveLetter) {
  ParsedTask parsed{ResetTask(), std::wstring(), std::wstring()};
  TaskData& t = parsed.task;
  using ini::TextField;
  ini::ApplyLines(lines, {TextField(IniKey::Title, t.Title), TextField(IniKey::VolumeLabel, t.VolumeLabel),
                          TextField(IniKey::Type, parsed.typeText), TextField(IniKey::Folder, t.Folder),
                          TextField(IniKey::Message, t.Message), TextField(IniKey::BootImg, t.BootImg),
                          ini::Field{IniKey::BootImgType.name, ini::Kind::Text, &parsed.bootImgTypeText, nullptr},
                          TextField(IniKey::ExclusionList, t.ExclusionList), TextField(IniKey::Flag, t.Flag)});
  for (std::wstring* path : {&t.Folder, &t.Message, &t.BootImg, &t.ExclusionList, &t.Flag}) {
    *path = ExpandDriveMark(*path, driveLetter);
  }
  return parsed;
}

std::wstring FlagPathOfDisc(const TaskData& task, uint32_t discIndex) {
  if (task.Type != TarnSet::kTypeImage) return task.Flag;
  return ReplaceAll(task.Flag, L"%DiscNum%", Dec(static_cast<uint64_t>(discIndex) + 1));
}

void RefreshWrittenState(TaskData& task, const FileExists& exists) {
  if (task.Flag.empty()) return;
  task.WrittenFlags.assign(task.TotalDiscs, 0);
  task.RemainingDiscs = task.TotalDiscs;
  for (uint32_t i = 0; i < task.TotalDiscs; ++i) {
    if (exists(FlagPathOfDisc(task, i))) {
      task.WrittenFlags[i] = 1;
      --task.RemainingDiscs;
    }
  }
}

namespace {
bool AllMarked(const TaskData* tasks, uint32_t count) {
  bool anyMarks = false;
  for (uint32_t i = 0; i < count; ++i) {
    const auto& flags = tasks[i].WrittenFlags;
    if (!flags.empty()) anyMarks = true;
    if (std::any_of(flags.begin(), flags.end(), [](uint8_t b) { return b != 1; })) return false;
  }
  return anyMarks;
}

void MarkAllWritten(TaskData* tasks, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) {
    std::fill(tasks[i].WrittenFlags.begin(), tasks[i].WrittenFlags.end(), static_cast<uint8_t>(1));
    tasks[i].RemainingDiscs = 0;
  }
}
}  // namespace

void RefreshSetWrittenState(TaskData* dvd, uint32_t dvdCount, TaskData* bd, uint32_t bdCount,
                            const FileExists& exists) {
  // Both lists are refreshed in full: a BD list longer than the DVD list
  // must not keep stale marks on its later tasks.
  for (uint32_t i = 0; i < dvdCount; ++i) RefreshWrittenState(dvd[i], exists);
  for (uint32_t i = 0; i < bdCount; ++i) RefreshWrittenState(bd[i], exists);
  if (AllMarked(dvd, dvdCount) || AllMarked(bd, bdCount)) {
    MarkAllWritten(dvd, dvdCount);
    MarkAllWritten(bd, bdCount);
  }
}

}  // namespace tarnset
}  // namespace tw
