// The wizard's only link to the separate burning product: finds its install
// folder, loads its interface library, lists the optical drives, starts its
// engine for one disc and sorts the engine's exit code into a class.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <type_traits>

#include "app/handles.h"
#include "burn/core/brn_types.h"

// Signature of the library's drive-list export: UTF-16 buffer, capacity in
// units (terminator included). 0 success, 55 no drive, else failure.
using GetOddsListWProc = DWORD(__stdcall*)(wchar_t* buffer, DWORD* count);
// Bound through GetProcAddress: a calling convention other than the
// library's (__stdcall) would break the 32-bit program's stack.
static_assert(std::is_same_v<GetOddsListWProc, DWORD(WINAPI*)(wchar_t*, DWORD*)>, "the interface is __stdcall");

class CBrnAppCnctor {
 public:
  // Engine files in the install folder and the library's export.
  static constexpr const wchar_t* kEngineExeName = L"KSCORE.exe";
  static constexpr const wchar_t* kEngineLibraryName = L"KSIF.dll";
  static constexpr const char* kGetOddsListName = "GetOddsListW";
  static constexpr const wchar_t* kProductKey = L"SOFTWARE\\Norvane\\Kilnspar";
  static constexpr const wchar_t* kInstFolderValue = L"InstFolder";
  // Units of the buffer handed to GetOddsListW.
  static constexpr DWORD kOddsListChars = 5383;

  // Locates the product and loads its library; the outcome is IsReady.
  CBrnAppCnctor();
  ~CBrnAppCnctor();
  CBrnAppCnctor(const CBrnAppCnctor&) = delete;
  CBrnAppCnctor& operator=(const CBrnAppCnctor&) = delete;

  // Fills the caller's array with the DVD writers. `count` in: capacity of
  // `drives` in records; out: records stored (also after a failure).
  bool GetOddsInfo(OddInfo* drives, uint32_t* count);

  // Starts the engine with "/F:" and the disc information file, without
  // waiting. On success `processInfo` holds handles the caller closes.
  bool ExecuteBrnApp(std::wstring discInfoPath, PROCESS_INFORMATION* processInfo);

  // Class of an engine exit code; needs nothing of a connector.
  static BrnResultType GetBrnResultType(uint32_t exitCode);

  // The install folder from the registry (HKLM, 32-bit view, REG_SZ).
  bool GetInstFolderPath(std::wstring* folder);

  // Set by the constructor only; read, never change.
  bool IsReady = false;
  std::wstring InstFolderPath;  // without trailing backslash; empty when not ready
  std::wstring EngineExePath;   // InstFolderPath\KSCORE.exe; empty with the folder
  tw::UniqueModule EngineLibrary;
  GetOddsListWProc GetOddsListProc = nullptr;
};
