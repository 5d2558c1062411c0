// Pure parts of the disc-set model: section names, the task keys of one
// section, type names, "?" and %DiscNum% expansion, and the written state
// of tasks judged by their marker files (the file test is passed in).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "config/core/rcv_packing.h"
#include "config/core/tarnset_task.h"

namespace tw {
namespace tarnset {

using TarnSet::TaskData;

constexpr uint32_t kMaxSets = 100;
constexpr uint32_t kMaxTasks = 100;  // per set and disc type
constexpr uint32_t kMaxBootImgType = 4;

// "Info_%u".
std::wstring InfoSectionName(uint32_t setNumber);
// "Task_DVD1_%u_%u" for disc type 0, "Task_BD1_%u_%u" for 1.
std::wstring TaskSectionName(int32_t discType, uint32_t setNumber, uint32_t taskNumber);

// The section names a disc-set file holds, as the profile call that lists
// them gives them. A section that is not listed need not be fetched: its
// fetch would find no line. Names match as the profile calls match a
// section: blanks around the name do not count and letter case is ignored.
// Add() folds ASCII letters only; where other characters fold to ASCII
// ones on the platform, the caller adds the platform's lower- and
// upper-case forms of each name as well, so that a listed name is never
// missed (a name listed needlessly only costs its fetch).
class SectionIndex {
 public:
  void Add(const std::wstring& name);
  bool Has(const std::wstring& name) const;
  size_t size() const { return names_.size(); }

 private:
  static std::wstring Key(const std::wstring& name);
  std::unordered_set<std::wstring> names_;
};

// "ISO", "Image", "Files", "Files_Bootable" (ignoring case) to 0..3.
bool TypeCodeOf(const std::wstring& text, int32_t& code);

// A value whose first character is "?" gets the drive letter in its place.
std::wstring ExpandDriveMark(std::wstring value, wchar_t driveLetter);

// Task keys as written in one task section: the record (path keys
// expanded, Type and BootImgType still in their reset values) plus the
// raw Type and BootImgType texts.
struct ParsedTask {
  TaskData task;
  std::wstring typeText;
  std::wstring bootImgTypeText;
};
// A slot before loading: empty texts, Type 2 and BootImgType 0.
TaskData ResetTask();
ParsedTask ParseTaskLines(const std::vector<std::wstring>& lines, wchar_t driveLetter);

// Marker file of disc `discIndex` (from 0): for an "Image" task every
// %DiscNum% in Flag becomes discIndex + 1; other types use Flag as it is.
std::wstring FlagPathOfDisc(const TaskData& task, uint32_t discIndex);

using FileExists = std::function<bool(const std::wstring&)>;

// Rebuilds the written flags of one task from its marker files. A task
// without Flag is left as it is.
void RefreshWrittenState(TaskData& task, const FileExists& exists);

// Refreshes every task of one set for both disc types, then couples them:
// when all DVD discs or all BD discs are marked (and at least one task of
// that type carries marks), every task of both types counts as made.
void RefreshSetWrittenState(TaskData* dvd, uint32_t dvdCount, TaskData* bd, uint32_t bdCount,
                            const FileExists& exists);

// What the loader made of one task section, in the order of its checks. The
// wizard keeps none of this (it logs some of it); a deployment checker that
// asks for it puts it into words.
enum class TaskVerdict {
  Kept,
  NoTitle,         // Title missing or empty (passed over without a log entry)
  NoType,          // Type missing or empty (likewise)
  NoFolder,        // Folder missing or empty (likewise)
  NoMessage,       // Message missing or empty (likewise)
  UnknownType,     // Type names none of the four kinds (likewise)
  MessageMissing,  // the Message file does not exist
  NoIsoFile,       // "ISO": no "*.iso" in the folder (or no folder)
  IsoIsFolder,     // "ISO": the first "*.iso" is a folder
  ImageUnusable,   // "Image": the enumeration failed (see `image`)
  FolderEmpty,     // "Files": the folder holds nothing (or does not exist)
  BootImgMissing,  // "Files_Bootable": BootImg missing, empty or not a file
  BootImgTypeBad,  // "Files_Bootable": BootImgType not a number from 0 to 4
  TooManyTasks,    // the list already holds 100 tasks
};

struct TaskTrace {
  int32_t discType = 0;
  uint32_t setNumber = 0;
  uint32_t taskNumber = 0;
  std::wstring section;
  TaskVerdict verdict = TaskVerdict::Kept;
  TaskData task;  // as read (paths expanded); counts filled when kept
  std::wstring typeText, bootImgTypeText;
  pack::Problem image;  // ImageUnusable: what stopped the enumeration
  uint32_t error = 0;   // system error code of a failed file test
};

enum class SetVerdict {
  Offered,    // at least one DVD task: the set is offered
  NoDvdTask,  // titled, but no DVD task was kept: the set is absent
  NotLoaded,  // the tasks could not be loaded (recovery drive unknown)
};

struct SetTrace {
  uint32_t setNumber = 0;
  std::wstring title;
  SetVerdict verdict = SetVerdict::Offered;
  bool bdNotLoaded = false;  // an offered set whose BD tasks could not be loaded
};

struct LoadTrace {
  std::vector<SetTrace> sets;    // every titled "Info_n", in number order
  std::vector<TaskTrace> tasks;  // every task section found, in load order
};

}  // namespace tarnset
}  // namespace tw
