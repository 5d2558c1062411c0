// Reading a made disc back: which items of the burn file list to compare,
// how a comparison ends, what the log says about it, and the figures the
// progress window shows. No platform headers: this compiles natively as
// well as for Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw {
namespace verify {

// One line of a burn file list: what was written, and where it lies on the
// disc ("\sub\file"; empty for an image written as the disc itself).
struct ListLine {
  std::wstring source;
  std::wstring discPath;
};

// The lines of a burn file list's text (after its byte-order mark), up to
// the closing empty line. Nothing when the text is not a complete list: a
// line without its TAB or CR LF, an empty source, or no closing line.
std::optional<std::vector<ListLine>> ParseBurnList(const std::wstring& text);

// What one line asks of the disc.
enum class ItemKind {
  kFile,    // a file at its disc path, equal to its source byte for byte
  kFolder,  // an empty folder of the source: a folder at its disc path
  kImage,   // the disc's sectors, equal to the image from the first byte on
};
struct Item {
  ItemKind kind = ItemKind::kFile;
  std::wstring source;
  std::wstring onDisc;  // the path read back ("E:\sub\file"), or the image's drive
};

// The drive's root and a disc path joined: "E:" and "\sub\file" give
// "E:\sub\file"; a disc path without its leading backslash gets one.
std::wstring OnDiscPath(wchar_t driveLetter, const std::wstring& discPath);

// The items to compare, in list order. A line whose source is a folder
// (`isFolder` tells) is an empty folder; a line without a disc path is an
// image (the only line of an ISO disc's list).
std::vector<Item> ItemsOf(const std::vector<ListLine>& lines, wchar_t driveLetter,
                          bool (*isFolder)(const std::wstring& source));

// Where the first differing byte lies in two blocks of `size` bytes, or
// nothing when they are equal.
std::optional<size_t> FirstDifference(const unsigned char* a, const unsigned char* b, size_t size);

// How a read-back ended.
enum class Outcome {
  kVerified,       // every item equal
  kNotVerifiable,  // an image disc whose drive cannot be read raw: the disc counts as the engine said
  kDiffers,        // a file or the image differs from its source (at `offset`)
  kSizeDiffers,    // a file on the disc has another size than its source
  kMissing,        // an item is not on the disc
  kReadError,      // the disc or a source could not be read (`error`)
  kNoDisc,         // the drive shows no disc at all
  kCancelled,      // the user stopped the read-back
  kBadList,        // the burn file list cannot be read as one
};
struct Result {
  Outcome outcome = Outcome::kVerified;
  std::wstring path;    // the item concerned
  uint64_t offset = 0;  // kDiffers: the first differing byte
  uint64_t expected = 0, found = 0;  // kSizeDiffers: the source's and the disc's size
  uint32_t error = 0;   // kReadError, kNotVerifiable, kNoDisc: the system's error code
};

// A disc that verified, or that could not be verified but counts as made.
bool CountsAsMade(Outcome outcome);
// The user can do nothing but put the disc back (rather than write anew).
bool AsksForTheDisc(Outcome outcome);

// The log entry's message: what was compared and where it ended, e.g.
// "differs at byte 0x0000000000001000: E:\sub\file".
std::wstring LogText(const Result& result);

}  // namespace verify
}  // namespace tw
