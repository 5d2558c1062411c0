#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/log_reader.h"
#include "app/settings.h"
#include "config/tarnset.h"
#include "config_test_support.h"
#include "test_support.h"

using cfgtest::kMiB;
using cfgtest::Marked;
using TarnSet::TaskData;
using twtest::Encoding;
using twtest::WriteTextFile;
using Lines = std::vector<std::wstring>;

namespace {

constexpr wchar_t kLoadFn[] = L"TarnSet::CMgr::LoadTaskData";

// Recovery data below a temporary folder whose drive stands for the
// recovery drive, so that "?:\..." in a disc-set file names it.
class TarnSetTest : public ::testing::Test {
 protected:
  TarnSetTest() : drive_(cfgtest::DriveOf(root_.path())) {
    tw::Settings().Dvd1SizeMiB = 2;
    tw::Settings().Bd1SizeMiB = 8;
    tw::Settings().ImageInfo32.clear();
    tw::Settings().ImageInfo64.clear();
    WriteTextFile(root_ / L"Msg\\disc.txt", L"Please wait while %DiscName% is made.", Encoding::Utf16Bom);
    twtest::MakeSizedFile(root_ / L"Iso\\tools.iso", 4096);
    WriteTextFile(root_ / L"Files\\readme.txt", L"x", Encoding::Ansi);
    WriteTextFile(root_ / L"Boot\\boot.img", L"boot", Encoding::Ansi);
    cfgtest::MakeImageSet(root_ / L"Image", L"Rcv", L"",
                          {{L".nv", 1024}, {L".fc2", 1536 * 1024}, {L".002", 1536 * 1024}, {L".003", kMiB}});
  }

  // "?:\<root-relative path>" of a path below the root.
  std::wstring Q(const std::wstring& relative) const { return Marked(root_ / relative); }

  // A task section with the keys that make it valid for `type`.
  std::wstring Task(const std::wstring& section, const std::wstring& title, const std::wstring& type,
                    const std::wstring& extra = L"") const {
    std::wstring folder = type == L"ISO" || type == L"iso" ? L"Iso" : type == L"Image" ? L"Image" : L"Files";
    std::wstring text = L"[" + section + L"]\r\nTitle=" + title + L"\r\nType=" + type + L"\r\nFolder=" + Q(folder) +
                        L"\r\nMessage=" + Q(L"Msg\\disc.txt") + L"\r\n";
    if (type == L"Files_Bootable") text += L"BootImg=" + Q(L"Boot\\boot.img") + L"\r\nBootImgType=0\r\n";
    return text + extra;
  }

  std::wstring Write(const std::wstring& text, Encoding encoding = Encoding::Ansi) {
    WriteTextFile(root_ / L"TarnSet.ini", text, encoding);
    return root_ / L"TarnSet.ini";
  }

  std::vector<TaskData> Tasks(const TarnSet::CMgr& mgr, uint32_t set, int32_t type) const {
    std::vector<TaskData> tasks(100);
    EXPECT_TRUE(mgr.GetTaskData(set, type, tasks.data()));
    tasks.resize(mgr.GetTaskCountInInfo(set, type));
    return tasks;
  }

  Lines Titles(const TarnSet::CMgr& mgr, uint32_t set, int32_t type) const {
    Lines titles;
    for (const TaskData& t : Tasks(mgr, set, type)) titles.push_back(t.Title);
    return titles;
  }

  Lines Names(const TarnSet::CMgr& mgr) const {
    Lines names(100);
    EXPECT_TRUE(mgr.GetInfoData(names.data()));
    names.resize(mgr.InfoCount);
    return names;
  }

  twtest::TempDir root_;
  cfgtest::RecoveryDrive drive_;
};

TEST_F(TarnSetTest, SetsFollowTheirNumbersAndSkipGapsAndUntitledSets) {
  const std::wstring path = Write(L"[Info_1]\r\nTitle=One\r\n[Info_3]\r\nTitle=Three\r\n[Info_4]\r\nTitle=\r\n" +
                                  Task(L"Task_DVD1_1_1", L"A", L"Files") + Task(L"Task_DVD1_3_1", L"B", L"ISO") +
                                  Task(L"Task_DVD1_4_1", L"C", L"ISO"));
  TarnSet::CMgr mgr(L"act.ini", path);
  EXPECT_EQ(Names(mgr), (Lines{L"One", L"Three"}));
  EXPECT_EQ(Titles(mgr, 1, 0), (Lines{L"B"}));
  EXPECT_EQ(mgr.GetTaskCountInInfo(1, 1), 0u);
}

TEST_F(TarnSetTest, SetWithoutValidDvdTaskIsAbsent) {
  const std::wstring path =
      Write(L"[Info_1]\r\nTitle=BD only\r\n[Info_2]\r\nTitle=Both\r\n" + Task(L"Task_BD1_1_1", L"X", L"Files") +
            Task(L"Task_DVD1_1_1", L"no message", L"Files") + L"Message=\r\n" +
            Task(L"Task_DVD1_2_1", L"D", L"Files") + Task(L"Task_BD1_2_1", L"B", L"Files"));
  TarnSet::CMgr mgr(L"act.ini", path);
  EXPECT_EQ(Names(mgr), (Lines{L"Both"}));
  EXPECT_EQ(Titles(mgr, 0, 0), (Lines{L"D"}));
  EXPECT_EQ(Titles(mgr, 0, 1), (Lines{L"B"}));
}

TEST_F(TarnSetTest, DroppedTasksLeaveTheOthersInOrder) {
  std::wstring text = L"[Info_1]\r\nTitle=Set\r\n" + Task(L"Task_DVD1_1_1", L"first", L"Files");
  text += Task(L"Task_DVD1_1_2", L"no message file", L"Files", L"Message=" + Q(L"Msg\\absent.txt") + L"\r\n");
  text += Task(L"Task_DVD1_1_3", L"unknown type", L"Folder");
  text += L"[Task_DVD1_1_4]\r\nType=Files\r\nFolder=" + Q(L"Files") + L"\r\nMessage=" + Q(L"Msg\\disc.txt") + L"\r\n";
  text += Task(L"Task_DVD1_1_5", L"lower-case iso", L"iso");
  text += Task(L"Task_DVD1_1_7", L"after a gap", L"Files");
  text += Task(L"Task_DVD1_1_100", L"last number", L"Files");
  text += Task(L"Task_DVD1_1_101", L"beyond the numbers", L"Files");
  const std::wstring path = Write(text);
  tw::LogWatch watch;
  TarnSet::CMgr mgr(L"act.ini", path);
  EXPECT_EQ(Titles(mgr, 0, 0), (Lines{L"first", L"lower-case iso", L"after a gap", L"last number"}));
  EXPECT_EQ(Tasks(mgr, 0, 0)[1].Type, TarnSet::kTypeIso);
  // Only the missing message file is worth a log entry.
  const auto entries = watch.EntriesOf(kLoadFn);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_NE(entries[0].message.find(L"absent.txt"), std::wstring::npos);
}

TEST_F(TarnSetTest, PathValuesGetTheRecoveryDriveLetter) {
  const std::wstring path =
      Write(L"[Info_1]\r\nTitle=Set\r\n" +
            Task(L"Task_DVD1_1_1", L"Disc %DiscNum%", L"Files_Bootable",
                 L"VolumeLabel=?:_label\r\nExclusionList=" + Q(L"own.ini") + L"\r\nFlag=" + Q(L"Done\\d.flg") +
                     L"\r\nBootImgType=3\r\n") +
            L"Folder=" + Q(L"Files\\") + L"\r\n");
  TarnSet::CMgr mgr(L"act.ini", path);
  const std::vector<TaskData> tasks = Tasks(mgr, 0, 0);
  ASSERT_EQ(tasks.size(), 1u);
  const TaskData& t = tasks[0];
  EXPECT_EQ(t.Title, L"Disc %DiscNum%");
  EXPECT_EQ(t.VolumeLabel, L"?:_label");
  EXPECT_EQ(t.Type, TarnSet::kTypeFilesBootable);
  EXPECT_EQ(t.Folder, root_ / L"Files");  // expanded, trailing backslash removed
  EXPECT_EQ(t.Message, root_ / L"Msg\\disc.txt");
  EXPECT_EQ(t.BootImg, root_ / L"Boot\\boot.img");
  EXPECT_EQ(t.BootImgType, 3u);
  EXPECT_EQ(t.ExclusionList, root_ / L"own.ini");
  EXPECT_EQ(t.Flag, root_ / L"Done\\d.flg");
  EXPECT_EQ(t.TotalDiscs, 1u);
  EXPECT_EQ(t.RemainingDiscs, 1u);
}

// The image needs three 2 MiB DVDs but fits on one 8 MiB BD; each DVD has
// its own marker file through %DiscNum%.
TEST_F(TarnSetTest, ImageTaskCountsDiscsOfItsOwnTypeAndMarksEachDisc) {
  const std::wstring path =
      Write(L"[Info_1]\r\nTitle=Recovery\r\n" +
            Task(L"Task_DVD1_1_1", L"Recovery %DiscNum%", L"Image", L"Flag=" + Q(L"Done\\Disc%DiscNum%.flg") + L"\r\n") +
            Task(L"Task_BD1_1_1", L"Recovery BD", L"Image", L"Flag=" + Q(L"Done\\BD%DiscNum%.flg") + L"\r\n"));
  TarnSet::CMgr mgr(L"act.ini", path);
  ASSERT_EQ(mgr.InfoCount, 1u);
  EXPECT_EQ(Tasks(mgr, 0, 0)[0].TotalDiscs, 3u);
  EXPECT_EQ(Tasks(mgr, 0, 1)[0].TotalDiscs, 1u);

  for (const wchar_t* made : {L"Done\\Disc1.flg", L"Done\\Disc3.flg"}) WriteTextFile(root_ / made, L"", Encoding::Ansi);
  twtest::MakeDirs(root_ / L"Done\\Disc2.flg");  // a folder is no marker
  mgr.ChkWrittenDiscs();
  TaskData dvd = Tasks(mgr, 0, 0)[0];
  EXPECT_EQ(dvd.WrittenFlags, (std::vector<uint8_t>{1, 0, 1}));
  EXPECT_EQ(dvd.RemainingDiscs, 1u);
  EXPECT_EQ(Tasks(mgr, 0, 1)[0].RemainingDiscs, 1u);

  // The last DVD made: the set counts as made on BD as well.
  ::RemoveDirectoryW((root_ / L"Done\\Disc2.flg").c_str());
  WriteTextFile(root_ / L"Done\\Disc2.flg", L"", Encoding::Ansi);
  mgr.ChkWrittenDiscs();
  const TaskData bd = Tasks(mgr, 0, 1)[0];
  EXPECT_EQ(bd.RemainingDiscs, 0u);
  EXPECT_EQ(bd.WrittenFlags, (std::vector<uint8_t>{1}));

  // One task refreshed on its own sees only its own markers.
  TaskData single = bd;
  ASSERT_TRUE(TarnSet::ChkWrittenDiscsOfTask(&single));
  EXPECT_EQ(single.WrittenFlags, (std::vector<uint8_t>{0}));
  EXPECT_EQ(single.RemainingDiscs, 1u);
  EXPECT_FALSE(TarnSet::ChkWrittenDiscsOfTask(nullptr));
}

TEST_F(TarnSetTest, TaskDataIsCheckedAgainstTheFilesOnTheDrive) {
  twtest::MakeDirs(root_ / L"EmptyFiles");
  twtest::MakeDirs(root_ / L"IsoFolder\\a.iso");
  twtest::MakeDirs(root_ / L"BadImage");
  std::wstring text = L"[Info_1]\r\nTitle=Set\r\n";
  text += Task(L"Task_DVD1_1_1", L"boot type 5", L"Files_Bootable", L"BootImgType=5\r\n");
  text += Task(L"Task_DVD1_1_2", L"no boot image", L"Files_Bootable", L"BootImg=" + Q(L"Boot\\none.img") + L"\r\n");
  text += Task(L"Task_DVD1_1_3", L"boot type text", L"Files_Bootable", L"BootImgType=x\r\n");
  text += Task(L"Task_DVD1_1_4", L"empty folder", L"Files", L"Folder=" + Q(L"EmptyFiles") + L"\r\n");
  text += Task(L"Task_DVD1_1_5", L"iso is a folder", L"ISO", L"Folder=" + Q(L"IsoFolder") + L"\r\n");
  text += Task(L"Task_DVD1_1_6", L"no iso", L"ISO", L"Folder=" + Q(L"Files") + L"\r\n");
  text += Task(L"Task_DVD1_1_7", L"no image", L"Image", L"Folder=" + Q(L"BadImage") + L"\r\n");
  text += Task(L"Task_DVD1_1_8", L"boot type 4", L"Files_Bootable", L"BootImgType=4\r\n");
  tw::LogWatch watch;
  TarnSet::CMgr mgr(L"act.ini", Write(text));
  ASSERT_EQ(Titles(mgr, 0, 0), (Lines{L"boot type 4"}));
  EXPECT_EQ(Tasks(mgr, 0, 0)[0].BootImgType, 4u);
  // Every rejection except the empty folder is logged.
  EXPECT_EQ(watch.EntriesOf(kLoadFn).size(), 6u);
}

// With a trace the loader says what it made of every set and task section,
// and the model is the one it builds without.
TEST_F(TarnSetTest, TraceGivesTheVerdictOfEverySetAndTask) {
  using tw::tarnset::SetVerdict;
  using tw::tarnset::TaskVerdict;
  twtest::MakeDirs(root_ / L"EmptyFiles");
  twtest::MakeDirs(root_ / L"IsoFolder\\a.iso");
  std::wstring text = L"[Info_1]\r\nTitle=Set\r\n[Info_2]\r\nTitle=BD only\r\n[Info_5]\r\nTitle=\r\n";
  text += L"[Task_DVD1_1_1]\r\nType=Files\r\nFolder=" + Q(L"Files") + L"\r\nMessage=" + Q(L"Msg\\disc.txt") + L"\r\n";
  text += Task(L"Task_DVD1_1_2", L"no type", L"");
  text += L"[Task_DVD1_1_3]\r\nTitle=no folder\r\nType=Files\r\nMessage=" + Q(L"Msg\\disc.txt") + L"\r\n";
  text += Task(L"Task_DVD1_1_4", L"no message", L"Files", L"Message=\r\n");
  text += Task(L"Task_DVD1_1_5", L"unknown type", L"Folder");
  text += Task(L"Task_DVD1_1_6", L"message missing", L"Files", L"Message=" + Q(L"Msg\\absent.txt") + L"\r\n");
  text += Task(L"Task_DVD1_1_7", L"no iso", L"ISO", L"Folder=" + Q(L"Files") + L"\r\n");
  text += Task(L"Task_DVD1_1_8", L"iso is a folder", L"ISO", L"Folder=" + Q(L"IsoFolder") + L"\r\n");
  text += Task(L"Task_DVD1_1_9", L"no image", L"Image", L"Folder=" + Q(L"Files") + L"\r\n");
  text += Task(L"Task_DVD1_1_10", L"empty folder", L"Files", L"Folder=" + Q(L"EmptyFiles") + L"\r\n");
  text += Task(L"Task_DVD1_1_11", L"no boot image", L"Files_Bootable", L"BootImg=\r\n");
  text += Task(L"Task_DVD1_1_12", L"boot type 5", L"Files_Bootable", L"BootImgType=5\r\n");
  text += Task(L"Task_DVD1_1_13", L"kept", L"Image");
  text += Task(L"Task_BD1_1_1", L"kept on BD", L"Files");
  text += Task(L"Task_BD1_2_1", L"BD of a set without DVD", L"Files");
  const std::wstring path = Write(text);
  tw::tarnset::LoadTrace trace;
  TarnSet::CMgr traced(L"act.ini", path, &trace);
  TarnSet::CMgr plain(L"act.ini", path);
  EXPECT_EQ(Names(traced), Names(plain));
  EXPECT_EQ(Titles(traced, 0, 0), (Lines{L"kept"}));
  EXPECT_EQ(Titles(traced, 0, 1), (Lines{L"kept on BD"}));

  ASSERT_EQ(trace.sets.size(), 2u);
  EXPECT_EQ(trace.sets[0].verdict, SetVerdict::Offered);
  EXPECT_EQ(trace.sets[1].setNumber, 2u);
  EXPECT_EQ(trace.sets[1].title, L"BD only");
  EXPECT_EQ(trace.sets[1].verdict, SetVerdict::NoDvdTask);

  const std::vector<std::pair<std::wstring, TaskVerdict>> expected = {
      {L"Task_DVD1_1_1", TaskVerdict::NoTitle},        {L"Task_DVD1_1_2", TaskVerdict::NoType},
      {L"Task_DVD1_1_3", TaskVerdict::NoFolder},       {L"Task_DVD1_1_4", TaskVerdict::NoMessage},
      {L"Task_DVD1_1_5", TaskVerdict::UnknownType},    {L"Task_DVD1_1_6", TaskVerdict::MessageMissing},
      {L"Task_DVD1_1_7", TaskVerdict::NoIsoFile},      {L"Task_DVD1_1_8", TaskVerdict::IsoIsFolder},
      {L"Task_DVD1_1_9", TaskVerdict::ImageUnusable},  {L"Task_DVD1_1_10", TaskVerdict::FolderEmpty},
      {L"Task_DVD1_1_11", TaskVerdict::BootImgMissing}, {L"Task_DVD1_1_12", TaskVerdict::BootImgTypeBad},
      {L"Task_DVD1_1_13", TaskVerdict::Kept},          {L"Task_BD1_1_1", TaskVerdict::Kept},
  };  // the BD tasks of a set without DVD tasks are never read
  std::vector<std::pair<std::wstring, TaskVerdict>> seen;
  for (const auto& t : trace.tasks) seen.emplace_back(t.section, t.verdict);
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(trace.tasks[8].image.kind, tw::pack::Problem::kNoInfoFile);
  EXPECT_EQ(trace.tasks[12].task.TotalDiscs, 3u);
  EXPECT_EQ(trace.tasks[12].task.Folder, root_ / L"Image");
  EXPECT_EQ(trace.tasks[11].bootImgTypeText, L"5");
}

TEST_F(TarnSetTest, Utf16DiscSetFileIsReadLikeAnAnsiOne) {
  const std::wstring path =
      Write(L"[Info_2]\r\nTitle=\x30EA\x30AB\x30D0\x30EA\x30C7\x30A3\x30B9\x30AF\r\n" +
                Task(L"Task_DVD1_2_1", L"\x30C7\x30A3\x30B9\x30AF 1", L"Files"),
            Encoding::Utf16Bom);
  TarnSet::CMgr mgr(L"act.ini", path);
  EXPECT_EQ(Names(mgr), (Lines{L"\x30EA\x30AB\x30D0\x30EA\x30C7\x30A3\x30B9\x30AF"}));
  EXPECT_EQ(Titles(mgr, 0, 0), (Lines{L"\x30C7\x30A3\x30B9\x30AF 1"}));
}

TEST_F(TarnSetTest, GettersRejectBadArguments) {
  TarnSet::CMgr mgr(L"act.ini", Write(L"[Info_1]\r\nTitle=Set\r\n" + Task(L"Task_DVD1_1_1", L"A", L"Files")));
  ASSERT_EQ(mgr.InfoCount, 1u);
  tw::LogWatch watch;
  EXPECT_EQ(mgr.GetTaskCountInInfo(1, 0), 0u);
  EXPECT_EQ(mgr.GetTaskCountInInfo(0, 2), 0u);
  EXPECT_EQ(mgr.GetTaskCountInInfo(0xFFFFFFFFu, 0), 0u);
  std::vector<TaskData> tasks(100);
  EXPECT_FALSE(mgr.GetTaskData(1, 0, tasks.data()));
  EXPECT_FALSE(mgr.GetTaskData(0, -1, tasks.data()));
  EXPECT_FALSE(mgr.GetTaskData(0, 0, nullptr));
  EXPECT_FALSE(mgr.GetInfoData(nullptr));
  EXPECT_FALSE(mgr.LoadTaskData(0, root_ / L"TarnSet.ini", 100, 1));
  EXPECT_EQ(watch.EntriesOf(L"TarnSet::CMgr::GetTaskCountInInfo").size(), 3u);
  const auto entries = watch.EntriesOf(L"TarnSet::CMgr::GetTaskData");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].message, L"0x00000001, 0x00000001");
  EXPECT_EQ(watch.EntriesOf(L"TarnSet::CMgr::GetInfoData").size(), 1u);
  EXPECT_EQ(watch.EntriesOf(kLoadFn).size(), 1u);
}

TEST_F(TarnSetTest, MissingFileGivesAnEmptyModelAndOneEntry) {
  tw::LogWatch watch;
  TarnSet::CMgr mgr(L"act.ini", root_ / L"absent.ini");
  EXPECT_EQ(mgr.InfoCount, 0u);
  EXPECT_EQ(watch.NewEntries().size(), 1u);
  EXPECT_EQ(watch.EntriesOf(L"TarnSet::CMgr::CMgr").size(), 1u);
}

TEST(TarnSetWithoutDrive, UnknownRecoveryDriveLoadsNoSet) {
  cfgtest::RecoveryDrive drive(L'\0');
  twtest::TempDir dir;
  WriteTextFile(dir / L"TarnSet.ini", L"[Info_1]\r\nTitle=Set\r\n[Task_DVD1_1_1]\r\nTitle=A\r\n", Encoding::Ansi);
  tw::LogWatch watch;
  TarnSet::CMgr mgr(L"act.ini", dir / L"TarnSet.ini");
  EXPECT_EQ(mgr.InfoCount, 0u);
  EXPECT_EQ(watch.EntriesOf(L"TarnSet::CMgr::CMgr").size(), 1u);
  EXPECT_EQ(watch.EntriesOf(kLoadFn).size(), 1u);
}

}  // namespace
