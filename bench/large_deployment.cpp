#include "large_deployment.h"

#include <windows.h>

#include <filesystem>
#include <vector>

#include "app/handles.h"
#include "gendata.h"
#include "test_support.h"

namespace twbench {
namespace {

constexpr uint32_t kSets = 10;
constexpr uint32_t kDvdTasks = 10;
constexpr uint32_t kBdTasks = 5;
// Every "Files" DVD task has a tree of its own: kFolders folders of
// kFilesPerFolder files each.
constexpr uint32_t kFolders = 6;
constexpr uint32_t kFilesPerFolder = 9;

bool WriteFileBytes(const std::wstring& path, size_t size, uint32_t seed) {
  tw::UniqueFile file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::vector<unsigned char> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>((seed * 2654435761u + i * 40503u) >> 7);
  DWORD written = 0;
  return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(size), &written, nullptr) && written == size;
}

std::wstring Num(uint32_t n) { return std::to_wstring(n); }

// One task section; `folder` and the other paths are below "?:\Recovery".
std::wstring Task(const std::wstring& section, const std::wstring& title, const wchar_t* type,
                  const std::wstring& folder, const std::wstring& flag, const std::wstring& extra = L"") {
  return L"[" + section + L"]\r\nTitle=" + title + L"\r\nVolumeLabel=" + section.substr(5) + L"\r\nType=" + type +
         L"\r\nFolder=?:\\Recovery\\" + folder + L"\r\nMessage=?:\\Recovery\\Messages\\Drivers.txt\r\n" + extra +
         L"Flag=?:\\Recovery\\Done\\" + flag + L"\r\n\r\n";
}

}  // namespace

LargeDeployment WriteLargeDeployment(const std::wstring& root, const std::wstring& staticDir) {
  LargeDeployment out;
  const gendata::Result data = gendata::Generate(gendata::Scale::Realistic, std::filesystem::path(root),
                                                 std::filesystem::path(staticDir), true);
  if (!data.ok) {
    out.error = data.error;
    return out;
  }
  out.files = data.files;
  const std::wstring recovery = root + L"\\Recovery";
  std::wstring& ini = out.tarnSetText;
  ini = L"; Disc sets of a large deployment written by the benchmark.\r\n\r\n";
  for (uint32_t set = 1; set <= kSets; ++set) {
    const std::wstring s = Num(set);
    ini += L"[Info_" + s + L"]\r\nTitle=Model " + s + L" recovery media\r\n\r\n";
    // DVD: boot disc, the recovery image (three DVDs), support tools, and
    // seven discs of drivers and applications, each with a tree of its own.
    for (uint32_t task = 1; task <= kDvdTasks; ++task) {
      const std::wstring section = L"Task_DVD1_" + s + L"_" + Num(task);
      const std::wstring flag = L"S" + s + L"_DVD_" + Num(task);
      if (task == 1) {
        ini += Task(section, L"Boot Disc", L"Files_Bootable", L"BootDisc\\", flag + L".flg",
                    L"BootImg=?:\\Recovery\\Boot\\etfsboot.img\r\nBootImgType=0\r\n");
      } else if (task == 2) {
        ini += Task(section, L"Recovery Disc %DiscNum%", L"Image", L"Image", flag + L"_%DiscNum%.flg");
      } else if (task == 3) {
        ini += Task(section, L"Support Tools", L"ISO", L"Tools", flag + L".flg");
      } else {
        const std::wstring tree = L"Models\\Model" + s + L"\\Disc" + Num(task);
        for (uint32_t f = 1; f <= kFolders; ++f) {
          const std::wstring folder = recovery + L"\\" + tree + L"\\Package" + Num(f);
          twtest::MakeDirs(folder);
          for (uint32_t n = 1; n <= kFilesPerFolder; ++n) {
            const uint32_t seed = (set * 100 + task) * 1000 + f * 10 + n;
            if (!WriteFileBytes(folder + L"\\file" + Num(n) + L".bin", 512 + (seed % 7) * 700, seed)) {
              out.error = "cannot write the file trees";
              return out;
            }
            ++out.files;
          }
        }
        ini += Task(section, L"Drivers and Applications " + Num(task - 3), L"Files", tree, flag + L".flg",
                    task % 2 ? L"ExclusionList=?:\\Recovery\\Drivers_Exclusion.ini\r\n" : L"");
      }
      ++out.dvdTasks;
    }
    // BD: the same boot disc, image and tools, then the set's trees on two discs.
    for (uint32_t task = 1; task <= kBdTasks; ++task) {
      const std::wstring section = L"Task_BD1_" + s + L"_" + Num(task);
      const std::wstring flag = L"S" + s + L"_BD_" + Num(task);
      if (task == 1) {
        ini += Task(section, L"Boot Disc", L"Files_Bootable", L"BootDisc\\", flag + L".flg",
                    L"BootImg=?:\\Recovery\\Boot\\etfsboot.img\r\nBootImgType=0\r\n");
      } else if (task == 2) {
        ini += Task(section, L"Recovery Disc %DiscNum%", L"Image", L"Image", flag + L"_%DiscNum%.flg");
      } else if (task == 3) {
        ini += Task(section, L"Support Tools", L"ISO", L"Tools", flag + L".flg");
      } else {
        ini += Task(section, L"Drivers and Applications " + Num(task - 3), L"Files", L"Models\\Model" + s,
                    flag + L".flg");
      }
      ++out.bdTasks;
    }
    ++out.sets;
  }
  // The first three sets were begun: their boot disc and first recovery
  // disc are made.
  for (uint32_t set = 1; set <= 3; ++set) {
    for (const std::wstring& made : {L"S" + Num(set) + L"_DVD_1.flg", L"S" + Num(set) + L"_DVD_2_1.flg"}) {
      if (!WriteFileBytes(recovery + L"\\Done\\" + made, 0, 0)) out.error = "cannot write the marker files";
    }
  }
  return out;
}

}  // namespace twbench
