// Reading a disc back through drive E: (in every test prefix a folder plays
// its disc) against a burn file list: block boundaries, sizes, folders,
// names outside ASCII, the drive's raw sectors through the test seam, and
// Cancel.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "steps/disc_verifier.h"
#include "test_support.h"

namespace {

using tw::verify::Outcome;
using tw::verify::Result;
using twtest::PatternBytes;
using twtest::WriteBytes;

constexpr wchar_t kDisc[] = L"E:\\verify_test";  // below the disc's root
constexpr size_t kMiB = 1u << 20;

class Recorder : public tw::verify::Progress {
 public:
  void Total(uint64_t bytes) override { total = bytes; }
  void Advance(uint64_t bytes) override {
    done += bytes;
    ++advances;
  }
  bool Cancelled() const override { return cancelAfter >= 0 && advances > cancelAfter; }
  uint64_t total = 0, done = 0;
  int advances = 0, cancelAfter = -1;
};

// A source folder, its copy on the disc and the disc's burn file list.
class DiscVerifier : public ::testing::Test {
 protected:
  void SetUp() override {
    twtest::RemoveTree(kDisc);
    ASSERT_TRUE(::CreateDirectoryW(kDisc, nullptr));
  }
  void TearDown() override {
    twtest::RemoveTree(kDisc);
    tw::verify::SetHooks({});
  }

  // A file of the source and, unless told otherwise, the same on the disc.
  void Add(const std::wstring& discPath, const std::string& bytes, bool onDisc = true) {
    WriteBytes(source_ / discPath, bytes);
    if (onDisc) WriteBytes(std::wstring(kDisc) + L"\\" + discPath, bytes);
    list_ += source_ / discPath + L"\t\\verify_test\\" + discPath + L"\r\n";
  }
  void AddEmptyFolder(const std::wstring& discPath, bool onDisc = true) {
    twtest::MakeDirs(source_ / discPath);
    if (onDisc) twtest::MakeDirs(std::wstring(kDisc) + L"\\" + discPath);
    list_ += source_ / discPath + L"\t\\verify_test\\" + discPath + L"\r\n";
  }
  std::wstring OnDisc(const std::wstring& discPath) const { return std::wstring(kDisc) + L"\\" + discPath; }

  Result Verify(wchar_t letter = L'E') {
    twtest::WriteTextFile(source_ / L"list.txt", list_ + L"\r\n");
    return tw::verify::VerifyDisc(letter, source_ / L"list.txt", progress_);
  }

  twtest::TempDir source_;
  std::wstring list_;
  Recorder progress_;
};

TEST_F(DiscVerifier, EqualDiscVerifiesEveryByteAndIgnoresWhatTheListDoesNotName) {
  Add(L"big.bin", PatternBytes(3 * kMiB + 123, 1));
  Add(L"empty.txt", "");
  Add(L"Café ドライバ\\設定.ini", PatternBytes(5000, 2));
  AddEmptyFolder(L"leer");
  WriteBytes(OnDisc(L"extra.txt"), "not in the list");  // harmless
  const Result r = Verify();
  EXPECT_EQ(r.outcome, Outcome::kVerified) << tw::verify::LogText(r);
  EXPECT_EQ(progress_.total, 3 * kMiB + 123 + 5000);
  EXPECT_EQ(progress_.done, progress_.total);
}

TEST_F(DiscVerifier, FirstDifferingByteIsFoundInWhicheverBlockItLies) {
  const std::string bytes = PatternBytes(3 * kMiB, 3);
  for (const size_t at : {size_t{0}, 3 * kMiB / 2, kMiB, 3 * kMiB - 1}) {
    SCOPED_TRACE(at);
    list_.clear();
    Add(L"a.bin", PatternBytes(100, 4));
    Add(L"Café.bin", bytes);
    std::string spoiled = bytes;
    spoiled[at] = static_cast<char>(spoiled[at] ^ 1);
    WriteBytes(OnDisc(L"Café.bin"), spoiled);
    const Result r = Verify();
    EXPECT_EQ(r.outcome, Outcome::kDiffers);
    EXPECT_EQ(r.offset, at);
    EXPECT_EQ(r.path, OnDisc(L"Café.bin"));
  }
}

TEST_F(DiscVerifier, WhatIsMissingOrOfAnotherSizeIsNamed) {
  Add(L"short.bin", PatternBytes(2 * kMiB, 5));
  WriteBytes(OnDisc(L"short.bin"), PatternBytes(kMiB, 5));
  Result r = Verify();
  EXPECT_EQ(r.outcome, Outcome::kSizeDiffers);
  EXPECT_EQ(r.expected, 2 * kMiB);
  EXPECT_EQ(r.found, kMiB);
  EXPECT_EQ(r.path, OnDisc(L"short.bin"));
  EXPECT_EQ(progress_.done, 0u) << "no byte is compared when the sizes differ";

  list_.clear();
  Add(L"zero.bin", "");
  WriteBytes(OnDisc(L"zero.bin"), "x");
  EXPECT_EQ(Verify().outcome, Outcome::kSizeDiffers) << "an empty file that is not empty on the disc";

  list_.clear();
  Add(L"there.bin", "1");
  Add(L"sub\\gone.bin", "2", false);
  r = Verify();
  EXPECT_EQ(r.outcome, Outcome::kMissing);
  EXPECT_EQ(r.path, OnDisc(L"sub\\gone.bin"));

  list_.clear();
  AddEmptyFolder(L"no folder", false);
  r = Verify();
  EXPECT_EQ(r.outcome, Outcome::kMissing);
  EXPECT_EQ(r.path, OnDisc(L"no folder"));

  list_.clear();
  Add(L"lost source.bin", "3");
  ::DeleteFileW((source_ / L"lost source.bin").c_str());
  r = Verify();
  EXPECT_EQ(r.outcome, Outcome::kReadError);
  EXPECT_EQ(r.path, source_ / L"lost source.bin");
}

TEST_F(DiscVerifier, NoDiscBadListAndCancel) {
  Add(L"a.bin", PatternBytes(3 * kMiB, 6));
  // A drive letter that shows no root: the disc is not in the drive.
  EXPECT_EQ(Verify(L'Q').outcome, Outcome::kNoDisc);

  twtest::WriteTextFile(source_ / L"open.txt", L"a\tb\r\n");  // not closed by its empty line
  EXPECT_EQ(tw::verify::VerifyDisc(L'E', source_ / L"open.txt", progress_).outcome, Outcome::kBadList);

  progress_ = Recorder();
  progress_.cancelAfter = 0;
  const Result r = Verify();
  EXPECT_EQ(r.outcome, Outcome::kCancelled);
  EXPECT_EQ(r.offset, kMiB) << "stopped before the second block's read was counted";
  EXPECT_EQ(progress_.done, kMiB);
}

// An image disc: the drive's sectors, served by the seam from a file.
std::wstring g_rawFile;
HANDLE OpenRawFromFile(wchar_t) {
  return ::CreateFileW(g_rawFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}
HANDLE OpenRawRefused(wchar_t) {
  ::SetLastError(ERROR_ACCESS_DENIED);
  return INVALID_HANDLE_VALUE;
}

TEST_F(DiscVerifier, ImageDiscIsComparedSectorBySectorOrLoggedAsNotVerifiable) {
  const std::string image = PatternBytes(2 * kMiB + 3 * 2048, 7);
  WriteBytes(source_ / L"disc.iso", image);
  list_ = source_ / L"disc.iso" + L"\t\r\n";
  g_rawFile = source_ / L"raw.bin";
  tw::verify::SetHooks({OpenRawFromFile, nullptr});

  WriteBytes(g_rawFile, image + std::string(2048, '\0'));  // the disc's last sector is padded
  EXPECT_EQ(Verify().outcome, Outcome::kVerified);

  std::string spoiled = image;
  spoiled[kMiB + 5] = static_cast<char>(spoiled[kMiB + 5] ^ 1);
  WriteBytes(g_rawFile, spoiled);
  Result r = Verify();
  EXPECT_EQ(r.outcome, Outcome::kDiffers);
  EXPECT_EQ(r.offset, kMiB + 5);
  EXPECT_EQ(r.path, L"E:");

  // A drive whose sectors end early: a read error where they end.
  WriteBytes(g_rawFile, image.substr(0, kMiB + 4096));
  r = Verify();
  EXPECT_EQ(r.outcome, Outcome::kReadError);
  EXPECT_EQ(r.error, static_cast<uint32_t>(ERROR_HANDLE_EOF));
  EXPECT_EQ(r.offset, kMiB + 4096);

  tw::verify::SetHooks({OpenRawRefused, nullptr});
  r = Verify();
  EXPECT_EQ(r.outcome, Outcome::kNotVerifiable);
  EXPECT_EQ(r.error, static_cast<uint32_t>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(tw::verify::CountsAsMade(r.outcome));
}

}  // namespace
