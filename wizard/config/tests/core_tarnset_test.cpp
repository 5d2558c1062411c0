#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "config/core/tarnset_core.h"

using TarnSet::TaskData;
using namespace tw::tarnset;

namespace {

TEST(TarnSetNames, SectionsAndTypes) {
  EXPECT_EQ(InfoSectionName(7), L"Info_7");
  EXPECT_EQ(TaskSectionName(0, 1, 12), L"Task_DVD1_1_12");
  EXPECT_EQ(TaskSectionName(1, 100, 3), L"Task_BD1_100_3");
  int32_t code = -1;
  for (const auto& [text, type] : {std::pair(L"iso", TarnSet::kTypeIso), std::pair(L"IMAGE", TarnSet::kTypeImage),
                                   std::pair(L"Files", TarnSet::kTypeFiles),
                                   std::pair(L"files_bootable", TarnSet::kTypeFilesBootable)}) {
    EXPECT_TRUE(TypeCodeOf(text, code)) << text;
    EXPECT_EQ(code, type) << text;
  }
  code = -1;
  EXPECT_FALSE(TypeCodeOf(L"Files ", code));
  EXPECT_FALSE(TypeCodeOf(L"", code));
  EXPECT_EQ(code, -1);
}

TEST(TarnSetTaskLines, PathKeysExpandedAndKeyOrderKept) {
  const ParsedTask parsed = ParseTaskLines(
      {L"title=Disc %DiscNum%", L"VolumeLabel=RCV_%DiscNum%", L"Type=Files_Bootable", L"Folder=?:\\Data\\",
       L"Message=?:\\Msg\\m.txt", L"BootImg=?:\\Boot\\boot.img", L"BootImgType=3", L"ExclusionList=?:\\x.ini",
       L"Flag=?:\\Done\\Disc%DiscNum%.flg", L"Folder?=ignored", L"Comment without equals"},
      L'E');
  const TaskData& t = parsed.task;
  EXPECT_EQ(t.Title, L"Disc %DiscNum%");
  EXPECT_EQ(t.VolumeLabel, L"RCV_%DiscNum%");
  EXPECT_EQ(parsed.typeText, L"Files_Bootable");
  EXPECT_EQ(t.Folder, L"E:\\Data\\");  // the trailing backslash goes at validation
  EXPECT_EQ(t.Message, L"E:\\Msg\\m.txt");
  EXPECT_EQ(t.BootImg, L"E:\\Boot\\boot.img");
  EXPECT_EQ(parsed.bootImgTypeText, L"3");
  EXPECT_EQ(t.ExclusionList, L"E:\\x.ini");
  EXPECT_EQ(t.Flag, L"E:\\Done\\Disc%DiscNum%.flg");
  EXPECT_EQ(t.Type, TarnSet::kTypeFiles);  // reset value until validated
  EXPECT_EQ(t.BootImgType, 0u);
  EXPECT_EQ(ExpandDriveMark(L"C:\\?x", L'E'), L"C:\\?x");
  EXPECT_EQ(ExpandDriveMark(L"", L'E'), L"");
}

// The list of a file's section names says which sections need a fetch:
// a listed name must be found whatever its letter case and the blanks
// around it, and nothing else may be found by a partial or numeric likeness.
// Only ASCII letters fold here; the platform's own folds are added as names.
TEST(TarnSetSectionIndex, FindsListedNamesAsTheProfileCallsMatchThem) {
  SectionIndex index;
  for (const wchar_t* listed : {L"Info_1", L"info_2", L"INFO_3", L" Task_DVD1_1_1\t", L"Task_BD1_1_10",
                                L"Info_07", L"Task_dvd1_2_\x00C9"}) {
    index.Add(listed);
  }
  const struct {
    const wchar_t* name;
    bool found;
  } cases[] = {
      {L"Info_1", true},          {L"Info_2", true},          {L"Info_3", true},
      {L"Task_DVD1_1_1", true},   {L"TASK_bd1_1_10", true},   {L" Info_1 ", true},
      {L"Info_10", false},        {L"Info_", false},          {L"Info_7", false},
      {L"Task_BD1_1_1", false},   {L"Task_DVD1_1_10", false}, {L"Task_DVD1_2_\x00E9", false},
      {L"Task_DVD1_2_\x00C9", true},
  };
  for (const auto& c : cases) EXPECT_EQ(index.Has(c.name), c.found) << c.name;
}

// A file test that answers from a set of paths (read at each question).
FileExists In(const std::set<std::wstring>& present) {
  return [&present](const std::wstring& path) { return present.count(path) != 0; };
}

std::vector<uint32_t> Remaining(const std::vector<TaskData>& tasks) {
  std::vector<uint32_t> remaining;
  for (const TaskData& t : tasks) remaining.push_back(t.RemainingDiscs);
  return remaining;
}
using Counts = std::vector<uint32_t>;

TaskData ImageTask(uint32_t discs, const std::wstring& flag) {
  TaskData t = ResetTask();
  t.Type = TarnSet::kTypeImage;
  t.Flag = flag;
  t.TotalDiscs = t.RemainingDiscs = discs;
  return t;
}

TEST(TarnSetWrittenState, ImageTaskHasOneMarkerPerDisc) {
  std::set<std::wstring> present = {L"E:\\Done\\Disc1.flg", L"E:\\Done\\Disc3.flg"};
  TaskData t = ImageTask(3, L"E:\\Done\\Disc%DiscNum%.flg");
  RefreshWrittenState(t, In(present));
  EXPECT_EQ(t.WrittenFlags, (std::vector<uint8_t>{1, 0, 1}));
  EXPECT_EQ(t.RemainingDiscs, 1u);
  present.clear();  // a later refresh forgets marks that are gone
  RefreshWrittenState(t, In(present));
  EXPECT_EQ(t.WrittenFlags, (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(t.RemainingDiscs, 3u);
}

TEST(TarnSetWrittenState, OtherTypesUseFlagAsWrittenAndNoFlagMeansNoMarks) {
  std::set<std::wstring> present = {L"E:\\Done\\Disc%DiscNum%.flg"};
  TaskData files2 = ImageTask(1, L"E:\\Done\\Disc%DiscNum%.flg");
  files2.Type = TarnSet::kTypeFiles;
  RefreshWrittenState(files2, In(present));
  EXPECT_EQ(files2.WrittenFlags, (std::vector<uint8_t>{1}));
  EXPECT_EQ(files2.RemainingDiscs, 0u);
  TaskData unflagged = ImageTask(2, L"");
  RefreshWrittenState(unflagged, In(present));
  EXPECT_TRUE(unflagged.WrittenFlags.empty());
  EXPECT_EQ(unflagged.RemainingDiscs, 2u);
}

TEST(TarnSetWrittenState, SetMadeOnOneTypeCountsAsMadeOnTheOther) {
  std::set<std::wstring> present;
  std::vector<TaskData> dvd = {ImageTask(3, L"D%DiscNum%"), ImageTask(1, L"DVD-B")};
  std::vector<TaskData> bd = {ImageTask(1, L"B%DiscNum%"), ImageTask(1, L"BD-B")};
  present = {L"D1", L"D2", L"D3"};  // second DVD task still missing
  RefreshSetWrittenState(dvd.data(), 2, bd.data(), 2, In(present));
  EXPECT_EQ(Remaining(dvd), (Counts{0, 1}));
  EXPECT_EQ(bd[0].RemainingDiscs, 1u);

  present = {L"B1", L"BD-B"};  // every BD disc made
  RefreshSetWrittenState(dvd.data(), 2, bd.data(), 2, In(present));
  for (const TaskData* t : {&dvd[0], &dvd[1], &bd[0], &bd[1]}) {
    EXPECT_EQ(t->RemainingDiscs, 0u);
    EXPECT_EQ(t->WrittenFlags, std::vector<uint8_t>(t->TotalDiscs, 1));
  }
}

TEST(TarnSetWrittenState, NoMarksAnywhereIsNotComplete) {
  std::set<std::wstring> present;
  std::vector<TaskData> dvd = {ImageTask(1, L"")};
  std::vector<TaskData> bd = {ImageTask(1, L"")};
  RefreshSetWrittenState(dvd.data(), 1, bd.data(), 1, In(present));
  EXPECT_EQ(Remaining(dvd), Counts{1});
  EXPECT_EQ(Remaining(bd), Counts{1});
  RefreshSetWrittenState(dvd.data(), 1, nullptr, 0, In(present));
  EXPECT_EQ(dvd[0].RemainingDiscs, 1u);
}

// A BD list longer than the DVD list: its later tasks are refreshed too,
// and they take part in the completeness test.
TEST(TarnSetWrittenState, LongerBdListIsRefreshedInFull) {
  std::set<std::wstring> present = {L"BD-2"};
  std::vector<TaskData> dvd = {ImageTask(1, L"DVD-1")};
  std::vector<TaskData> bd = {ImageTask(1, L"BD-1"), ImageTask(1, L"BD-2")};
  RefreshSetWrittenState(dvd.data(), 1, bd.data(), 2, In(present));
  EXPECT_EQ(bd[1].WrittenFlags, (std::vector<uint8_t>{1}));
  EXPECT_EQ(Remaining(bd), (Counts{1, 0}));
  EXPECT_EQ(dvd[0].RemainingDiscs, 1u);
}

}  // namespace
