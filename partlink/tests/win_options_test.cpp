// The command line and "/VIEW:" of partlink, end to end: the test build is
// run as a child process on disk images made by sfdisk and sgdisk.
#include <gtest/gtest.h>

#include "images.h"
#include "win_support.h"

namespace partlink_test {
namespace {

TEST(CommandLine, WithoutAnOperationExits279Silently) {
  DiskSet disks;
  for (const wchar_t* args : {L"", L"/LOG", L"/log", L"/MAPX /VIEW /UNMAP2 /LOGS map"}) {
    SCOPED_TRACE(args);
    const RunResult r = RunTool(disks, args);
    EXPECT_EQ(r.exitCode, 279u);
    EXPECT_EQ(r.out, "");
  }
}

TEST(CommandLine, LastOperationWins) {
  DiskSet disks;
  disks.Put(0, "mbr_standard");
  RecordGuard record;
  // "/UNMAP" after "/MAP": no record to unmap, so nothing is mapped and 0.
  LetterGuard letters;
  const DWORD before = ::GetLogicalDrives();
  const RunResult unmap = RunTool(disks, L"/map /Log /unmap");
  EXPECT_EQ(unmap.exitCode, 0u);
  EXPECT_TRUE(unmap.Contains("Enter : _UnMap\n"));
  EXPECT_FALSE(unmap.Contains("_Map"));
  EXPECT_EQ(::GetLogicalDrives(), before);

  const RunResult view = RunTool(disks, L"/HIDE /VIEW:0");
  EXPECT_EQ(view.exitCode, 0u);
  EXPECT_EQ(view.out, ReadImageText("mbr_standard.view"));
}

TEST(View, MbrTablesMatchSfdiskWithoutLog) {
  for (const char* image : {"mbr_standard", "mbr_ext_recovery", "mbr_lone_recovery", "mbr_no_recovery"}) {
    SCOPED_TRACE(image);
    DiskSet disks;
    disks.Put(1, image);
    const RunResult r = RunTool(disks, L"/VIEW:1");
    EXPECT_EQ(r.exitCode, 0u);
    // Always four rows, empty entries included, and nothing else.
    EXPECT_EQ(r.out, ReadImageText(std::string(image) + ".view"));
  }
}

TEST(View, GptTablesMatchSgdisk) {
  for (const char* image : {"gpt_recovery4", "gpt_gap", "gpt_no_recovery"}) {
    SCOPED_TRACE(image);
    DiskSet disks;
    disks.Put(2, image);
    const RunResult r = RunTool(disks, L"/view:2");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out, ReadImageText(std::string(image) + ".view"));
  }
}

TEST(View, ProgressLinesWithLog) {
  DiskSet disks;
  disks.Put(0, "mbr_ext_recovery");
  disks.Put(1, "gpt_recovery4");

  const RunResult mbr = RunTool(disks, L"/LOG /VIEW:0");
  EXPECT_EQ(mbr.exitCode, 0u);
  EXPECT_EQ(mbr.out, "Enter : _viewMBR(0)\n" + ReadImageText("mbr_ext_recovery.view") + "SUCCEDD : _viewMBR\n");

  const RunResult gpt = RunTool(disks, L"/VIEW:1 /log");
  EXPECT_EQ(gpt.exitCode, 0u);
  EXPECT_EQ(gpt.out, "Enter : _viewMBR(1)\nThis is GPT Disk.\nTarget drive is GPT.\n" +
                         ReadImageText("gpt_recovery4.view") + "SUCCEDD : _viewGPT\n");
}

TEST(View, DiskNumberReading) {
  DiskSet disks;
  disks.Put(0, "mbr_standard");
  // No number views disk 0; only the low 8 bits of the number count.
  for (const wchar_t* args : {L"/VIEW:", L"/VIEW:256", L"/VIEW:0x5", L"\"/VIEW: 0\""}) {
    SCOPED_TRACE(args);
    const RunResult r = RunTool(disks, args);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out, ReadImageText("mbr_standard.view"));
  }
}

TEST(View, FailuresReturnTheirCodes) {
  DiskSet disks;
  disks.Put(0, "gpt_bad_header");
  disks.Put(1, "mbr_standard");

  const RunResult missing = RunTool(disks, L"/LOG /VIEW:7");
  EXPECT_EQ(missing.exitCode, 270u);
  EXPECT_TRUE(missing.Contains("ERROR : Failed CreateFile() - 0x00000002\n"));
  EXPECT_FALSE(missing.Contains("  #"));

  const RunResult damaged = RunTool(disks, L"/LOG /VIEW:0");
  EXPECT_EQ(damaged.exitCode, 287u);
  EXPECT_TRUE(damaged.Contains("ERROR : Can't get Layout data.\n"));

  // A disk shorter than one sector cannot be read.
  WriteBytes(disks.DiskPath(3), std::vector<uint8_t>(100, 0));
  EXPECT_EQ(RunTool(disks, L"/VIEW:3").exitCode, 272u);
}

TEST(ShippedProgram, RunsAndNeverReadsImages) {
  DiskSet disks;
  disks.Put(0, "mbr_standard");
  disks.Put(200, "mbr_standard");
  const std::wstring exe = ExeFolder() + L"\\..\\bin\\partlink.exe";
  const Environment env = {{L"PARTLINK_DISK_IMAGES", disks.dir().path()}};

  const RunResult none = RunProgram(exe, L"/LOG", env);
  EXPECT_EQ(none.exitCode, 279u);
  EXPECT_EQ(none.out, "");

  // Disk 200 exists only as an image: the shipped program opens the system's
  // device, which is not there.
  const RunResult view = RunProgram(exe, L"/LOG /VIEW:200", env);
  EXPECT_EQ(view.exitCode, 270u);
  EXPECT_TRUE(view.Contains("Enter : _viewMBR(200)\nERROR : Failed CreateFile() - 0x"));
  EXPECT_FALSE(view.Contains("  #"));
}

}  // namespace
}  // namespace partlink_test
