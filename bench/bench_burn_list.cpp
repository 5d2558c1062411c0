// Prints what the burn file list of a "Files" disc costs over a generated
// tree of 100,000 files in nested folders, beside a bare recursive
// FindFirstFileW walk of the same tree in the same run, their ratio, and the
// process's peak memory. Also prints the list written with one WriteFile per
// line, to show what the list's buffer saves.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench_timing.h"
#include "app/handles.h"
#include "test_support.h"
#include "app/settings.h"
#include "steps/mk_disc_dlg.h"

namespace {

using bench::Now;

constexpr int kTop = 10, kMiddle = 10, kLeaf = 10, kFilesPerLeaf = 100;  // 100,000 files
constexpr int kRounds = 3;
constexpr wchar_t kStorageKey[] = L"Software\\Norvane\\TarnBenchBurnList";

std::wstring Folder(const std::wstring& root, int a, int b, int c) {
  return root + L"\\dir" + std::to_wstring(a) + L"\\sub" + std::to_wstring(b) + L"\\leaf" + std::to_wstring(c);
}

bool MakeTree(const std::wstring& root) {
  ::CreateDirectoryW(root.c_str(), nullptr);
  for (int a = 0; a < kTop; ++a) {
    ::CreateDirectoryW((root + L"\\dir" + std::to_wstring(a)).c_str(), nullptr);
    for (int b = 0; b < kMiddle; ++b) {
      ::CreateDirectoryW((root + L"\\dir" + std::to_wstring(a) + L"\\sub" + std::to_wstring(b)).c_str(), nullptr);
      for (int c = 0; c < kLeaf; ++c) {
        const std::wstring folder = Folder(root, a, b, c);
        ::CreateDirectoryW(folder.c_str(), nullptr);
        for (int f = 0; f < kFilesPerLeaf; ++f) {
          const std::wstring name = folder + L"\\recovery_piece_" + std::to_wstring(f) + L".bin";
          tw::UniqueFile file(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
          if (!file) return false;
          DWORD written = 0;
          ::WriteFile(file.get(), name.data(), static_cast<DWORD>((f % 7) * 16), &written, nullptr);
        }
      }
    }
  }
  return true;
}


// The bare walk: what any listing of the tree costs at least.
unsigned long long Walk(const std::wstring& folder) {
  unsigned long long entries = 0;
  WIN32_FIND_DATAW data;
  tw::UniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
  if (!find) return 0;
  do {
    if (data.cFileName[0] == L'.' &&
        (data.cFileName[1] == L'\0' || (data.cFileName[1] == L'.' && data.cFileName[2] == L'\0'))) {
      continue;
    }
    ++entries;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) entries += Walk(folder + L"\\" + data.cFileName);
  } while (::FindNextFileW(find.get(), &data));
  return entries;
}

// The list written with one WriteFile per line (a buffer too small for any line).
bool ListUnbuffered(const std::wstring& path, const std::wstring& root) {
  tw::UniqueFile handle(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return false;
  DWORD written = 0;
  const wchar_t mark = 0xFEFF;
  if (!::WriteFile(handle.get(), &mark, sizeof(mark), &written, nullptr)) return false;
  tw::BufferedFile file(handle.get(), 2);
  uint64_t total = 0;
  return MkDiscDlg::WriteBrnFilesInfo_Files(&file, root, root, nullptr, 0, nullptr, 0, &total, nullptr) &&
         file.Write(L"\r\n") && file.Flush();
}

std::wstring ExeFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  std::wstring path = buffer;
  return path.substr(0, path.rfind(L'\\'));
}

}  // namespace

int main(int argc, char** argv) {
  // "--keep-tree" keeps the generated tree for the next run (and reuses one
  // left by an earlier run), which saves most of a run's time.
  const bool keepTree = argc > 1 && std::string(argv[1]) == "--keep-tree";
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, temp);
  std::wstring base = temp;
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  const std::wstring root =
      base + (keepTree ? std::wstring(L"\\tw_bench_burn_tree") : L"\\tw_bench_burn_" + std::to_wstring(::GetCurrentProcessId()));
  const std::wstring list = root + L".list";
  const std::wstring listUnbuffered = root + L".list1";

  // The wizard's surroundings: an empty common exclusion list beside the
  // program and the storage drive letter that the list loader asks for.
  const std::wstring exclusion = ExeFolder() + L"\\TarnSet_Exclusion.ini";
  const bool ownExclusion = ::GetFileAttributesW(exclusion.c_str()) == INVALID_FILE_ATTRIBUTES;
  if (ownExclusion) {
    tw::UniqueFile file(::CreateFileW(exclusion.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) ::WriteFile(file.get(), "\xFF\xFE", 2, &written, nullptr);
  }
  HKEY key = nullptr;
  ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kStorageKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key,
                    nullptr);
  if (key) {
    const wchar_t letter[] = {root[0], L':', L'\0'};
    ::RegSetValueExW(key, L"Drive", 0, REG_SZ, reinterpret_cast<const BYTE*>(letter), sizeof(letter));
    ::RegCloseKey(key);
  }
  tw::Settings().StorageDriveRegKey = kStorageKey;
  tw::Settings().StorageDriveRegValueName = L"Drive";
  tw::Settings().Dvd1SizeMiB = 0xFFFFFu;

  std::printf("generating %d files in %d nested folders...\n", kTop * kMiddle * kLeaf * kFilesPerLeaf,
              kTop + kTop * kMiddle + kTop * kMiddle * kLeaf);
  const double made = Now();
  const bool reused = keepTree && Walk(root) == static_cast<unsigned long long>(kTop + kTop * kMiddle + kTop * kMiddle * kLeaf +
                                                                           kTop * kMiddle * kLeaf * kFilesPerLeaf);
  const bool ok = reused || MakeTree(root);
  std::printf(reused ? "tree reused\n" : "tree made in %.1f s\n", Now() - made);

  DiscEntry entry;
  entry.Title = L"Bench";
  entry.Type = 2;
  entry.Folder = root;

  double walkBest = 1e9, listBest = 1e9, unbufferedBest = 1e9;
  unsigned long long entries = 0;
  bool listed = ok, listedUnbuffered = ok;
  for (int round = 0; ok && round < kRounds; ++round) {
    double t = Now();
    entries = Walk(root);
    walkBest = std::min(walkBest, Now() - t);

    t = Now();
    listed = MkDiscDlg::CreateBrnFileListFile(list, 0, L"", entry) && listed;
    listBest = std::min(listBest, Now() - t);

    t = Now();
    listedUnbuffered = ListUnbuffered(listUnbuffered, root) && listedUnbuffered;
    unbufferedBest = std::min(unbufferedBest, Now() - t);
  }

  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));
  const std::string bytes = twtest::ReadBytes(list);

  if (!ok || !listed || !listedUnbuffered) {
    std::printf("FAILED: tree %d, list %d, unbuffered list %d (see the log)\n", ok, listed, listedUnbuffered);
  } else {
    std::printf("best of %d rounds over %llu entries:\n", kRounds, entries);
    std::printf("  bare FindFirstFileW walk:                 %8.3f s\n", walkBest);
    std::printf("  burn file list (64 KiB buffer):           %8.3f s   ratio to walk %.2f\n", listBest,
                listBest / walkBest);
    std::printf("  burn file list, one WriteFile per line:   %8.3f s   ratio to walk %.2f\n", unbufferedBest,
                unbufferedBest / walkBest);
    std::printf("  list file: %zu bytes; same bytes both ways: %s\n", bytes.size(),
                bytes == twtest::ReadBytes(listUnbuffered) ? "yes" : "NO");
  }
  std::printf("peak working set %.1f MiB, peak pagefile usage %.1f MiB\n",
              static_cast<double>(memory.PeakWorkingSetSize) / 1048576.0,
              static_cast<double>(memory.PeakPagefileUsage) / 1048576.0);

  if (!keepTree) twtest::RemoveTree(root);
  ::DeleteFileW(list.c_str());
  ::DeleteFileW(listUnbuffered.c_str());
  if (ownExclusion) ::DeleteFileW(exclusion.c_str());
  ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kStorageKey, KEY_WOW64_32KEY, 0);
  return 0;
}
