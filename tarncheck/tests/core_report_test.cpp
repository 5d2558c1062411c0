// The report and its exit code, the command line, the log table and the
// sentences of the disc-set part.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/args.h"
#include "core/log_table.h"
#include "core/report.h"
#include "core/wording.h"

namespace {

using tc::Severity;

TEST(Report, ExitCodeFollowsTheWorstFinding) {
  const struct {
    std::vector<Severity> findings;
    int exitCode;
  } cases[] = {
      {{}, 0},
      {{Severity::Info, Severity::Note}, 0},
      {{Severity::Note, Severity::Warning}, 1},
      {{Severity::Warning, Severity::Error, Severity::Warning}, 2},
  };
  for (const auto& c : cases) {
    tc::Report report;
    for (Severity s : c.findings) report.Add(s, L"x");
    EXPECT_EQ(report.ExitCode(), c.exitCode);
  }
}

TEST(Report, RenderIndentsContinuationLinesAndRepeatsProblemsAtTheEnd) {
  tc::Report report;
  report.Heading(L"Files");
  report.Line(L"found");
  report.Add(Severity::Error, L"first line\nsecond line", 2);
  report.Add(Severity::Note, L"a note");
  report.Add(Severity::Warning, L"a warning");
  EXPECT_EQ(report.Render(),
            L"Files\n"
            L"-----\n"
            L"  found\n"
            L"    ERROR: first line\n"
            L"           second line\n"
            L"  note: a note\n"
            L"  WARNING: a warning\n"
            L"\n"
            L"Summary\n"
            L"-------\n"
            L"  ERROR: first line\n"
            L"         second line\n"
            L"  WARNING: a warning\n"
            L"  1 error, 1 warning, 1 note: exit code 2 (something stops the wizard or drops a disc)\n");
}

TEST(Args, CommandLines) {
  using M = tc::Options::Mode;
  const struct {
    std::vector<std::wstring> args;
    M mode;
    std::wstring folder, since, error;
  } cases[] = {
      {{}, M::kCheck, L"", L"", L""},
      {{L"C:\\Deploy"}, M::kCheck, L"C:\\Deploy", L"", L""},
      {{L"/LOG"}, M::kLog, L"", L"", L""},
      {{L"-log", L"/since:2026-12-07T10:30"}, M::kLog, L"", L"2026-12-07 10:30", L""},
      {{L"/log", L"/Since:2026-12-07 10:30:05.120"}, M::kLog, L"", L"2026-12-07 10:30:05.120", L""},
      {{L"/?"}, M::kHelp, L"", L"", L""},
      {{L"a", L"b"}, M::kBad, L"", L"", L"more than one folder given: \"b\""},
      {{L"/since:2026-12-07"}, M::kBad, L"", L"", L"/since: goes with /log"},
      {{L"/log", L"/since:07.12.2026"}, M::kBad, L"", L"", L"\"07.12.2026\" is no time"},
      {{L"/log", L"C:\\x"}, M::kBad, L"", L"", L"/log takes no folder"},
      {{L"/verbose"}, M::kBad, L"", L"", L"unknown option \"/verbose\""},
  };
  for (const auto& c : cases) {
    const tc::Options o = tc::ParseArgs(c.args);
    EXPECT_EQ(o.mode, c.mode) << (c.args.empty() ? L"" : c.args[0]);
    if (c.mode == M::kBad) {
      EXPECT_EQ(o.error.rfind(c.error, 0), 0u) << o.error;
      continue;
    }
    EXPECT_EQ(o.folder, c.folder);
    EXPECT_EQ(o.since, c.since);
  }
}

TEST(LogTable, TimesCutAfterAnyPart) {
  const struct {
    std::wstring text;
    bool ok;
  } cases[] = {
      {L"2026-12-07", true},          {L"2026-12-07 10", true},         {L"2026-12-07 10:30", true},
      {L"2026-12-07 10:30:05", true}, {L"2026-12-07 10:30:05.1", false}, {L"2026-12-07 10:30:05.120", true},
      {L"2026-12-7", false},          {L"2026/12/07", false},           {L"", false},
      {L"2026-12-07 10:3x", false},   {L"2026-12-07 10:30:05.1200", false},
  };
  for (const auto& c : cases) EXPECT_EQ(tc::ParseLogTime(c.text, nullptr), c.ok) << c.text;
}

tw::LogEntry Entry(const std::wstring& time, const std::wstring& function, const std::wstring& message) {
  return {time, L"Tarnwright.exe", L"1234", L"56", function, L"78", message};
}

TEST(LogTable, ColumnsAlignAndSinceKeepsTheNewerEntries) {
  const std::vector<tw::LogEntry> ring = {
      Entry(L"2026-12-07 10:29:59.999", L"wWinMain", L""),
      Entry(L"2026-12-07 10:30:00.000", L"TarnSet::CMgr::LoadTaskData", L"0x00000002, R:\\a\tb"),
      Entry(L"2026-12-08 00:00:00.000", L"GetHideDrvLttr", L"x"),
  };
  EXPECT_EQ(tc::FormatLogTable(ring),
            L"time                     process  thread  function                     line  message\n"
            L"2026-12-07 10:29:59.999     1234      56  wWinMain                       78\n"
            L"2026-12-07 10:30:00.000     1234      56  TarnSet::CMgr::LoadTaskData    78  0x00000002, R:\\a b\n"
            L"2026-12-08 00:00:00.000     1234      56  GetHideDrvLttr                 78  x\n");
  std::wstring since;
  ASSERT_TRUE(tc::ParseLogTime(L"2026-12-07 10:30", &since));
  const std::vector<tw::LogEntry> newer = tc::EntriesSince(ring, since);
  ASSERT_EQ(newer.size(), 2u);
  EXPECT_EQ(newer[0].function, L"TarnSet::CMgr::LoadTaskData");
  EXPECT_TRUE(tc::EntriesSince(ring, L"2026-12-09").empty());
}

TEST(Wording, SizesAndDiscTypes) {
  EXPECT_EQ(tc::MiB(0), L"0.0 MiB");
  EXPECT_EQ(tc::MiB(1536 * 1024), L"1.5 MiB");
  EXPECT_EQ(tc::MiB((4300ull << 20) + 1), L"4300.0 MiB");
  EXPECT_EQ(tc::DiscTypeName(0), L"DVD");
  EXPECT_EQ(tc::DiscTypeName(1), L"BD");
}

TEST(Wording, EveryDropReason) {
  using V = tw::tarnset::TaskVerdict;
  using P = tw::pack::Problem;
  auto trace = [](V verdict) {
    tw::tarnset::TaskTrace t;
    t.section = L"Task_DVD1_1_2";
    t.verdict = verdict;
    t.task.Title = L"Disc";
    t.task.Folder = L"R:\\F";
    t.task.Message = L"R:\\m.txt";
    t.task.BootImg = L"R:\\b.img";
    t.typeText = L"Folder";
    t.bootImgTypeText = L"5";
    return t;
  };
  auto image = [&](P::Kind kind, const std::wstring& path) {
    tw::tarnset::TaskTrace t = trace(V::ImageUnusable);
    t.image.kind = kind;
    t.image.path = path;
    t.image.imageInfo = L"RCV_WIN_ARM";
    t.image.size = 3ull << 20;
    t.image.capacity = 2ull << 20;
    return t;
  };
  tc::TaskFacts there{true, {L"RCV_WIN_X86", L"RCV_WIN_X64"}};
  tc::TaskFacts absent{false, {L"", L""}};
  const struct {
    tw::tarnset::TaskTrace trace;
    tc::TaskFacts facts;
    std::wstring reason;
  } cases[] = {
      {trace(V::NoTitle), there, L"it has no Title (the wizard passes it over without a log entry)"},
      {trace(V::NoMessage), there, L"it has no Message (description file)"},
      {trace(V::UnknownType), there, L"its Type \"Folder\" is none of ISO, Image, Files, Files_Bootable"},
      {trace(V::MessageMissing), there, L"its description file (Message) R:\\m.txt does not exist"},
      {trace(V::NoIsoFile), there, L"its folder R:\\F holds no *.iso file"},
      {trace(V::NoIsoFile), absent, L"its folder R:\\F does not exist"},
      {trace(V::IsoIsFolder), there, L"the first *.iso in R:\\F is a folder, not an image file"},
      {trace(V::FolderEmpty), there, L"its folder R:\\F is empty"},
      {trace(V::FolderEmpty), absent, L"its folder R:\\F does not exist"},
      {trace(V::BootImgMissing), there, L"its boot image (BootImg) R:\\b.img does not exist"},
      {trace(V::BootImgTypeBad), there, L"its BootImgType \"5\" is not a number from 0 to 4"},
      {image(P::kNoFolder, L"R:\\F"), there, L"its folder R:\\F does not exist"},
      {image(P::kNoInfoFile, L"R:\\F"), there, L"its folder R:\\F holds no recovery image (no *.inf file)"},
      {image(P::kImageInfoRejected, L"R:\\F\\a.inf"), there,
       L"the image kind \"RCV_WIN_ARM\" of R:\\F\\a.inf is not accepted (Inf_ImageInfo_32/64 of Tarnwright_Act.ini "
       L"accept \"RCV_WIN_X86\" or \"RCV_WIN_X64\")"},
      {image(P::kNoFirstPiece, L"R:\\F\\a.fc2"), there, L"the image has no first piece R:\\F\\a.fc2"},
      {image(P::kTooLarge, L"R:\\F\\a.002"), there,
       L"the piece R:\\F\\a.002 (3.0 MiB) is larger than a whole DVD (2.0 MiB); the wizard also shows"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(tc::DropReason(c.trace, c.facts).rfind(c.reason, 0), 0u) << tc::DropReason(c.trace, c.facts);
  }
  EXPECT_EQ(tc::DropSentence(trace(V::MessageMissing), there),
            L"Task_DVD1_1_2 \"Disc\" is dropped: its description file (Message) R:\\m.txt does not exist.");
  EXPECT_EQ(tc::DropReason(trace(V::Kept), there), L"");
}

TEST(Wording, SetsThatDisappearAndWrittenStates) {
  tw::tarnset::SetTrace set{2, L"Drivers", tw::tarnset::SetVerdict::NoDvdTask, false};
  EXPECT_EQ(tc::SetSentence(set).rfind(L"Set 2 \"Drivers\" disappears: it has no valid DVD task", 0), 0u);
  set.verdict = tw::tarnset::SetVerdict::Offered;
  EXPECT_EQ(tc::SetSentence(set), L"");

  const struct {
    std::wstring flag;
    std::vector<uint8_t> written;
    uint32_t remaining;
    std::wstring state;
  } cases[] = {
      {L"", {}, 1, L"no marker file (Flag): offered again on every run"},
      {L"R:\\d.flg", {}, 1, L"not made yet"},
      {L"R:\\d%DiscNum%.flg", {0, 0, 0}, 3, L"not made yet"},
      {L"R:\\d%DiscNum%.flg", {1, 0, 1}, 1, L"discs 1, 3 made, 1 to make"},
      {L"R:\\d%DiscNum%.flg", {1, 1, 1}, 0, L"made (marker files present): not offered again"},
  };
  for (const auto& c : cases) {
    TarnSet::TaskData task;
    task.Flag = c.flag;
    task.WrittenFlags = c.written;
    task.RemainingDiscs = c.remaining;
    EXPECT_EQ(tc::WrittenState(task), c.state);
  }
}

}  // namespace
