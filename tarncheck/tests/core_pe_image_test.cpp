// The library reader on synthetic files: what it reads from sound files,
// what it says about the libraries the wizard cannot use, and that no
// damaged or cut-off file makes it read outside the data.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/pe_image.h"
#include "pe_builder.h"

namespace {

using petest::Build;
using petest::Put16;
using petest::Put32;
using petest::Shape;

Shape Dll(std::vector<std::string> exports) {
  Shape shape;
  shape.exports = std::move(exports);
  return shape;
}

bool Mentions(const std::vector<std::wstring>& problems, const std::wstring& text) {
  for (const std::wstring& p : problems) {
    if (p.find(text) != std::wstring::npos) return true;
  }
  return false;
}

TEST(PeImage, ReadsMachineKindAndExportNames) {
  const std::string bytes = Build(Dll({"GetOddsListW", "Other"}));
  const tc::PeImage image = tc::ReadPeImage(bytes);
  ASSERT_TRUE(image.readable) << image.problem;
  EXPECT_EQ(image.machine, tc::kMachineI386);
  EXPECT_TRUE(image.IsDll());
  EXPECT_FALSE(image.pe32Plus);
  EXPECT_TRUE(image.hasExports);
  ASSERT_EQ(image.exportNames.size(), 2u);
  EXPECT_EQ(image.exportNames[0], "GetOddsListW");
  EXPECT_EQ(image.exportNames[1], "Other");
  EXPECT_TRUE(tc::JudgeWizardLibrary(image, tc::kMachineI386, "GetOddsListW").empty());

  Shape wide = Dll({"ShowAttentionToDiscFormatDlg"});
  wide.machine = tc::kMachineAmd64;
  wide.pe32Plus = true;
  const std::string wideBytes = Build(wide);
  const tc::PeImage x64 = tc::ReadPeImage(wideBytes);
  ASSERT_TRUE(x64.readable) << x64.problem;
  EXPECT_TRUE(x64.pe32Plus);
  EXPECT_EQ(x64.exportNames.at(0), "ShowAttentionToDiscFormatDlg");
}

TEST(PeImage, JudgesWhatTheWizardCannotLoadOrBind) {
  Shape x64 = Dll({"GetOddsListW"});
  x64.machine = tc::kMachineAmd64;
  x64.pe32Plus = true;
  std::string bytes = Build(x64);
  auto problems = tc::JudgeWizardLibrary(tc::ReadPeImage(bytes), tc::kMachineI386, "GetOddsListW");
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0], L"is built for 64-bit x64 (0x8664), but the wizard is a 32-bit x86 program and can only "
                         L"load a 32-bit x86 library");
  // The same file is right for a 64-bit build of the wizard.
  EXPECT_TRUE(tc::JudgeWizardLibrary(tc::ReadPeImage(bytes), tc::kMachineAmd64, "GetOddsListW").empty());

  Shape exe = Dll({"GetOddsListW"});
  exe.characteristics = 0x0102;
  bytes = Build(exe);
  problems = tc::JudgeWizardLibrary(tc::ReadPeImage(bytes), tc::kMachineI386, "GetOddsListW");
  EXPECT_TRUE(Mentions(problems, L"is not a DLL")) << problems.size();

  bytes = Build(Dll({"Other", "GetOddsListW@8"}));
  problems = tc::JudgeWizardLibrary(tc::ReadPeImage(bytes), tc::kMachineI386, "GetOddsListW");
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0],
            L"does not export \"GetOddsListW\" by that name, only as the decorated \"GetOddsListW@8\" (the name a "
            L"32-bit __stdcall function gets without a .def file or --kill-at), while the wizard asks for exactly "
            L"\"GetOddsListW\"");
  bytes = Build(Dll({"_ShowAttentionToDiscFormatDlg@4"}));
  problems = tc::JudgeWizardLibrary(tc::ReadPeImage(bytes), tc::kMachineI386, "ShowAttentionToDiscFormatDlg");
  EXPECT_TRUE(Mentions(problems, L"only as the decorated \"_ShowAttentionToDiscFormatDlg@4\""));

  bytes = Build(Dll({"getoddslistw"}));
  problems = tc::JudgeWizardLibrary(tc::ReadPeImage(bytes), tc::kMachineI386, "GetOddsListW");
  EXPECT_TRUE(Mentions(problems, L"does not export \"GetOddsListW\", only \"getoddslistw\", which differs in case"));

  Shape none = Dll({});
  none.exportDirectory = false;
  bytes = Build(none);
  problems = tc::JudgeWizardLibrary(tc::ReadPeImage(bytes), tc::kMachineI386, "GetOddsListW");
  EXPECT_TRUE(Mentions(problems, L"(it has no export table at all)"));

  problems = tc::JudgeWizardLibrary(tc::ReadPeImage("plain text"), tc::kMachineI386, "GetOddsListW");
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0], L"cannot be read as a library: it is no Windows program or library (it does not start with "
                         L"\"MZ\")");
}

TEST(PeImage, EveryCutOffFileIsAProblemNeverAnOverrun) {
  const std::string whole = Build(Dll({"GetOddsListW", "ShowAttentionToDiscFormatDlg"}));
  ASSERT_TRUE(tc::ReadPeImage(whole).readable);
  for (size_t size = 0; size < whole.size(); ++size) {
    // A copy of exactly that size, so that the sanitizers see any read past it.
    const std::string cut = whole.substr(0, size);
    const tc::PeImage image = tc::ReadPeImage(cut);
    EXPECT_FALSE(image.readable) << size;
    EXPECT_FALSE(image.problem.empty()) << size;
  }
}

TEST(PeImage, HostileFieldsGiveAProblemInWords) {
  const std::string good = Build(Dll({"GetOddsListW"}));
  const uint32_t section = petest::SectionHeader(Shape{});
  const uint32_t directory = petest::kSectionRaw;
  const struct {
    const char* what;
    std::function<void(std::string&)> damage;
    std::wstring problem;
  } cases[] = {
      {"PE header far away", [](std::string& b) { Put32(b, 0x3C, 0xFFFFFFF0u); }, L"lies beyond the end of the file"},
      {"no PE signature", [](std::string& b) { b[petest::kNtHeader] = 'X'; }, L"no \"PE\" header"},
      {"optional header beyond the file",
       [](std::string& b) { Put16(b, petest::kFileHeader + 16, 0xFFFF); }, L"optional header is cut off"},
      {"unknown optional header", [](std::string& b) { Put16(b, petest::kOptionalHeader, 0x107); },
       L"unknown kind (0x0107)"},
      {"too many sections", [](std::string& b) { Put16(b, petest::kFileHeader + 2, 0xFFFF); },
       L"section table is cut off"},
      {"section data beyond the file", [section](std::string& b) { Put32(b, section + 16, 0x7FFFFFFFu); },
       L"export directory (0x00001000) lies outside"},
      {"section data at a huge offset", [section](std::string& b) { Put32(b, section + 20, 0xFFFFFF00u); },
       L"lies outside the file's sections"},
      {"export directory outside", [](std::string& b) {
         Put32(b, petest::kOptionalHeader + 96, 0x00FFFFF0u);
       }, L"export directory (0x00FFFFF0) lies outside"},
      {"implausible name count", [directory](std::string& b) { Put32(b, directory + 24, 0x7FFFFFFFu); },
       L"claims 2147483647 names"},
      {"name table wraps around", [directory](std::string& b) {
         Put32(b, directory + 24, 2);
         Put32(b, directory + 32, 0xFFFFFFFEu);
       }, L"export name table lies outside"},
      {"name outside", [directory](std::string& b) { Put32(b, directory + petest::kNamesTable, 0x9000); },
       L"export name 1 lies outside"},
      {"name without end", [](std::string& b) {
         for (size_t i = b.size() - 0x100; i < b.size(); ++i) b[i] = 'A';
         Put32(b, petest::kSectionRaw + petest::kNamesTable,
               petest::kSectionRva + static_cast<uint32_t>(b.size() - 0x100 - petest::kSectionRaw));
       }, L"export name 1 runs past the end of its section"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = good;
    c.damage(bytes);
    const tc::PeImage image = tc::ReadPeImage(bytes);
    EXPECT_FALSE(image.readable);
    EXPECT_NE(image.problem.find(c.problem), std::wstring::npos) << std::string(image.problem.begin(), image.problem.end());
  }
  // A name longer than any function name is refused, not scanned to the end.
  std::string longName = Build(Dll({std::string(tc::kMaxExportNameBytes + 1, 'N')}));
  EXPECT_NE(tc::ReadPeImage(longName).problem.find(L"longer than 4096 bytes"), std::wstring::npos);
  EXPECT_TRUE(tc::ReadPeImage(Build(Dll({std::string(tc::kMaxExportNameBytes, 'N')}))).readable);
}

TEST(PeImage, UndecoratedAndPrintableNames) {
  EXPECT_EQ(tc::Undecorated("GetOddsListW@8"), "GetOddsListW");
  EXPECT_EQ(tc::Undecorated("_GetOddsListW@8"), "GetOddsListW");
  EXPECT_EQ(tc::Undecorated("@Fast@12"), "Fast");
  EXPECT_EQ(tc::Undecorated("_Plain"), "Plain");
  EXPECT_EQ(tc::Undecorated("Name@"), "Name@");
  EXPECT_EQ(tc::Undecorated("Name@x1"), "Name@x1");
  EXPECT_EQ(tc::Undecorated("@8"), "@8");
  EXPECT_EQ(tc::PrintableName(std::string("a\x01\xff" "b", 4)), L"a??b");
  EXPECT_EQ(tc::PrintableName(std::string(100, 'x')), std::wstring(80, L'x') + L"...");
  EXPECT_EQ(tc::MachineName(0x1234), L"machine 0x1234");
}

}  // namespace
