#include "disc_verifier.h"

#include <atomic>
#include <vector>

#include "app/core/text.h"
#include "app/file_read.h"
#include "app/handles.h"

namespace tw {
namespace verify {
namespace {

// Reads go in blocks of this size; a multiple of the 2048-byte sectors of
// optical discs, so that raw reads of the drive stay aligned.
constexpr DWORD kChunk = 1u << 20;
constexpr DWORD kSector = 2048;
// A burn file list of 100,000 files is a few megabytes.
constexpr uint64_t kMaxListBytes = 256ull << 20;

std::atomic<HANDLE (*)(wchar_t)> g_openRawDrive{nullptr};
std::atomic<void (*)(uint32_t)> g_beforeRead{nullptr};

// Page-aligned memory, as raw reads of a drive need, freed on every path.
class AlignedBuffer {
 public:
  explicit AlignedBuffer(DWORD size)
      : data_(static_cast<unsigned char*>(::VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}
  ~AlignedBuffer() {
    if (data_) ::VirtualFree(data_, 0, MEM_RELEASE);
  }
  AlignedBuffer(const AlignedBuffer&) = delete;
  AlignedBuffer& operator=(const AlignedBuffer&) = delete;
  unsigned char* get() const { return data_; }

 private:
  unsigned char* data_;
};

UniqueFile OpenForReading(const std::wstring& path) {
  return UniqueFile(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

HANDLE OpenRawDrive(wchar_t letter) {
  if (auto hook = g_openRawDrive.load()) return hook(letter);
  const std::wstring device = std::wstring(L"\\\\.\\") + letter + L":";
  return ::CreateFileW(device.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                       nullptr);
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

Result Failed(Outcome outcome, const std::wstring& path, uint32_t error = 0, uint64_t offset = 0) {
  Result r;
  r.outcome = outcome;
  r.path = path;
  r.error = error;
  r.offset = offset;
  return r;
}

bool FileSize(const std::wstring& path, uint64_t* size) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  *size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

// Reads up to `size` bytes; false with the system's error on failure.
bool ReadBlock(HANDLE file, unsigned char* buffer, DWORD size, DWORD* got) {
  *got = 0;
  return ::ReadFile(file, buffer, size, got, nullptr) != FALSE;
}

// The two blocks a comparison reads into, made once per read-back: a disc
// of a thousand small files would otherwise map and unmap them per file.
struct Blocks {
  AlignedBuffer a{kChunk}, b{kChunk};
  bool ok() const { return a.get() && b.get(); }
};

// Compares `length` bytes of the source with the disc side, block by block.
// The disc side is read in whole sectors when `sectors` (a drive read raw).
Result CompareStreams(HANDLE source, HANDLE disc, uint64_t length, bool sectors, const std::wstring& sourcePath,
                      const std::wstring& discPath, const Blocks& blocks, Progress& progress) {
  const AlignedBuffer& a = blocks.a;
  const AlignedBuffer& b = blocks.b;
  for (uint64_t at = 0; at < length;) {
    if (progress.Cancelled()) return Failed(Outcome::kCancelled, discPath, 0, at);
    const DWORD want = static_cast<DWORD>(length - at < kChunk ? length - at : kChunk);
    const DWORD discWant = sectors ? (want + kSector - 1) / kSector * kSector : want;
    if (auto pace = g_beforeRead.load()) pace(discWant);
    DWORD gotSource = 0, gotDisc = 0;
    if (!ReadBlock(source, a.get(), want, &gotSource)) return Failed(Outcome::kReadError, sourcePath, ::GetLastError(), at);
    if (gotSource != want) return Failed(Outcome::kReadError, sourcePath, ERROR_HANDLE_EOF, at + gotSource);
    if (!ReadBlock(disc, b.get(), discWant, &gotDisc)) return Failed(Outcome::kReadError, discPath, ::GetLastError(), at);
    if (gotDisc < want) return Failed(Outcome::kReadError, discPath, ERROR_HANDLE_EOF, at + gotDisc);
    if (const auto differs = FirstDifference(a.get(), b.get(), want)) {
      return Failed(Outcome::kDiffers, discPath, 0, at + *differs);
    }
    at += want;
    progress.Advance(want);
  }
  return Result{};
}

Result CompareFile(const Item& item, uint64_t size, const Blocks& blocks, Progress& progress) {
  UniqueFile disc(OpenForReading(item.onDisc));
  if (!disc) {
    const DWORD error = ::GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return Failed(missing ? Outcome::kMissing : Outcome::kReadError, item.onDisc, error);
  }
  LARGE_INTEGER discSize{};
  if (!::GetFileSizeEx(disc.get(), &discSize)) return Failed(Outcome::kReadError, item.onDisc, ::GetLastError());
  if (static_cast<uint64_t>(discSize.QuadPart) != size) {
    Result r = Failed(Outcome::kSizeDiffers, item.onDisc);
    r.expected = size;
    r.found = static_cast<uint64_t>(discSize.QuadPart);
    return r;
  }
  UniqueFile source(OpenForReading(item.source));
  if (!source) return Failed(Outcome::kReadError, item.source, ::GetLastError());
  return CompareStreams(source.get(), disc.get(), size, false, item.source, item.onDisc, blocks, progress);
}

Result CompareImage(const Item& item, wchar_t letter, uint64_t size, const Blocks& blocks, Progress& progress) {
  UniqueFile drive(OpenRawDrive(letter));
  if (!drive) return Failed(Outcome::kNotVerifiable, item.onDisc, ::GetLastError());
  UniqueFile source(OpenForReading(item.source));
  if (!source) return Failed(Outcome::kReadError, item.source, ::GetLastError());
  // A drive that refuses its very first sector cannot be read raw at all:
  // the disc counts as the engine said. Later failures are read errors.
  AlignedBuffer probe(kSector);
  DWORD got = 0;
  if (!probe.get() || !ReadBlock(drive.get(), probe.get(), kSector, &got)) {
    return Failed(Outcome::kNotVerifiable, item.onDisc, probe.get() ? ::GetLastError() : ERROR_NOT_ENOUGH_MEMORY);
  }
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(drive.get(), start, nullptr, FILE_BEGIN)) {
    return Failed(Outcome::kNotVerifiable, item.onDisc, ::GetLastError());
  }
  return CompareStreams(source.get(), drive.get(), size, true, item.source, item.onDisc, blocks, progress);
}

}  // namespace

void SetHooks(const Hooks& hooks) {
  g_openRawDrive = hooks.openRawDrive;
  g_beforeRead = hooks.beforeRead;
}

Result VerifyDisc(wchar_t driveLetter, const std::wstring& listPath, Progress& progress) {
  const FileBytes list = ReadWholeFile(listPath, kMaxListBytes);
  if (!list.ok() || list.bytes.size() < 2) return Failed(Outcome::kBadList, listPath, list.error);
  const auto lines = ParseBurnList(FromUtf16Le(list.bytes.substr(2)));
  if (!lines) return Failed(Outcome::kBadList, listPath);
  const std::vector<Item> items = ItemsOf(*lines, driveLetter, IsFolder);

  // A drive without its disc (the engine may have ejected it) shows no root.
  const std::wstring root = std::wstring(1, driveLetter) + L":\\";
  if (::GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES) {
    return Failed(Outcome::kNoDisc, root, ::GetLastError());
  }

  std::vector<uint64_t> sizes(items.size(), 0);
  uint64_t total = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].kind == ItemKind::kFolder) continue;
    if (!FileSize(items[i].source, &sizes[i])) return Failed(Outcome::kReadError, items[i].source, ::GetLastError());
    total += sizes[i];
  }
  progress.Total(total);
  const Blocks blocks;
  if (!blocks.ok()) return Failed(Outcome::kReadError, root, ERROR_NOT_ENOUGH_MEMORY);

  for (size_t i = 0; i < items.size(); ++i) {
    const Item& item = items[i];
    if (progress.Cancelled()) return Failed(Outcome::kCancelled, item.onDisc);
    Result r;
    switch (item.kind) {
      case ItemKind::kFolder:
        if (!IsFolder(item.onDisc)) r = Failed(Outcome::kMissing, item.onDisc, ::GetLastError());
        break;
      case ItemKind::kFile:
        r = CompareFile(item, sizes[i], blocks, progress);
        break;
      case ItemKind::kImage:
        r = CompareImage(item, driveLetter, sizes[i], blocks, progress);
        break;
    }
    if (r.outcome != Outcome::kVerified) return r;
  }
  return Result{};
}

}  // namespace verify
}  // namespace tw
