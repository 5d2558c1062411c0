#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/drive_letters.h"
#include "core/image.h"
#include "core/layout.h"
#include "core/mbr.h"
#include "core/messages.h"
#include "images.h"

namespace partlink {
namespace {

void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Entry slot from 0.
void SetEntry(Sector& s, int slot, uint8_t type, uint32_t first, uint32_t count, uint8_t boot = 0) {
  uint8_t* e = s.data() + kMbrTableOffset + static_cast<size_t>(slot) * kMbrEntrySize;
  e[0] = boot;
  e[4] = type;
  PutLe32(e + 8, first);
  PutLe32(e + 12, count);
}

Sector SectorOf(const std::vector<uint8_t>& image, size_t lba) {
  Sector s{};
  std::memcpy(s.data(), image.data() + lba * kSectorSize, kSectorSize);
  return s;
}

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

TEST(MbrEntries, DecodedLittleEndian) {
  Sector s{};
  SetEntry(s, 3, 0x27, 0x11223344u, 0xA0B0C0D0u, 0x80);
  const auto entries = DecodeMbrEntries(s);
  EXPECT_EQ(entries[3].bootIndicator, 0x80);
  EXPECT_EQ(entries[3].type, 0x27);
  EXPECT_EQ(entries[3].firstSector, 0x11223344u);
  EXPECT_EQ(entries[3].sectorCount, 0xA0B0C0D0u);
  EXPECT_FALSE(entries[0].Used());
  EXPECT_EQ(MbrTypeOffset(1), 450u);
  EXPECT_EQ(MbrTypeOffset(4), 498u);
}

TEST(MbrTargetSearch, ExtendedEntriesInFrontAreNotNumbered) {
  Sector s{};
  SetEntry(s, 0, 0x07, 2048, 4096, 0x80);
  SetEntry(s, 1, 0x0F, 6144, 4096);
  SetEntry(s, 2, 0x27, 10240, 4096);
  const MbrTargetSearch r = FindMbrTarget(s);
  EXPECT_EQ(r.code, 0u);
  EXPECT_EQ(r.type, 0x27);
  EXPECT_EQ(r.partitionId, 2);
  EXPECT_EQ(r.mbrIndex, 3);
  EXPECT_EQ(r.extended, 1);
  EXPECT_EQ(r.forwardExtended, 1);

  // An extended entry behind the target counts, but not as forward.
  Sector behind{};
  SetEntry(behind, 0, 0x27, 2048, 4096);
  SetEntry(behind, 1, 0x05, 6144, 4096);
  const MbrTargetSearch b = FindMbrTarget(behind);
  EXPECT_EQ(b.code, 0u);
  EXPECT_EQ(b.partitionId, 1);
  EXPECT_EQ(b.extended, 1);
  EXPECT_EQ(b.forwardExtended, 0);
}

TEST(MbrTargetSearch, FailuresAndUnusedEntries) {
  Sector lone{};
  SetEntry(lone, 0, 0x27, 2048, 4096);
  EXPECT_EQ(FindMbrTarget(lone).code, kCodeTooFewPartitions);

  Sector none{};
  SetEntry(none, 0, 0x07, 2048, 4096);
  EXPECT_EQ(FindMbrTarget(none).code, kCodeTargetNotFound);
  EXPECT_EQ(FindMbrTarget(Sector{}).code, kCodeTargetNotFound);

  // A 0x27 entry with first sector 0 (or length 0) is not used.
  Sector zeroStart{};
  SetEntry(zeroStart, 0, 0x27, 0, 4096);
  SetEntry(zeroStart, 1, 0x07, 6144, 4096);
  EXPECT_EQ(FindMbrTarget(zeroStart).code, kCodeTargetNotFound);
  Sector zeroLength{};
  SetEntry(zeroLength, 0, 0x27, 2048, 0);
  SetEntry(zeroLength, 1, 0x07, 6144, 4096);
  EXPECT_EQ(FindMbrTarget(zeroLength).code, kCodeTargetNotFound);

  // The first of two recovery entries is the target.
  Sector two{};
  SetEntry(two, 0, 0x07, 2048, 4096);
  SetEntry(two, 1, 0x27, 6144, 4096);
  SetEntry(two, 3, 0x27, 10240, 4096);
  EXPECT_EQ(FindMbrTarget(two).mbrIndex, 2);
}

TEST(MbrTargetSearch, OnlyTheFourEntriesAreIndices) {
  EXPECT_FALSE(IsMbrIndex(0));
  EXPECT_TRUE(IsMbrIndex(1));
  EXPECT_TRUE(IsMbrIndex(4));
  EXPECT_FALSE(IsMbrIndex(5));
  EXPECT_FALSE(IsMbrIndex(-1));
}

LayoutPartition Part(uint32_t number, const Guid& type, uint64_t offset, uint64_t length) {
  LayoutPartition p;
  p.partitionNumber = number;
  p.typeGuid = type;
  p.startingOffset = offset;
  p.length = length;
  return p;
}

const Guid kData = {0xEBD0A0A2, 0xB9E5, 0x4433, {0x87, 0xC0, 0x68, 0xB6, 0xB7, 0x26, 0x99, 0xC7}};

TEST(GptTargetSearch, RecoveryPartitionNumberedFour) {
  DiskLayout layout;
  layout.style = PartitionStyle::Gpt;
  layout.partitions = {Part(1, kData, 0x100000, 0x100000), Part(2, kData, 0x200000, 0x100000),
                       Part(3, kData, 0x300000, 0x200000), Part(4, kRecoveryTypeGuid, 0x500000, 0x100000)};
  const GptTargetSearch r = FindGptTarget(layout);
  EXPECT_EQ(r.code, 0u);
  EXPECT_EQ(r.partitionNumber, 4);
  EXPECT_EQ(r.used, 4);
}

TEST(GptTargetSearch, FailuresAndUnusedPartitions) {
  DiskLayout lone;
  lone.partitions = {Part(1, kRecoveryTypeGuid, 0x100000, 0x100000)};
  EXPECT_EQ(FindGptTarget(lone).code, kCodeTooFewPartitions);

  DiskLayout none;
  none.partitions = {Part(1, kData, 0x100000, 0x100000), Part(2, kData, 0x200000, 0x100000)};
  EXPECT_EQ(FindGptTarget(none).code, kCodeTargetNotFound);

  // A recovery entry without offset or length is not used; a later one is.
  DiskLayout unused;
  unused.partitions = {Part(1, kRecoveryTypeGuid, 0, 0x100000), Part(2, kData, 0x200000, 0x100000),
                       Part(3, kRecoveryTypeGuid, 0x300000, 0x100000)};
  const GptTargetSearch r = FindGptTarget(unused);
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

// The listing of an image made by sfdisk, compared with the table written
// from sfdisk's own report of it.
void ExpectMbrListingMatches(const std::string& name) {
  SCOPED_TRACE(name);
  const Sector s = SectorOf(partlink_test::ReadImageFile(name + ".img"), 0);
  std::wstring listing = std::wstring(kMbrViewHeader) + kMbrViewRule;
  const auto entries = DecodeMbrEntries(s);
  for (int i = 0; i < 4; ++i) listing += MbrViewRow(i, entries[static_cast<size_t>(i)]);
  EXPECT_EQ(Narrow(listing), partlink_test::ReadImageText(name + ".view"));
}

TEST(ImageTables, MbrListingsMatchSfdisk) {
  for (const char* name : {"mbr_standard", "mbr_ext_recovery", "mbr_lone_recovery", "mbr_no_recovery"}) {
    ExpectMbrListingMatches(name);
  }
  const Sector s = SectorOf(partlink_test::ReadImageFile("mbr_ext_recovery.img"), 0);
  EXPECT_EQ(FindMbrTarget(s).partitionId, 2);
  EXPECT_FALSE(HasProtectiveEntry(s));
  EXPECT_EQ(FindMbrTarget(SectorOf(partlink_test::ReadImageFile("mbr_zero_start.img"), 0)).code,
            kCodeTargetNotFound);
}

DiskLayout GptLayoutOf(const std::vector<uint8_t>& image) {
  DiskLayout layout;
  const auto header = ParseGptHeader(SectorOf(image, 1));
  if (!header) return layout;
  const size_t at = static_cast<size_t>(header->entriesLba * kSectorSize);
  const std::vector<uint8_t> entries(image.begin() + static_cast<long>(at),
                                     image.begin() + static_cast<long>(at + GptEntryArrayBytes(*header)));
  const auto parts = ParseGptEntries(entries, *header);
  if (!parts) return layout;
  layout.style = PartitionStyle::Gpt;
  layout.partitions = *parts;
  return layout;
}

TEST(ImageTables, GptListingsMatchSgdisk) {
  for (const char* name : {"gpt_recovery4", "gpt_gap", "gpt_no_recovery"}) {
    SCOPED_TRACE(name);
    const auto image = partlink_test::ReadImageFile(std::string(name) + ".img");
    EXPECT_TRUE(HasProtectiveEntry(SectorOf(image, 0)));
    const DiskLayout layout = GptLayoutOf(image);
    ASSERT_EQ(layout.style, PartitionStyle::Gpt);
    std::wstring listing = std::wstring(kGptViewHeader) + kGptViewRule;
    for (size_t i = 0; i < layout.partitions.size(); ++i) listing += GptViewRow(static_cast<int>(i), layout.partitions[i]);
    EXPECT_EQ(Narrow(listing), partlink_test::ReadImageText(std::string(name) + ".view"));
  }
  const DiskLayout gap = GptLayoutOf(partlink_test::ReadImageFile("gpt_gap.img"));
  ASSERT_EQ(gap.partitions.size(), 3u);
  EXPECT_EQ(gap.partitions[1].partitionNumber, 0u);
  EXPECT_EQ(FindGptTarget(gap).partitionNumber, 3);
  EXPECT_EQ(FindGptTarget(GptLayoutOf(partlink_test::ReadImageFile("gpt_recovery4.img"))).partitionNumber, 4);
}

TEST(ImageTables, DamagedGptIsRefused) {
  const auto image = partlink_test::ReadImageFile("gpt_bad_header.img");
  EXPECT_FALSE(ParseGptHeader(SectorOf(image, 1)));

  // A correct header whose entry array does not match its checksum.
  auto good = partlink_test::ReadImageFile("gpt_recovery4.img");
  const auto header = ParseGptHeader(SectorOf(good, 1));
  ASSERT_TRUE(header);
  std::vector<uint8_t> entries(good.begin() + static_cast<long>(header->entriesLba * kSectorSize),
                               good.begin() + static_cast<long>(header->entriesLba * kSectorSize +
                                                                GptEntryArrayBytes(*header)));
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

TEST(ImageTables, DevicePathsOfTheTestBuild) {
  const auto hp = ParseHarddiskPartitionPath(L"\\Device\\Harddisk0\\Partition4");
  ASSERT_TRUE(hp);
  EXPECT_EQ(hp->disk, 0);
  EXPECT_EQ(hp->partition, 4);
  EXPECT_TRUE(ParseHarddiskPartitionPath(L"\\device\\harddisk12\\partition3"));
  EXPECT_FALSE(ParseHarddiskPartitionPath(L"\\Device\\Harddisk0\\Partition"));
  EXPECT_FALSE(ParseHarddiskPartitionPath(L"\\Device\\Harddisk0\\Partition1x"));
  EXPECT_FALSE(ParseHarddiskPartitionPath(L"\\??\\C:\\"));
  EXPECT_FALSE(ParseHarddiskPartitionPath(L"\\Device\\Harddisk99999999999\\Partition1"));

  const auto disk = ParseDevicePath(L"\\\\.\\PHYSICALDRIVE10");
  ASSERT_TRUE(disk);
  EXPECT_TRUE(disk->isDisk);
  EXPECT_EQ(disk->disk, 10);
  const auto volume = ParseDevicePath(L"\\\\.\\z:");
  ASSERT_TRUE(volume);
  EXPECT_FALSE(volume->isDisk);
  EXPECT_EQ(volume->letter, L'Z');
  EXPECT_FALSE(ParseDevicePath(L"\\\\.\\PHYSICALDRIVE"));
  EXPECT_FALSE(ParseDevicePath(L"\\\\.\\1:"));
  EXPECT_FALSE(ParseDevicePath(L"C:\\disk0.img"));
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
  EXPECT_EQ(DriveLetterOfNumber(0), L'\0');
  EXPECT_EQ(DriveLetterOfNumber(27), L'\0');
  EXPECT_EQ(DriveLetterOfNumber(-64), L'\0');
  EXPECT_EQ(DriveNumberOfLetter(L'e'), 5);
  EXPECT_EQ(DriveNumberOfLetter(L'@'), 0);
}

}  // namespace
}  // namespace partlink
