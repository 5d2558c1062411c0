#include "wording.h"

#include "app/core/text.h"

namespace tc {

using tw::tarnset::SetVerdict;
using tw::tarnset::TaskVerdict;
using Problem = tw::pack::Problem;

std::wstring MiB(uint64_t bytes) {
  const uint64_t tenths = (bytes * 10 + (1ull << 19)) >> 20;
  return tw::Dec(tenths / 10) + L"." + tw::Dec(tenths % 10) + L" MiB";
}

std::wstring DiscTypeName(int32_t discType) { return discType == 1 ? L"BD" : L"DVD"; }

namespace {

std::wstring Q(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring FolderClause(const std::wstring& folder, bool exists, const std::wstring& whenThere) {
  if (!exists) return L"its folder " + folder + L" does not exist";
  return L"its folder " + folder + L" " + whenThere;
}

std::wstring ImageReason(const tw::tarnset::TaskTrace& trace, const TaskFacts& facts) {
  const Problem& p = trace.image;
  const std::wstring type = DiscTypeName(trace.discType);
  switch (p.kind) {
    case Problem::kNoFolder:
      return L"its folder " + p.path + L" does not exist";
    case Problem::kNoInfoFile:
      return L"its folder " + p.path + L" holds no recovery image (no *.inf file)";
    case Problem::kImageInfoRejected: {
      std::wstring accepted;
      for (const std::wstring& value : facts.acceptedImageInfo) {
        if (!value.empty()) accepted += (accepted.empty() ? L"" : L" or ") + Q(value);
      }
      return L"the image kind " + Q(p.imageInfo) + L" of " + p.path +
             L" is not accepted (Inf_ImageInfo_32/64 of Tarnwright_Act.ini accept " + accepted + L")";
    }
    case Problem::kNoFirstPiece:
      return L"the image has no first piece " + p.path;
    case Problem::kTooLarge:
      return L"the piece " + p.path + L" (" + MiB(p.size) + L") is larger than a whole " + type + L" (" +
             MiB(p.capacity) + L"); the wizard also shows \"The size of one file in the specified folder is over "
             L"the writable size of the disc.\" while it loads the disc sets";
    case Problem::kUnreadable:
      return L"the image member " + p.path + L" cannot be read (error " + tw::Hex8(p.error) + L")";
    case Problem::kBadDiscType:
      return L"the capacity of a " + type + L" is 0 (" + type + L"1_Size in Tarnwright_Act.ini)";
    case Problem::kBadArguments:
    case Problem::kLayoutFull:
    case Problem::kNone:
      break;
  }
  return L"its recovery image in " + trace.task.Folder + L" cannot be enumerated";
}

}  // namespace

std::wstring DropReason(const tw::tarnset::TaskTrace& trace, const TaskFacts& facts) {
  const TarnSet::TaskData& task = trace.task;
  const std::wstring silently = L" (the wizard passes it over without a log entry)";
  switch (trace.verdict) {
    case TaskVerdict::Kept:
      return L"";
    case TaskVerdict::NoTitle:
      return L"it has no Title" + silently;
    case TaskVerdict::NoType:
      return L"it has no Type" + silently;
    case TaskVerdict::NoFolder:
      return L"it has no Folder" + silently;
    case TaskVerdict::NoMessage:
      return L"it has no Message (description file)" + silently;
    case TaskVerdict::UnknownType:
      return L"its Type " + Q(trace.typeText) + L" is none of ISO, Image, Files, Files_Bootable" + silently;
    case TaskVerdict::MessageMissing:
      return L"its description file (Message) " + task.Message + L" does not exist";
    case TaskVerdict::NoIsoFile:
      return FolderClause(task.Folder, facts.folderExists, L"holds no *.iso file");
    case TaskVerdict::IsoIsFolder:
      return L"the first *.iso in " + task.Folder + L" is a folder, not an image file";
    case TaskVerdict::ImageUnusable:
      return ImageReason(trace, facts);
    case TaskVerdict::FolderEmpty:
      return FolderClause(task.Folder, facts.folderExists, L"is empty");
    case TaskVerdict::BootImgMissing:
      return task.BootImg.empty() ? L"it is Files_Bootable but has no BootImg"
                                  : L"its boot image (BootImg) " + task.BootImg + L" does not exist";
    case TaskVerdict::BootImgTypeBad:
      return L"its BootImgType " + Q(trace.bootImgTypeText) + L" is not a number from 0 to 4";
    case TaskVerdict::TooManyTasks:
      return L"the set already has 100 " + DiscTypeName(trace.discType) + L" tasks";
  }
  return L"";
}

std::wstring DropSentence(const tw::tarnset::TaskTrace& trace, const TaskFacts& facts) {
  std::wstring title = trace.task.Title.empty() ? std::wstring() : L" " + Q(trace.task.Title);
  return trace.section + title + L" is dropped: " + DropReason(trace, facts) + L".";
}

std::wstring SetSentence(const tw::tarnset::SetTrace& trace) {
  const std::wstring set = L"Set " + tw::Dec(trace.setNumber) + L" " + Q(trace.title);
  switch (trace.verdict) {
    case SetVerdict::Offered:
      return L"";
    case SetVerdict::NoDvdTask:
      return set + L" disappears: it has no valid DVD task, and the wizard offers a set only with at least one DVD "
                   L"disc (its BD tasks are not even read).";
    case SetVerdict::NotLoaded:
      return set + L" disappears: its tasks cannot be loaded because the recovery drive letter is unknown.";
  }
  return L"";
}

std::wstring WrittenState(const TarnSet::TaskData& task) {
  if (task.Flag.empty()) return L"no marker file (Flag): offered again on every run";
  if (task.WrittenFlags.empty()) return L"not made yet";
  std::vector<std::wstring> made;
  for (size_t i = 0; i < task.WrittenFlags.size(); ++i) {
    if (task.WrittenFlags[i] == 1) made.push_back(tw::Dec(i + 1));
  }
  if (made.empty()) return L"not made yet";
  if (task.RemainingDiscs == 0) return L"made (marker files present): not offered again";
  std::wstring list;
  for (size_t i = 0; i < made.size(); ++i) list += (i == 0 ? L"" : L", ") + made[i];
  return L"disc" + std::wstring(made.size() == 1 ? L" " : L"s ") + list + L" made, " + tw::Dec(task.RemainingDiscs) +
         L" to make";
}

}  // namespace tc
