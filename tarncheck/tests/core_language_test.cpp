// Language texts against the key list and the placeholders, and the fit of
// texts in their controls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/key_tables.h"
#include "core/lang_checks.h"

namespace {

using tc::Finding;

const tc::KeyDef& Key(const std::wstring& section, const std::wstring& name) {
  for (const tc::SectionDef& def : tc::LanguageSections()) {
    if (def.name != section) continue;
    if (const tc::KeyDef* key = tc::FindKey(def, name)) return *key;
  }
  throw std::runtime_error("no such key");
}

TEST(Placeholders, TokensAreWordsBetweenPercentSigns) {
  EXPECT_EQ(tc::PlaceholderTokens(L"%DiscName% of %DiscSetName%"),
            (std::vector<std::wstring>{L"%DiscName%", L"%DiscSetName%"}));
  EXPECT_EQ(tc::PlaceholderTokens(L"100% of %DiscNmae%, 50%"), (std::vector<std::wstring>{L"%DiscNmae%"}));
  EXPECT_EQ(tc::PlaceholderTokens(L"%% %a b% %x%%y%"), (std::vector<std::wstring>{L"%x%", L"%y%"}));
  EXPECT_TRUE(tc::PlaceholderTokens(L"no placeholder").empty());
}

TEST(LanguageText, PlaceholdersBreaksAndEmptyTexts) {
  const struct {
    std::wstring section, key, value;
    std::vector<std::wstring> says;  // one entry per finding
  } cases[] = {
      {L"Finish", L"S_S_Info", L"%DiscName%: made", {}},
      {L"Finish", L"S_S_Info", L"made", {L"S_S_Info lacks %DiscName%, which the wizard replaces"}},
      {L"Finish", L"SuccessReport", L"Done.\\nKeep %DiscSetName% safe", {}},
      {L"Finish", L"SuccessReport", L"%DiscName% is done",
       {L"lacks %DiscSetName%", L"shows %DiscName% as typed: the wizard does not replace it in this text"}},
      {L"MakeDisc", L"Msg_MakingDiscFailed", L"%DiscNmae% failed",
       {L"lacks %DiscName%", L"shows %DiscNmae% as typed: it is no placeholder the wizard knows"}},
      {L"Drive", L"DriveNameOutputFormat", L"%DriveType%", {L"lacks %DriveRootPath%"}},
      {L"Drive", L"DriveNameOutputFormat", L"%DriveRootPath% %DriveType%", {}},
      {L"SelectDiscSet", L"StepDescription", L"Choose.\\nThen go on.",
       {L"shows \"\\n\" as typed: the wizard starts a new line only in message texts"}},
      {L"CheckDisc", L"StepDescription", L"Tick.\\nThen go on.", {}},
      {L"Application", L"AppName", L"", {L"AppName is empty"}},
      {L"Application", L"AppName", L"Recovery Disc Creator", {}},
  };
  for (const auto& c : cases) {
    const std::vector<Finding> findings =
        tc::CheckLanguageText(c.section, Key(c.section, c.key), {7, c.key + L"=" + c.value});
    ASSERT_EQ(findings.size(), c.says.size()) << c.key << "=" << c.value;
    for (size_t i = 0; i < findings.size(); ++i) {
      EXPECT_EQ(findings[i].line, 7u);
      EXPECT_EQ(findings[i].severity, tc::Severity::Warning);
      EXPECT_NE(findings[i].text.find(c.says[i]), std::wstring::npos) << findings[i].text;
    }
  }
}

TEST(LanguageFile, MissingSectionsAndKeysAgainstTheCompleteList) {
  std::wstring text = L"[Application]\r\nAppName=A\r\nFuncDescription=B\r\nStep1=1\r\nStep2=2\r\nStep3=3\r\n"
                      L"Step4 =4\r\nHelpButton=H\r\nMinimizeButton=M\r\nCloseButton=C\r\n[OpticalDisc]\r\nDVD1=DVD\r\nBD1=first\r\nBD1=Blu-ray\r\n";
  const std::vector<Finding> findings = tc::CheckLanguageFile(tc::ScanIni(text));
  ASSERT_FALSE(findings.empty());
  EXPECT_EQ(findings[0].section, L"Application");
  EXPECT_EQ(findings[0].text, L"Step4 is missing: the wizard shows an empty text there");
  // Every other section is missing whole; the repeated BD1 is judged by its last line.
  EXPECT_EQ(findings.size(), 1u + 8u);
  EXPECT_EQ(findings.back().section, L"Finish");
  EXPECT_EQ(findings.back().text, L"the section is missing: its 21 texts are empty in the wizard");
}

TEST(Geometry, DialogUnitsAtNinetySixDotsPerInch) {
  EXPECT_EQ(tc::DialogUnitsToPixelsX(84), 126);
  EXPECT_EQ(tc::DialogUnitsToPixelsX(437), 656);  // 655.5 rounds up
  EXPECT_EQ(tc::DialogUnitsToPixelsY(20), 33);    // 32.5 rounds up
  EXPECT_EQ(tc::DialogUnitsToPixelsY(190), 309);
  EXPECT_EQ(tc::box::kBackNext.widthPx, 126);
  EXPECT_EQ(tc::box::kStepName.widthPx, 184);
}

TEST(Geometry, JudgeFitByWidthThenByLines) {
  const struct {
    const tc::ControlBox* box;
    tc::Measured measured;
    std::wstring says;  // empty: fits
  } cases[] = {
      {&tc::box::kBackNext, {126, 15, 15}, L""},
      {&tc::box::kBackNext, {127, 15, 15}, L"needs 127 px of width, the Back/Next button (84 x 20 du, font 3) has 126"},
      {&tc::box::kCheckDescription, {600, 45, 15}, L""},
      {&tc::box::kCheckDescription, {600, 60, 15}, L"needs 4 lines (60 px), the check-disc description"},
      {&tc::box::kSelectDescription, {600, 30, 15}, L"needs 2 lines (30 px)"},
      {&tc::box::kFinishDetail, {10, 21, 0}, L"needs 21 lines"},  // no line height: counted per pixel
  };
  for (const auto& c : cases) {
    const std::optional<std::wstring> verdict = tc::JudgeFit(*c.box, c.measured);
    if (c.says.empty()) {
      EXPECT_FALSE(verdict) << *verdict;
    } else {
      ASSERT_TRUE(verdict) << c.says;
      EXPECT_NE(verdict->find(c.says), std::wstring::npos) << *verdict;
    }
  }
}

TEST(Geometry, TextsAreShownWithTheirPlaceholdersReplaced) {
  tc::ShownTexts texts;
  texts.DriveNameOutputFormat = L"%DriveType% (%DriveRootPath%)";
  texts.DriveTypeDvd = L"DVD writer";
  texts.DriveTypeBd = L"BD writer";
  texts.Reports[0] = L"\"%DiscSetName%\" made";
  const std::vector<tc::TextUse> uses = tc::TextsToMeasure(texts, {L"Set A", L"Set B"});
  std::vector<std::wstring> shown;
  for (const tc::TextUse& use : uses) {
    if (use.box == &tc::box::kDriveName || use.what.find(L"SuccessReport") != std::wstring::npos) {
      shown.push_back(use.text);
    }
  }
  EXPECT_EQ(shown, (std::vector<std::wstring>{L"DVD writer (E:\\)", L"BD writer (E:\\)", L"\"Set A\" made",
                                              L"\"Set B\" made"}));
  EXPECT_EQ(uses.size(), 2u + 4u + 7u + 5u + 2u + 2u + 2u + 3u * (2u + 1u));
}

}  // namespace
