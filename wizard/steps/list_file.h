// Writing the per-disc text files: whole writes of a byte range, and a
// buffered writer for the burn file list, which may run to hundreds of
// thousands of lines.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace tw {

// Writes all `size` bytes. A short write counts as failed; `error` receives
// the system error code (ERROR_WRITE_FAULT for a short write without one).
bool WriteAll(HANDLE file, const void* data, size_t size, DWORD* error);

// UTF-16 little-endian text of `text`, written whole.
bool WriteText(HANDLE file, const std::wstring& text, DWORD* error);

// Collects UTF-16 text in a buffer and writes it out in large blocks, so that
// a long list costs one system call per block rather than one per line. The
// bytes on disk are the same as with a write per piece. The first failed
// write sticks: every later Write and Flush fails with the same error.
// Nothing is written on destruction: the owner flushes, and a list that is
// abandoned on a failure is not completed behind its back.
class BufferedFile {
 public:
  static constexpr size_t kDefaultCapacity = 64 * 1024;

  explicit BufferedFile(HANDLE file, size_t capacityBytes = kDefaultCapacity);
  BufferedFile(const BufferedFile&) = delete;
  BufferedFile& operator=(const BufferedFile&) = delete;

  // Appends the text, writing the buffer out first when it would overflow.
  bool Write(const std::wstring& text);
  // Writes out whatever is buffered.
  bool Flush();

  // System error code of the failed write (0 while none failed).
  DWORD error() const { return error_; }
  // The text of the most recent Write, for the log entry of a failed flush.
  const std::wstring& lastText() const { return lastText_; }

 private:
  HANDLE file_;
  std::vector<char> buffer_;
  size_t used_ = 0;
  DWORD error_ = 0;
  std::wstring lastText_;
};

}  // namespace tw
