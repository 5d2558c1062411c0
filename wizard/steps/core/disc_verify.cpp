#include "disc_verify.h"

#include <cstring>

#include "app/core/text.h"

namespace tw {
namespace verify {

std::optional<std::vector<ListLine>> ParseBurnList(const std::wstring& text) {
  std::vector<ListLine> lines;
  size_t at = 0;
  for (;;) {
    const size_t end = text.find(L"\r\n", at);
    if (end == std::wstring::npos) return std::nullopt;  // no closing empty line
    if (end == at) return lines;                         // the closing empty line
    const std::wstring line = text.substr(at, end - at);
    const size_t tab = line.find(L'\t');
    if (tab == std::wstring::npos || tab == 0) return std::nullopt;
    lines.push_back(ListLine{line.substr(0, tab), line.substr(tab + 1)});
    at = end + 2;
  }
}

std::wstring OnDiscPath(wchar_t driveLetter, const std::wstring& discPath) {
  std::wstring path(1, driveLetter);
  path += L':';
  if (discPath.empty() || discPath.front() != L'\\') path += L'\\';
  return path + discPath;
}

std::vector<Item> ItemsOf(const std::vector<ListLine>& lines, wchar_t driveLetter,
                          bool (*isFolder)(const std::wstring& source)) {
  std::vector<Item> items;
  items.reserve(lines.size());
  for (const ListLine& line : lines) {
    Item item;
    item.source = line.source;
    if (line.discPath.empty()) {
      item.kind = ItemKind::kImage;
      item.onDisc = std::wstring(1, driveLetter) + L":";
    } else {
      item.kind = isFolder && isFolder(line.source) ? ItemKind::kFolder : ItemKind::kFile;
      item.onDisc = OnDiscPath(driveLetter, line.discPath);
    }
    items.push_back(std::move(item));
  }
  return items;
}

std::optional<size_t> FirstDifference(const unsigned char* a, const unsigned char* b, size_t size) {
  if (size == 0 || std::memcmp(a, b, size) == 0) return std::nullopt;
  for (size_t i = 0; i < size; ++i) {
    if (a[i] != b[i]) return i;
  }
  return std::nullopt;
}

bool CountsAsMade(Outcome outcome) { return outcome == Outcome::kVerified || outcome == Outcome::kNotVerifiable; }

bool AsksForTheDisc(Outcome outcome) { return outcome == Outcome::kNoDisc; }

std::wstring LogText(const Result& r) {
  switch (r.outcome) {
    case Outcome::kVerified:
      return L"verified";
    case Outcome::kNotVerifiable:
      return L"not verified: the drive cannot be read raw (" + Hex8(r.error) + L"): " + r.path;
    case Outcome::kDiffers:
      return L"differs at byte " + Dec(r.offset) + L": " + r.path;
    case Outcome::kSizeDiffers:
      return L"size " + Dec(r.found) + L" instead of " + Dec(r.expected) + L": " + r.path;
    case Outcome::kMissing:
      return L"missing: " + r.path;
    case Outcome::kReadError:
      return L"read error " + Hex8(r.error) + L" at byte " + Dec(r.offset) + L": " + r.path;
    case Outcome::kNoDisc:
      return L"no disc (" + Hex8(r.error) + L"): " + r.path;
    case Outcome::kCancelled:
      return L"stopped by the user at: " + r.path;
    case Outcome::kBadList:
      return L"the burn file list cannot be read: " + r.path;
  }
  return L"";
}

}  // namespace verify
}  // namespace tw
