// Prints how long building the disc-set model (TarnSet::CMgr) takes: for the
// sample deployment's TarnSet.ini with the small and with the realistic
// generated data, and for the largest file the limits allow (100 sets, each
// with 100 DVD and 100 BD tasks, all valid). One plain read of the same
// file stands beside each figure for scale.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/core/text.h"
#include "app/handles.h"
#include "test_support.h"
#include "app/msgbox.h"
#include "app/settings.h"
#include "config/act_ini.h"
#include "config/tarnset.h"
#include "gendata.h"

namespace {

constexpr wchar_t kBenchKey[] = L"SOFTWARE\\Norvane\\TwBenchTarnSet";
constexpr wchar_t kRecovery[] = L"C:\\Recovery";
constexpr wchar_t kMarker[] = L"C:\\Recovery\\made_by_bench";

double Now() {
  LARGE_INTEGER frequency, counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring Deployment() { return twtest::HostPath(TW_SOURCE_DIR "/demo/deployment"); }

// Reads the whole file once, as the fastest thing any reader could do.
double PlainReadSeconds(const std::wstring& path) {
  const double start = Now();
  tw::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  std::vector<char> buffer(1 << 20);
  DWORD read = 0;
  while (file && ::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read) {
  }
  return Now() - start;
}

struct Timing {
  double best = 1e9;
  uint32_t sets = 0;
  uint64_t tasks = 0;
};

Timing BuildModel(const std::wstring& iniPath, int runs) {
  Timing timing;
  for (int i = 0; i < runs; ++i) {
    const double start = Now();
    TarnSet::CMgr mgr(L"bench", iniPath);
    timing.best = std::min(timing.best, Now() - start);
    timing.sets = mgr.InfoCount;
    timing.tasks = 0;
    for (uint32_t s = 0; s < mgr.InfoCount; ++s) {
      timing.tasks += mgr.GetTaskCountInInfo(s, 0) + mgr.GetTaskCountInInfo(s, 1);
    }
  }
  return timing;
}

uint64_t FileBytes(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void Report(const char* label, const std::wstring& iniPath, int runs) {
  const Timing t = BuildModel(iniPath, runs);
  double read = 1e9;
  for (int i = 0; i < 3; ++i) read = std::min(read, PlainReadSeconds(iniPath));
  std::printf("%-44s %9.1f ms  (%u sets, %llu tasks; file %llu bytes, one plain read %.3f ms)\n", label,
              t.best * 1000.0, t.sets, static_cast<unsigned long long>(t.tasks),
              static_cast<unsigned long long>(FileBytes(iniPath)), read * 1000.0);
}

// The largest disc-set file the limits allow; the tasks cycle through the
// four types and all point at the generated sample data.
std::wstring WriteLargestFile(const std::wstring& folder) {
  struct Kind {
    const char* type;
    const char* folder;
    const char* extra;
  };
  const Kind kinds[] = {
      {"Files", "?:\\Recovery\\Drivers", "ExclusionList=?:\\Recovery\\Drivers_Exclusion.ini\r\n"},
      {"ISO", "?:\\Recovery\\Tools", ""},
      {"Image", "?:\\Recovery\\Image", ""},
      {"Files_Bootable", "?:\\Recovery\\BootDisc\\", "BootImg=?:\\Recovery\\Boot\\etfsboot.img\r\nBootImgType=0\r\n"},
  };
  std::string text;
  for (int set = 1; set <= 100; ++set) {
    text += "[Info_" + std::to_string(set) + "]\r\nTitle=Disc set " + std::to_string(set) + "\r\n";
    for (const char* type : {"DVD1", "BD1"}) {
      for (int task = 1; task <= 100; ++task) {
        const Kind& k = kinds[(set + task) % 4];
        text += "[Task_" + std::string(type) + "_" + std::to_string(set) + "_" + std::to_string(task) + "]\r\n";
        text += "Title=Disc " + std::to_string(task) + " of set " + std::to_string(set) + " %DiscNum%\r\n";
        text += "VolumeLabel=S" + std::to_string(set) + "_" + std::to_string(task) + "\r\n";
        text += std::string("Type=") + k.type + "\r\nFolder=" + k.folder + "\r\n";
        text += "Message=?:\\Recovery\\Messages\\Drivers.txt\r\n";
        text += k.extra;
        text += "Flag=?:\\Recovery\\Done\\S" + std::to_string(set) + "_" + type + "_" + std::to_string(task) +
                "_%DiscNum%.flg\r\n";
      }
    }
  }
  const std::wstring path = folder + L"\\TarnSet_largest.ini";
  tw::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
  DWORD written = 0;
  if (file) ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  return path;
}

bool Generate(gendata::Scale scale) {
  const gendata::Result result = gendata::Generate(scale, std::filesystem::path(L"C:\\"),
                                                   std::filesystem::path(Deployment() + L"\\recovery"), true);
  if (!result.ok) std::printf("cannot generate the recovery data: %s\n", result.error.c_str());
  tw::UniqueFile marker(::CreateFileW(kMarker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  return result.ok;
}


int AnswerOk(HWND, const wchar_t*, const wchar_t*, UINT) { return IDOK; }

}  // namespace

int main() {
  const DWORD attributes = ::GetFileAttributesW(kRecovery);
  if (attributes != INVALID_FILE_ATTRIBUTES && ::GetFileAttributesW(kMarker) == INVALID_FILE_ATTRIBUTES) {
    std::printf("C:\\Recovery exists and was not made by this benchmark; nothing measured.\n");
    return 1;
  }
  tw::SetMessageBoxHandler(&AnswerOk);
  // The recovery drive is C:, where the generated data lies.
  tw::UniqueKey key;
  ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kBenchKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr,
                    key.put(), nullptr);
  const wchar_t letter[] = L"C:";
  ::RegSetValueExW(key.get(), L"DRV3", 0, REG_SZ, reinterpret_cast<const BYTE*>(letter), sizeof(letter));
  const std::wstring program = Deployment() + L"\\program";
  const std::wstring sample = program + L"\\TarnSet.ini";

  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring largest = WriteLargestFile(tw::WithoutTrailingBackslash(temp));

  if (Generate(gendata::Scale::Small)) {
    LoadProcessWideActionSettings(program + L"\\Tarnwright_Act.ini");
    tw::Settings().StorageDriveRegKey = kBenchKey;
    tw::Settings().StorageDriveRegValueName = L"DRV3";
    std::printf("TarnSet::CMgr construction (best of runs):\n");
    Report("sample TarnSet.ini, small data, 2/8 MiB discs", sample, 10);
    Report("largest file, small data, 2/8 MiB discs", largest, 1);
  }
  if (Generate(gendata::Scale::Realistic)) {
    tw::Settings().Dvd1SizeMiB = 4300;
    tw::Settings().Bd1SizeMiB = 23700;
    Report("sample TarnSet.ini, realistic data, real discs", sample, 10);
  }

  twtest::RemoveTree(kRecovery);
  ::DeleteFileW(largest.c_str());
  key.reset();
  ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kBenchKey, KEY_WOW64_32KEY, 0);
  return 0;
}
