// Prints what reading a made disc back costs: a 4 GiB disc (files from
// 1 KiB to 2 GiB) written to the folder that plays drive E:'s disc, read
// back by the wizard's own comparison (`tw::verify::VerifyDisc` over the
// disc's burn file list) and, in the same run over the same files, by a
// plain read-and-compare loop of ours (two files side by side in 1 MiB
// blocks, memcmp). Its figures: the throughput of each (median of the rounds),
// their ratio, and the memory the comparison needed beyond the process's
// own at the start.
//
//   bench_verify.exe [--keep] [--mib N]
//
// --keep leaves the source files and the disc for the next run (and reuses
// those of an earlier run); --mib makes a smaller disc of about N MiB (the
// largest file about half of it) for a quick look.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/handles.h"
#include "bench_timing.h"
#include "steps/disc_verifier.h"
#include "test_support.h"

namespace {

using bench::Now;

constexpr int kRounds = 6;
constexpr DWORD kBlock = 1u << 20;
constexpr int kSmallFiles = 1024;  // of 1 KiB, in a folder of their own

struct DiscFile {
  std::wstring discPath;  // "\big\file_11.bin"
  uint64_t size = 0;
};

// 11 files of 1 MiB to 1 GiB doubling, one of 2 GiB, and 1024 of 1 KiB: 4 GiB
// in all (scaled down with --mib).
std::vector<DiscFile> Layout(uint64_t totalMiB) {
  std::vector<DiscFile> files;
  uint64_t largest = (totalMiB / 2) << 20;
  for (int i = 0; largest >= kBlock; ++i, largest /= 2) {
    // Every size but the largest is a little off a whole block, so that the
    // comparison's last block of a file is a short one.
    const uint64_t size = i == 0 ? largest : largest - 4096 * static_cast<uint64_t>(i) + 17;
    files.push_back({L"\\big\\file_" + std::to_wstring(i) + L".bin", size});
  }
  for (int i = 0; i < kSmallFiles; ++i) files.push_back({L"\\small\\piece_" + std::to_wstring(i) + L".bin", 1024});
  return files;
}

// Fills a file with bytes that differ from block to block (no run of zeros
// a file system could keep sparse), in 1 MiB writes.
bool WriteFileOfSize(const std::wstring& path, uint64_t size, uint32_t seed) {
  tw::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
  if (!file) return false;
  std::vector<uint32_t> block(kBlock / 4);
  uint32_t x = seed * 2654435761u + 1;
  for (uint64_t at = 0; at < size;) {
    for (uint32_t& word : block) {
      x ^= x << 13;
      x ^= x >> 17;
      x ^= x << 5;
      word = x;
    }
    const DWORD want = static_cast<DWORD>(std::min<uint64_t>(kBlock, size - at));
    DWORD written = 0;
    if (!::WriteFile(file.get(), block.data(), want, &written, nullptr) || written != want) return false;
    at += want;
  }
  return true;
}

uint64_t SizeOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return ~0ull;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The source files and their copies on the disc; files already there with
// their sizes are kept (a run with --keep before).
bool MakeDisc(const std::wstring& source, const std::wstring& disc, const std::vector<DiscFile>& files) {
  for (const std::wstring& root : {source, disc}) {
    ::CreateDirectoryW(root.c_str(), nullptr);
    ::CreateDirectoryW((root + L"\\big").c_str(), nullptr);
    ::CreateDirectoryW((root + L"\\small").c_str(), nullptr);
  }
  uint32_t seed = 1;
  for (const DiscFile& f : files) {
    const std::wstring from = source + f.discPath, to = disc + f.discPath;
    if (SizeOf(from) != f.size && !WriteFileOfSize(from, f.size, seed)) return false;
    if (SizeOf(to) != f.size && !::CopyFileW(from.c_str(), to.c_str(), FALSE)) return false;
    ++seed;
  }
  return true;
}

// The disc's burn file list as the make-disc step writes it: UTF-16 with
// its byte-order mark, "source TAB disc path" per line, an empty last line.
// The disc paths lie under `discFolder` of the drive's root.
bool WriteList(const std::wstring& path, const std::wstring& source, const std::wstring& discFolder,
               const std::vector<DiscFile>& files) {
  std::wstring text;
  for (const DiscFile& f : files) text += source + f.discPath + L"\t" + discFolder + f.discPath + L"\r\n";
  text += L"\r\n";
  twtest::WriteTextFile(path, text);
  return SizeOf(path) == 2 + text.size() * 2;
}

// What any read-back costs at least: both files read side by side in 1 MiB
// blocks and compared with memcmp.
bool PlainCompare(const std::wstring& a, const std::wstring& b, std::vector<char>& x, std::vector<char>& y,
                  uint64_t* bytes) {
  tw::UniqueFile fa(::CreateFileW(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  tw::UniqueFile fb(::CreateFileW(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!fa || !fb) return false;
  for (;;) {
    DWORD ga = 0, gb = 0;
    if (!::ReadFile(fa.get(), x.data(), kBlock, &ga, nullptr) || !::ReadFile(fb.get(), y.data(), kBlock, &gb, nullptr)) {
      return false;
    }
    if (ga != gb || std::memcmp(x.data(), y.data(), ga) != 0) return false;
    *bytes += ga;
    if (ga == 0) return true;
  }
}

PROCESS_MEMORY_COUNTERS Memory() {
  PROCESS_MEMORY_COUNTERS m{};
  m.cb = sizeof(m);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &m, sizeof(m));
  return m;
}

class Counting : public tw::verify::Progress {
 public:
  explicit Counting(bool sampleMemory) : sample_(sampleMemory) {}
  void Total(uint64_t bytes) override { total = bytes; }
  void Advance(uint64_t bytes) override {
    done += bytes;
    // The process's commit charge while the comparison holds its blocks
    // (the timed rounds do not sample: it would cost them time).
    if (sample_) highest = std::max<uint64_t>(highest, Memory().PagefileUsage);
  }
  bool Cancelled() const override { return false; }
  uint64_t total = 0, done = 0, highest = 0;

 private:
  bool sample_;
};

double MiB(uint64_t bytes) { return static_cast<double>(bytes) / 1048576.0; }

}  // namespace

int main(int argc, char** argv) {
  bool keep = false;
  uint64_t totalMiB = 4096;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--keep") keep = true;
    if (arg == "--mib" && i + 1 < argc) totalMiB = std::max<uint64_t>(4, std::strtoull(argv[++i], nullptr, 10));
  }
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, temp);
  std::wstring base = temp;
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  const std::wstring source = base + L"\\tw_bench_verify_source";
  const std::wstring list = base + L"\\tw_bench_verify.list";
  // Drive E:'s disc is a folder in every prefix of ours; it is read back
  // through the drive's letter, as the wizard reads a made disc.
  const wchar_t letter = L'E';
  const std::wstring discFolder = L"\\tw_bench_verify";
  const std::wstring disc = std::wstring(1, letter) + L":" + discFolder;
  const std::vector<DiscFile> files = Layout(totalMiB);

  uint64_t total = 0;
  for (const DiscFile& f : files) total += f.size;
  std::printf("writing a disc of %.0f MiB in %zu files (%.0f KiB to %.0f MiB) to E:...\n", MiB(total), files.size(),
              static_cast<double>(files.back().size) / 1024.0, MiB(files.front().size));
  const double made = Now();
  const bool ok = MakeDisc(source, disc, files) && WriteList(list, source, discFolder, files);
  std::printf(ok ? "made in %.1f s\n" : "FAILED to make the disc (%.1f s)\n", Now() - made);

  int status = ok ? 0 : 1;
  std::vector<double> plainTimes, wizardTimes;
  uint64_t plainBytes = 0, wizardBytes = 0;
  // The plain loop, with its two buffers of its own.
  auto plain = [&] {
    const double t = Now();
    std::vector<char> x(kBlock), y(kBlock);
    uint64_t bytes = 0;
    bool same = true;
    for (const DiscFile& f : files) same = PlainCompare(source + f.discPath, disc + f.discPath, x, y, &bytes) && same;
    plainTimes.push_back(Now() - t);
    plainBytes = bytes;
    if (!same) {
      std::printf("FAILED: the plain comparison found a difference\n");
      status = 1;
    }
  };
  // The wizard's comparison.
  auto wizard = [&] {
    Counting progress(false);
    const double t = Now();
    const tw::verify::Result r = tw::verify::VerifyDisc(letter, list, progress);
    wizardTimes.push_back(Now() - t);
    wizardBytes = progress.done;
    if (r.outcome != tw::verify::Outcome::kVerified || progress.done != total) {
      std::printf("FAILED: %ls (%llu of %llu bytes)\n", tw::verify::LogText(r).c_str(),
                  static_cast<unsigned long long>(progress.done), static_cast<unsigned long long>(total));
      status = 1;
    }
  };
  // Taking turns at going first, so that neither gains from what the other
  // left in the caches.
  for (int round = 0; status == 0 && round < kRounds; ++round) {
    if (round % 2) {
      wizard();
      plain();
    } else {
      plain();
      wizard();
    }
  }
  if (status == 0) {
    const double plainTime = bench::Median(plainTimes), wizardTime = bench::Median(wizardTimes);
    const double plainRate = MiB(plainBytes) / plainTime, wizardRate = MiB(wizardBytes) / wizardTime;
    std::printf("medians of %d rounds over %.0f MiB (each side read once):\n", kRounds, MiB(total));
    std::printf("  plain read and compare (1 MiB blocks, memcmp): %7.2f s  %7.1f MiB/s\n", plainTime, plainRate);
    std::printf("  the wizard's read-back (VerifyDisc):            %7.2f s  %7.1f MiB/s\n", wizardTime, wizardRate);
    std::printf("  ratio of throughputs (wizard / plain): %.2f   target at least 0.90\n", wizardRate / plainRate);

    // Memory: one more, untimed, read-back that samples the commit charge
    // after every block.
    const uint64_t before = Memory().PagefileUsage;
    Counting sampled(true);
    tw::verify::VerifyDisc(letter, list, sampled);
    std::printf("memory: %.1f MiB committed before the read-back, at most %.1f MiB during it "
                "(+%.1f MiB; largest file %.0f MiB)\n",
                MiB(before), MiB(sampled.highest), MiB(sampled.highest > before ? sampled.highest - before : 0),
                MiB(files.front().size));
  }

  if (!keep) {
    twtest::RemoveTree(source);
    twtest::RemoveTree(disc);
    ::DeleteFileW(list.c_str());
  }
  return status;
}
