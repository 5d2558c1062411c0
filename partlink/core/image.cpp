#include "core/image.h"

#include <cstring>

#include "core/text.h"

namespace partlink {
namespace {

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
uint64_t Le64(const uint8_t* p) { return static_cast<uint64_t>(Le32(p)) | (static_cast<uint64_t>(Le32(p + 4)) << 32); }

bool IsZeroGuid(const Guid& g) { return g == Guid{}; }

// Reads a run of decimal digits at pos; false without any, or beyond 9 digits.
bool ReadNumber(const std::wstring& text, size_t& pos, int32_t& value) {
  size_t start = pos;
  int64_t v = 0;
  while (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9') {
    v = v * 10 + (text[pos] - L'0');
    ++pos;
    if (pos - start > 9) return false;
  }
  if (pos == start) return false;
  value = static_cast<int32_t>(v);
  return true;
}

bool MatchNoCase(const std::wstring& text, size_t& pos, const std::wstring& literal) {
  if (text.size() - pos < literal.size()) return false;
  if (FindNoCase(text.substr(pos, literal.size()), literal) != 0) return false;
  pos += literal.size();
  return true;
}

}  // namespace

bool HasProtectiveEntry(const Sector& sector0) {
  for (const MbrEntry& e : DecodeMbrEntries(sector0)) {
    if (e.type == kTypeGptProtective) return true;
  }
  return false;
}

uint32_t Crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::optional<GptHeader> ParseGptHeader(const Sector& s) {
  if (std::memcmp(s.data(), "EFI PART", 8) != 0) return std::nullopt;
  const uint32_t headerSize = Le32(s.data() + 12);
  if (headerSize < 92 || headerSize > kSectorSize) return std::nullopt;
  Sector copy = s;
  std::memset(copy.data() + 16, 0, 4);
  if (Crc32(copy.data(), headerSize) != Le32(s.data() + 16)) return std::nullopt;

  GptHeader h;
  h.currentLba = Le64(s.data() + 24);
  h.firstUsableLba = Le64(s.data() + 40);
  h.lastUsableLba = Le64(s.data() + 48);
  h.diskId = GuidFromDiskBytes(s.data() + 56);
  h.entriesLba = Le64(s.data() + 72);
  h.entryCount = Le32(s.data() + 80);
  h.entrySize = Le32(s.data() + 84);
  h.entriesCrc = Le32(s.data() + 88);
  if (h.entrySize < 128 || h.entrySize % 8 != 0) return std::nullopt;
  if (GptEntryArrayBytes(h) > kMaxGptEntryArrayBytes) return std::nullopt;
  return h;
}

uint64_t GptEntryArrayBytes(const GptHeader& header) {
  return static_cast<uint64_t>(header.entryCount) * header.entrySize;
}

std::optional<std::vector<LayoutPartition>> ParseGptEntries(const std::vector<uint8_t>& entries,
                                                            const GptHeader& header) {
  const uint64_t bytes = GptEntryArrayBytes(header);
  if (bytes > entries.size()) return std::nullopt;
  if (Crc32(entries.data(), static_cast<size_t>(bytes)) != header.entriesCrc) return std::nullopt;

  std::vector<LayoutPartition> partitions;
  size_t lastUsed = 0;
  for (uint32_t slot = 0; slot < header.entryCount; ++slot) {
    const uint8_t* e = entries.data() + static_cast<size_t>(slot) * header.entrySize;
    LayoutPartition p;
    p.typeGuid = GuidFromDiskBytes(e);
    if (!IsZeroGuid(p.typeGuid)) {
      const uint64_t first = Le64(e + 32);
      const uint64_t last = Le64(e + 40);
      // Byte offsets of LBAs beyond kMaxGptLba would wrap around 2^64 and
      // name some other place on the disk: such an entry keeps no range.
      if (first <= kMaxGptLba && last <= kMaxGptLba) {
        p.startingOffset = first * kSectorSize;
        p.length = last >= first ? (last - first + 1) * kSectorSize : 0;
      }
      p.partitionNumber = slot + 1;
      lastUsed = slot + 1;
    }
    partitions.push_back(p);
  }
  partitions.resize(lastUsed);
  return partitions;
}

DiskLayout MbrLayout(const Sector& sector0) {
  DiskLayout layout;
  layout.style = PartitionStyle::Mbr;
  uint32_t number = 0;
  for (const MbrEntry& e : DecodeMbrEntries(sector0)) {
    LayoutPartition p;
    p.mbrType = e.type;
    p.bootIndicator = e.bootIndicator == 0x80;
    if (e.Used()) {
      p.startingOffset = static_cast<uint64_t>(e.firstSector) * kSectorSize;
      p.length = static_cast<uint64_t>(e.sectorCount) * kSectorSize;
      p.partitionNumber = ++number;
    }
    layout.partitions.push_back(p);
  }
  return layout;
}

std::optional<HarddiskPartition> ParseHarddiskPartitionPath(const std::wstring& path) {
  HarddiskPartition result;
  size_t pos = 0;
  if (!MatchNoCase(path, pos, L"\\Device\\Harddisk") || !ReadNumber(path, pos, result.disk)) return std::nullopt;
  if (!MatchNoCase(path, pos, L"\\Partition") || !ReadNumber(path, pos, result.partition)) return std::nullopt;
  if (pos != path.size()) return std::nullopt;
  return result;
}

std::optional<DevicePathName> ParseDevicePath(const std::wstring& path) {
  DevicePathName result;
  size_t pos = 0;
  if (!MatchNoCase(path, pos, L"\\\\.\\")) return std::nullopt;
  if (MatchNoCase(path, pos, L"PHYSICALDRIVE")) {
    if (!ReadNumber(path, pos, result.disk) || pos != path.size()) return std::nullopt;
    result.isDisk = true;
    return result;
  }
  if (path.size() - pos == 2 && path[pos + 1] == L':') {
    const wchar_t c = ToUpperAscii(std::wstring(1, path[pos]))[0];
    if (c >= L'A' && c <= L'Z') {
      result.letter = c;
      return result;
    }
  }
  return std::nullopt;
}

}  // namespace partlink
