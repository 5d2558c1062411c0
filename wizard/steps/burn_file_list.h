// The burn file list: every file that goes onto one disc, each with the path
// it gets on the disc, in UTF-16 with a byte order mark.
#pragma once

#include <cstdint>
#include <string>

#include "steps/disc_entry.h"
#include "steps/list_file.h"

namespace MkDiscDlg {

// Writes the list at `path` (replacing what is there) for the entry's type:
// an ISO image, the current disc's share of a recovery image set, or the
// files of a folder less the common and the entry's exclusions. Checks that
// the data fits the writable size of `discType` (0 DVD, 1 BD) and shows the
// fixed English message when it does not. `actIniPath` only goes into the
// log entries of the image enumeration.
bool CreateBrnFileListFile(const std::wstring& path, int32_t discType, const std::wstring& actIniPath,
                           const DiscEntry& entry);

// The first "*.iso" of `folder`, as one line without a disc path. Fails when
// there is none or when it is larger than the disc.
bool WriteBrnFilesInfo_ISO(const std::wstring& folder, tw::BufferedFile* file, int32_t discType);

// The files of disc `discNumber` (from 0) of the image set in `folder`, as
// the recovery data enumeration packs the set onto discs of `discType`.
bool WriteBrnFilesInfo_Image(const std::wstring& folder, const std::wstring& actIniPath, tw::BufferedFile* file,
                             int32_t discType, uint32_t discNumber);

// Depth-first walk of `currentFolder` below `rootFolder`: a line for every
// file and every empty folder, disc paths relative to `rootFolder`. Entries
// whose full path equals (ignoring case) one of the two lists are left out
// with their content. With `file` == nullptr only the sizes are summed.
// `total` receives the bytes of what was listed (sizes as the directory
// search reports them), `count` the number of entries seen in this folder
// (excluded ones included); both are zeroed first.
bool WriteBrnFilesInfo_Files(tw::BufferedFile* file, const std::wstring& rootFolder,
                             const std::wstring& currentFolder, const std::wstring* commonList,
                             uint32_t commonCount, const std::wstring* ownList, uint32_t ownCount,
                             uint64_t* total, uint32_t* count);

}  // namespace MkDiscDlg
