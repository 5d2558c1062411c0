#include "rcv_data.h"

#include <windows.h>

#include <algorithm>

#include "app/core/text.h"
#include "app/handles.h"
#include "app/log.h"
#include "app/msgbox.h"
#include "app/settings.h"
#include "app/syshelpers.h"
#include "config/core/rcv_members.h"
#include "config/core/rcv_packing.h"

namespace TarnSet {
namespace {

constexpr wchar_t kOversizedFileMessage[] =
    L"The size of one file in the specified folder is over the writable size of the disc.";

void ClearLayout(wchar_t* layout, uint32_t capacity) {
  if (layout) std::fill(layout, layout + capacity, L'\0');
}

// First entry of `folder` named "*.inf" that is a file whose extension is
// exactly "inf" (a folder, or a longer extension the pattern may also let
// through, is passed over).
bool FindInformationFile(const std::wstring& folder, std::wstring* path, DWORD* error) {
  const std::wstring pattern = folder + L"\\*.inf";
  WIN32_FIND_DATAW found{};
  tw::UniqueFind search(::FindFirstFileW(pattern.c_str(), &found));
  if (!search) {
    *error = ::GetLastError();
    return false;
  }
  do {
    const std::wstring name = found.cFileName;
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && tw::rcv::IsInformationFileName(name)) {
      *path = tw::JoinPath(folder, name);
      return true;
    }
  } while (::FindNextFileW(search.get(), &found));
  *error = ERROR_FILE_NOT_FOUND;
  return false;
}

// Records what stopped the enumeration for a caller that asked.
void Note(tw::pack::Problem* problem, tw::pack::Problem::Kind kind, const std::wstring& path, uint32_t error = 0) {
  if (!problem) return;
  problem->kind = kind;
  problem->path = path;
  problem->error = error;
}

bool ImageInfoAccepted(const std::wstring& imageInfo) {
  const tw::ProcessSettings& settings = tw::Settings();
  return tw::rcv::ImageInfoAccepted(imageInfo, settings.ImageInfo32, settings.ImageInfo64);
}

}  // namespace

bool ChkFileSizeAndAddRcvDataFileList(const std::wstring& path, uint64_t capacity, uint64_t* bytesUsed,
                                      uint32_t* discCount, uint32_t* fileCount, wchar_t* layout,
                                      uint32_t layoutCapacity, tw::pack::Problem* problem) {
  constexpr wchar_t kFn[] = L"TarnSet::ChkFileSizeAndAddRcvDataFileList";
  if (!bytesUsed || !discCount || !fileCount) {
    TW_LOG(kFn, path);
    Note(problem, tw::pack::Problem::kBadArguments, path);
    return false;
  }
  uint64_t size = 0;
  {
    tw::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER fileSize{};
    if (!file || !::GetFileSizeEx(file.get(), &fileSize)) {
      const DWORD error = ::GetLastError();
      TW_LOG(kFn, tw::Hex8With(error, path));
      Note(problem, tw::pack::Problem::kUnreadable, path, error);
      return false;
    }
    size = static_cast<uint64_t>(fileSize.QuadPart);
  }
  const bool firstFile = *fileCount == 0;
  const tw::pack::Placement placement = tw::pack::PlaceFile(capacity, size, *bytesUsed, *discCount, *fileCount);
  if (placement == tw::pack::Placement::TooLarge) {
    TW_LOG(kFn, tw::Hex64Halves(capacity) + L", " + tw::Hex64Halves(size) + L", " + path);
    Note(problem, tw::pack::Problem::kTooLarge, path);
    if (problem) {
      problem->size = size;
      problem->capacity = capacity;
    }
    ClearLayout(layout, layoutCapacity);
    tw::ShowMessageBox(nullptr, kOversizedFileMessage, tw::kFixedCaption, MB_OK | MB_ICONERROR);
    return false;
  }
  if (layout) {
    uint64_t needed = 0;
    if (!tw::pack::AppendLayoutFile(layout, layoutCapacity, path, firstFile,
                                    placement == tw::pack::Placement::NewDisc, needed)) {
      TW_LOG(kFn, tw::Hex8Pair(layoutCapacity, static_cast<uint32_t>(std::min<uint64_t>(needed, 0xFFFFFFFFu))));
      Note(problem, tw::pack::Problem::kLayoutFull, path);
      *discCount = 0;
      *fileCount = 0;
      return false;
    }
  }
  return true;
}

namespace {

// The set's information file (the first "*.inf" of `dir`), when its image
// kind is accepted; failures are logged under `fn`.
bool FindAcceptedInformationFile(const wchar_t* fn, const std::wstring& dir, std::wstring* infPath,
                                 tw::pack::Problem* problem) {
  DWORD findError = 0;
  if (!FindInformationFile(dir, infPath, &findError)) {
    TW_LOG(fn, tw::Hex8With(findError, dir + L"\\*.inf"));
    Note(problem, tw::pack::Problem::kNoInfoFile, dir, findError);
    return false;
  }
  wchar_t imageInfo[101] = {};
  ::GetPrivateProfileStringW(L"ImageFileInfo", L"ImageInfo", L"", imageInfo, 101, infPath->c_str());
  if (!ImageInfoAccepted(imageInfo)) {
    TW_LOG(fn, std::wstring(imageInfo) + L", " + *infPath);
    Note(problem, tw::pack::Problem::kImageInfoRejected, *infPath);
    if (problem) problem->imageInfo = imageInfo;
    return false;
  }
  return true;
}

// The running packing of one image set: where it writes its layout, and
// the bytes, discs and files counted so far.
struct MemberPacking {
  uint64_t capacity;
  wchar_t* layout;
  uint32_t layoutCapacity;
  tw::pack::Problem* problem;
  uint64_t bytesUsed = 0;
  uint32_t discs = 1;
  uint32_t files = 0;
};

// Packs the set's members in their order: the information file B.inf, then
// B.nv and B.crc (the latter only after the former), then the pieces from
// B.002 on, of which the first must exist. Failures are logged under `fn`.
bool PackMembers(const wchar_t* fn, const std::wstring& infPath, MemberPacking& p) {
  auto add = [&](const std::wstring& path) {
    return ChkFileSizeAndAddRcvDataFileList(path, p.capacity, &p.bytesUsed, &p.discs, &p.files, p.layout,
                                            p.layoutCapacity, p.problem);
  };
  if (!add(infPath)) return false;

  // B is the information file's path without its extension.
  const std::wstring base = infPath.substr(0, infPath.size() - 4);
  for (const wchar_t* companion : {L".nv", L".crc"}) {
    const std::wstring path = base + companion;
    if (!tw::IsExistingFile(path)) break;  // B.crc counts only after B.nv
    if (!add(path)) return false;
  }
  for (uint32_t piece = 1;; ++piece) {
    const std::wstring path = tw::rcv::PiecePath(base, piece);
    if (!tw::IsExistingFile(path)) {
      if (piece == 1) {
        TW_LOG(fn, tw::Hex8With(ERROR_FILE_NOT_FOUND, path));
        Note(p.problem, tw::pack::Problem::kNoFirstPiece, path, ERROR_FILE_NOT_FOUND);
        return false;
      }
      return true;
    }
    if (!add(path)) return false;
  }
}

}  // namespace

bool GetRcvDataInfo(const std::wstring& folder, int32_t discType, uint32_t* discCount, uint32_t* fileCount,
                    const std::wstring& logDetail, wchar_t* layout, uint32_t layoutCapacity,
                    tw::pack::Problem* problem) {
  constexpr wchar_t kFn[] = L"TarnSet::GetRcvDataInfo";
  if (problem) *problem = tw::pack::Problem{};
  if (folder.empty() || !discCount || !fileCount) {
    TW_LOG(kFn, logDetail);
    Note(problem, tw::pack::Problem::kBadArguments, folder);
    if (discCount) *discCount = 0;
    if (fileCount) *fileCount = 0;
    return false;
  }
  *discCount = 0;
  *fileCount = 0;
  // Every failure below leaves both counts at 0 and no partial layout.
  tw::ScopeExit onFailure([&] {
    *discCount = 0;
    *fileCount = 0;
    ClearLayout(layout, layoutCapacity);
  });

  const std::wstring dir = tw::WithoutTrailingBackslash(folder);
  if (!tw::IsExistingFolder(dir)) {
    const DWORD error = ::GetLastError();
    TW_LOG(kFn, tw::Hex8With(error, dir));
    Note(problem, tw::pack::Problem::kNoFolder, dir, error);
    return false;
  }
  const uint64_t capacity = GetWritableDiscSize(discType);
  if (capacity == 0) {
    TW_LOG(kFn, tw::Hex8With(static_cast<uint32_t>(discType), logDetail));
    Note(problem, tw::pack::Problem::kBadDiscType, dir);
    return false;
  }

  std::wstring infPath;
  if (!FindAcceptedInformationFile(kFn, dir, &infPath, problem)) return false;
  MemberPacking packing{capacity, layout, layoutCapacity, problem};
  if (!PackMembers(kFn, infPath, packing)) return false;

  if (layout) {
    uint64_t needed = 0;
    if (!tw::pack::AppendLayoutEnd(layout, layoutCapacity, needed)) {
      TW_LOG(kFn, tw::Hex8Pair(layoutCapacity, static_cast<uint32_t>(std::min<uint64_t>(needed, 0xFFFFFFFFu))));
      Note(problem, tw::pack::Problem::kLayoutFull, dir);
      return false;
    }
  }
  onFailure.Dismiss();
  *discCount = packing.discs;
  *fileCount = packing.files;
  return true;
}

}  // namespace TarnSet
