// The step dialogs' decisions as pure functions: the list of discs a disc
// set still needs, the drive and disc-type texts of the first step, the
// tick count of the check list, the index checks and engine outcome of the
// make-disc step, the description and the finish report's text.
// No platform headers: this compiles natively as well as for Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "burn/core/brn_types.h"
#include "config/core/lang_ini_data.h"
#include "config/core/tarnset_task.h"
#include "ui/core/disc_entry.h"
#include "ui/core/wizard_tables.h"

namespace tw {
namespace steps {

// ------------------------------------------------------------ disc list

// Discs of the tasks still to make: a task with written marks counts its
// remaining discs, one without counts all of its discs. The sum saturates
// at the largest 32-bit value instead of wrapping.
uint32_t TotalDiscCount(const TarnSet::TaskData* tasks, uint32_t taskCount);

// The entry of disc `discNumber` (from 0) of a task: "%DiscNum%" in title
// and volume label (and, for an "Image" task, in a non-empty flag) becomes
// the disc's number counted from 1.
DiscEntry DiscEntryOf(const TarnSet::TaskData& task, uint32_t discNumber);

// Whether disc `discNumber` of a task is still to be made: always for a
// task without marks, otherwise when discs remain and the disc's mark is 0
// (a mark the task does not hold counts as 0).
bool DiscIsStillToMake(const TarnSet::TaskData& task, uint32_t discNumber);

// The disc list in task order and, within a task, disc order. It never
// holds more than `total` entries: when the marks would take more discs
// than the total, filling stops and `overflow` is set.
struct DiscList {
  std::vector<DiscEntry> entries;
  bool overflow = false;
};
DiscList BuildDiscList(const TarnSet::TaskData* tasks, uint32_t taskCount, uint32_t total);

// ------------------------------------------------------------ drives

// Type text of the single drive shown read-only: the BD writer text when
// it writes BDs, else the DVD writer text when it writes DVDs, else none.
std::optional<std::wstring> SingleDriveTypeText(const OddInfo& drive, const LangIni::DriveData& texts);
// Type text of a drive in the drive list: the DVD writer text for a DVD-only
// writer, the BD writer text for a BD writer, else empty.
std::wstring ListedDriveTypeText(const OddInfo& drive, const LangIni::DriveData& texts);

// "DriveNameOutputFormat" with every "%DriveType%" and then every
// "%DriveRootPath%" replaced.
std::wstring DriveDisplayText(const std::wstring& format, const std::wstring& typeText, const std::wstring& rootText);

// "DriveNameOutputFormat" as a message format: "%DriveRootPath%" becomes
// insert 1 and "%DriveType%" insert 2. Every other "%" of the text is
// doubled, so a stray "%3" or "%" in a translation prints as written and
// never makes the formatter read an insert that was not given.
std::wstring DriveMessageFormat(const std::wstring& format);

// The disc types the first step offers for a set: DVD whenever the set has
// a DVD task, BD too when it has a BD task and the drive writes BDs.
struct DiscTypeChoice {
  bool dvd = false;
  bool bd = false;
};
DiscTypeChoice DiscTypesOffered(uint32_t dvdTaskCount, uint32_t bdTaskCount, bool driveWritesBd);

// ------------------------------------------------------------ lists

// Column width of the disc-set list: the larger of the client width less
// 10 and the widest name plus `margin` pixels; low 16 bits as the list
// view takes it.
uint16_t DiscSetColumnWidth(int32_t clientWidth, int32_t widestText, int32_t margin);
// Column width of the check list: the widest title plus both margins,
// unless that is not wider than the client width less 10.
uint16_t CheckListColumnWidth(int32_t clientWidth, int32_t widestText, int32_t checkMargin, int32_t textMargin);

// Ticked items after a click on item `clicked` of a check list whose
// current ticks are `ticked`. On the check box itself the list view toggles
// the tick after the click is reported, so the count is corrected for that
// toggle; elsewhere on the item the caller toggles it first and counts.
uint32_t TickedAfterClick(const std::vector<bool>& ticked, size_t clicked, bool onCheckBox);

// ------------------------------------------------------------ make disc

// The entry of the disc being made: `currentDisc` must lie below
// `discCount` and the index stored for it below `listCount`, compared so
// that an empty list or a negative index never passes.
std::optional<uint32_t> CurrentEntryIndex(uint32_t currentDisc, uint32_t discCount, const int32_t* discListIndex,
                                          uint32_t listCount);

enum class EngineOutcome { kSuccess, kAbort, kFailure };
// How the make-disc step treats the end of an engine run: a failed wait or
// an unreadable exit code is a failure; otherwise the exit code's class
// decides (success, abort, or any failure class).
EngineOutcome JudgeEngineEnd(bool waitFailed, bool haveExitCode, uint32_t exitCode);

// A description is a short text: the make-disc step refuses a larger file
// rather than read it.
constexpr uint64_t kMaxDescriptionBytes = 16u << 20;

// The disc description from the bytes of its file: the first two bytes
// (the byte order mark) are skipped, the rest is UTF-16 little-endian up
// to the end or the first NUL unit, and every "%DiscName%" becomes the
// title. Nothing for an empty file.
std::optional<std::wstring> DescriptionText(const std::string& fileBytes, const std::wstring& title);

// Folders to create, outermost first, so that a file path's parent exists:
// the text before every backslash from the fourth character on.
std::vector<std::wstring> ParentFolders(const std::wstring& filePath);

// ------------------------------------------------------------ finish

enum class ReportKind { kSuccess, kFailure, kAbort };
// 0 success, 1 failure, 2 abort; nothing for another result.
std::optional<ReportKind> ReportKindOf(int32_t makeResult);

struct Report {
  std::wstring heading;  // "%DiscSetName%" replaced
  std::wstring detail;
  std::wstring lines;    // one line per disc of the run, each ended by CR LF
};
// `titles` holds the title of each disc of the run in order; the disc at
// `currentDisc` is the one the run stopped at, and a failed disc's line is
// worded by the engine's exit code. `readBacks` (by disc of the run, may be
// shorter) says which discs were read back: a made disc that was verified
// gets the report's "made and verified" text, a disc that failed when read
// back the failure text for that; where a language file lacks those texts,
// the lines read as before.
Report BuildReport(const LangIni::FnshData& texts, ReportKind kind, const std::wstring& discSetName,
                   const std::vector<std::wstring>& titles, uint32_t currentDisc, int32_t exitCode,
                   const std::vector<ui::ReadBack>& readBacks = {});

// The failure line's text for an exit code: 0 unknown, 100 no engine,
// otherwise by the code's class.
const std::wstring& FailureText(const LangIni::FnshData& texts, int32_t exitCode);

}  // namespace steps
}  // namespace tw
