#include "step_rules.h"

#include <algorithm>
#include <limits>

#include "app/core/text.h"
#include "burn/core/brn_result.h"

namespace tw {
namespace steps {

namespace {
constexpr wchar_t kDiscNum[] = L"%DiscNum%";
constexpr wchar_t kDiscName[] = L"%DiscName%";
}  // namespace

uint32_t TotalDiscCount(const TarnSet::TaskData* tasks, uint32_t taskCount) {
  uint64_t total = 0;
  for (uint32_t i = 0; tasks && i < taskCount; ++i) {
    const TarnSet::TaskData& task = tasks[i];
    total += task.WrittenFlags.empty() ? task.TotalDiscs : task.RemainingDiscs;
  }
  return static_cast<uint32_t>(std::min<uint64_t>(total, std::numeric_limits<uint32_t>::max()));
}

DiscEntry DiscEntryOf(const TarnSet::TaskData& task, uint32_t discNumber) {
  const std::wstring number = Dec(static_cast<uint64_t>(discNumber) + 1);
  DiscEntry e;
  e.DiscNumber = discNumber;
  e.Title = ReplaceAll(task.Title, kDiscNum, number);
  e.VolumeLabel = ReplaceAll(task.VolumeLabel, kDiscNum, number);
  e.Type = task.Type;
  e.Folder = task.Folder;
  e.Message = task.Message;
  e.BootImg = task.BootImg;
  e.BootImgType = task.BootImgType;
  e.ExclusionList = task.ExclusionList;
  e.Flag = (task.Type == TarnSet::kTypeImage && !task.Flag.empty()) ? ReplaceAll(task.Flag, kDiscNum, number)
                                                                     : task.Flag;
  return e;
}

bool DiscIsStillToMake(const TarnSet::TaskData& task, uint32_t discNumber) {
  if (task.WrittenFlags.empty()) return true;
  if (task.RemainingDiscs == 0) return false;
  return discNumber >= task.WrittenFlags.size() || task.WrittenFlags[discNumber] == 0;
}

DiscList BuildDiscList(const TarnSet::TaskData* tasks, uint32_t taskCount, uint32_t total) {
  DiscList list;
  list.entries.reserve(total);
  for (uint32_t t = 0; tasks && t < taskCount; ++t) {
    for (uint32_t d = 0; d < tasks[t].TotalDiscs; ++d) {
      if (!DiscIsStillToMake(tasks[t], d)) continue;
      if (list.entries.size() >= total) {
        list.overflow = true;
        return list;
      }
      list.entries.push_back(DiscEntryOf(tasks[t], d));
    }
  }
  return list;
}

std::optional<std::wstring> SingleDriveTypeText(const OddInfo& drive, const LangIni::DriveData& texts) {
  if (drive.BdWritable) return texts.DriveType_ODD_BD;
  if (drive.DvdWritable) return texts.DriveType_ODD_DVD;
  return std::nullopt;
}

std::wstring ListedDriveTypeText(const OddInfo& drive, const LangIni::DriveData& texts) {
  if (drive.BdWritable) return texts.DriveType_ODD_BD;
  if (drive.DvdWritable) return texts.DriveType_ODD_DVD;
  return std::wstring();
}

std::wstring DriveDisplayText(const std::wstring& format, const std::wstring& typeText, const std::wstring& rootText) {
  return ReplaceAll(ReplaceAll(format, L"%DriveType%", typeText), L"%DriveRootPath%", rootText);
}

std::wstring DriveMessageFormat(const std::wstring& format) {
  static const std::wstring kRoot = L"%DriveRootPath%";
  static const std::wstring kType = L"%DriveType%";
  std::wstring out;
  size_t i = 0;
  while (i < format.size()) {
    if (format.compare(i, kRoot.size(), kRoot) == 0) {
      out += L"%1!s!";
      i += kRoot.size();
    } else if (format.compare(i, kType.size(), kType) == 0) {
      out += L"%2!s!";
      i += kType.size();
    } else {
      if (format[i] == L'%') out += L'%';
      out += format[i++];
    }
  }
  return out;
}

DiscTypeChoice DiscTypesOffered(uint32_t dvdTaskCount, uint32_t bdTaskCount, bool driveWritesBd) {
  DiscTypeChoice c;
  c.dvd = dvdTaskCount > 0;
  c.bd = c.dvd && bdTaskCount > 0 && driveWritesBd;
  return c;
}

uint16_t DiscSetColumnWidth(int32_t clientWidth, int32_t widestText, int32_t margin) {
  return static_cast<uint16_t>(std::max(clientWidth - 10, widestText + margin));
}

uint16_t CheckListColumnWidth(int32_t clientWidth, int32_t widestText, int32_t checkMargin, int32_t textMargin) {
  const int32_t wanted = widestText + checkMargin + textMargin;
  return static_cast<uint16_t>(wanted > clientWidth - 10 ? wanted : clientWidth - 10);
}

uint32_t TickedAfterClick(const std::vector<bool>& ticked, size_t clicked, bool onCheckBox) {
  uint32_t count = static_cast<uint32_t>(std::count(ticked.begin(), ticked.end(), true));
  if (!onCheckBox || clicked >= ticked.size()) return count;
  // The list view flips this box right after the click is reported.
  return ticked[clicked] ? count - 1 : count + 1;
}

std::optional<uint32_t> CurrentEntryIndex(uint32_t currentDisc, uint32_t discCount, const int32_t* discListIndex,
                                          uint32_t listCount) {
  if (!discListIndex || currentDisc >= discCount) return std::nullopt;
  const int32_t index = discListIndex[currentDisc];
  if (index < 0 || static_cast<uint32_t>(index) >= listCount) return std::nullopt;
  return static_cast<uint32_t>(index);
}

EngineOutcome JudgeEngineEnd(bool waitFailed, bool haveExitCode, uint32_t exitCode) {
  if (waitFailed || !haveExitCode) return EngineOutcome::kFailure;
  switch (ClassifyBrnExitCode(exitCode)) {
    case BrnResultType::Success:
      return EngineOutcome::kSuccess;
    case BrnResultType::Abort:
      return EngineOutcome::kAbort;
    default:
      return EngineOutcome::kFailure;
  }
}

std::optional<std::wstring> DescriptionText(const std::string& fileBytes, const std::wstring& title) {
  if (fileBytes.empty()) return std::nullopt;
  std::wstring text = fileBytes.size() > 2 ? FromUtf16Le(fileBytes.substr(2)) : std::wstring();
  const size_t nul = text.find(L'\0');
  if (nul != std::wstring::npos) text.resize(nul);
  return ReplaceAll(text, kDiscName, title);
}

std::vector<std::wstring> ParentFolders(const std::wstring& filePath) {
  std::vector<std::wstring> folders;
  for (size_t i = 3; i < filePath.size(); ++i) {
    if (filePath[i] == L'\\') folders.push_back(filePath.substr(0, i));
  }
  return folders;
}

std::optional<ReportKind> ReportKindOf(int32_t makeResult) {
  switch (makeResult) {
    case 0:
      return ReportKind::kSuccess;
    case 1:
      return ReportKind::kFailure;
    case 2:
      return ReportKind::kAbort;
    default:
      return std::nullopt;
  }
}

const std::wstring& FailureText(const LangIni::FnshData& texts, int32_t exitCode) {
  if (exitCode == 0) return texts.F_F_Info_Unknown;
  if (exitCode == 100) return texts.F_F_Info_NoBurnEngine;
  switch (ClassifyBrnExitCode(static_cast<uint32_t>(exitCode))) {
    case BrnResultType::Preparing:
    case BrnResultType::Abort:
      return texts.F_F_Info_Preparing;
    case BrnResultType::Burning:
      return texts.F_F_Info_Burning;
    case BrnResultType::Verifying:
      return texts.F_F_Info_Verifying;
    default:
      return texts.F_F_Info_Unknown;
  }
}

Report BuildReport(const LangIni::FnshData& texts, ReportKind kind, const std::wstring& discSetName,
                   const std::vector<std::wstring>& titles, uint32_t currentDisc, int32_t exitCode,
                   const std::vector<ui::ReadBack>& readBacks) {
  const std::wstring* heading = &texts.SuccessReport;
  const std::wstring* detail = &texts.S_ResultDetailInfo;
  const std::wstring *before = &texts.S_S_Info, *at = &texts.S_S_Info, *after = &texts.S_S_Info;
  const std::wstring* verified = &texts.S_SV_Info;
  if (kind == ReportKind::kAbort) {
    heading = &texts.AbortReport;
    detail = &texts.A_ResultDetailInfo;
    before = &texts.A_S_Info;
    at = after = &texts.A_A_Info;
    verified = &texts.A_SV_Info;
  } else if (kind == ReportKind::kFailure) {
    heading = &texts.FailureReport;
    detail = &texts.F_ResultDetailInfo;
    before = &texts.F_S_Info;
    at = &FailureText(texts, exitCode);
    after = &texts.F_A_Info;
    verified = &texts.F_SV_Info;
  }
  auto readBackOf = [&](size_t i) { return i < readBacks.size() ? readBacks[i] : ui::ReadBack::kNotRead; };
  Report r;
  r.heading = ReplaceAll(*heading, L"%DiscSetName%", discSetName);
  r.detail = *detail;
  for (size_t i = 0; i < titles.size(); ++i) {
    const std::wstring* text = i < currentDisc ? before : i == currentDisc ? at : after;
    const bool made = i < currentDisc || kind == ReportKind::kSuccess;
    if (made && readBackOf(i) == ui::ReadBack::kVerified && !verified->empty()) text = verified;
    if (kind == ReportKind::kFailure && i == currentDisc && readBackOf(i) == ui::ReadBack::kFailed &&
        !texts.F_F_Info_VerifyFailed.empty()) {
      text = &texts.F_F_Info_VerifyFailed;
    }
    r.lines += ReplaceAll(*text, kDiscName, titles[i]) + L"\r\n";
  }
  return r;
}

}  // namespace steps
}  // namespace tw
