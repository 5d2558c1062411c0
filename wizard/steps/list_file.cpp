#include "list_file.h"

#include <cstring>
#include <limits>

namespace tw {

static_assert(sizeof(wchar_t) == 2, "the files are UTF-16: one wchar_t is one code unit");

bool WriteAll(HANDLE file, const void* data, size_t size, DWORD* error) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(size > (std::numeric_limits<DWORD>::max)() / 2
                                               ? (std::numeric_limits<DWORD>::max)() / 2
                                               : size);
    DWORD written = 0;
    if (!::WriteFile(file, bytes, chunk, &written, nullptr)) {
      const DWORD code = ::GetLastError();
      if (error) *error = code != 0 ? code : ERROR_WRITE_FAULT;
      return false;
    }
    if (written == 0) {
      if (error) *error = ERROR_WRITE_FAULT;
      return false;
    }
    bytes += written;
    size -= written;
  }
  return true;
}

bool WriteText(HANDLE file, const std::wstring& text, DWORD* error) {
  return WriteAll(file, text.data(), text.size() * sizeof(wchar_t), error);
}

BufferedFile::BufferedFile(HANDLE file, size_t capacityBytes)
    : file_(file), buffer_(capacityBytes < 2 ? 2 : capacityBytes) {}

bool BufferedFile::Write(const std::wstring& text) {
  lastText_ = text;
  if (error_ != 0) return false;
  const size_t bytes = text.size() * sizeof(wchar_t);
  if (used_ + bytes > buffer_.size() && !Flush()) return false;
  if (bytes > buffer_.size()) {
    // Larger than the whole buffer (never for a path line): write it as is.
    if (!WriteAll(file_, text.data(), bytes, &error_)) return false;
    return true;
  }
  std::memcpy(buffer_.data() + used_, text.data(), bytes);
  used_ += bytes;
  return true;
}

bool BufferedFile::Flush() {
  if (error_ != 0) return false;
  if (used_ == 0) return true;
  const size_t size = used_;
  used_ = 0;
  return WriteAll(file_, buffer_.data(), size, &error_);
}

}  // namespace tw
