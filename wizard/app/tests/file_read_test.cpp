// Whole-file reads stop at the caller's cap before taking any memory.
#include <gtest/gtest.h>

#include "app/file_read.h"
#include "test_support.h"

namespace {

using tw::FileReadStatus;

TEST(ReadWholeFile, ReadsUpToTheCapAndRefusesBeyondIt) {
  twtest::TempDir dir;
  twtest::WriteBytes(dir / L"four", "abcd");
  twtest::WriteBytes(dir / L"empty", "");

  const tw::FileBytes atCap = tw::ReadWholeFile(dir / L"four", 4);
  EXPECT_EQ(atCap.status, FileReadStatus::kOk);
  EXPECT_EQ(atCap.bytes, "abcd");

  const tw::FileBytes beyond = tw::ReadWholeFile(dir / L"four", 3);
  EXPECT_EQ(beyond.status, FileReadStatus::kTooLarge);
  EXPECT_EQ(beyond.size, 4u);
  EXPECT_TRUE(beyond.bytes.empty());

  const tw::FileBytes empty = tw::ReadWholeFile(dir / L"empty", 0);
  EXPECT_TRUE(empty.ok());
  EXPECT_TRUE(empty.bytes.empty());

  // Larger than one read call can take: refused whatever the cap.
  twtest::MakeSizedFile(dir / L"huge", 0x100000001ull);
  EXPECT_EQ(tw::ReadWholeFile(dir / L"huge", ~0ull).status, FileReadStatus::kTooLarge);
}

TEST(ReadWholeFile, MissingFileOrFolderIsAnOpenFailureWithTheSystemError) {
  twtest::TempDir dir;
  const tw::FileBytes missing = tw::ReadWholeFile(dir / L"missing", 100);
  EXPECT_EQ(missing.status, FileReadStatus::kOpenFailed);
  EXPECT_EQ(missing.error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(tw::ReadWholeFile(dir.path(), 100).status, FileReadStatus::kOpenFailed);
}

}  // namespace
