// The partition-table listings of "/VIEW:", which callers and people read:
// their headers and row formats.
#pragma once

#include <cstdint>
#include <string>

#include "core/layout.h"
#include "core/mbr.h"

namespace partlink {

extern const wchar_t kMbrViewHeader[];
extern const wchar_t kMbrViewRule[];
extern const wchar_t kGptViewHeader[];
extern const wchar_t kGptViewRule[];

// " %02X  %02X  %02X  %08X  %08X \n": index from 0, boot indicator, type,
// first sector, number of sectors.
std::wstring MbrViewRow(int index, const MbrEntry& entry);

// " %02X %s %016I64X %016I64X \n": index from 0, type GUID in registry form,
// starting offset and length in bytes.
std::wstring GptViewRow(int index, const LayoutPartition& partition);

}  // namespace partlink
