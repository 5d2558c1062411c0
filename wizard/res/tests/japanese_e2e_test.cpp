// The wizard in Japanese: under a Japanese user interface language it takes
// its texts from the Japanese folder that "Language.ini" names, everywhere
// they are shown. Run by the test command under a Japanese locale; skipped
// elsewhere.
#include <gtest/gtest.h>

#include "app/core/text.h"
#include "config/lang_ini.h"
#include "e2e_support.h"
#include "res/resource.h"

namespace {

using twdrive::Step;

TEST(JapaneseEndToEnd, EveryTextComesFromTheJapaneseFolder) {
  if (::GetUserDefaultUILanguage() != 0x0411) GTEST_SKIP() << "needs a Japanese user interface language";
  e2e::Deployment deployment;
  ASSERT_EQ(deployment.error(), "");
  const std::wstring lang = deployment.Program() + L"\\Japanese\\Tarnwright_Lang.ini";
  const LangIni::AppData app = LangIni::CIniMgr::GetAppData(lang);
  const LangIni::SlctDiscSetData select = LangIni::CIniMgr::GetSlctDiscSetData(lang);
  const LangIni::ChkDiscData check = LangIni::CIniMgr::GetChkDiscData(lang);
  const LangIni::FnshData finish = LangIni::CIniMgr::GetFnshData(lang);
  const LangIni::GnrlMsgData messages = LangIni::CIniMgr::GetGnrlMsgData(lang);
  ASSERT_FALSE(app.AppName.empty());

  twdrive::WizardRun run;
  ASSERT_TRUE(e2e::StartToFirstStep(deployment, run));
  EXPECT_EQ(twdrive::TextOf(run.Main()), app.AppName);
  EXPECT_EQ(twdrive::ItemText(run.Main(), IDC_TITLE), app.AppName);
  EXPECT_EQ(twdrive::ItemText(run.Main(), IDC_FUNC_DESCRIPTION), app.FuncDescription);
  EXPECT_EQ(twdrive::ItemText(run.Main(), IDC_NEXT), select.NextButton);
  EXPECT_EQ(run.StepText(IDC_STEP_DESCRIPTION), select.StepDescription);
  EXPECT_EQ(run.StepText(IDC_DISC_COUNT_LABEL), select.DiscCount);
  ASSERT_TRUE(run.ChooseDiscSet(L"Support Tools")) << run.problem();
  ASSERT_TRUE(run.NextTo(Step::kCheckDisc));
  EXPECT_EQ(run.StepText(IDC_STEP_DESCRIPTION), check.StepDescription);
  EXPECT_EQ(run.StepText(IDC_ATTENTION), check.StepAttention);
  run.CloseButton();
  auto box = run.WaitMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->caption, app.AppName);
  EXPECT_EQ(box->text, messages.Msg_ExitApplication);
  ASSERT_TRUE(twdrive::Answer(*box, IDCANCEL));
  HWND make = run.NextTo(Step::kMakeDisc);
  ASSERT_TRUE(make);
  run.Next();
  ASSERT_TRUE(run.WaitStep(Step::kFinish, make, 30000));
  EXPECT_EQ(run.StepText(IDC_RESULT_HEADING), tw::ReplaceAll(finish.SuccessReport, L"%DiscSetName%", L"Support Tools"));
  EXPECT_EQ(run.StepText(IDC_RESULT_LINES), tw::ReplaceAll(finish.S_SV_Info, L"%DiscName%", L"Support Tools") + L"\r\n");
  EXPECT_EQ(twdrive::ItemText(run.Main(), IDC_NEXT), finish.OkButton);
  run.Next();
  EXPECT_EQ(run.WaitExit(), 0u);
}

}  // namespace

namespace {

// The Japanese texts fit their controls at 144 and 192 dots per inch too.
TEST(JapaneseEndToEnd, EveryTextFitsAt144And192DotsPerInch) {
  if (::GetUserDefaultUILanguage() != 0x0411) GTEST_SKIP() << "needs a Japanese user interface language";
  for (DWORD dpi : {144u, 192u}) {
    for (const std::string& problem : e2e::TextFitWalk(dpi)) ADD_FAILURE() << problem;
  }
}

}  // namespace

namespace {

// A screen reader hears the Japanese names: the banner's buttons from the
// Japanese texts, the first step's boxes by their Japanese labels.
TEST(JapaneseEndToEnd, ScreenReadersHearTheJapaneseNames) {
  if (::GetUserDefaultUILanguage() != 0x0411) GTEST_SKIP() << "needs a Japanese user interface language";
  e2e::ComApartment com;
  e2e::Deployment deployment;
  ASSERT_EQ(deployment.error(), "");
  const LangIni::AppData app = LangIni::CIniMgr::GetAppData(deployment.Program() + L"\\Japanese\\Tarnwright_Lang.ini");
  twdrive::WizardRun run;
  ASSERT_TRUE(e2e::StartToFirstStep(deployment, run));
  auto nameOf = [](const std::vector<twdrive::AccessibleEntry>& walk, int id) {
    const twdrive::AccessibleEntry* entry = twdrive::FindEntry(walk, id);
    return entry ? entry->name : std::wstring(L"(not found)");
  };
  std::vector<twdrive::AccessibleEntry> walk = e2e::WalkStep(run, L"select disc set (Japanese)");
  EXPECT_EQ(nameOf(walk, IDC_HELP_BUTTON), app.HelpButton);
  EXPECT_EQ(nameOf(walk, IDC_MINIMISE_BUTTON), app.MinimizeButton);
  EXPECT_EQ(nameOf(walk, IDC_CLOSE_BUTTON), app.CloseButton);
  EXPECT_EQ(nameOf(walk, IDC_DISC_SET_LIST), L"ディスクセット");
  EXPECT_EQ(nameOf(walk, IDC_DRIVE_COMBO), L"ドライブ");
  EXPECT_EQ(nameOf(walk, IDC_DISC_TYPE_COMBO), L"ディスクの種類");
  ASSERT_TRUE(run.ChooseDiscSet(L"Support Tools")) << run.problem();
  ASSERT_TRUE(run.NextTo(Step::kCheckDisc));
  e2e::WalkStep(run, L"check discs (Japanese)");
  HWND make = run.NextTo(Step::kMakeDisc);
  ASSERT_TRUE(make);
  e2e::WalkStep(run, L"make disc (Japanese)");
  run.Next();
  ASSERT_TRUE(run.WaitStep(Step::kFinish, make, 30000));
  e2e::WalkStep(run, L"finish (Japanese)");
  run.Next();
  EXPECT_EQ(run.WaitExit(), 0u);
}

}  // namespace
