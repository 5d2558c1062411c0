// The make-disc step: shows what to insert, checks for mains power,
// prepares the disc information file and the burn file list in the
// progress window, runs the burning engine while the wizard steps aside,
// and records the outcome for the step manager. One dialog per disc.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "steps/list_file.h"
#include "ui/core/disc_entry.h"
#include "ui/step_params.h"

class MkDiscDlg {
 public:
  static INT_PTR CALLBACK DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

  // Sets the current disc's description (its Message file, "%DiscName%"
  // replaced) into control 1012.
  static bool ShowDescriptionOfBrningDisc(HWND dialog);

  // The progress window's operation: `block` points at three pointers (the
  // context, the information-file path, the list-file path). 1 success,
  // 0 failure.
  static int32_t PrepareOfBrningDiscCapsulated(uintptr_t block);
  // Creates the two temporary files and writes both for the current disc.
  static bool PrepareOfBrningDisc(const MkDiscDlgParam* context, std::wstring* infoPath, std::wstring* listPath);

  // ---- the disc information file

  // Writes the file at `path` (replacing what is there) in UTF-16 with a
  // byte order mark. `driveRoot` is "E:\" of the chosen drive, `discType` 0
  // DVD or 1 BD, `listPath` the burn file list of the same disc. The window
  // titles are the application name that start-up loaded into
  // tw::Settings().AppName. On false one log entry names the cause and the
  // file is incomplete.
  static bool CreateDiscInfoFile(const std::wstring& path, const std::wstring& driveRoot, int32_t discType,
                                 const std::wstring& listPath, const DiscEntry& entry);

  // ---- the burn file list

  // Writes the list at `path` (replacing what is there) for the entry's
  // type: an ISO image, the current disc's share of a recovery image set,
  // or the files of a folder less the common and the entry's exclusions.
  // Checks that the data fits the writable size of `discType` (0 DVD, 1 BD)
  // and shows the fixed English message when it does not. `actIniPath` only
  // goes into the log entries of the image enumeration.
  static bool CreateBrnFileListFile(const std::wstring& path, int32_t discType, const std::wstring& actIniPath,
                                    const DiscEntry& entry);

  // The first "*.iso" of `folder`, as one line without a disc path. Fails
  // when there is none or when it is larger than the disc.
  static bool WriteBrnFilesInfo_ISO(const std::wstring& folder, tw::BufferedFile* file, int32_t discType);

  // The files of disc `discNumber` (from 0) of the image set in `folder`, as
  // the recovery data enumeration packs the set onto discs of `discType`.
  static bool WriteBrnFilesInfo_Image(const std::wstring& folder, const std::wstring& actIniPath,
                                      tw::BufferedFile* file, int32_t discType, uint32_t discNumber);

  // Depth-first walk of `currentFolder` below `rootFolder`: a line for every
  // file and every empty folder, disc paths relative to `rootFolder`.
  // Entries whose full path equals (ignoring case) one of the two lists are
  // left out with their content. With `file` == nullptr only the sizes are
  // summed. `total` receives the bytes of what was listed (sizes as the
  // directory search reports them), `count` the number of entries seen in
  // this folder (excluded ones included); both are zeroed first.
  static bool WriteBrnFilesInfo_Files(tw::BufferedFile* file, const std::wstring& rootFolder,
                                      const std::wstring& currentFolder, const std::wstring* commonList,
                                      uint32_t commonCount, const std::wstring* ownList, uint32_t ownCount,
                                      uint64_t* total, uint32_t* count);
};

// Creates every missing folder on the way to a file; a folder that already
// exists is fine. False (logged) at the first other failure.
bool CreateParentFolders(const std::wstring& filePath);
