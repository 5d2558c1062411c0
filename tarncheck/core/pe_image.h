// What a library file is, read from its bytes as the system's loader would
// see them: the machine it was built for, whether it is a DLL, and the names
// it exports. The bytes come from outside (the maker's files), so every
// offset and size is checked against the data before it is used: a
// truncated or damaged file gives a problem in words, never a read beyond
// the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tc {

// Machine values of the file header.
constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kMachineArm64 = 0xAA64;
constexpr uint16_t kMachineArmNt = 0x01C4;
constexpr uint16_t kMachineIa64 = 0x0200;

// Characteristics of the file header.
constexpr uint16_t kImageFileExecutable = 0x0002;
constexpr uint16_t kImageFileDll = 0x2000;

// Export names longer than this are not taken as names (the check compares
// short function names); more names than this make the table implausible.
constexpr size_t kMaxExportNameBytes = 4096;
constexpr uint32_t kMaxExportNames = 65536;

struct PeImage {
  bool readable = false;  // the headers (and the export table, if any) read
  std::wstring problem;   // why not, in words, when not readable
  uint16_t machine = 0;
  uint16_t characteristics = 0;
  bool pe32Plus = false;    // the optional header is the 64-bit kind
  bool hasExports = false;  // an export directory is present
  // Every exported name, in the table's order. They point into the bytes
  // given to ReadPeImage: keep those alive while these are used.
  std::vector<std::string_view> exportNames;

  bool IsDll() const { return (characteristics & kImageFileDll) != 0; }
};

// Reads the DOS header, the PE headers, the section table and the export
// directory's name table. Never reads outside `bytes`.
PeImage ReadPeImage(std::string_view bytes);

// "32-bit x86", "64-bit x64", ... or the value in hex.
std::wstring MachineName(uint16_t machine);

// The name a decorated export stands for: a leading "_" or "@" and a
// trailing "@" with digits (as i686 __stdcall and __fastcall names carry
// them) removed; the name itself when it carries no decoration.
std::string_view Undecorated(std::string_view name);

// Why the wizard, built for `wantedMachine`, cannot load the library or
// bind `exportName` from it by that exact name (GetProcAddress compares
// names exactly). Empty when it can. Each sentence starts in lower case and
// follows the library's path in the report.
std::vector<std::wstring> JudgeWizardLibrary(const PeImage& image, uint16_t wantedMachine,
                                             const std::string& exportName);

// An export name as it can be printed: bytes outside printable ASCII become
// "?", and a long name is cut with "...".
std::wstring PrintableName(std::string_view name);

}  // namespace tc
