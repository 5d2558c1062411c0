#include "file_read.h"

#include <new>
#include <stdexcept>

#include "handles.h"

namespace tw {

FileBytes ReadWholeFile(const std::wstring& path, uint64_t maxBytes) {
  FileBytes out;
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.get(), &size)) {
    out.error = ::GetLastError();
    return out;
  }
  out.size = static_cast<uint64_t>(size.QuadPart);
  // One ReadFile call takes at most a DWORD of bytes.
  if (out.size > maxBytes || out.size > 0xFFFFFFFFull) {
    out.status = FileReadStatus::kTooLarge;
    return out;
  }
  try {
    out.bytes.assign(static_cast<size_t>(out.size), '\0');
  } catch (const std::bad_alloc&) {
    out.status = FileReadStatus::kNoMemory;
    return out;
  } catch (const std::length_error&) {
    out.status = FileReadStatus::kNoMemory;
    return out;
  }
  DWORD read = 0;
  if (out.size > 0 &&
      (!::ReadFile(file.get(), &out.bytes[0], static_cast<DWORD>(out.size), &read, nullptr) || read != out.size)) {
    out.error = ::GetLastError();
    out.status = FileReadStatus::kReadFailed;
    out.bytes.clear();
    return out;
  }
  out.status = FileReadStatus::kOk;
  return out;
}

}  // namespace tw
