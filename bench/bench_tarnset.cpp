// Prints how long building the disc-set model (TarnSet::CMgr) takes, with
// the sections looked up in the file's list of section names (as the
// wizard does) and, for comparison, with every set and task number
// fetched: for the sample deployment's TarnSet.ini with the small and with
// the realistic generated data, and for the largest file the limits allow
// (100 sets, each with 100 DVD and 100 BD tasks, all valid). One plain
// read of the same file stands beside each figure for scale; for the
// largest file also the time of one bare section fetch, which bounds it.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "app/core/text.h"
#include "app/handles.h"
#include "test_support.h"
#include "app/msgbox.h"
#include "app/settings.h"
#include "config/act_ini.h"
#include "config/base_ini.h"
#include "config/tarnset.h"
#include "gendata.h"

namespace {

using bench::Now;
using bench::Median;

constexpr wchar_t kBenchKey[] = L"SOFTWARE\\Norvane\\TwBenchTarnSet";
constexpr wchar_t kRecovery[] = L"C:\\Recovery";
constexpr wchar_t kMarker[] = L"C:\\Recovery\\made_by_bench";

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
  double median = 0;  // seconds
  uint32_t sets = 0;
  uint64_t tasks = 0;
};

Timing BuildModel(const std::wstring& iniPath, TarnSet::SectionLookup lookup, int runs) {
  Timing timing;
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double start = Now();
    TarnSet::CMgr mgr(L"bench", iniPath, nullptr, lookup);
    times.push_back(Now() - start);
    timing.sets = mgr.InfoCount;
    timing.tasks = 0;
    for (uint32_t s = 0; s < mgr.InfoCount; ++s) {
      timing.tasks += mgr.GetTaskCountInInfo(s, 0) + mgr.GetTaskCountInInfo(s, 1);
    }
  }
  timing.median = Median(times);
  return timing;
}

double PlainRead(const std::wstring& path) {
  std::vector<double> times;
  for (int i = 0; i < 9; ++i) times.push_back(PlainReadSeconds(path));
  return Median(times);
}

uint64_t FileBytes(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The model built both ways in turn, and the plain read, medians of `runs`.
void Report(const char* label, const std::wstring& iniPath, int runs) {
  std::vector<double> listed, every;
  Timing t;
  for (int i = 0; i < runs; ++i) {
    t = BuildModel(iniPath, TarnSet::SectionLookup::Listed, 1);
    listed.push_back(t.median);
    every.push_back(BuildModel(iniPath, TarnSet::SectionLookup::EveryNumber, 1).median);
  }
  const double read = PlainRead(iniPath);
  std::printf("%s (%u sets, %llu tasks; file %llu bytes):\n", label, t.sets, static_cast<unsigned long long>(t.tasks),
              static_cast<unsigned long long>(FileBytes(iniPath)));
  std::printf("  listed sections only %8.2f ms = %5.1f plain reads   (every number fetched %8.2f ms = %6.1f)\n",
              Median(listed) * 1000, Median(listed) / read, Median(every) * 1000, Median(every) / read);
  std::printf("  one plain read of the file %.3f ms; medians of %d runs\n", read * 1000, runs);
}

// Time of one section fetch from the file, averaged over sections spread
// through it (the profile call searches the file's sections in order, so
// where a section lies matters): the bare profile call, or the section
// reader's fetch, which also checks the file and sizes its buffer from it.
std::wstring SpreadSection(int i) {
  const uint32_t set = 1 + (i * 37) % 100;
  const uint32_t task = 1 + (i * 53) % 100;
  return (i % 2 ? L"Task_BD1_" : L"Task_DVD1_") + std::to_wstring(set) + L"_" + std::to_wstring(task);
}

double SecondsPerFetch(const std::wstring& iniPath, int fetches, bool reader) {
  const DWORD capacity = static_cast<DWORD>(FileBytes(iniPath));
  std::vector<wchar_t> buffer(capacity);
  SectionBuffer section;
  const double start = Now();
  for (int i = 0; i < fetches; ++i) {
    if (reader) {
      CBaseIniMgr::GetTargetSecData(iniPath, SpreadSection(i), section);
    } else {
      ::GetPrivateProfileSectionW(SpreadSection(i).c_str(), buffer.data(), capacity, iniPath.c_str());
    }
  }
  return (Now() - start) / fetches;
}

void ReportLargest(const std::wstring& iniPath) {
  const Timing t = BuildModel(iniPath, TarnSet::SectionLookup::Listed, 1);
  const double fetch = SecondsPerFetch(iniPath, 200, false);
  const double readerFetch = SecondsPerFetch(iniPath, 200, true);
  // 100 titles (two calls each), 20000 task sections, one list of names.
  const double calls = 100 * 2 + 20000 + 1;
  std::printf("largest file (%u sets, %llu tasks; file %llu bytes, one plain read %.3f ms):\n", t.sets,
              static_cast<unsigned long long>(t.tasks), static_cast<unsigned long long>(FileBytes(iniPath)),
              PlainRead(iniPath) * 1000);
  std::printf("  model %.1f s; one bare section fetch %.2f ms, %.2f ms as the section reader fetches it\n", t.median,
              fetch * 1000, readerFetch * 1000);
  std::printf("  %.0f profile calls take %.1f s of it (%.0f%%), %.1f s (%.0f%%) with the reader's file checks;\n",
              calls, calls * fetch, 100 * calls * fetch / t.median, calls * readerFetch,
              100 * calls * readerFetch / t.median);
  std::printf("  the rest is checking the 20000 tasks against the recovery data\n");
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
    std::printf("TarnSet::CMgr construction:\n");
    Report("sample TarnSet.ini, small data, 2/8 MiB discs", sample, 11);
    ReportLargest(largest);
  }
  if (Generate(gendata::Scale::Realistic)) {
    tw::Settings().Dvd1SizeMiB = 4300;
    tw::Settings().Bd1SizeMiB = 23700;
    Report("sample TarnSet.ini, realistic data, real discs", sample, 11);
  }

  twtest::RemoveTree(kRecovery);
  ::DeleteFileW(largest.c_str());
  key.reset();
  ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kBenchKey, KEY_WOW64_32KEY, 0);
  return 0;
}
