#include "burn_list_text.h"

#include "app/core/text.h"

namespace tw {
namespace {
bool EndsWithBackslash(const std::wstring& text) { return !text.empty() && text.back() == L'\\'; }
}  // namespace

std::wstring DiscPathOf(const std::wstring& source, size_t folderLength) {
  std::wstring rest = folderLength < source.size() ? source.substr(folderLength) : std::wstring();
  if (rest.empty() || rest.front() != L'\\') rest.insert(rest.begin(), L'\\');
  return rest;
}

std::wstring BurnListLine(const std::wstring& source, size_t folderLength) {
  return source + L"\t" + DiscPathOf(source, folderLength) + L"\r\n";
}

std::wstring IsoListLine(const std::wstring& imagePath) { return imagePath + L"\t\r\n"; }

std::wstring IsoSearchPattern(const std::wstring& folder) {
  return folder + (EndsWithBackslash(folder) ? L"*.iso" : L"\\*.iso");
}

std::wstring FolderSearchPattern(const std::wstring& folder) {
  return folder + (EndsWithBackslash(folder) ? L"*" : L"\\*");
}

std::wstring ChildPath(const std::wstring& folder, const std::wstring& name) {
  // A folder given with its trailing backslash must not produce "\\" in the
  // middle: such a path would never equal an exclusion entry.
  return EndsWithBackslash(folder) ? folder + name : folder + L"\\" + name;
}

bool IsDotEntry(const std::wstring& name) { return name == L"." || name == L".."; }

bool IsExcluded(const std::wstring& path, const std::wstring* entries, uint32_t count) {
  if (!entries) return false;
  for (uint32_t i = 0; i < count; ++i) {
    if (EqualsNoCase(path, entries[i])) return true;
  }
  return false;
}

LayoutPick PickLayoutLine(const std::wstring& layout, uint32_t maxLines, uint32_t discNumber) {
  LayoutPick pick;
  bool found = false;
  size_t pos = 0;
  for (uint32_t index = 0; index < maxLines && pos < layout.size(); ++index) {
    if (layout[pos] == L'\n' || layout[pos] == L'\0') break;
    const size_t lineEnd = layout.find(L'\n', pos);
    if (lineEnd == std::wstring::npos) {
      pick.failure = Hex8With(index, layout.substr(pos));
      break;
    }
    const bool wanted = index == discNumber;
    for (size_t itemStart = pos;;) {
      const size_t tab = layout.find(L'\t', itemStart);
      const size_t itemEnd = (tab != std::wstring::npos && tab < lineEnd) ? tab : lineEnd;
      const size_t length = itemEnd - itemStart;
      if (length == 0) {
        pick.failure = Hex8With(index, layout.substr(pos, lineEnd - pos));
        break;
      }
      if (length > kLayoutItemMax) {
        pick.failure = Hex8With(static_cast<uint32_t>(length), layout.substr(itemStart, length));
        break;
      }
      if (wanted) pick.items.push_back(layout.substr(itemStart, length));
      if (itemEnd == lineEnd) break;
      itemStart = itemEnd + 1;
    }
    if (pick.failure) break;
    found = found || wanted;
    pos = lineEnd + 1;
  }
  if (!pick.failure && !found) pick.failure = Hex8Pair(discNumber, maxLines);
  if (pick.failure) pick.items.clear();
  return pick;
}

}  // namespace tw
