#include "engine.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <memory>

#include "common/standin.h"

namespace kscore {
namespace {

constexpr DWORD kChunk = 256 * 1024;

struct FileCloser {
  void operator()(HANDLE h) const {
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
  }
};
using File = std::unique_ptr<void, FileCloser>;

File OpenRead(const std::wstring& path) {
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  return File(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

File OpenReadWrite(const std::wstring& path, DWORD access) {
  HANDLE h = ::CreateFileW(path.c_str(), access, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return File(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

File CreateWrite(const std::wstring& path) {
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return File(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

bool ReadAll(const std::wstring& path, std::string& bytes) {
  File file = OpenRead(path);
  if (!file) return false;
  bytes.clear();
  std::vector<char> chunk(kChunk);
  DWORD got = 0;
  while (::ReadFile(file.get(), chunk.data(), kChunk, &got, nullptr)) {
    if (got == 0) return true;
    bytes.append(chunk.data(), got);
  }
  return false;
}

uint64_t FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool MakeFolders(const std::wstring& path) {
  for (size_t pos = path.find(L'\\', 3); pos != std::wstring::npos; pos = path.find(L'\\', pos + 1)) {
    const std::wstring part = path.substr(0, pos);
    if (!standin::FolderExists(part) && !::CreateDirectoryW(part.c_str(), nullptr)) return false;
  }
  return standin::FolderExists(path) || ::CreateDirectoryW(path.c_str(), nullptr);
}

std::wstring ParentOf(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring NameOf(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// Deletes everything in `folder` except the marker file.
bool EmptyFolder(const std::wstring& folder, bool top) {
  WIN32_FIND_DATAW data;
  HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  bool ok = true;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (top && _wcsicmp(name.c_str(), kDiscMarker) == 0) continue;
    const std::wstring full = folder + L"\\" + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ok = EmptyFolder(full, false) && ::RemoveDirectoryW(full.c_str()) && ok;
    } else {
      ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      ok = ::DeleteFileW(full.c_str()) && ok;
    }
  } while (::FindNextFileW(find, &data));
  ::FindClose(find);
  return ok;
}

// A disc path must stay inside the disc: rooted, no drive, no "..".
bool IsSafeDiscPath(const std::wstring& path) {
  if (path.size() < 2 || path[0] != L'\\') return false;
  if (path.find(L':') != std::wstring::npos || path.find(L'/') != std::wstring::npos) return false;
  size_t start = 1;
  while (start <= path.size()) {
    size_t end = path.find(L'\\', start);
    if (end == std::wstring::npos) end = path.size();
    const std::wstring part = path.substr(start, end - start);
    if (part.empty() || part == L"." || part == L"..") return false;
    start = end + 1;
  }
  return true;
}

struct Written {
  std::wstring source, target;
};

// Copies one file in chunks, reporting progress and honouring Cancel.
DWORD CopyOne(const std::wstring& source, const std::wstring& target, uint64_t& done, uint64_t total,
              Reporter& reporter) {
  File in = OpenRead(source);
  if (!in) return kSourceMissing;
  if (!MakeFolders(ParentOf(target))) return kWriteError;
  File out = CreateWrite(target);
  if (!out) return kWriteError;
  std::vector<char> chunk(kChunk);
  for (;;) {
    if (reporter.Cancelled()) return kCancelled;
    DWORD got = 0;
    if (!::ReadFile(in.get(), chunk.data(), kChunk, &got, nullptr)) return kWriteError;
    if (got == 0) return kSuccess;
    DWORD put = 0;
    if (!::WriteFile(out.get(), chunk.data(), got, &put, nullptr) || put != got) return kWriteError;
    done += got;
    reporter.Fraction(done, total);
  }
}

// Reads a written file back and compares it with its source.
DWORD VerifyOne(const Written& file, uint64_t& done, uint64_t total, Reporter& reporter) {
  File disc = OpenRead(file.target);
  if (!disc) return kReadBackError;
  File source = OpenRead(file.source);
  if (!source) return kReadBackError;
  std::vector<char> a(kChunk), b(kChunk);
  for (;;) {
    if (reporter.Cancelled()) return kCancelled;
    DWORD gotDisc = 0, gotSource = 0;
    if (!::ReadFile(disc.get(), a.data(), kChunk, &gotDisc, nullptr)) return kReadBackError;
    if (!::ReadFile(source.get(), b.data(), kChunk, &gotSource, nullptr)) return kReadBackError;
    if (gotDisc != gotSource || std::memcmp(a.data(), b.data(), gotDisc) != 0) return kVerifyMismatch;
    if (gotDisc == 0) return kSuccess;
    done += gotDisc;
    reporter.Fraction(done, total);
  }
}

// Test settings: damage a written file (one byte changed at `at`, or a byte
// added to an empty file), so that a reader of the disc has something to
// find. Returns the offset damaged.
uint64_t Corrupt(const std::wstring& path, uint64_t at = 0) {
  File h = OpenReadWrite(path, GENERIC_READ | GENERIC_WRITE);
  if (!h) return 0;
  LARGE_INTEGER size{}, position{};
  if (!::GetFileSizeEx(h.get(), &size) || size.QuadPart == 0) {
    DWORD n = 0;
    ::WriteFile(h.get(), "X", 1, &n, nullptr);
    return 0;
  }
  if (at >= static_cast<uint64_t>(size.QuadPart)) at = 0;
  position.QuadPart = static_cast<LONGLONG>(at);
  char byte = 0;
  DWORD n = 0;
  if (::SetFilePointerEx(h.get(), position, nullptr, FILE_BEGIN) && ::ReadFile(h.get(), &byte, 1, &n, nullptr) &&
      n == 1) {
    byte = static_cast<char>(byte ^ 0x5A);
    ::SetFilePointerEx(h.get(), position, nullptr, FILE_BEGIN);
    ::WriteFile(h.get(), &byte, 1, &n, nullptr);
  }
  return at;
}

uint64_t SizeOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Cuts a file to half its size (a disc whose writing stopped early).
void CutShort(const std::wstring& path) {
  LARGE_INTEGER half{};
  half.QuadPart = static_cast<LONGLONG>(SizeOf(path) / 2);
  File h = OpenReadWrite(path, GENERIC_WRITE);
  if (h && ::SetFilePointerEx(h.get(), half, nullptr, FILE_BEGIN)) ::SetEndOfFile(h.get());
}

}  // namespace

std::wstring JobPathFromCommandLine(const std::wstring& commandLine) {
  // Skip the program's own path, quoted or not.
  size_t pos = 0;
  if (!commandLine.empty() && commandLine[0] == L'"') {
    const size_t close = commandLine.find(L'"', 1);
    pos = close == std::wstring::npos ? commandLine.size() : close + 1;
  } else {
    pos = commandLine.find(L' ');
    if (pos == std::wstring::npos) pos = commandLine.size();
  }
  for (; pos + 3 <= commandLine.size(); ++pos) {
    if (commandLine[pos] == L'/' && std::towupper(commandLine[pos + 1]) == L'F' && commandLine[pos + 2] == L':') {
      std::wstring path = commandLine.substr(pos + 3);
      while (!path.empty() && (path.back() == L' ' || path.back() == L'\t')) path.pop_back();
      // Quotes around the path or the whole argument are not part of it
      // (a Windows path cannot hold one).
      path.erase(std::remove(path.begin(), path.end(), L'"'), path.end());
      return path;
    }
  }
  return std::wstring();
}

DWORD ReadJob(const std::wstring& path, Job& job) {
  if (path.empty() || !standin::FileExists(path)) return kBadJobFile;
  job.mainTitle = standin::IniString(path, L"MainUI", L"WndTitle");
  job.progressTitle = standin::IniString(path, L"ProgressUI", L"Title");
  job.discTitle = standin::IniString(path, L"WriteInfo", L"Title");
  job.writingType = standin::IniString(path, L"WriteInfo", L"WritingType");
  job.writeData = standin::IniString(path, L"WriteInfo", L"WriteData");
  job.bootImg = standin::IniString(path, L"WriteInfo", L"BootImg");
  job.bootImgType = standin::IniString(path, L"WriteInfo", L"BootImgType");
  job.odd = standin::IniString(path, L"WriteInfo", L"ODD");
  job.disc = standin::IniString(path, L"WriteInfo", L"Disc");
  job.volumeLabel = standin::IniString(path, L"Option", L"VolumeLabel");
  const bool knownType = job.writingType == L"ISO" || job.writingType == L"Files" ||
                         job.writingType == L"Files_Bootable";
  if (!knownType || job.writeData.empty() || job.odd.empty() || job.disc.empty()) return kBadJobFile;
  if (job.writingType == L"Files_Bootable" && job.bootImg.empty()) return kBadJobFile;
  return kSuccess;
}

DWORD ParseBurnList(const std::wstring& text, bool iso, std::vector<ListEntry>& entries) {
  entries.clear();
  size_t pos = 0;
  for (;;) {
    const size_t end = text.find(L"\r\n", pos);
    if (end == std::wstring::npos) return kBadBurnList;  // not closed by the empty line
    if (end == pos) break;
    const std::wstring line = text.substr(pos, end - pos);
    const size_t tab = line.find(L'\t');
    if (tab == std::wstring::npos || tab == 0) return kBadBurnList;
    ListEntry entry{line.substr(0, tab), line.substr(tab + 1)};
    if (iso ? !entry.discPath.empty() : !IsSafeDiscPath(entry.discPath)) return kBadBurnList;
    entries.push_back(entry);
    pos = end + 2;
  }
  if (iso && entries.size() != 1) return kBadBurnList;
  return kSuccess;
}

DWORD ReadBurnList(const std::wstring& path, bool iso, std::vector<ListEntry>& entries) {
  std::string bytes;
  if (!ReadAll(path, bytes)) return kBadBurnList;
  if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE' || bytes.size() % 2 != 0) return kBadBurnList;
  std::wstring text((bytes.size() - 2) / 2, L'\0');
  std::memcpy(&text[0], bytes.data() + 2, bytes.size() - 2);
  return ParseBurnList(text, iso, entries);
}

namespace {

// What the last disc of a drive holds, beside the settings as "Disc_<letter>.lst"
// (UTF-16 with byte order mark, lines "path on disc<TAB>source"), so that a
// demonstration can show and check every file of every disc it made.
void WriteManifest(const std::wstring& ini, const std::wstring& letter, const std::vector<Written>& written) {
  const size_t slash = ini.rfind(L'\\');
  const std::wstring path = (slash == std::wstring::npos ? std::wstring() : ini.substr(0, slash + 1)) + L"Disc_" + letter + L".lst";
  std::wstring text(1, L'\xFEFF');
  for (const Written& file : written) text += file.target + L"\t" + file.source + L"\r\n";
  HANDLE out = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return;
  DWORD done = 0;
  ::WriteFile(out, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &done, nullptr);
  ::CloseHandle(out);
}

// An ISO disc's sectors are its image: where a test asks for them
// ([RawImages] <letter>=<file>), the image is also written there, for a
// stand-in of the drive's raw reads to serve.
bool WriteRawImage(const std::wstring& ini, const std::wstring& letter, const std::wstring& image) {
  const std::wstring raw = standin::IniString(ini, L"RawImages", letter.c_str());
  return raw.empty() || ::CopyFileW(image.c_str(), raw.c_str(), FALSE) != FALSE;
}

// Test setting: once, after a run that succeeded, spoil what a reader of
// the disc will find ([Test] SpoilOnce): "damage" changes the byte in the
// middle of the first written file (or of the raw image of an ISO disc),
// "short" cuts that file to half its size, "remove" deletes it, "eject"
// moves the disc's folder aside (to "<folder>.ejected"), as if the drive
// had ejected the disc. What was spoiled is recorded in [State]
// (SpoiledFile, SpoiledAt: the disc's path and the byte changed).
void SpoilOnce(const std::wstring& ini, const std::wstring& letter, const std::wstring& disc,
               const std::vector<Written>& written, bool iso) {
  const std::wstring how = standin::IniString(ini, L"Test", L"SpoilOnce");
  if (how.empty() || standin::IniNumber(ini, L"State", L"SpoiledOnce", 0) != 0) return;
  standin::WriteIni(ini, L"State", L"SpoiledOnce", L"1");
  const std::wstring raw = standin::IniString(ini, L"RawImages", letter.c_str());
  const std::wstring target = iso && !raw.empty() ? raw : written.empty() ? std::wstring() : written.front().target;
  if (how == L"eject") {
    ::MoveFileW(disc.c_str(), (disc + L".ejected").c_str());
    return;
  }
  if (target.empty()) return;
  if (how == L"damage") {
    const uint64_t at = Corrupt(target, SizeOf(target) / 2);
    standin::WriteIni(ini, L"State", L"SpoiledAt", std::to_wstring(at).c_str());
  } else if (how == L"short") {
    CutShort(target);
  } else if (how == L"remove") {
    ::DeleteFileW(target.c_str());
  }
  standin::WriteIni(ini, L"State", L"SpoiledFile", target.c_str());
}

}  // namespace

DWORD Burn(const std::wstring& ini, const Job& job, Reporter& reporter) {
  reporter.Phase(L"Preparing");
  const bool iso = job.writingType == L"ISO";
  const bool bootable = job.writingType == L"Files_Bootable";
  std::vector<ListEntry> list;
  if (DWORD code = ReadBurnList(job.writeData, iso, list)) return code;

  uint64_t total = 0;
  for (const ListEntry& entry : list) {
    if (::GetFileAttributesW(entry.source.c_str()) == INVALID_FILE_ATTRIBUTES) return kSourceMissing;
    total += FileSize(entry.source);
  }
  if (bootable) {
    if (!standin::FileExists(job.bootImg)) return kSourceMissing;
    total += FileSize(job.bootImg);
  }

  const std::wstring letter(1, static_cast<wchar_t>(std::towupper(job.odd[0])));
  const std::wstring disc = standin::IniString(ini, L"Drives", letter.c_str());
  if (disc.empty() || !standin::FolderExists(disc)) return kNoSuchDrive;
  // Only a folder marked as a virtual disc is ever emptied.
  if (!standin::FileExists(disc + L"\\" + kDiscMarker)) return kNotVirtualDisc;

  if (!standin::HasIniKey(ini, L"Capacity", job.disc.c_str())) return kBadJobFile;
  const uint64_t capacity = static_cast<uint64_t>(standin::IniNumber(ini, L"Capacity", job.disc.c_str(), 0)) << 20;
  if (total > capacity) return kDiscTooSmall;

  reporter.Phase(L"Formatting the disc");
  if (!EmptyFolder(disc, true)) return kEraseError;

  std::vector<Written> written;
  uint64_t done = 0;
  for (const ListEntry& entry : list) {
    const std::wstring target = disc + (iso ? L"\\" + NameOf(entry.source) : entry.discPath);
    if (standin::FolderExists(entry.source)) {
      if (!MakeFolders(target)) return kWriteError;
      continue;
    }
    reporter.Phase(L"Writing " + (iso ? NameOf(entry.source) : entry.discPath));
    if (DWORD code = CopyOne(entry.source, target, done, total * 2, reporter)) return code;
    written.push_back({entry.source, target});
  }
  if (bootable) {
    const std::wstring target = disc + L"\\[BOOT]\\" + NameOf(job.bootImg);
    reporter.Phase(L"Writing the boot image");
    if (DWORD code = CopyOne(job.bootImg, target, done, total * 2, reporter)) return code;
    written.push_back({job.bootImg, target});
  }

  const std::wstring marker = disc + L"\\" + kDiscMarker;
  standin::WriteIni(marker, L"Disc", L"Title", job.discTitle);
  standin::WriteIni(marker, L"Disc", L"VolumeLabel", job.volumeLabel);
  standin::WriteIni(marker, L"Disc", L"Type", job.disc);
  standin::WriteIni(marker, L"Disc", L"WritingType", job.writingType);
  standin::WriteIni(marker, L"Disc", L"BootImgType", bootable ? job.bootImgType : L"");
  standin::WriteIni(marker, L"Disc", L"Files", std::to_wstring(written.size()));

  if (standin::IniNumber(ini, L"Test", L"CorruptAfterWrite", 0) != 0 && !written.empty()) {
    Corrupt(written.front().target);
  }

  reporter.Phase(L"Verifying");
  for (const Written& file : written) {
    if (DWORD code = VerifyOne(file, done, total * 2, reporter)) return code;
  }
  reporter.Fraction(1, 1);
  if (iso && !list.empty() && !WriteRawImage(ini, letter, list.front().source)) return kWriteError;
  WriteManifest(ini, letter, written);
  SpoilOnce(ini, letter, disc, written, iso);
  return kSuccess;
}

}  // namespace kscore
