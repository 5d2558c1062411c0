// Checks the generator against the sample deployment: every path the
// sample disc-set file and exclusion lists name exists in the generated
// data, the image needs three DVDs but one BD, and the output is the same
// on every run.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/core/text.h"
#include "config/core/exclusion_lines.h"
#include "config/core/ini_core.h"
#include "config/core/rcv_packing.h"
#include "gendata.h"

namespace fs = std::filesystem;

namespace {

const fs::path kDeployment = fs::path(TW_SOURCE_DIR) / "demo" / "deployment";

class ScratchDir {
 public:
  ScratchDir() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("gendata_test_" + std::to_string(random()));
    fs::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Sections of an 8-bit INI file: name -> lines (comments and blanks left out).
std::map<std::wstring, std::vector<std::wstring>> ReadIni(const fs::path& path) {
  std::map<std::wstring, std::vector<std::wstring>> sections;
  std::wstring current;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    const std::wstring wide(line.begin(), line.end());
    if (wide.front() == L'[' && wide.back() == L']') {
      sections[current = wide.substr(1, wide.size() - 2)];
    } else {
      sections[current].push_back(wide);
    }
  }
  return sections;
}

uint32_t NumberOf(const std::vector<std::wstring>& lines, const std::wstring& key) {
  uint32_t value = 0;
  tw::ini::ApplyLines(lines, {tw::ini::NumberField(IniNumberKey{key.c_str(), 0}, value)});
  return value;
}

// "?:\Recovery\x" below the generated root.
fs::path OnDrive(const fs::path& root, const std::wstring& marked) {
  EXPECT_EQ(marked.substr(0, 3), L"?:\\") << std::string(marked.begin(), marked.end());
  fs::path path = root;
  std::wistringstream rest(tw::WithoutTrailingBackslash(marked.substr(3)));
  for (std::wstring part; std::getline(rest, part, L'\\');) path /= std::string(part.begin(), part.end());
  return path;
}

uint32_t DiscsFor(const fs::path& imageFolder, uint64_t capacity) {
  uint64_t used = 0;
  uint32_t discs = 1, files = 0;
  for (const char* ext : {".inf", ".nv", ".crc", ".fc2", ".002", ".003"}) {
    const fs::path member = imageFolder / (std::string("RcvImage") + ext);
    EXPECT_TRUE(fs::is_regular_file(member)) << member;
    EXPECT_NE(tw::pack::PlaceFile(capacity, fs::file_size(member), used, discs, files), tw::pack::Placement::TooLarge);
  }
  EXPECT_FALSE(fs::exists(imageFolder / "RcvImage.004"));
  return discs;
}

uint64_t TreeSize(const fs::path& folder) {
  uint64_t total = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) total += entry.file_size();
  }
  return total;
}

// The sample disc-set file's tasks and the exclusion lists against small data.
TEST(GenData, SmallDataMatchesTheSampleDiscSetAndExclusionFiles) {
  ScratchDir root;
  const gendata::Result result =
      gendata::Generate(gendata::Scale::Small, root.path(), kDeployment / "recovery", false);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_LT(result.bytes, 8ull << 20);

  const auto act = ReadIni(kDeployment / "program" / "Tarnwright_Act.ini");
  const uint64_t dvd = static_cast<uint64_t>(NumberOf(act.at(L"OpticalDisc"), L"DVD1_Size")) << 20;
  const uint64_t bd = static_cast<uint64_t>(NumberOf(act.at(L"OpticalDisc"), L"BD1_Size")) << 20;
  ASSERT_GT(dvd, 0u);

  const auto tarnSet = ReadIni(kDeployment / "program" / "TarnSet.ini");
  std::map<std::wstring, int> typesSeen;
  for (const auto& [section, lines] : tarnSet) {
    if (section.rfind(L"Task_", 0) != 0) continue;
    std::wstring type, folder, message, bootImg, exclusion;
    tw::ini::ApplyLines(lines, {tw::ini::TextField(IniTextKey{L"Type", L""}, type),
                                tw::ini::TextField(IniTextKey{L"Folder", L""}, folder),
                                tw::ini::TextField(IniTextKey{L"Message", L""}, message),
                                tw::ini::TextField(IniTextKey{L"BootImg", L""}, bootImg),
                                tw::ini::TextField(IniTextKey{L"ExclusionList", L""}, exclusion)});
    ++typesSeen[type];
    const bool isBd = section.rfind(L"Task_BD1_", 0) == 0;
    const uint64_t capacity = isBd ? bd : dvd;
    const fs::path data = OnDrive(root.path(), folder);
    ASSERT_TRUE(fs::is_directory(data)) << data;
    EXPECT_TRUE(fs::is_regular_file(OnDrive(root.path(), message))) << OnDrive(root.path(), message);
    if (!exclusion.empty()) {
      EXPECT_TRUE(fs::is_regular_file(OnDrive(root.path(), exclusion)));
    }
    if (type == L"Image") {
      EXPECT_EQ(DiscsFor(data, capacity), isBd ? 1u : 3u);
    } else if (type == L"ISO") {
      EXPECT_LE(fs::file_size(data / "SupportTools.iso"), capacity);
    } else {
      uint64_t total = TreeSize(data);
      if (type == L"Files_Bootable") total += fs::file_size(OnDrive(root.path(), bootImg));
      EXPECT_LE(total, capacity) << data;  // the whole folder fits on one disc
    }
  }
  EXPECT_EQ(typesSeen.size(), 4u);
  EXPECT_TRUE(fs::is_empty(root.path() / "Recovery" / "Drivers" / "Chipset"));
  EXPECT_TRUE(fs::is_directory(root.path() / "Recovery" / "Done"));
  EXPECT_TRUE(fs::exists(root.path() / "Recovery" / "Drivers" / fs::u8path("\xE3\x83\x89\xE3\x83\xA9\xE3\x82\xA4\xE3\x83\x90\xE3\x83\xBC")));

  for (const fs::path& list : {kDeployment / "program" / "TarnSet_Exclusion.ini",
                               kDeployment / "recovery" / "Recovery" / "Drivers_Exclusion.ini"}) {
    const std::string bytes = ReadAll(list);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << list;
    const std::vector<std::wstring> entries = tw::exclusion::ParseList(tw::FromUtf16Le(bytes.substr(2)), L'?');
    ASSERT_FALSE(entries.empty()) << list;
    for (const std::wstring& entry : entries) EXPECT_TRUE(fs::exists(OnDrive(root.path(), entry))) << list;
  }
}

TEST(GenData, SameBytesOnEveryRun) {
  ScratchDir first, second;
  ASSERT_TRUE(gendata::Generate(gendata::Scale::Small, first.path(), fs::path(), false).ok);
  ASSERT_TRUE(gendata::Generate(gendata::Scale::Small, second.path(), fs::path(), true).ok);
  size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(first.path())) {
    const fs::path other = second.path() / fs::relative(entry.path(), first.path());
    ASSERT_TRUE(fs::exists(other)) << other;
    if (!entry.is_regular_file()) continue;
    ++files;
    EXPECT_EQ(ReadAll(entry.path()), ReadAll(other)) << entry.path();
  }
  EXPECT_GT(files, 20u);
  // Different files get different bytes.
  EXPECT_NE(ReadAll(first.path() / "Recovery/Image/RcvImage.fc2"), ReadAll(first.path() / "Recovery/Image/RcvImage.002"));
  // Any stretch of a file can be produced on its own.
  unsigned char whole[64], tail[16];
  gendata::FillBytes("x", 0, whole, sizeof(whole));
  gendata::FillBytes("x", 48, tail, sizeof(tail));
  EXPECT_EQ(std::string(whole + 48, whole + 64), std::string(tail, tail + 16));
}

TEST(GenData, RealisticDataNeedsThreeDvdsButOneBdAtRealCapacities) {
  ScratchDir root;
  const gendata::Result result = gendata::Generate(gendata::Scale::Realistic, root.path(), fs::path(), false);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_GT(result.bytes, 10ull << 30);
  const fs::path image = root.path() / "Recovery" / "Image";
  EXPECT_EQ(DiscsFor(image, 4300ull << 20), 3u);
  EXPECT_EQ(DiscsFor(image, 23700ull << 20), 1u);
  EXPECT_LE(TreeSize(root.path() / "Recovery" / "Applications"), 4300ull << 20);
  EXPECT_LE(TreeSize(root.path() / "Recovery" / "Drivers"), 4300ull << 20);
  EXPECT_EQ(ReadAll(image / "RcvImage.inf").find("ImageInfo=RCV_WIN_X64"), 17u);
}

}  // namespace
