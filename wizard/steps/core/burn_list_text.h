// Content of the burn file list: the search patterns and paths of the
// directory walk, the lines (source path, TAB, path on the disc, CR LF), the
// exclusion match and the pick of one disc's files from an image layout.
// No platform headers: this compiles natively as well as for Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw {

// The list's closing line: a lone CR LF.
constexpr wchar_t kBurnListEndLine[] = L"\r\n";

// Longest item of an image layout that fits the fixed 260-unit path buffer.
constexpr size_t kLayoutItemMax = 260;

// Path on the disc of `source`: its first `folderLength` characters cut off,
// with a backslash in front when the rest does not start with one.
std::wstring DiscPathOf(const std::wstring& source, size_t folderLength);

// "%s\t%s\r\n" of the source path and its disc path.
std::wstring BurnListLine(const std::wstring& source, size_t folderLength);

// "%s\t\r\n": an ISO image is burnt as an image, so it has no disc path.
std::wstring IsoListLine(const std::wstring& imagePath);

// "%s*.iso" for a folder ending with a backslash, else "%s\*.iso".
std::wstring IsoSearchPattern(const std::wstring& folder);
// "%s*" for a folder ending with a backslash, else "%s\*".
std::wstring FolderSearchPattern(const std::wstring& folder);
// Folder and entry name joined by one backslash.
std::wstring ChildPath(const std::wstring& folder, const std::wstring& name);
// "." and "..", which the walk passes over.
bool IsDotEntry(const std::wstring& name);

// Whether `path` equals, ignoring letter case, one of the `count` entries.
bool IsExcluded(const std::wstring& path, const std::wstring* entries, uint32_t count);

// One disc's files, picked from an image layout text: the member paths in
// packing order, TAB between files of one disc, "\n" after each disc's
// line, an empty line at the end.
struct LayoutPick {
  std::vector<std::wstring> items;     // the files of the wanted disc
  std::optional<std::wstring> failure;  // log message when the text is unusable
};

// Walks the lines from the first (index 0) until the end of the text, an
// empty line or `maxLines` lines, and takes the items of line `discNumber`.
// Fails on a line without its "\n", an empty item, an item longer than
// kLayoutItemMax (on any line: every item must fit the path buffer), and
// when the wanted line is not there.
LayoutPick PickLayoutLine(const std::wstring& layout, uint32_t maxLines, uint32_t discNumber);

}  // namespace tw
