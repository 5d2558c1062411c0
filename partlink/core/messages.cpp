#include "core/messages.h"

#include "core/text.h"

namespace partlink {

const wchar_t kMbrViewHeader[] = L"  #  Bt  ID     Start    Length \n";
const wchar_t kMbrViewRule[] = L"---+---+---+---------+---------+\n";
const wchar_t kGptViewHeader[] = L"  #                 GUID                        Start           Length \n";
const wchar_t kGptViewRule[] =
    L"---+--------------------------------------+----------------+----------------+\n";

std::wstring MbrViewRow(int index, const MbrEntry& entry) {
  return Format(L" %02X  %02X  %02X  %08X  %08X \n",
                {index, entry.bootIndicator, entry.type, entry.firstSector, entry.sectorCount});
}

std::wstring GptViewRow(int index, const LayoutPartition& partition) {
  return Format(L" %02X %s %016I64X %016I64X \n",
                {index, GuidRegistryText(partition.typeGuid), partition.startingOffset, partition.length});
}

}  // namespace partlink
