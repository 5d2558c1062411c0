// The work of the burning engine stand-in, apart from its window: reading
// the disc information file and the burn file list, and writing the listed
// files into the folder that plays the drive's disc.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace kscore {

// Exit codes. 0 success; the others fall into the classes the wizard knows:
// preparing (100, 300-309), aborted (310), burning (320-322), verifying
// (323, 324).
enum Exit : DWORD {
  kSuccess = 0,
  kNotSetUp = 100,         // no KSCORE.ini beside the engine
  kBadCommandLine = 300,   // no "/F:" and path
  kBadJobFile = 301,       // disc information file missing or incomplete
  kBadBurnList = 302,      // burn file list missing, malformed or unsafe
  kSourceMissing = 303,    // a listed file (or the boot image) is missing
  kNoSuchDrive = 304,      // no virtual disc assigned to the drive letter
  kNotVirtualDisc = 305,   // the drive's folder lacks the virtual-disc marker
  kDiscTooSmall = 306,     // the data exceeds the disc type's capacity
  kCancelled = 310,        // the user cancelled in the progress window
  kWriteError = 320,       // a file could not be written to the disc
  kEraseError = 321,       // the disc could not be emptied
  kVerifyMismatch = 323,   // a written file differs from its source
  kReadBackError = 324,    // a written file could not be read back
};

// Name of the marker file that makes a folder a virtual disc.
constexpr wchar_t kDiscMarker[] = L"KSVDISC.TAG";

struct Job {
  std::wstring mainTitle;     // MainUI/WndTitle
  std::wstring progressTitle; // ProgressUI/Title
  std::wstring discTitle;     // WriteInfo/Title
  std::wstring writingType;   // ISO, Files or Files_Bootable
  std::wstring writeData;     // burn file list
  std::wstring bootImg;
  std::wstring bootImgType;
  std::wstring odd;           // "E:\"
  std::wstring disc;          // DVD_1 or BD_1
  std::wstring volumeLabel;
};

struct ListEntry {
  std::wstring source;
  std::wstring discPath;  // empty for an ISO image
};

// What the work reports and asks while it runs.
class Reporter {
 public:
  virtual ~Reporter() = default;
  virtual void Phase(const std::wstring& text) = 0;
  virtual void Fraction(uint64_t done, uint64_t total) = 0;
  virtual bool Cancelled() = 0;
};

// Everything after "/F:" in the command line, without quotes.
std::wstring JobPathFromCommandLine(const std::wstring& commandLine);

DWORD ReadJob(const std::wstring& path, Job& job);

// Parses the list text (after its byte-order mark): "source<TAB>discpath"
// lines ended by CR LF, closed by an empty line. ISO lists hold one line
// with an empty disc path; file lists need disc paths below the root.
DWORD ParseBurnList(const std::wstring& text, bool iso, std::vector<ListEntry>& entries);
DWORD ReadBurnList(const std::wstring& path, bool iso, std::vector<ListEntry>& entries);

// Writes the job into the drive's virtual disc and verifies it, with the
// drives and capacities of the settings file `ini`.
DWORD Burn(const std::wstring& ini, const Job& job, Reporter& reporter);

}  // namespace kscore
