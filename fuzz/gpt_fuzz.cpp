// The GPT header at LBA 1 and its partition entry array: decoding both, the
// search for the recovery partition in the resulting layout, and the
// "/VIEW:" rows.
//
// Input: one byte of repairs, the header sector (512 bytes, zero-padded),
// then the entry array. The repairs let the fuzzer past the checks that
// random bytes almost never pass: the signature, a header size in range, an
// entry size and count that fit the array, the array's and the header's
// checksums.
//
// Properties: a header is accepted only with its signature, a size from 92
// to 512, a matching checksum, an entry size that is a multiple of 8 from
// 128 and an array of at most 1 MiB; an array is accepted only with its
// checksum and complete; every decoded entry re-encodes to its own bytes
// (type GUID bytes; first LBA from the byte offset, last LBA from offset and
// length), or, with LBAs whose byte offsets would pass 2^64, has neither
// offset nor length; empty slots are zero and the list ends with a used one; the
// recovery target is the first used partition of the recovery type, and a
// found target has a partner; view rows all have the same length.
#include <cstring>
#include <string>
#include <vector>

#include "core/image.h"
#include "core/layout.h"
#include "core/messages.h"
#include "fuzz_support.h"

using namespace partlink;

namespace {

uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
uint64_t Le64(const uint8_t* p) { return Le32(p) | (static_cast<uint64_t>(Le32(p + 4)) << 32); }
void StoreLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void GuidToDiskBytes(const Guid& g, uint8_t* out) {
  StoreLe32(out, g.data1);
  out[4] = static_cast<uint8_t>(g.data2);
  out[5] = static_cast<uint8_t>(g.data2 >> 8);
  out[6] = static_cast<uint8_t>(g.data3);
  out[7] = static_cast<uint8_t>(g.data3 >> 8);
  std::memcpy(out + 8, g.data4, 8);
}

void Repair(uint8_t flags, Sector& s, const std::vector<uint8_t>& entries) {
  if (flags & 1) std::memcpy(s.data(), "EFI PART", 8);
  if (flags & 2) StoreLe32(s.data() + 12, 92 + Le32(s.data() + 12) % 421);
  if (flags & 4) {
    const uint32_t entrySize = 128 + 8 * (Le32(s.data() + 84) % 8);
    const uint32_t count = Le32(s.data() + 80) % 256;
    StoreLe32(s.data() + 84, entrySize);
    StoreLe32(s.data() + 80, count < entries.size() / entrySize ? count : static_cast<uint32_t>(entries.size() / entrySize));
  }
  if (flags & 8) {
    const uint64_t bytes = uint64_t{Le32(s.data() + 80)} * Le32(s.data() + 84);
    if (bytes <= entries.size()) StoreLe32(s.data() + 88, Crc32(entries.data(), static_cast<size_t>(bytes)));
  }
  if (flags & 16) {
    const uint32_t headerSize = Le32(s.data() + 12);
    if (headerSize >= 92 && headerSize <= kSectorSize) {
      StoreLe32(s.data() + 16, 0);
      StoreLe32(s.data() + 16, Crc32(s.data(), headerSize));
    }
  }
}

void CheckLayout(const DiskLayout& layout) {
  const GptTargetSearch search = FindGptTarget(layout);
  int used = 0;
  const LayoutPartition* first = nullptr;
  for (const LayoutPartition& p : layout.partitions) {
    if (p.length == 0 || p.startingOffset == 0) continue;
    ++used;
    if (!first && p.typeGuid == kRecoveryTypeGuid) first = &p;
  }
  FUZZ_CHECK(search.used == used);
  if (!first) {
    FUZZ_CHECK(search.code == kCodeTargetNotFound && search.partitionNumber == 0);
  } else {
    FUZZ_CHECK(search.code == (used < 2 ? kCodeTooFewPartitions : 0u));
    FUZZ_CHECK(search.partitionNumber == static_cast<int32_t>(first->partitionNumber));
    FUZZ_CHECK(ReportedGptType(first->typeGuid) == kTypeRecovery);
  }
  const size_t rowLength = GptViewRow(0, LayoutPartition{}).size();
  for (size_t i = 0; i < layout.partitions.size() && i < 256; ++i) {
    FUZZ_CHECK(GptViewRow(static_cast<int>(i), layout.partitions[i]).size() == rowLength);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  Sector sector{};
  const size_t headerBytes = size - 1 < kSectorSize ? size - 1 : kSectorSize;
  std::memcpy(sector.data(), data + 1, headerBytes);
  std::vector<uint8_t> entries(data + 1 + headerBytes, data + size);
  Repair(data[0], sector, entries);

  const auto header = ParseGptHeader(sector);
  const uint32_t headerSize = Le32(sector.data() + 12);
  if (!header) return 0;
  FUZZ_CHECK(std::memcmp(sector.data(), "EFI PART", 8) == 0);
  FUZZ_CHECK(headerSize >= 92 && headerSize <= kSectorSize);
  Sector zeroed = sector;
  StoreLe32(zeroed.data() + 16, 0);
  FUZZ_CHECK(Crc32(zeroed.data(), headerSize) == Le32(sector.data() + 16));
  FUZZ_CHECK(header->entrySize >= 128 && header->entrySize % 8 == 0);
  FUZZ_CHECK(GptEntryArrayBytes(*header) <= kMaxGptEntryArrayBytes);
  FUZZ_CHECK(header->entriesLba == Le64(sector.data() + 72) && header->entryCount == Le32(sector.data() + 80));
  FUZZ_CHECK(GuidRegistryText(header->diskId).size() == 38);

  const auto partitions = ParseGptEntries(entries, *header);
  if (!partitions) return 0;
  const uint64_t bytes = GptEntryArrayBytes(*header);
  FUZZ_CHECK(bytes <= entries.size());
  FUZZ_CHECK(Crc32(entries.data(), static_cast<size_t>(bytes)) == header->entriesCrc);
  FUZZ_CHECK(partitions->size() <= header->entryCount);
  if (!partitions->empty()) FUZZ_CHECK(partitions->back().partitionNumber == partitions->size());

  for (size_t slot = 0; slot < partitions->size(); ++slot) {
    const LayoutPartition& p = (*partitions)[slot];
    const uint8_t* e = entries.data() + slot * header->entrySize;
    uint8_t guid[16];
    GuidToDiskBytes(p.typeGuid, guid);
    FUZZ_CHECK(std::memcmp(guid, e, 16) == 0);
    if (p.typeGuid == Guid{}) {
      FUZZ_CHECK(p.partitionNumber == 0 && p.startingOffset == 0 && p.length == 0);
      continue;
    }
    FUZZ_CHECK(p.partitionNumber == slot + 1);
    const uint64_t firstLba = Le64(e + 32), lastLba = Le64(e + 40);
    if (firstLba > kMaxGptLba || lastLba > kMaxGptLba) {
      // No byte range can hold it: the slot is listed but unused.
      FUZZ_CHECK(p.startingOffset == 0 && p.length == 0);
      continue;
    }
    FUZZ_CHECK(p.startingOffset % kSectorSize == 0 && p.startingOffset / kSectorSize == firstLba);
    FUZZ_CHECK(p.length % kSectorSize == 0);
    if (lastLba >= firstLba) {
      FUZZ_CHECK(p.length / kSectorSize == lastLba - firstLba + 1);
    } else {
      FUZZ_CHECK(p.length == 0);
    }
  }
  DiskLayout layout;
  layout.style = PartitionStyle::Gpt;
  layout.partitions = *partitions;
  CheckLayout(layout);
  return 0;
}
