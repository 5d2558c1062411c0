// The command line and "/VIEW:" of partlink, end to end: the test build is
// run as a child process on disk images made by sfdisk and sgdisk.
#include <gtest/gtest.h>

#include "images.h"
#include "win_support.h"

namespace partlink_test {
namespace {

TEST(CommandLine, WithoutAnOperationExits279Silently) {
  const DiskSet disks;
  for (const wchar_t* args : {L"", L"/LOG", L"/log", L"/MAPX /VIEW /UNMAP2 /LOGS map"}) {
    SCOPED_TRACE(args);
    const RunResult r = RunTool(disks, args);
    EXPECT_TRUE(r.Exited(279));
    EXPECT_EQ(r.out, "");
  }
}

TEST(CommandLine, LastOperationWins) {
  const DiskSet disks{{0, "mbr_standard"}};
  const RecordGuard record;
  const LetterGuard letters;
  // "/UNMAP" after "/MAP": no record to unmap, so nothing is mapped and 0.
  const DWORD before = ::GetLogicalDrives();
  const RunResult unmap = RunTool(disks, L"/map /Log /unmap");
  EXPECT_TRUE(unmap.Exited(0, {"Enter : _UnMap\n"}));
  EXPECT_FALSE(unmap.Contains("_Map"));
  EXPECT_EQ(::GetLogicalDrives(), before);

  const RunResult view = RunTool(disks, L"/HIDE /VIEW:0");
  EXPECT_TRUE(view.Exited(0));
  EXPECT_EQ(view.out, ReadImageText("mbr_standard.view"));
}

// "/VIEW:" prints the table that sfdisk or sgdisk reported for the image and
// nothing else; "/LOG" adds the progress lines around it.
TEST(View, TablesMatchTheImageTools) {
  struct Case {
    const char* image;
    int disk;
    const wchar_t* args;
    const char* before = "";
    const char* after = "";
  };
  for (const Case& c : {
           // An MBR disk always has four rows, empty entries included.
           Case{"mbr_standard", 1, L"/VIEW:1"},
           Case{"mbr_ext_recovery", 1, L"/VIEW:1"},
           Case{"mbr_lone_recovery", 1, L"/VIEW:1"},
           Case{"mbr_no_recovery", 1, L"/VIEW:1"},
           Case{"gpt_recovery4", 2, L"/view:2"},
           Case{"gpt_gap", 2, L"/view:2"},
           Case{"gpt_no_recovery", 2, L"/view:2"},
           // No number views disk 0; only the low 8 bits of the number count.
           Case{"mbr_standard", 0, L"/VIEW:"},
           Case{"mbr_standard", 0, L"/VIEW:256"},
           Case{"mbr_standard", 0, L"/VIEW:0x5"},
           Case{"mbr_standard", 0, L"\"/VIEW: 0\""},
           Case{"mbr_ext_recovery", 0, L"/LOG /VIEW:0", "Enter : _viewMBR(0)\n", "SUCCEDD : _viewMBR\n"},
           Case{"gpt_recovery4", 1, L"/VIEW:1 /log", "Enter : _viewMBR(1)\nThis is GPT Disk.\nTarget drive is GPT.\n",
                "SUCCEDD : _viewGPT\n"},
       }) {
    SCOPED_TRACE(c.args);
    SCOPED_TRACE(c.image);
    const RunResult r = RunTool(DiskSet{{c.disk, c.image}}, c.args);
    EXPECT_TRUE(r.Exited(0));
    EXPECT_EQ(r.out, c.before + ReadImageText(std::string(c.image) + ".view") + c.after);
  }
}

TEST(View, FailuresReturnTheirCodes) {
  const DiskSet disks{{0, "gpt_bad_header"}, {1, "mbr_standard"}};
  const RunResult missing = RunTool(disks, L"/LOG /VIEW:7");
  EXPECT_TRUE(missing.Exited(270, {"ERROR : Failed CreateFile() - 0x00000002\n"}));
  EXPECT_FALSE(missing.Contains("  #"));
  EXPECT_TRUE(RunTool(disks, L"/LOG /VIEW:0")
                  .Exited(287, {"ERROR : Failed DeviceIoControl() - 0x", "ERROR : Can't get Layout data.\n"}));

  // A disk shorter than one sector cannot be read.
  WriteBytes(disks.DiskPath(3), std::vector<uint8_t>(100, 0));
  EXPECT_TRUE(RunTool(disks, L"/VIEW:3").Exited(272));
}

TEST(ShippedProgram, RunsAndNeverReadsImages) {
  const DiskSet disks{{0, "mbr_standard"}, {200, "mbr_standard"}};
  const std::wstring exe = ExeFolder() + L"\\..\\bin\\partlink.exe";
  const Environment env = {{L"PARTLINK_DISK_IMAGES", disks.folder()}};

  const RunResult none = RunProgram(exe, L"/LOG", env);
  EXPECT_TRUE(none.Exited(279));
  EXPECT_EQ(none.out, "");

  // Disk 200 exists only as an image: the shipped program opens the system's
  // device, which is not there.
  const RunResult view = RunProgram(exe, L"/LOG /VIEW:200", env);
  EXPECT_TRUE(view.Exited(270, {"Enter : _viewMBR(200)\nERROR : Failed CreateFile() - 0x"}));
  EXPECT_FALSE(view.Contains("  #"));
}

}  // namespace
}  // namespace partlink_test
