#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "app/core/text.h"
#include "app/log_reader.h"
#include "app/settings.h"
#include "config/act_ini.h"
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

// What one load gives: the model (every set name and every field of every
// task, written state included), the log entries it wrote (without time,
// process and thread) and the loader's verdicts.
struct Loaded {
  std::wstring model;
  Lines log;
  Lines verdicts;
};

Loaded Load(const std::wstring& path, TarnSet::SectionLookup lookup) {
  Loaded out;
  tw::LogWatch watch;
  tw::tarnset::LoadTrace trace;
  TarnSet::CMgr mgr(L"act.ini", path, &trace, lookup);
  mgr.ChkWrittenDiscs();
  std::vector<std::wstring> names(100);
  EXPECT_TRUE(mgr.GetInfoData(names.data()));
  for (uint32_t set = 0; set < mgr.InfoCount; ++set) {
    out.model += L"set " + names[set] + L"\n";
    for (int32_t type : {0, 1}) {
      std::vector<TaskData> tasks(100);
      EXPECT_TRUE(mgr.GetTaskData(set, type, tasks.data()));
      tasks.resize(mgr.GetTaskCountInInfo(set, type));
      for (const TaskData& t : tasks) {
        out.model += tw::Dec(static_cast<uint64_t>(type)) + L"|" + t.Title + L"|" + t.VolumeLabel + L"|" +
                     tw::Dec(static_cast<uint64_t>(t.Type)) + L"|" + t.Folder + L"|" + t.Message + L"|" + t.BootImg +
                     L"|" + tw::Dec(t.BootImgType) + L"|" + t.ExclusionList + L"|" + t.Flag + L"|" +
                     tw::Dec(t.TotalDiscs) + L"|" + tw::Dec(t.RemainingDiscs) + L"|";
        for (uint8_t made : t.WrittenFlags) out.model += made ? L"1" : L"0";
        out.model += L"\n";
      }
    }
  }
  for (const tw::LogEntry& e : watch.NewEntries()) out.log.push_back(e.function + L" " + e.line + L" " + e.message);
  for (const auto& t : trace.tasks) out.verdicts.push_back(t.section + L" " + tw::Dec(static_cast<uint64_t>(t.verdict)));
  return out;
}

// A disc-set file that tries the section lookup hard: sets and tasks spread
// over the numbers with gaps and in no order, names in other letter cases,
// with blanks inside the brackets, with leading zeros, beyond 100, given
// twice or empty, a key before the first section, and tasks that are kept,
// passed over silently and dropped with a log entry. The UTF-16 file also
// has names whose letters fold to ASCII ones only outside ASCII.
TEST_F(TarnSetTest, ListedSectionsGiveTheModelAndLogOfEveryNumberFetched) {
  WriteTextFile(root_ / L"Done\\made.flg", L"", Encoding::Ansi);
  uint32_t seed = 20261207;
  auto next = [&seed](uint32_t below) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % below;
  };
  auto cased = [&next](std::wstring name) {
    switch (next(4)) {
      case 0:
        for (wchar_t& c : name) c = static_cast<wchar_t>(::towlower(c));
        return name;
      case 1:
        for (wchar_t& c : name) c = static_cast<wchar_t>(::towupper(c));
        return name;
      case 2:
        return L" " + name + L"\t";
      default:
        return name;
    }
  };
  const std::vector<std::wstring> kinds = {L"Files", L"ISO", L"Image", L"Files_Bootable", L"missing message",
                                           L"unknown type", L"no title"};
  for (const Encoding encoding : {Encoding::Ansi, Encoding::Utf16Bom}) {
    SCOPED_TRACE(encoding == Encoding::Ansi ? "8-bit file" : "UTF-16 file");
    std::wstring text = L"Title=before any section\r\n";
    for (uint32_t set : {100u, 64u, 2u, 33u, 1u, 9u, 3u, 99u, 17u}) {
      const std::wstring n = tw::Dec(set);
      text += L"[" + cased(L"Info_" + n) + L"]\r\nTitle=" + (set == 17 ? L"" : L"Set " + n) + L"\r\n";
      for (const wchar_t* type : {L"DVD1", L"BD1"}) {
        for (uint32_t task : {101u, 100u, 1u, 2u, 3u, 7u, 50u, 99u}) {
          if (next(3) == 0) continue;
          const std::wstring section = L"Task_" + std::wstring(type) + L"_" + n + L"_" + tw::Dec(task);
          const std::wstring& kind = kinds[next(static_cast<uint32_t>(kinds.size()))];
          const std::wstring flag = L"Flag=" + Q(L"Done\\made.flg") + L"\r\n";
          std::wstring body;
          if (kind == L"missing message") {
            body = Task(section, L"T" + n, L"Files", L"Message=" + Q(L"Msg\\gone.txt") + L"\r\n");
          } else if (kind == L"unknown type") {
            body = Task(section, L"T" + n, L"Disc");
          } else if (kind == L"no title") {
            body = Task(section, L"", L"Files");
          } else {
            body = Task(section, section, kind, flag);
          }
          text += L"[" + cased(section) + body.substr(body.find(L']'));
        }
      }
    }
    text += L"[Info_07]\r\nTitle=leading zero\r\n[Info_101]\r\nTitle=beyond the numbers\r\n";
    text += Task(L"Task_DVD1_1_5", L"first of two", L"Files") + Task(L"Task_DVD1_1_5", L"second of two", L"ISO");
    text += L"[Task_DVD1_2_4]\r\n[Info_5]\r\nTitle=only an empty task\r\n[Task_DVD1_5_1]\r\n";
    text += L"[Info_5x]\r\nTitle=not a number\r\n" + Task(L"Task_DVD1_5x_1", L"not a number", L"Files");
    if (encoding == Encoding::Utf16Bom) {
      text += L"[\x0130nfo_4]\r\nTitle=dotted capital I\r\n" + Task(L"Task_DVD1_4_1", L"dotless", L"Files");
      text += L"[\x0131nfo_6]\r\nTitle=dotless small i\r\n" + Task(L"Task_DVD1_6_1", L"dotted", L"Files");
      text += L"[Ta\x017Fk_DVD1_9_2]\r\nTitle=long s\r\nType=Files\r\nFolder=" + Q(L"Files") +
              L"\r\nMessage=" + Q(L"Msg\\disc.txt") + L"\r\n";
    }
    const std::wstring path = Write(text, encoding);
    const Loaded listed = Load(path, TarnSet::SectionLookup::Listed);
    const Loaded every = Load(path, TarnSet::SectionLookup::EveryNumber);
    EXPECT_EQ(listed.model, every.model);
    EXPECT_EQ(listed.log, every.log);
    EXPECT_EQ(listed.verdicts, every.verdicts);
    // The file is worth the comparison: sets are offered, tasks kept and
    // dropped with and without a log entry.
    EXPECT_GE(std::count(listed.model.begin(), listed.model.end(), L'\n'), 20);
    EXPECT_GE(listed.log.size(), 3u);
    EXPECT_GE(listed.verdicts.size(), 50u);
  }
}

TEST(TarnSetSample, ListedSectionsGiveTheModelAndLogOfEveryNumberFetched) {
  cfgtest::SettingsGuard settings;
  twtest::GeneratedRecoveryDrive data;
  ASSERT_EQ(data.error(), "");
  const std::wstring program = twtest::SampleDeployment() + L"\\program";
  LoadProcessWideActionSettings(program + L"\\Tarnwright_Act.ini");
  cfgtest::RecoveryDrive drive(L'C');
  twtest::WriteBytes(L"C:\\Recovery\\Done\\Set1_DVD_Recovery2.flg", "");
  const Loaded listed = Load(program + L"\\TarnSet.ini", TarnSet::SectionLookup::Listed);
  const Loaded every = Load(program + L"\\TarnSet.ini", TarnSet::SectionLookup::EveryNumber);
  EXPECT_EQ(listed.model, every.model);
  EXPECT_EQ(listed.log, every.log);
  EXPECT_EQ(listed.verdicts, every.verdicts);
  EXPECT_EQ(std::count(listed.model.begin(), listed.model.end(), L'\n'), 3 + 9);
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
