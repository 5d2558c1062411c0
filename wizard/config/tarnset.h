// The disc-set model read from "TarnSet.ini": the disc sets, and for each
// set and disc type (0 DVD, 1 BD) the tasks that can actually be made, with
// the written state that the marker files of made discs give them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/core/tarnset_core.h"
#include "config/core/tarnset_task.h"

namespace TarnSet {

// Rebuilds the written flags and remaining discs of one task from its
// marker files (Flag; for an "Image" task one file per disc through
// %DiscNum%). A task without Flag is left as it is. False only without a task.
bool ChkWrittenDiscsOfTask(TaskData* task);

// How the constructor finds the sections of the sets and tasks.
enum class SectionLookup {
  // One call lists the file's section names, and only the "Info_n" and
  // "Task_..." sections listed are fetched. Falls back to EveryNumber when
  // the list cannot be had.
  Listed,
  // Every set number and every task number is fetched; one that does not
  // exist comes back empty. Each fetch searches the whole file, so this
  // costs about 700 fetches for a file of three sets.
  EveryNumber,
};

class CMgr {
 public:
  // Reads the whole model from `tarnSetIniPath`. `logPath` appears only in
  // log entries. A missing file gives an empty model. With `trace` the
  // loader also records what it decided about every set and task section
  // (the model is the same with or without it). The lookup changes only
  // how long loading takes: the model and the log entries are the same.
  CMgr(const std::wstring& logPath, const std::wstring& tarnSetIniPath, tw::tarnset::LoadTrace* trace = nullptr,
       SectionLookup lookup = SectionLookup::Listed);

  // Loads the tasks of set number `setNumber` for one disc type into set
  // position `setPosition`, keeping only tasks whose data is present.
  // False when the arguments are wrong or the recovery drive is unknown;
  // true otherwise, also when no task was kept.
  bool LoadTaskData(int32_t discType, const std::wstring& iniPath, uint32_t setPosition, uint32_t setNumber);

  // Copies the names of all sets, in set order, into `names` (100 texts).
  bool GetInfoData(std::wstring* names) const;
  // Number of tasks of a set for a disc type; 0 (logged) for bad arguments.
  uint32_t GetTaskCountInInfo(uint32_t setPosition, int32_t discType) const;
  // Copies the set's tasks of a disc type into `tasks` (100 records; the
  // entries beyond the task count are left untouched).
  bool GetTaskData(uint32_t setPosition, int32_t discType, TaskData* tasks) const;

  // Refreshes the written state of every task of every set; a set made
  // completely on one disc type counts as made on the other as well.
  void ChkWrittenDiscs();

  // Number of disc sets, 0 to 100.
  uint32_t InfoCount = 0;

 private:
  struct DiscSet {
    std::wstring name;
    std::vector<TaskData> tasks[2];  // per disc type, at most 100 each
  };

  bool CheckPosition(const wchar_t* function, uint32_t line, uint32_t setPosition, int32_t discType) const;
  tw::tarnset::TaskVerdict ValidateTask(tw::tarnset::ParsedTask& parsed, int32_t discType,
                                        const std::wstring& section, TaskData* task,
                                        tw::tarnset::TaskTrace* trace) const;

  std::wstring logPath_;
  std::vector<DiscSet> sets_;  // kMaxSets positions
  tw::tarnset::LoadTrace* trace_ = nullptr;  // only while the constructor loads
  // The sections the file holds, only while the constructor loads with
  // SectionLookup::Listed; without it LoadTaskData tries every number.
  const tw::tarnset::SectionIndex* sections_ = nullptr;
};

}  // namespace TarnSet
