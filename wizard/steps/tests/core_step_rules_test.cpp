#include <gtest/gtest.h>

#include "app/core/text.h"
#include "steps/core/step_rules.h"

namespace {

using namespace tw::steps;
using TarnSet::TaskData;

TaskData Task(const std::wstring& title, int32_t type, uint32_t discs, std::vector<uint8_t> marks = {},
              const std::wstring& flag = L"") {
  TaskData t;
  t.Title = title;
  t.VolumeLabel = L"VOL%DiscNum%";
  t.Type = type;
  t.TotalDiscs = discs;
  t.WrittenFlags = std::move(marks);
  t.RemainingDiscs = 0;
  for (uint8_t m : t.WrittenFlags) t.RemainingDiscs += m == 0;
  t.Flag = flag;
  return t;
}

std::vector<std::wstring> Titles(const DiscList& list) {
  std::vector<std::wstring> titles;
  for (const DiscEntry& e : list.entries) titles.push_back(e.Title + L"#" + tw::Dec(e.DiscNumber));
  return titles;
}

TEST(StepRules, DiscListFollowsMarksAndNumbersImageDiscs) {
  const std::vector<TaskData> tasks = {
      Task(L"Boot", TarnSet::kTypeFilesBootable, 1, {1}),                     // made
      Task(L"Disc %DiscNum%", TarnSet::kTypeImage, 3, {0, 1, 0}, L"F%DiscNum%"),  // 1 and 3 left
      Task(L"Tools", TarnSet::kTypeIso, 1),                                    // no marks: taken
  };
  const uint32_t total = TotalDiscCount(tasks.data(), 3);
  EXPECT_EQ(total, 3u);
  const DiscList list = BuildDiscList(tasks.data(), 3, total);
  EXPECT_FALSE(list.overflow);
  EXPECT_EQ(Titles(list), (std::vector<std::wstring>{L"Disc 1#0", L"Disc 3#2", L"Tools#0"}));
  EXPECT_EQ(list.entries[1].VolumeLabel, L"VOL3");
  EXPECT_EQ(list.entries[1].Flag, L"F3");
  // Only an image task's flag is numbered.
  EXPECT_EQ(DiscEntryOf(Task(L"x", TarnSet::kTypeFiles, 1, {}, L"F%DiscNum%"), 0).Flag, L"F%DiscNum%");
}

TEST(StepRules, DiscListNeverPassesTheTotal) {
  // The remaining count says 1, but two discs are unmarked: the list stops at 1.
  TaskData t = Task(L"D%DiscNum%", TarnSet::kTypeImage, 3, {0, 0, 1});
  t.RemainingDiscs = 1;
  DiscList list = BuildDiscList(&t, 1, TotalDiscCount(&t, 1));
  EXPECT_TRUE(list.overflow);
  EXPECT_EQ(list.entries.size(), 1u);
  // Fewer marks than discs: the missing marks count as not written.
  TaskData shortMarks = Task(L"S", TarnSet::kTypeImage, 3, {1});
  shortMarks.RemainingDiscs = 2;
  list = BuildDiscList(&shortMarks, 1, 2);
  EXPECT_EQ(list.entries.size(), 2u);
  EXPECT_FALSE(list.overflow);
  // A total of 0 builds nothing; the sum never wraps.
  EXPECT_TRUE(BuildDiscList(&t, 1, 0).entries.empty());
  std::vector<TaskData> huge(3, Task(L"H", TarnSet::kTypeImage, 0x7FFFFFFF));
  EXPECT_EQ(TotalDiscCount(huge.data(), 3), 0xFFFFFFFFu);
  EXPECT_EQ(TotalDiscCount(nullptr, 5), 0u);
}

TEST(StepRules, DriveTexts) {
  LangIni::DriveData texts{L"%DriveType% (%DriveRootPath%)", L"DVD writer", L"BD writer"};
  OddInfo dvd, bd, neither;
  dvd.DvdWritable = true;
  bd.DvdWritable = bd.BdWritable = true;
  EXPECT_EQ(*SingleDriveTypeText(bd, texts), L"BD writer");
  EXPECT_EQ(*SingleDriveTypeText(dvd, texts), L"DVD writer");
  EXPECT_FALSE(SingleDriveTypeText(neither, texts).has_value());
  EXPECT_EQ(ListedDriveTypeText(neither, texts), L"");
  EXPECT_EQ(DriveDisplayText(texts.DriveNameOutputFormat, L"BD writer", L"E:"), L"BD writer (E:)");
  EXPECT_EQ(DriveMessageFormat(texts.DriveNameOutputFormat), L"%2!s! (%1!s!)");
  // Stray percent signs and inserts print as written instead of reading an insert that is not there.
  EXPECT_EQ(DriveMessageFormat(L"%3 100% %DriveRootPath%%n"), L"%%3 100%% %1!s!%%n");
}

TEST(StepRules, DiscTypesOffered) {
  struct Case { uint32_t dvd, bd; bool driveBd, wantDvd, wantBd; };
  const Case cases[] = {{1, 1, true, true, true}, {1, 1, false, true, false}, {2, 0, true, true, false},
                        {0, 3, true, false, false}};
  for (const Case& c : cases) {
    const DiscTypeChoice t = DiscTypesOffered(c.dvd, c.bd, c.driveBd);
    EXPECT_EQ(t.dvd, c.wantDvd);
    EXPECT_EQ(t.bd, c.wantBd);
  }
}

TEST(StepRules, ColumnWidthsAndTicks) {
  EXPECT_EQ(DiscSetColumnWidth(400, 100, 20), 390);
  EXPECT_EQ(DiscSetColumnWidth(400, 500, 20), 520);
  EXPECT_EQ(DiscSetColumnWidth(400, 0x10000, 0), 0);  // low 16 bits only
  EXPECT_EQ(CheckListColumnWidth(400, 300, 25, 20), 390);
  EXPECT_EQ(CheckListColumnWidth(400, 400, 25, 20), 445);
  const std::vector<bool> ticks = {true, false, true};
  EXPECT_EQ(TickedAfterClick(ticks, 0, true), 1u);   // the box of a ticked item: it is about to be unticked
  EXPECT_EQ(TickedAfterClick(ticks, 1, true), 3u);
  EXPECT_EQ(TickedAfterClick(ticks, 1, false), 2u);  // already toggled by the caller
  EXPECT_EQ(TickedAfterClick(ticks, 9, true), 2u);
}

TEST(StepRules, CurrentEntryIndexGuardsBothLists) {
  const int32_t index[] = {2, -1, 5};
  EXPECT_EQ(CurrentEntryIndex(0, 3, index, 3), 2u);
  EXPECT_FALSE(CurrentEntryIndex(0, 3, index, 2));  // index from one list past the other
  EXPECT_FALSE(CurrentEntryIndex(1, 3, index, 3));  // negative index
  EXPECT_FALSE(CurrentEntryIndex(3, 3, index, 9));  // disc past the count
  EXPECT_FALSE(CurrentEntryIndex(0, 1, index, 0));  // empty list: count - 1 would wrap
  EXPECT_FALSE(CurrentEntryIndex(0, 1, nullptr, 3));
}

TEST(StepRules, EngineEndAndDescription) {
  EXPECT_EQ(JudgeEngineEnd(false, true, 0), EngineOutcome::kSuccess);
  EXPECT_EQ(JudgeEngineEnd(false, true, 311), EngineOutcome::kAbort);
  EXPECT_EQ(JudgeEngineEnd(false, true, 116), EngineOutcome::kFailure);
  EXPECT_EQ(JudgeEngineEnd(true, true, 0), EngineOutcome::kFailure);
  EXPECT_EQ(JudgeEngineEnd(false, false, 0), EngineOutcome::kFailure);

  const std::string mark("\xFF\xFE", 2);
  EXPECT_FALSE(DescriptionText("", L"T").has_value());
  EXPECT_EQ(*DescriptionText(mark, L"T"), L"");
  EXPECT_EQ(*DescriptionText(mark + tw::ToUtf16Le(L"Insert %DiscName%, then %DiscName%."), L"Disc 2"),
            L"Insert Disc 2, then Disc 2.");
  EXPECT_EQ(*DescriptionText(mark + tw::ToUtf16Le(std::wstring(L"ab\0cd", 5)), L""), L"ab");
  EXPECT_EQ(*DescriptionText(std::string("\xFF"), L""), L"");  // one byte: no text unit
}

TEST(StepRules, ParentFolders) {
  EXPECT_EQ(ParentFolders(L"C:\\a\\b\\f.flg"), (std::vector<std::wstring>{L"C:\\a", L"C:\\a\\b"}));
  EXPECT_TRUE(ParentFolders(L"C:\\f.flg").empty());
  EXPECT_TRUE(ParentFolders(L"f").empty());
}

LangIni::FnshData FinishTexts() {
  LangIni::FnshData t;
  t.SuccessReport = L"Made %DiscSetName%";
  t.AbortReport = L"Stopped %DiscSetName%";
  t.FailureReport = L"Failed";
  t.S_ResultDetailInfo = L"S";
  t.A_ResultDetailInfo = L"A";
  t.F_ResultDetailInfo = L"F";
  t.S_S_Info = L"%DiscName% made";
  t.A_S_Info = L"%DiscName% made";
  t.A_A_Info = L"%DiscName% stopped";
  t.F_S_Info = L"%DiscName% made";
  t.F_A_Info = L"%DiscName% not made";
  t.F_F_Info_Unknown = L"%DiscName% unknown";
  t.F_F_Info_NoBurnEngine = L"%DiscName% no engine";
  t.F_F_Info_Preparing = L"%DiscName% preparing";
  t.F_F_Info_Burning = L"%DiscName% burning";
  t.F_F_Info_Verifying = L"%DiscName% verifying";
  return t;
}

TEST(StepRules, ReportLinesPerKind) {
  const LangIni::FnshData t = FinishTexts();
  const std::vector<std::wstring> titles = {L"A", L"B", L"C"};
  Report r = BuildReport(t, ReportKind::kSuccess, L"Set", titles, 3, 0);
  EXPECT_EQ(r.heading, L"Made Set");
  EXPECT_EQ(r.detail, L"S");
  EXPECT_EQ(r.lines, L"A made\r\nB made\r\nC made\r\n");
  r = BuildReport(t, ReportKind::kAbort, L"Set", titles, 0, 0);
  EXPECT_EQ(r.lines, L"A stopped\r\nB stopped\r\nC stopped\r\n");
  r = BuildReport(t, ReportKind::kFailure, L"Set", titles, 1, 320);
  EXPECT_EQ(r.heading, L"Failed");  // no placeholder: unchanged
  EXPECT_EQ(r.lines, L"A made\r\nB burning\r\nC not made\r\n");
  EXPECT_EQ(BuildReport(t, ReportKind::kSuccess, L"", {}, 0, 0).lines, L"");
}

TEST(StepRules, FailureWordingByExitCode) {
  const LangIni::FnshData t = FinishTexts();
  const std::pair<int32_t, const wchar_t*> cases[] = {
      {0, L"%DiscName% unknown"},      {100, L"%DiscName% no engine"}, {301, L"%DiscName% preparing"},
      {311, L"%DiscName% preparing"},  {320, L"%DiscName% burning"},   {323, L"%DiscName% verifying"},
      {12345, L"%DiscName% unknown"},  {-1, L"%DiscName% unknown"},
  };
  for (const auto& c : cases) EXPECT_EQ(FailureText(t, c.first), c.second) << c.first;
  EXPECT_EQ(ReportKindOf(1), ReportKind::kFailure);
  EXPECT_FALSE(ReportKindOf(3).has_value());
}

}  // namespace
