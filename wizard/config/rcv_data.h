// Enumeration of a recovery image set (information file, companions and
// numbered pieces) and its packing onto discs of one type.
#pragma once

#include <cstdint>
#include <string>

#include "config/core/rcv_packing.h"

namespace TarnSet {

// Finds the members of the image set in `folder` in packing order, checks
// its ImageInfo against the accepted values and counts the discs of
// `discType` (0 DVD, 1 BD) it needs. With `layout` (a zeroed buffer of
// `layoutCapacity` characters) it also writes the disc layout text: member
// paths, TAB between files of one disc, "\n" before a file opening a new
// disc, "\n\n" at the end. On false both counts are 0 and `problem`, when
// given, says what stopped the enumeration.
bool GetRcvDataInfo(const std::wstring& folder, int32_t discType, uint32_t* discCount, uint32_t* fileCount,
                    const std::wstring& logDetail, wchar_t* layout, uint32_t layoutCapacity,
                    tw::pack::Problem* problem = nullptr);

// One member: checks its size against `capacity` and adds it to the
// packing state (bytes used on the current disc, disc count, file count)
// and to the layout text when given.
bool ChkFileSizeAndAddRcvDataFileList(const std::wstring& path, uint64_t capacity, uint64_t* bytesUsed,
                                      uint32_t* discCount, uint32_t* fileCount, wchar_t* layout,
                                      uint32_t layoutCapacity, tw::pack::Problem* problem = nullptr);

}  // namespace TarnSet
