// Operating-system helpers used throughout the wizard. None shows a
// message. Most log their failures under their own name; those that
// leave it to the caller say so below, and a data file that is simply not
// in a language folder is no logged failure of the lookups (the caller
// logs what it could not find).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace Norvane {
namespace DeskKit {
namespace Common {

bool ActivateTargetWindow(HWND target);
// Size of a file; 0 on failure.
uint64_t MyGetFileSizeEx(const wchar_t* path);
bool IsWindowsVistaOrLater();
bool IsRunningAsAdministratorOnVistaOrLater();
bool IsRunningAsAdministratorOnXP();

}  // namespace Common
}  // namespace DeskKit
}  // namespace Norvane

// Folder of a module, without trailing backslash, into a 261-character
// buffer. 0, a system error code, 122 (too long) or 123 (no backslash).
DWORD GetModuleFolderPath(HMODULE module, wchar_t* folder /* [261] */);

// Reads a profile string of any length. `size` in: capacity of `out` in
// characters; out: length of the value + 1. With `out` == nullptr only the
// size is reported. An `out` too small for the value copies nothing and
// fails.
bool GetIniString(const wchar_t* iniPath, const wchar_t* section, const wchar_t* key, wchar_t* out,
                  const wchar_t* defaultValue, DWORD* size);

// Splits "0,3,3010": first call with out == nullptr counts, second fills an
// array of that many integers. `count` in: capacity; out: integers found.
bool SplitNumberList(int32_t* out, const wchar_t* text, uint32_t* count);

// Writable bytes of a disc type (0 DVD, 1 BD); 0 for another type.
uint64_t GetWritableDiscSize(int32_t discType);

bool GetBkupAppInstFolderPath(std::wstring* out);
bool GetHelpFilePath(uint32_t helpId, std::wstring* out);
bool GetTargetFilePathInBkupApp(HMODULE module, const wchar_t* subFolder, const wchar_t* fileName,
                                std::wstring* out);
bool GetTargetFilePathInLangFolder(const std::wstring& languageIniPath, std::wstring* out,
                                   const wchar_t* fileName, const wchar_t* subFolder);
// The lookups of GetTargetFilePathInBkupApp and GetHelpFilePath for a program
// that lies in `programFolder` (without trailing backslash) rather than in
// the folder of a loaded module: a checker sees a deployment as the wizard
// placed there would.
bool GetTargetFilePathInProgramFolder(const std::wstring& programFolder, const wchar_t* subFolder,
                                      const wchar_t* fileName, std::wstring* out);
bool GetHelpFilePathInProgramFolder(const std::wstring& programFolder, uint32_t helpId, std::wstring* out);
bool GetHideDrvLttr(wchar_t* letter);

// Where the backup product's common dialog library "QLNCmnDlg.dll" is: the
// one beside the program first, else the one in "Common" below the backup
// product's install folder (trailing backslashes of that folder removed).
// `path` receives the library, or the last place looked at. Nothing is
// logged: the callers log under their own names.
enum class LibraryLookup { kFound, kNoInstallFolder, kMissing };
LibraryLookup FindCommonDialogLibrary(std::wstring* path);

namespace tw {
// The path names something that exists and is not a folder (a test:
// nothing is logged).
bool IsExistingFile(const std::wstring& path);
// The path names an existing folder.
bool IsExistingFolder(const std::wstring& path);
}  // namespace tw
