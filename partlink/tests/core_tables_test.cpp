#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/drive_letters.h"
#include "core/image.h"
#include "core/layout.h"
#include "core/mbr.h"
#include "core/messages.h"
#include "images.h"

namespace partlink {
namespace {

using partlink_test::ReadImageFile;
using partlink_test::ReadImageText;

void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

struct Entry {
  uint8_t type = 0;
  uint32_t first = 0;
  uint32_t count = 0;
  uint8_t boot = 0;
};

// Sector 0 with the entries in table order from slot 0; {} leaves a slot empty.
Sector MbrOf(std::initializer_list<Entry> entries) {
  Sector s{};
  uint8_t* e = s.data() + kMbrTableOffset;
  for (const Entry& entry : entries) {
    e[0] = entry.boot;
    e[4] = entry.type;
    PutLe32(e + 8, entry.first);
    PutLe32(e + 12, entry.count);
    e += kMbrEntrySize;
  }
  return s;
}

Sector SectorOf(const std::vector<uint8_t>& image, size_t lba) {
  Sector s{};
  std::memcpy(s.data(), image.data() + lba * kSectorSize, kSectorSize);
  return s;
}

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

TEST(MbrEntries, DecodedLittleEndian) {
  const auto entries = DecodeMbrEntries(MbrOf({{}, {}, {}, {0x27, 0x11223344u, 0xA0B0C0D0u, 0x80}}));
  EXPECT_EQ(entries[3].bootIndicator, 0x80);
  EXPECT_EQ(entries[3].type, 0x27);
  EXPECT_EQ(entries[3].firstSector, 0x11223344u);
  EXPECT_EQ(entries[3].sectorCount, 0xA0B0C0D0u);
  EXPECT_FALSE(entries[0].Used());
  EXPECT_EQ(MbrTypeOffset(1), 450u);
  EXPECT_EQ(MbrTypeOffset(4), 498u);
}

TEST(MbrTargetSearch, ExtendedEntriesInFrontAreNotNumbered) {
  const MbrTargetSearch r = FindMbrTarget(MbrOf({{0x07, 2048, 4096, 0x80}, {0x0F, 6144, 4096}, {0x27, 10240, 4096}}));
  EXPECT_EQ(r.code, 0u);
  EXPECT_EQ(r.type, 0x27);
  EXPECT_EQ(r.partitionId, 2);
  EXPECT_EQ(r.mbrIndex, 3);
  EXPECT_EQ(r.extended, 1);
  EXPECT_EQ(r.forwardExtended, 1);

  // An extended entry behind the target counts, but not as forward.
  const MbrTargetSearch b = FindMbrTarget(MbrOf({{0x27, 2048, 4096}, {0x05, 6144, 4096}}));
  EXPECT_EQ(b.code, 0u);
  EXPECT_EQ(b.partitionId, 1);
  EXPECT_EQ(b.extended, 1);
  EXPECT_EQ(b.forwardExtended, 0);
}

TEST(MbrTargetSearch, FailuresAndUnusedEntries) {
  struct Case {
    const char* what;
    Sector sector;
    uint32_t code;
  };
  for (const Case& c : {
           Case{"lone recovery entry", MbrOf({{0x27, 2048, 4096}}), kCodeTooFewPartitions},
           Case{"no recovery entry", MbrOf({{0x07, 2048, 4096}}), kCodeTargetNotFound},
           Case{"empty table", Sector{}, kCodeTargetNotFound},
           // A 0x27 entry with first sector 0 (or length 0) is not used.
           Case{"recovery at sector 0", MbrOf({{0x27, 0, 4096}, {0x07, 6144, 4096}}), kCodeTargetNotFound},
           Case{"recovery of length 0", MbrOf({{0x27, 2048, 0}, {0x07, 6144, 4096}}), kCodeTargetNotFound},
       }) {
    EXPECT_EQ(FindMbrTarget(c.sector).code, c.code) << c.what;
  }
  // The first of two recovery entries is the target.
  EXPECT_EQ(FindMbrTarget(MbrOf({{0x07, 2048, 4096}, {0x27, 6144, 4096}, {}, {0x27, 10240, 4096}})).mbrIndex, 2);
}

TEST(MbrTargetSearch, OnlyTheFourEntriesAreIndices) {
  for (int32_t index : {0, 5, -1}) EXPECT_FALSE(IsMbrIndex(index)) << index;
  for (int32_t index : {1, 4}) EXPECT_TRUE(IsMbrIndex(index)) << index;
}

LayoutPartition Part(uint32_t number, const Guid& type, uint64_t offset, uint64_t length) {
  LayoutPartition p;
  p.partitionNumber = number;
  p.typeGuid = type;
  p.startingOffset = offset;
  p.length = length;
  return p;
}

DiskLayout GptOf(std::vector<LayoutPartition> partitions) {
  DiskLayout layout;
  layout.style = PartitionStyle::Gpt;
  layout.partitions = std::move(partitions);
  return layout;
}

const Guid kData = {0xEBD0A0A2, 0xB9E5, 0x4433, {0x87, 0xC0, 0x68, 0xB6, 0xB7, 0x26, 0x99, 0xC7}};

TEST(GptTargetSearch, RecoveryPartitionNumberedFour) {
  const GptTargetSearch r =
      FindGptTarget(GptOf({Part(1, kData, 0x100000, 0x100000), Part(2, kData, 0x200000, 0x100000),
                           Part(3, kData, 0x300000, 0x200000), Part(4, kRecoveryTypeGuid, 0x500000, 0x100000)}));
  EXPECT_EQ(r.code, 0u);
  EXPECT_EQ(r.partitionNumber, 4);
  EXPECT_EQ(r.used, 4);
}

TEST(GptTargetSearch, FailuresAndUnusedPartitions) {
  EXPECT_EQ(FindGptTarget(GptOf({Part(1, kRecoveryTypeGuid, 0x100000, 0x100000)})).code, kCodeTooFewPartitions);
  EXPECT_EQ(FindGptTarget(GptOf({Part(1, kData, 0x100000, 0x100000), Part(2, kData, 0x200000, 0x100000)})).code,
            kCodeTargetNotFound);

  // A recovery entry without offset or length is not used; a later one is.
  const GptTargetSearch r =
      FindGptTarget(GptOf({Part(1, kRecoveryTypeGuid, 0, 0x100000), Part(2, kData, 0x200000, 0x100000),
                           Part(3, kRecoveryTypeGuid, 0x300000, 0x100000)}));
  EXPECT_EQ(r.code, 0u);
  EXPECT_EQ(r.partitionNumber, 3);
}

TEST(Guid, RegistryTextAndDiskForm) {
  EXPECT_EQ(GuidRegistryText(kRecoveryTypeGuid), L"{DE94BBA4-06D1-4D40-A16A-BFD50179D6AC}");
  EXPECT_EQ(GuidRegistryText(Guid{}), L"{00000000-0000-0000-0000-000000000000}");
  const uint8_t disk[16] = {0xA4, 0xBB, 0x94, 0xDE, 0xD1, 0x06, 0x40, 0x4D,
                            0xA1, 0x6A, 0xBF, 0xD5, 0x01, 0x79, 0xD6, 0xAC};
  EXPECT_EQ(GuidFromDiskBytes(disk), kRecoveryTypeGuid);
  EXPECT_EQ(ReportedGptType(kRecoveryTypeGuid), 0x27);
  EXPECT_EQ(ReportedGptType(kData), 0x07);
}

// The listings of images made by sfdisk, compared with the tables written
// from sfdisk's own report of them.
TEST(ImageTables, MbrListingsMatchSfdisk) {
  for (const std::string name : {"mbr_standard", "mbr_ext_recovery", "mbr_lone_recovery", "mbr_no_recovery"}) {
    SCOPED_TRACE(name);
    std::wstring listing = std::wstring(kMbrViewHeader) + kMbrViewRule;
    const auto entries = DecodeMbrEntries(SectorOf(ReadImageFile(name + ".img"), 0));
    for (int i = 0; i < 4; ++i) listing += MbrViewRow(i, entries[static_cast<size_t>(i)]);
    EXPECT_EQ(Narrow(listing), ReadImageText(name + ".view"));
  }
  const Sector s = SectorOf(ReadImageFile("mbr_ext_recovery.img"), 0);
  EXPECT_EQ(FindMbrTarget(s).partitionId, 2);
  EXPECT_FALSE(HasProtectiveEntry(s));
  EXPECT_EQ(FindMbrTarget(SectorOf(ReadImageFile("mbr_zero_start.img"), 0)).code, kCodeTargetNotFound);
}

std::vector<uint8_t> EntryArrayOf(const std::vector<uint8_t>& image, const GptHeader& header) {
  const auto at = image.begin() + static_cast<long>(header.entriesLba * kSectorSize);
  return std::vector<uint8_t>(at, at + static_cast<long>(GptEntryArrayBytes(header)));
}

DiskLayout GptLayoutOf(const std::vector<uint8_t>& image) {
  const auto header = ParseGptHeader(SectorOf(image, 1));
  const auto parts = header ? ParseGptEntries(EntryArrayOf(image, *header), *header) : std::nullopt;
  return parts ? GptOf(*parts) : DiskLayout{};
}

TEST(ImageTables, GptListingsMatchSgdisk) {
  for (const std::string name : {"gpt_recovery4", "gpt_gap", "gpt_no_recovery"}) {
    SCOPED_TRACE(name);
    const auto image = ReadImageFile(name + ".img");
    EXPECT_TRUE(HasProtectiveEntry(SectorOf(image, 0)));
    const DiskLayout layout = GptLayoutOf(image);
    ASSERT_EQ(layout.style, PartitionStyle::Gpt);
    std::wstring listing = std::wstring(kGptViewHeader) + kGptViewRule;
    for (size_t i = 0; i < layout.partitions.size(); ++i)
      listing += GptViewRow(static_cast<int>(i), layout.partitions[i]);
    EXPECT_EQ(Narrow(listing), ReadImageText(name + ".view"));
  }
  const DiskLayout gap = GptLayoutOf(ReadImageFile("gpt_gap.img"));
  ASSERT_EQ(gap.partitions.size(), 3u);
  EXPECT_EQ(gap.partitions[1].partitionNumber, 0u);
  EXPECT_EQ(FindGptTarget(gap).partitionNumber, 3);
  EXPECT_EQ(FindGptTarget(GptLayoutOf(ReadImageFile("gpt_recovery4.img"))).partitionNumber, 4);
}

TEST(ImageTables, DamagedGptIsRefused) {
  EXPECT_FALSE(ParseGptHeader(SectorOf(ReadImageFile("gpt_bad_header.img"), 1)));

  // A correct header whose entry array does not match its checksum.
  const auto good = ReadImageFile("gpt_recovery4.img");
  const auto header = ParseGptHeader(SectorOf(good, 1));
  ASSERT_TRUE(header);
  std::vector<uint8_t> entries = EntryArrayOf(good, *header);
  entries[40] ^= 1;
  EXPECT_FALSE(ParseGptEntries(entries, *header));
  entries.resize(64);
  EXPECT_FALSE(ParseGptEntries(entries, *header));

  // A header that asks for an entry array larger than any real one.
  Sector huge = SectorOf(good, 1);
  PutLe32(huge.data() + 80, 0x01000000u);
  std::memset(huge.data() + 16, 0, 4);
  PutLe32(huge.data() + 16, Crc32(huge.data(), 92));
  EXPECT_FALSE(ParseGptHeader(huge));
}

// LBAs whose byte offsets pass 2^64 used to wrap to small offsets that named
// some other place on the disk (found by fuzzing); such a slot keeps no range.
TEST(ImageTables, GptEntryLbasBeyondByteOffsets) {
  const uint64_t max = kMaxGptLba;
  const struct {
    uint64_t first, last, offset, length;
  } cases[] = {
      {34, 2081, 34 * kSectorSize, 2048 * kSectorSize},
      {max, max, max * kSectorSize, kSectorSize},
      {0, max, 0, (max + 1) * kSectorSize},
      {max + 1, max + 1, 0, 0},
      {1ull << 55, (1ull << 55) + 2047, 0, 0},
      {34, ~0ull, 0, 0},
      {2048, 34, 2048 * kSectorSize, 0},
  };
  GptHeader header;
  header.entryCount = 1;
  header.entrySize = 128;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    std::vector<uint8_t> entries(128, 0);
    entries[0] = 0xA2;  // any type GUID that is not zero
    for (int i = 0; i < 8; ++i) {
      entries[32 + i] = static_cast<uint8_t>(c.first >> (8 * i));
      entries[40 + i] = static_cast<uint8_t>(c.last >> (8 * i));
    }
    header.entriesCrc = Crc32(entries.data(), entries.size());
    const auto parts = ParseGptEntries(entries, header);
    ASSERT_TRUE(parts);
    ASSERT_EQ(parts->size(), 1u);
    EXPECT_EQ((*parts)[0].partitionNumber, 1u);
    EXPECT_EQ((*parts)[0].startingOffset, c.offset);
    EXPECT_EQ((*parts)[0].length, c.length);
  }
}

TEST(ImageTables, DevicePathsOfTheTestBuild) {
  const auto hp = ParseHarddiskPartitionPath(L"\\Device\\Harddisk0\\Partition4");
  ASSERT_TRUE(hp);
  EXPECT_EQ(hp->disk, 0);
  EXPECT_EQ(hp->partition, 4);
  EXPECT_TRUE(ParseHarddiskPartitionPath(L"\\device\\harddisk12\\partition3"));
  for (const wchar_t* bad : {L"\\Device\\Harddisk0\\Partition", L"\\Device\\Harddisk0\\Partition1x", L"\\??\\C:\\",
                             L"\\Device\\Harddisk99999999999\\Partition1"}) {
    EXPECT_FALSE(ParseHarddiskPartitionPath(bad)) << Narrow(bad);
  }

  const auto disk = ParseDevicePath(L"\\\\.\\PHYSICALDRIVE10");
  ASSERT_TRUE(disk);
  EXPECT_TRUE(disk->isDisk);
  EXPECT_EQ(disk->disk, 10);
  const auto volume = ParseDevicePath(L"\\\\.\\z:");
  ASSERT_TRUE(volume);
  EXPECT_FALSE(volume->isDisk);
  EXPECT_EQ(volume->letter, L'Z');
  for (const wchar_t* bad : {L"\\\\.\\PHYSICALDRIVE", L"\\\\.\\1:", L"C:\\disk0.img"}) {
    EXPECT_FALSE(ParseDevicePath(bad)) << Narrow(bad);
  }
}

TEST(DriveLetters, HighestFreeFromZDownToC) {
  EXPECT_EQ(HighestFreeDriveNumber(0), 26);
  EXPECT_EQ(HighestFreeDriveNumber(1u << 25), 25);
  // Only C free.
  EXPECT_EQ(HighestFreeDriveNumber(~(1u << 2)), 3);
  // A and B are never chosen.
  EXPECT_EQ(HighestFreeDriveNumber(0x03FFFFFCu), 0);
  EXPECT_EQ(HighestFreeDriveNumber(0xFFFFFFFFu), 0);
  EXPECT_EQ(DriveLetterOfNumber(1), L'A');
  EXPECT_EQ(DriveLetterOfNumber(26), L'Z');
  for (int32_t number : {0, 27, -64}) EXPECT_EQ(DriveLetterOfNumber(number), L'\0') << number;
  EXPECT_EQ(DriveNumberOfLetter(L'e'), 5);
  EXPECT_EQ(DriveNumberOfLetter(L'@'), 0);
}

}  // namespace
}  // namespace partlink
