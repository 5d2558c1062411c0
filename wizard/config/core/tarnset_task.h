// One task of a disc set: one disc (or, for an image, several) to be made.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace TarnSet {

// Type codes of the "Type" key.
enum TaskType : int32_t { kTypeIso = 0, kTypeImage = 1, kTypeFiles = 2, kTypeFilesBootable = 3, kTypeEmpty = 100 };

struct TaskData {
  std::wstring Title;
  std::wstring VolumeLabel;
  int32_t Type = kTypeEmpty;
  std::wstring Folder;   // expanded, no trailing backslash
  std::wstring Message;  // expanded
  std::wstring BootImg;  // expanded
  uint32_t BootImgType = 100;
  std::wstring ExclusionList;  // expanded
  std::wstring Flag;           // expanded; may hold %DiscNum%
  std::vector<uint8_t> WrittenFlags;  // one byte per disc, 1 = made; empty = no marks
  uint32_t RemainingDiscs = 0;
  uint32_t TotalDiscs = 0;
};

}  // namespace TarnSet
