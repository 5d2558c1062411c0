// The sentences of the disc-set part of the report: why a task is dropped
// or a set disappears, in the words an engineer needs, from the verdicts of
// the wizard's own loader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/core/tarnset_core.h"

namespace tc {

// "1.5 MiB": bytes in units of 2^20 with one decimal, rounded.
std::wstring MiB(uint64_t bytes);
// "DVD" for disc type 0, "BD" for 1.
std::wstring DiscTypeName(int32_t discType);

// Facts the loader's verdict does not carry, looked up by the caller.
struct TaskFacts {
  bool folderExists = false;                  // the task's Folder is an existing folder
  std::wstring acceptedImageInfo[2];          // Inf_ImageInfo_32 and _64
};

// Why the task is dropped, as a clause: "its folder R:\Recovery\Image does
// not exist". Empty for a kept task.
std::wstring DropReason(const tw::tarnset::TaskTrace& trace, const TaskFacts& facts);

// "Task_DVD1_1_2 "Recovery Disc %DiscNum%" is dropped: <reason>."
std::wstring DropSentence(const tw::tarnset::TaskTrace& trace, const TaskFacts& facts);

// Why a titled set is not offered; empty for an offered set.
std::wstring SetSentence(const tw::tarnset::SetTrace& trace);

// "discs 1 and 3 made, 1 to make", "not made yet", "no marker file (Flag)":
// the written state of a task as the select-disc-set step counts it.
std::wstring WrittenState(const TarnSet::TaskData& task);

}  // namespace tc
