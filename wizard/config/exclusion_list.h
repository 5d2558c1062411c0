// Exclusion lists: UTF-16 text files with one full path per line naming
// files and folders that must not go onto a "Files" disc.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CExclusionListMgr {
 public:
  // The common list "TarnSet_Exclusion.ini", found beside the program or
  // through the language folders.
  CExclusionListMgr();
  // A task's own list; a missing file is an empty list.
  explicit CExclusionListMgr(const std::wstring& path);

  // Two-step use: first with entries == nullptr to learn the count, then with
  // an array of at least that many strings. Loads the list on first use.
  bool GetExclusionList(uint32_t* count, std::wstring* entries, uint32_t capacity);

 private:
  bool LoadListFile();

  bool loaded_ = false;
  uint32_t count_ = 0;
  std::vector<std::wstring> entries_;  // at most 500
  bool ownPathGiven_ = false;
  std::wstring path_;
};
