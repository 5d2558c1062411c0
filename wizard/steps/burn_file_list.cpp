#include "mk_disc_dlg.h"

#include <windows.h>

#include <limits>
#include <vector>

#include "app/core/text.h"
#include "app/handles.h"
#include "app/log.h"
#include "app/msgbox.h"
#include "app/syshelpers.h"
#include "config/exclusion_list.h"
#include "config/rcv_data.h"
#include "steps/core/burn_list_text.h"
#include "steps/core/disc_info_text.h"

namespace {

constexpr wchar_t kTotalTooLarge[] =
    L"The total size of files in the specified folder is over the writable size of the disc.";
constexpr wchar_t kOneFileTooLarge[] =
    L"The size of one file in the specified folder is over the writable size of the disc.";

// One layout line of the image enumeration per path plus its separator.
constexpr uint64_t kLayoutUnitsPerFile = 261;

// Fetches a whole exclusion list with the count-then-fill protocol.
bool FetchExclusionList(CExclusionListMgr& manager, std::vector<std::wstring>* entries) {
  uint32_t count = 0;
  if (!manager.GetExclusionList(&count, nullptr, 0)) return false;
  entries->clear();
  if (count == 0) return true;
  entries->resize(count);
  if (!manager.GetExclusionList(&count, entries->data(), count)) return false;
  entries->resize(count);
  return true;
}

// Writes a line through the buffer; logs the failure under `fn`.
bool WriteLine(const wchar_t* fn, tw::BufferedFile* file, const std::wstring& line) {
  if (file->Write(line)) return true;
  TW_LOG(fn, tw::Hex8With(file->error(), tw::WithoutLineEnd(line)));
  return false;
}

// Writes out what a writer left in the buffer, so that a failed write is
// reported by the writer whose lines it held.
bool FlushLines(const wchar_t* fn, tw::BufferedFile* file) {
  if (file->Flush()) return true;
  TW_LOG(fn, tw::Hex8With(file->error(), tw::WithoutLineEnd(file->lastText())));
  return false;
}

// The lines of a "Files" or "Files_Bootable" task: its folder less both
// exclusion lists, and the check that everything (the boot image too) fits
// on the disc. The list file is closed before a too-large total is shown.
// Failures are logged under `fn`.
bool WriteFilesTask(const wchar_t* fn, tw::BufferedFile* file, tw::UniqueFile& handle, const std::wstring& folder,
                    int32_t discType, const DiscEntry& entry) {
  std::vector<std::wstring> common;
  CExclusionListMgr commonManager;
  if (!FetchExclusionList(commonManager, &common)) {
    TW_LOG(fn, L"");
    return false;
  }
  std::vector<std::wstring> own;
  if (!entry.ExclusionList.empty()) {
    CExclusionListMgr ownManager(entry.ExclusionList);
    if (!FetchExclusionList(ownManager, &own)) {
      TW_LOG(fn, entry.ExclusionList);
      return false;
    }
  }
  uint64_t total = 0;
  uint32_t count = 0;
  if (!MkDiscDlg::WriteBrnFilesInfo_Files(file, folder, folder, common.data(), static_cast<uint32_t>(common.size()),
                                          own.data(), static_cast<uint32_t>(own.size()), &total, &count)) {
    TW_LOG(fn, folder);
    return false;
  }
  if (entry.Type == 3) {
    tw::UniqueFile boot(::CreateFileW(entry.BootImg.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!boot || !::GetFileSizeEx(boot.get(), &size)) {
      TW_LOG(fn, tw::Hex8With(::GetLastError(), entry.BootImg));
      return false;
    }
    total += static_cast<uint64_t>(size.QuadPart);
  }
  const uint64_t writable = GetWritableDiscSize(discType);
  if (writable < total) {
    TW_LOG(fn, tw::Hex64Halves(writable) + L", " + tw::Hex64Halves(total));
    handle.reset();
    tw::ShowMessageBox(nullptr, kTotalTooLarge, tw::kFixedCaption, MB_OK | MB_ICONERROR);
    return false;
  }
  return true;
}

}  // namespace

bool MkDiscDlg::CreateBrnFileListFile(const std::wstring& path, int32_t discType, const std::wstring& actIniPath,
                           const DiscEntry& entry) {
  constexpr wchar_t kFn[] = L"MkDiscDlg::CreateBrnFileListFile";
  tw::UniqueFile handle(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) {
    TW_LOG(kFn, tw::Hex8With(::GetLastError(), path));
    return false;
  }
  DWORD error = 0;
  const wchar_t mark = 0xFEFF;
  if (!tw::WriteAll(handle.get(), &mark, sizeof(mark), &error)) {
    TW_LOG(kFn, tw::Hex8Pair(error, 0xFEFF));
    return false;
  }

  tw::BufferedFile file(handle.get());
  const std::wstring folder = tw::WithoutTrailingBackslash(entry.Folder);
  switch (entry.Type) {
    case 0:
      if (!WriteBrnFilesInfo_ISO(folder, &file, discType)) {
        TW_LOG(kFn, folder);
        return false;
      }
      break;
    case 1:
      if (!WriteBrnFilesInfo_Image(folder, actIniPath, &file, discType, entry.DiscNumber)) {
        TW_LOG(kFn, folder);
        return false;
      }
      break;
    case 2:
    case 3:
      if (!WriteFilesTask(kFn, &file, handle, folder, discType, entry)) return false;
      break;
    default:
      TW_LOG(kFn, tw::Hex8(static_cast<uint32_t>(entry.Type)));
      return false;
  }

  if (!file.Write(tw::kBurnListEndLine) || !file.Flush()) {
    TW_LOG(kFn, tw::Hex8With(file.error(), tw::WithoutLineEnd(tw::kBurnListEndLine)));
    return false;
  }
  return true;
}

bool MkDiscDlg::WriteBrnFilesInfo_ISO(const std::wstring& folder, tw::BufferedFile* file, int32_t discType) {
  constexpr wchar_t kFn[] = L"MkDiscDlg::WriteBrnFilesInfo_ISO";
  if (!file) {
    TW_LOG(kFn, folder);
    return false;
  }
  const std::wstring pattern = tw::IsoSearchPattern(folder);
  WIN32_FIND_DATAW found{};
  {
    // Only the first match counts; the search is not continued.
    tw::UniqueFind search(::FindFirstFileW(pattern.c_str(), &found));
    if (!search) {
      TW_LOG(kFn, tw::Hex8With(::GetLastError(), pattern));
      return false;
    }
  }
  const std::wstring image = tw::ChildPath(folder, found.cFileName);
  const DWORD attributes = ::GetFileAttributesW(image.c_str());
  // A folder that happens to be named "*.iso" is no image to burn.
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    TW_LOG(kFn, image);
    return false;
  }
  const uint64_t size = Norvane::DeskKit::Common::MyGetFileSizeEx(image.c_str());
  const uint64_t writable = GetWritableDiscSize(discType);
  if (writable < size) {
    TW_LOG(kFn, tw::Hex64Halves(writable) + L", " + tw::Hex64Halves(size));
    tw::ShowMessageBox(nullptr, kOneFileTooLarge, tw::kFixedCaption, MB_OK | MB_ICONERROR);
    return false;
  }
  return WriteLine(kFn, file, tw::IsoListLine(image)) && FlushLines(kFn, file);
}

bool MkDiscDlg::WriteBrnFilesInfo_Image(const std::wstring& folder, const std::wstring& actIniPath, tw::BufferedFile* file,
                             int32_t discType, uint32_t discNumber) {
  constexpr wchar_t kFn[] = L"MkDiscDlg::WriteBrnFilesInfo_Image";
  if (!file) {
    TW_LOG(kFn, folder);
    return false;
  }
  uint32_t discCount = 0;
  uint32_t fileCount = 0;
  if (!TarnSet::GetRcvDataInfo(folder, discType, &discCount, &fileCount, actIniPath, nullptr, 0)) {
    TW_LOG(kFn, folder);
    return false;
  }
  const uint64_t capacity = static_cast<uint64_t>(fileCount) * kLayoutUnitsPerFile + 1;
  if (capacity > (std::numeric_limits<uint32_t>::max)()) {
    TW_LOG(kFn, tw::Hex8With(fileCount, folder));
    return false;
  }
  std::vector<wchar_t> layout(static_cast<size_t>(capacity), L'\0');
  if (!TarnSet::GetRcvDataInfo(folder, discType, &discCount, &fileCount, actIniPath, layout.data(),
                               static_cast<uint32_t>(capacity))) {
    TW_LOG(kFn, folder);
    return false;
  }
  layout.back() = L'\0';  // the text ends at the first NUL whatever was written

  const tw::LayoutPick pick = tw::PickLayoutLine(layout.data(), discCount, discNumber);
  if (pick.failure) {
    TW_LOG(kFn, *pick.failure);
    return false;
  }
  for (const std::wstring& item : pick.items) {
    if (!WriteLine(kFn, file, tw::BurnListLine(item, folder.size()))) return false;
  }
  return FlushLines(kFn, file);
}

bool MkDiscDlg::WriteBrnFilesInfo_Files(tw::BufferedFile* file, const std::wstring& rootFolder,
                             const std::wstring& currentFolder, const std::wstring* commonList,
                             uint32_t commonCount, const std::wstring* ownList, uint32_t ownCount,
                             uint64_t* total, uint32_t* count) {
  constexpr wchar_t kFn[] = L"MkDiscDlg::WriteBrnFilesInfo_Files";
  if (total) *total = 0;
  if (count) *count = 0;
  const std::wstring pattern = tw::FolderSearchPattern(currentFolder);
  WIN32_FIND_DATAW found{};
  tw::UniqueFind search(::FindFirstFileW(pattern.c_str(), &found));
  if (!search) {
    TW_LOG(kFn, tw::Hex8With(::GetLastError(), pattern));
    return false;
  }
  do {
    const std::wstring name = found.cFileName;
    if (tw::IsDotEntry(name)) continue;
    const std::wstring path = tw::ChildPath(currentFolder, name);
    // Attributes and size come from the search's own record of the entry.
    // Asking again per entry (reading the attributes, opening the file for
    // its size) made the list cost about 17 times a bare walk of a
    // 100,000-file tree, and a file that could not be opened counted as
    // 0 bytes, which let a disc pass the capacity check that could not
    // hold it.
    const DWORD attributes = found.dwFileAttributes;
    if (count) ++*count;
    if (tw::IsExcluded(path, commonList, commonCount) || tw::IsExcluded(path, ownList, ownCount)) continue;

    uint64_t size = 0;
    bool lineDue = true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      uint32_t entries = 0;
      if (!WriteBrnFilesInfo_Files(file, rootFolder, path, commonList, commonCount, ownList, ownCount, &size,
                                   &entries)) {
        return false;
      }
      lineDue = entries == 0;  // an empty folder is listed itself, a full one by its content
    } else {
      size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    }
    if (total) *total += size;
    if (lineDue && file && !WriteLine(kFn, file, tw::BurnListLine(path, rootFolder.size()))) return false;
  } while (::FindNextFileW(search.get(), &found));

  // A search that breaks off early would leave the list short without a word.
  const DWORD error = ::GetLastError();
  if (error != ERROR_NO_MORE_FILES) {
    TW_LOG(kFn, tw::Hex8With(error, pattern));
    return false;
  }
  search.reset();
  if (file && currentFolder == rootFolder) return FlushLines(kFn, file);
  return true;
}

