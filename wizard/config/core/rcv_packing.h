// Packing of an image set's members onto discs in order, without splitting
// a file, and the disc layout text that records the result: member paths,
// a TAB between files of one disc, "\n" before a file that opens a new
// disc, "\n\n" at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tw {
namespace pack {

// What stopped an enumeration of an image set, for a caller that explains
// it in words; the wizard itself only logs it.
struct Problem {
  enum Kind {
    kNone,
    kBadArguments,       // no folder or no count output
    kNoFolder,           // the folder does not exist or is a file
    kBadDiscType,        // neither DVD nor BD: no capacity
    kNoInfoFile,         // no "*.inf" file in the folder
    kImageInfoRejected,  // ImageInfo is none of the accepted values
    kNoFirstPiece,       // no ".fc2" piece
    kUnreadable,         // a member cannot be opened or sized
    kTooLarge,           // a member is larger than a whole disc
    kLayoutFull,         // the caller's layout buffer is too small
  };
  Kind kind = kNone;
  std::wstring path;       // the folder or member concerned
  std::wstring imageInfo;  // the ImageInfo found (kImageInfoRejected)
  uint64_t size = 0;       // the member's size (kTooLarge)
  uint64_t capacity = 0;   // the disc's writable size (kTooLarge)
  uint32_t error = 0;      // system error code, where there is one
};

enum class Placement {
  TooLarge,  // larger than a whole disc; nothing changed
  SameDisc,  // placed on the current disc
  NewDisc,   // opened a new disc
};

// Places one file of `size` bytes. A file exactly as large as the capacity
// fits. The state (bytes used on the current disc, disc count, file count)
// is updated unless the file is too large.
Placement PlaceFile(uint64_t capacity, uint64_t size, uint64_t& bytesUsed, uint32_t& discCount, uint32_t& fileCount);

// Characters before the terminator of a layout buffer; `capacity` when the
// buffer holds no terminator at all.
size_t LayoutLength(const wchar_t* layout, size_t capacity);

// Appends one member: nothing before the first file, TAB before a file on
// the same disc, "\n" before a file that opened a new disc. `needed` gets
// the characters the text would then take including its terminator. When
// that exceeds `capacity`, nothing is written and the result is false.
bool AppendLayoutFile(wchar_t* layout, size_t capacity, const std::wstring& path, bool firstFile, bool newDisc,
                      uint64_t& needed);

// Appends the closing "\n\n" under the same rule.
bool AppendLayoutEnd(wchar_t* layout, size_t capacity, uint64_t& needed);

}  // namespace pack
}  // namespace tw
