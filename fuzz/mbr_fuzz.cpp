// The MBR partition table of sector 0: decoding its four entries, the
// search for the hidden recovery partition, the layout built from the table
// and the "/VIEW:" rows.
//
// Input: sector 0 (shorter input is padded with zeros, longer is cut).
//
// Properties: each decoded entry, written back at its place in the table,
// gives the sector's own bytes; the target is the first used entry of type
// 0x27, its partition number counts the used entries before it that are not
// extended ones, and showing it (type 0x07 at its type byte) makes that slot
// no longer the target; the layout numbers the used entries 1, 2, ... with
// byte offsets that are exactly sectors times 512; every view row has the
// same length.
#include <array>
#include <cstring>
#include <string>

#include "core/image.h"
#include "core/mbr.h"
#include "core/messages.h"
#include "fuzz_support.h"

using namespace partlink;

namespace {

void StoreLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Sector sector{};
  std::memcpy(sector.data(), data, size < kSectorSize ? size : kSectorSize);

  const auto entries = DecodeMbrEntries(sector);
  Sector rewritten = sector;
  for (int i = 0; i < kMbrEntryCount; ++i) {
    uint8_t* e = rewritten.data() + kMbrTableOffset + static_cast<size_t>(i) * kMbrEntrySize;
    const MbrEntry& entry = entries[static_cast<size_t>(i)];
    e[0] = entry.bootIndicator;
    e[4] = entry.type;
    StoreLe32(e + 8, entry.firstSector);
    StoreLe32(e + 12, entry.sectorCount);
    FUZZ_CHECK(MbrTypeOffset(i + 1) == static_cast<size_t>(e + 4 - rewritten.data()));
  }
  FUZZ_CHECK(rewritten == sector);

  const MbrTargetSearch search = FindMbrTarget(sector);
  int used = 0, firstRecovery = -1, extendedBefore = 0;
  for (int i = 0; i < kMbrEntryCount; ++i) {
    const MbrEntry& e = entries[static_cast<size_t>(i)];
    if (!e.Used()) continue;
    ++used;
    if (e.type == kTypeRecovery && firstRecovery < 0) firstRecovery = i;
    if ((e.type == kTypeExtended || e.type == kTypeExtendedLba) && firstRecovery < 0) ++extendedBefore;
  }
  FUZZ_CHECK(search.used == used);
  if (firstRecovery < 0) {
    FUZZ_CHECK(search.code == kCodeTargetNotFound);
  } else if (used < 2) {
    FUZZ_CHECK(search.code == kCodeTooFewPartitions);
  } else {
    FUZZ_CHECK(search.code == 0);
    FUZZ_CHECK(IsMbrIndex(search.mbrIndex) && search.mbrIndex == firstRecovery + 1);
    FUZZ_CHECK(search.type == kTypeRecovery);
    FUZZ_CHECK(search.partitionId == firstRecovery + 1 - extendedBefore && search.partitionId >= 1);
    FUZZ_CHECK(sector[MbrTypeOffset(search.mbrIndex)] == kTypeRecovery);
    Sector shown = sector;
    shown[MbrTypeOffset(search.mbrIndex)] = kTypeShown;
    const MbrTargetSearch after = FindMbrTarget(shown);
    FUZZ_CHECK(after.code != 0 || after.mbrIndex > search.mbrIndex);
  }

  const DiskLayout layout = MbrLayout(sector);
  FUZZ_CHECK(layout.style == PartitionStyle::Mbr && layout.partitions.size() == kMbrEntryCount);
  uint32_t number = 0;
  for (int i = 0; i < kMbrEntryCount; ++i) {
    const LayoutPartition& p = layout.partitions[static_cast<size_t>(i)];
    const MbrEntry& e = entries[static_cast<size_t>(i)];
    FUZZ_CHECK(p.mbrType == e.type && p.bootIndicator == (e.bootIndicator == 0x80));
    if (e.Used()) {
      FUZZ_CHECK(p.partitionNumber == ++number);
      FUZZ_CHECK(p.startingOffset / kSectorSize == e.firstSector && p.startingOffset % kSectorSize == 0);
      FUZZ_CHECK(p.length / kSectorSize == e.sectorCount && p.length % kSectorSize == 0);
    } else {
      FUZZ_CHECK(p.partitionNumber == 0 && p.startingOffset == 0 && p.length == 0);
    }
    FUZZ_CHECK(MbrViewRow(i, e).size() == MbrViewRow(0, MbrEntry{}).size());
  }
  bool protective = false;
  for (const MbrEntry& e : entries) protective = protective || e.type == kTypeGptProtective;
  FUZZ_CHECK(HasProtectiveEntry(sector) == protective);
  return 0;
}
