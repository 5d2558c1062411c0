#include "core/layout.h"

#include "core/mbr.h"
#include "core/text.h"

namespace partlink {

const Guid kRecoveryTypeGuid = {0xDE94BBA4, 0x06D1, 0x4D40, {0xA1, 0x6A, 0xBF, 0xD5, 0x01, 0x79, 0xD6, 0xAC}};

bool operator==(const Guid& a, const Guid& b) {
  if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
  for (int i = 0; i < 8; ++i) {
    if (a.data4[i] != b.data4[i]) return false;
  }
  return true;
}

std::wstring GuidRegistryText(const Guid& g) {
  return Format(L"{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                {g.data1, g.data2, g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5],
                 g.data4[6], g.data4[7]});
}

Guid GuidFromDiskBytes(const uint8_t* b) {
  Guid g;
  g.data1 = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
            (static_cast<uint32_t>(b[3]) << 24);
  g.data2 = static_cast<uint16_t>(b[4] | (b[5] << 8));
  g.data3 = static_cast<uint16_t>(b[6] | (b[7] << 8));
  for (int i = 0; i < 8; ++i) g.data4[i] = b[8 + i];
  return g;
}

GptTargetSearch FindGptTarget(const DiskLayout& layout) {
  GptTargetSearch result;
  bool found = false;
  for (const LayoutPartition& p : layout.partitions) {
    if (p.length == 0 || p.startingOffset == 0) continue;
    ++result.used;
    if (!found && p.typeGuid == kRecoveryTypeGuid) {
      found = true;
      result.partitionNumber = static_cast<int32_t>(p.partitionNumber);
    }
  }
  if (!found) {
    result.code = kCodeTargetNotFound;
    result.partitionNumber = 0;
  } else if (result.used < 2) {
    result.code = kCodeTooFewPartitions;
  } else {
    result.code = 0;
  }
  return result;
}

uint8_t ReportedGptType(const Guid& typeGuid) { return typeGuid == kRecoveryTypeGuid ? kTypeRecovery : kTypeShown; }

}  // namespace partlink
