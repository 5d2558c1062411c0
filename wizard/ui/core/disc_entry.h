// One disc to make, as the select-disc-set step hands it to the later steps.
#pragma once

#include <cstdint>
#include <string>

struct DiscEntry {
  uint32_t DiscNumber = 0;    // the disc's number within its task, from 0
  std::wstring Title;         // %DiscNum% replaced by DiscNumber + 1
  std::wstring VolumeLabel;   // %DiscNum% replaced likewise
  int32_t Type = 0;           // 0 ISO, 1 Image, 2 Files, 3 Files_Bootable
  std::wstring Folder;
  std::wstring Message;
  std::wstring BootImg;
  uint32_t BootImgType = 0;
  std::wstring ExclusionList;
  std::wstring Flag;          // for Image tasks %DiscNum% replaced likewise
};
