// Reading a whole file into memory, never more than the caller allows: a
// file larger than the cap is refused before any memory is taken, so that a
// stray or hostile file beside the program cannot exhaust the process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace tw {

enum class FileReadStatus {
  kOk,
  kOpenFailed,  // the file cannot be opened or its size read (`error` says why)
  kTooLarge,    // larger than the cap; nothing was read
  kNoMemory,    // no buffer of that size could be had
  kReadFailed,  // reading failed or ended early (`error` says why)
};

struct FileBytes {
  FileReadStatus status = FileReadStatus::kOpenFailed;
  DWORD error = 0;    // last error of the failing call
  uint64_t size = 0;  // the file's size, once it is known
  std::string bytes;  // the whole content when kOk
  bool ok() const { return status == FileReadStatus::kOk; }
};

// Opens the file for reading (shared for reading and writing, existing
// only) and reads all of it when it holds at most `maxBytes` bytes.
FileBytes ReadWholeFile(const std::wstring& path, uint64_t maxBytes);

}  // namespace tw
