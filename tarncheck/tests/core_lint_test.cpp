// The INI text scan, the lint of sections and keys, and the key tables
// checked against the wizard's own readers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/core/act_ini_data.h"
#include "config/core/lang_ini_data.h"
#include "core/ini_scan.h"
#include "core/key_tables.h"
#include "core/lint.h"

namespace {

using tc::Finding;
using tc::Severity;

TEST(IniScan, SortsKeyLinesIntoSectionsWithTheirLineNumbers) {
  const tc::IniText ini = tc::ScanIni(
      L"stray=1\r\n; comment\r\n\r\n[First]\r\n  Key = v \r\n[ Second ]\nA=1\n;B=2\n[Open\r\nC=3\0ignored=1");
  ASSERT_EQ(ini.beforeFirstSection.size(), 1u);
  EXPECT_EQ(ini.beforeFirstSection[0].number, 1u);
  ASSERT_EQ(ini.sections.size(), 3u);
  EXPECT_EQ(ini.sections[0].name, L"First");
  EXPECT_EQ(ini.sections[0].number, 4u);
  ASSERT_EQ(ini.sections[0].lines.size(), 1u);
  EXPECT_EQ(ini.sections[0].lines[0].text, L"Key = v");
  EXPECT_EQ(ini.sections[0].lines[0].number, 5u);
  EXPECT_EQ(ini.sections[1].name, L"Second");
  ASSERT_EQ(ini.sections[1].lines.size(), 1u);
  EXPECT_EQ(ini.sections[1].lines[0].number, 7u);
  EXPECT_FALSE(ini.sections[2].closed);
  EXPECT_EQ(ini.sections[2].name, L"Open");
  ASSERT_EQ(ini.sections[2].lines.size(), 1u);  // the text ends at the NUL
  EXPECT_EQ(tc::FindSection(ini, L"second"), &ini.sections[1]);
  EXPECT_EQ(tc::FindSection(ini, L"Third"), nullptr);
}

TEST(IniScan, DecodesUtf16AfterItsByteOrderMarkAndHandsOtherBytesToTheDecoder) {
  const std::string utf16("\xFF\xFE[\0A\0]\0", 8);
  EXPECT_EQ(tc::DecodeIniBytes(utf16, nullptr), L"[A]");
  auto upper = [](const std::string& bytes) { return std::wstring(L"8bit:") + std::wstring(bytes.begin(), bytes.end()); };
  EXPECT_EQ(tc::DecodeIniBytes("[A]", +upper), L"8bit:[A]");
  EXPECT_EQ(tc::DecodeIniBytes("\xE9", nullptr), std::wstring(1, 0xE9));
}

// The section [ExecuteAtStart] of the action settings, line by line.
TEST(Lint, LinesTheReaderIgnoresOrTakesOtherwiseThanTheyLook) {
  const tc::SectionDef& exec = tc::ActionSections()[2];
  ASSERT_EQ(exec.name, L"ExecuteAtStart");
  const struct {
    std::wstring line;
    Severity severity;
    std::wstring says;  // empty: no finding
  } cases[] = {
      {L"FilePath=C:\\x.exe", Severity::Info, L""},
      {L"filepath=C:\\x.exe", Severity::Info, L""},  // names match ignoring case
      {L"Parameter=/a=b", Severity::Info, L""},
      {L"FilePath =C:\\x.exe", Severity::Warning, L"has a blank before \"=\""},
      {L"FilePath\t=C:\\x.exe", Severity::Warning, L"has a blank before \"=\""},
      {L"FilePth=C:\\x.exe", Severity::Warning, L"did you mean FilePath?"},
      {L"SuccesExitCodeList=0", Severity::Warning, L"did you mean SuccessExitCodeList?"},
      {L"Comment=anything", Severity::Note, L"is not a key the wizard reads"},
      {L"FilePath", Severity::Warning, L"has no \"=\""},
      {L"ShowErrorMessage=no", Severity::Warning, L"counts as 1 (on)"},
      {L"ShowErrorMessage=00", Severity::Warning, L"counts as 1 (on)"},
      {L"ShowErrorMessage=0", Severity::Info, L""},
      {L"ShowErrorMessage=1", Severity::Info, L""},
  };
  for (const auto& c : cases) {
    tc::IniSection section{L"ExecuteAtStart", 1, true, {{2, c.line}}};
    const std::vector<Finding> findings = tc::LintSection(section, exec);
    if (c.says.empty()) {
      EXPECT_TRUE(findings.empty()) << c.line;
      continue;
    }
    ASSERT_EQ(findings.size(), 1u) << c.line;
    EXPECT_EQ(findings[0].severity, c.severity) << c.line;
    EXPECT_EQ(findings[0].line, 2u);
    EXPECT_NE(findings[0].text.find(c.says), std::wstring::npos) << findings[0].text;
  }
}

TEST(Lint, NumbersThatDoNotReadAndRepeatedKeys) {
  const tc::SectionDef& app = tc::ActionSections()[0];
  tc::IniSection section{L"Application", 1, true,
                         {{2, L"FontSize1=abc"}, {3, L"FontSize2=14pt"}, {4, L"FontName3=A"}, {5, L"fontname3=B"},
                          {6, L"FontSize1=x"}}};
  const std::vector<Finding> findings = tc::LintSection(section, app);
  ASSERT_EQ(findings.size(), 5u);
  EXPECT_EQ(findings[0].line, 2u);
  EXPECT_NE(findings[0].text.find(L"does not read as a number: the wizard keeps the default 12"), std::wstring::npos);
  EXPECT_EQ(findings[1].line, 3u);
  EXPECT_EQ(findings[1].text, L"\"FontSize2=14pt\" reads as a number only in part: the wizard reads FontSize2 as 14 "
                              L"and ignores \"pt\"");
  EXPECT_EQ(findings[2].line, 5u);
  EXPECT_NE(findings[2].text.find(L"FontName3 is given 2 times (lines 4 and 5): the wizard takes the last one, \"B\""),
            std::wstring::npos)
      << findings[2].text;
  EXPECT_EQ(findings[3].line, 6u);
  EXPECT_NE(findings[3].text.find(L"keeps the value of an earlier line"), std::wstring::npos);
  EXPECT_NE(findings[4].text.find(L"FontSize1 is given 2 times (lines 2 and 6)"), std::wstring::npos);
}

// Every number key of every file: a value "%u" reads only in part, or that
// wraps around, is named with what the wizard reads; the wizard's own
// reader reads it so. Exit-code lists are judged piece by piece.
TEST(Lint, NumbersThatReadOnlyInPartOrWrapAround) {
  const std::vector<const tc::SectionDef*> numbered = {&tc::ActionSections()[0], &tc::ActionSections()[1],
                                                       &tc::TaskSection()};
  size_t keys = 0;
  for (const tc::SectionDef* def : numbered) {
    for (const tc::KeyDef& key : def->keys) {
      if (key.kind != tc::ValueKind::Number) continue;
      ++keys;
      const struct {
        std::wstring value;
        std::wstring finding;  // empty: none
      } cases[] = {
          {L"4.3GB", L"reads as a number only in part: the wizard reads " + key.name + L" as 4 and ignores \".3GB\""},
          {L" 4300 ", L""},
          {L"4300\t", L""},
          {L"+7", L""},
          {L"-1", L"lies outside 0 to 4294967295: the wizard reads " + key.name + L" as 4294967295"},
          {L"-0", L""},
          {L"4294967296", L"lies outside 0 to 4294967295: the wizard reads " + key.name + L" as 0"},
          {L"4294967295", L""},
          {L"12 ; comment", L"ignores \" ; comment\""},
      };
      for (const auto& c : cases) {
        tc::IniSection section{def->name, 1, true, {{7, key.name + L"=" + c.value}}};
        const std::vector<Finding> findings = tc::LintSection(section, *def);
        if (c.finding.empty()) {
          EXPECT_TRUE(findings.empty()) << key.name << "=" << std::string(c.value.begin(), c.value.end());
          continue;
        }
        ASSERT_EQ(findings.size(), 1u) << key.name;
        EXPECT_EQ(findings[0].line, 7u);
        EXPECT_EQ(findings[0].section, def->name);
        EXPECT_NE(findings[0].text.find(c.finding), std::wstring::npos) << std::string(findings[0].text.begin(),
                                                                                        findings[0].text.end());
      }
    }
  }
  EXPECT_EQ(keys, 7u);  // three font sizes, two disc capacities, the read-back switch, the boot image kind
  // What the finding says the wizard reads is what its reader stores.
  EXPECT_EQ(ActIni::ParseOptclDiscData({L"DVD1_Size=4.3GB"}).DVD1_Size, 4u);
  EXPECT_EQ(ActIni::ParseAppData({L"FontSize1=-1"}).FontSize1, 4294967295u);

  const tc::SectionDef& start = tc::ActionSections()[2];
  tc::IniSection section{L"ExecuteAtStart", 1, true, {{3, L"SuccessExitCodeList=0, 3x,,-2 ,4 5,x,1234567890"}}};
  const std::vector<Finding> findings = tc::LintSection(section, start);
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_EQ(findings[0].text, L"SuccessExitCodeList piece \" 3x\" reads as a number only in part: the wizard takes "
                              L"it as 3 and ignores \"x\"");
  EXPECT_NE(findings[1].text.find(L"piece \"4 5\" reads as a number only in part: the wizard takes it as 4"),
            std::wstring::npos);
}

TEST(Lint, SectionsThatAreNeverRead) {
  const tc::IniText ini = tc::ScanIni(
      L"above=1\r\n[Application]\r\nFontSize1=9\r\n[Aplication]\r\nFontSize1=8\r\n[application]\r\nFontSize1=7\r\n"
      L"[Notes]\r\nx=1\r\n[Finish\r\nBackToFirstStep=1\r\n");
  const std::vector<Finding> findings = tc::LintFile(ini, tc::FixedSections(tc::ActionSections()));
  const std::vector<std::pair<uint32_t, std::wstring>> expected = {
      {1, L"stands above the first section"},
      {4, L"[Aplication] is not a section the wizard reads (did you mean [Application]?)"},
      {6, L"[application] appears again (first on line 2): the wizard reads only the first"},
      {8, L"[Notes] is not a section the wizard reads: its lines are ignored"},
      {10, L"has no closing \"]\""},
  };
  ASSERT_EQ(findings.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(findings[i].line, expected[i].first);
    EXPECT_NE(findings[i].text.find(expected[i].second), std::wstring::npos) << findings[i].text;
  }
  EXPECT_EQ(findings[1].severity, Severity::Warning);
  EXPECT_EQ(findings[3].severity, Severity::Note);
}

TEST(Lint, DiscSetSectionNamesAsTheWizardFormsThem) {
  const struct {
    std::wstring name;
    bool read;
    bool isInfo;
    int32_t discType;
    uint32_t set, task;
  } cases[] = {
      {L"Info_1", true, true, -1, 1, 0},         {L"info_100", true, true, -1, 100, 0},
      {L"Task_DVD1_1_2", true, false, 0, 1, 2},  {L"TASK_BD1_4_100", true, false, 1, 4, 100},
      {L"Info_01", false, false, 0, 0, 0},       {L"Info_101", false, false, 0, 0, 0},
      {L"Info_0", false, false, 0, 0, 0},        {L"Task_DVD1_1", false, false, 0, 0, 0},
      {L"Task_DVD_1_1", false, false, 0, 0, 0},  {L"Task_DVD1_1_+2", false, false, 0, 0, 0},
      {L"Task_BD1_2_1x", false, false, 0, 0, 0}, {L"Info_ 1", false, false, 0, 0, 0},
  };
  for (const auto& c : cases) {
    tc::DiscSetSectionName parsed;
    ASSERT_EQ(tc::ParseDiscSetSectionName(c.name, &parsed), c.read) << c.name;
    if (!c.read) continue;
    EXPECT_EQ(parsed.isInfo, c.isInfo);
    EXPECT_EQ(parsed.discType, c.isInfo ? -1 : c.discType);
    EXPECT_EQ(parsed.setNumber, c.set);
    EXPECT_EQ(parsed.taskNumber, c.task);
  }
  std::wstring hint;
  EXPECT_EQ(tc::DiscSetSections()(L"Task_DVD_1_1", &hint), nullptr);
  EXPECT_NE(hint.find(L"without leading zeros"), std::wstring::npos);
  EXPECT_EQ(tc::DiscSetSections()(L"Task_BD1_1_1", &hint), &tc::TaskSection());
}

TEST(Lint, NearestNameWithinTwoEdits) {
  const std::vector<std::wstring> names = {L"Title", L"Type", L"Folder", L"Message"};
  EXPECT_EQ(tc::Nearest(L"Mesage", names, 2), L"Message");
  EXPECT_EQ(tc::Nearest(L"TITEL", names, 2), L"Title");
  EXPECT_EQ(tc::Nearest(L"Folders", names, 2), L"Folder");
  EXPECT_EQ(tc::Nearest(L"Volume", names, 2), L"");
  EXPECT_EQ(tc::EditDistance(L"", L"abc"), 3u);
  EXPECT_EQ(tc::EditDistance(L"kitten", L"sitting"), 3u);
}

// The key tables must name exactly the keys the wizard's readers take, with
// the same kinds: every key of a section set alone changes one field of the
// reader's record, a text with breaks turns "\n" into CR LF and a plain
// text keeps it, and the number of keys is the number of fields.
template <typename Record>
std::vector<std::wstring> Texts(const Record& r);
template <>
std::vector<std::wstring> Texts(const LangIni::AppData& r) {
  return {r.AppName, r.FuncDescription, r.Step1, r.Step2, r.Step3, r.Step4, r.HelpButton, r.MinimizeButton, r.CloseButton};
}
template <>
std::vector<std::wstring> Texts(const LangIni::OptclDiscData& r) { return {r.DVD1, r.BD1}; }
template <>
std::vector<std::wstring> Texts(const LangIni::DriveData& r) {
  return {r.DriveNameOutputFormat, r.DriveType_ODD_DVD, r.DriveType_ODD_BD};
}
template <>
std::vector<std::wstring> Texts(const LangIni::GnrlMsgData& r) {
  return {r.Msg_ExitApplication,     r.Msg_UnknownError,     r.Msg_LaunchedOnOther,
          r.Msg_BackupAppLaunchedOnOther, r.Msg_HideDriveOpended, r.Msg_FileLacked,
          r.Msg_BurnAppNotInstalled, r.Msg_ConnectAcPower,   r.Msg_GettingDriveInfoFailed,
          r.Msg_GettingDiscSetInfoFailed};
}
template <>
std::vector<std::wstring> Texts(const LangIni::ExcData& r) { return {r.Msg_Error}; }
template <>
std::vector<std::wstring> Texts(const LangIni::SlctDiscSetData& r) {
  return {r.StepDescription, r.DiscSet,    r.ODD,        r.DiscType,          r.DiscCount,
          r.NextButton,      r.BackButton, r.Msg_NoDiscSetData, r.Msg_NoUsableODD, r.Msg_AlreadyWritten};
}
template <>
std::vector<std::wstring> Texts(const LangIni::ChkDiscData& r) {
  return {r.StepDescription, r.StepAttention, r.NextButton, r.BackButton};
}
template <>
std::vector<std::wstring> Texts(const LangIni::MkDiscData& r) {
  return {r.NextButton,    r.BackButton,    r.Msg_MakingDiscFailed, r.Msg_VerifyFailed,  r.Msg_VerifyNoDisc, r.VerifyCaption,
          r.VerifyHeading, r.VerifyBytes,   r.VerifyTimeLeft,       r.VerifyTimeUnknown, r.VerifyCancel};
}
template <>
std::vector<std::wstring> Texts(const LangIni::FnshData& r) {
  return {r.SuccessReport, r.S_ResultDetailInfo, r.S_S_Info,         r.AbortReport,           r.A_ResultDetailInfo,
          r.A_S_Info,      r.A_A_Info,           r.FailureReport,    r.F_ResultDetailInfo,    r.F_S_Info,
          r.F_A_Info,      r.F_F_Info_Unknown,   r.F_F_Info_NoBurnEngine, r.F_F_Info_Preparing, r.F_F_Info_Burning,
          r.F_F_Info_Verifying, r.OkButton, r.S_SV_Info, r.A_SV_Info, r.F_SV_Info, r.F_F_Info_VerifyFailed};
}

template <typename Record>
void ExpectTableMatchesReader(const tc::SectionDef& def, Record (*parse)(const std::vector<std::wstring>&)) {
  ASSERT_EQ(def.keys.size(), Texts(Record{}).size()) << def.name;
  for (const tc::KeyDef& key : def.keys) {
    const std::vector<std::wstring> texts = Texts(parse({key.name + L"=a\\nb"}));
    size_t changed = 0;
    for (const std::wstring& text : texts) {
      if (text.empty()) continue;
      ++changed;
      EXPECT_EQ(text, key.kind == tc::ValueKind::TextWithBreaks ? L"a\r\nb" : L"a\\nb") << def.name << " " << key.name;
    }
    EXPECT_EQ(changed, 1u) << def.name << " " << key.name;
  }
}

TEST(KeyTables, LanguageSectionsAreTheReadersOwn) {
  const auto& s = tc::LanguageSections();
  ASSERT_EQ(s.size(), 10u);
  ExpectTableMatchesReader(s[0], LangIni::ParseAppData);
  ExpectTableMatchesReader(s[1], LangIni::ParseOptclDiscData);
  ExpectTableMatchesReader(s[2], LangIni::ParseDriveData);
  ExpectTableMatchesReader(s[3], LangIni::ParseGnrlMsgData);
  ExpectTableMatchesReader(s[4], LangIni::ParseExcData);
  ExpectTableMatchesReader(s[5], LangIni::ParseExcData);
  ExpectTableMatchesReader(s[6], LangIni::ParseSlctDiscSetData);
  ExpectTableMatchesReader(s[7], LangIni::ParseChkDiscData);
  ExpectTableMatchesReader(s[8], LangIni::ParseMkDiscData);
  ExpectTableMatchesReader(s[9], LangIni::ParseFnshData);
}

// Action keys: a number key takes "7", a switch key its other value, a text
// key "x"; each key changes exactly the field at its own place
// in the record, and there are as many keys as fields.
std::wstring N(uint32_t n) { return std::to_wstring(n); }
std::vector<std::wstring> Fields(const ActIni::AppData& d) {
  return {N(d.FontSize1), d.FontName1, N(d.FontSize2), d.FontName2, N(d.FontSize3), d.FontName3};
}
std::vector<std::wstring> Fields(const ActIni::OptclDiscData& d) {
  return {N(d.DVD1_Size), N(d.BD1_Size), N(d.VerifyDisc)};
}
std::vector<std::wstring> Fields(const ActIni::ExcData& d) {
  return {d.FilePath, d.Parameter, d.SuccessExitCodeList, N(d.ShowErrorMessage)};
}
std::vector<std::wstring> Fields(const ActIni::RcvDataData& d) {
  return {d.StorageDrive_RegKey, d.StorageDrive_RegValueName, d.Inf_ImageInfo_32, d.Inf_ImageInfo_64};
}
std::vector<std::wstring> Fields(const ActIni::SlctDiscSetData& d) { return {N(d.CanSelectODD), N(d.BackButton_Visible)}; }
std::vector<std::wstring> Fields(const ActIni::FnshData& d) { return {N(d.BackToFirstStep)}; }

template <typename Record>
void ExpectActionTableMatchesReader(const tc::SectionDef& def, Record (*parse)(const std::vector<std::wstring>&)) {
  const std::vector<std::wstring> defaults = Fields(parse({}));
  ASSERT_EQ(def.keys.size(), defaults.size()) << def.name;
  for (size_t i = 0; i < def.keys.size(); ++i) {
    const tc::KeyDef& key = def.keys[i];
    // A switch is set to the opposite of its default.
    const std::wstring value = key.kind == tc::ValueKind::Number   ? L"7"
                               : key.kind == tc::ValueKind::Switch ? (key.defaultText == L"1" ? L"0" : L"1")
                                                                   : L"x";
    std::vector<std::wstring> expected = defaults;
    expected[i] = value;
    EXPECT_EQ(Fields(parse({key.name + L"=" + value})), expected) << def.name << " " << key.name;
    EXPECT_EQ(defaults[i], key.defaultText) << def.name << " " << key.name;
  }
}

TEST(KeyTables, ActionSectionsAreTheReadersOwn) {
  const auto& s = tc::ActionSections();
  ASSERT_EQ(s.size(), 7u);
  ExpectActionTableMatchesReader(s[0], ActIni::ParseAppData);
  ExpectActionTableMatchesReader(s[1], ActIni::ParseOptclDiscData);
  ExpectActionTableMatchesReader(s[2], ActIni::ParseExcData);
  ExpectActionTableMatchesReader(s[3], ActIni::ParseExcData);
  ExpectActionTableMatchesReader(s[4], ActIni::ParseRcvDataData);
  ExpectActionTableMatchesReader(s[5], ActIni::ParseSlctDiscSetData);
  ExpectActionTableMatchesReader(s[6], ActIni::ParseFnshData);
}

}  // namespace
