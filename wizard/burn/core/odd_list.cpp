#include "burn/core/odd_list.h"

#include <algorithm>

#include "app/core/text.h"

namespace tw {

std::wstring TextUpToNul(const wchar_t* buffer, size_t units) {
  if (!buffer) return std::wstring();
  const wchar_t* end = std::find(buffer, buffer + units, L'\0');
  return std::wstring(buffer, end);
}

void ApplyCapabilityCode(OddInfo& drive, uint32_t code) {
  if (code >= 101 && code <= 104) drive.DvdWritable = true;
  if (code == 105) drive.Flag105 = true;
  if (code == 201 || code == 202) drive.BdWritable = true;
  if (code == 203 || code == 204) drive.Flag203 = true;
  if (code == 205 || code == 206) drive.Flag205 = true;
  if (code == 207) drive.Flag207 = true;
}

OddListResult ParseOddsList(const std::wstring& text, uint32_t capacity) {
  OddListResult result;
  const size_t n = text.size();
  auto fail = [&result](OddListError error, std::wstring message) {
    result.error = error;
    result.logMessage = std::move(message);
    return result;
  };

  size_t pos = 0;
  // An empty line (or the end of the text) ends the list.
  while (pos < n && text[pos] != L'\n') {
    const uint32_t count = static_cast<uint32_t>(result.drives.size());
    if (count >= capacity) return fail(OddListError::TooManyDrives, Hex8Pair(capacity, count));

    size_t lineEnd = text.find(L'\n', pos);
    if (lineEnd == std::wstring::npos) lineEnd = n;

    OddInfo drive;
    const size_t letterTab = text.find(L'\t', pos);
    if (letterTab == std::wstring::npos || letterTab > lineEnd) {
      return fail(OddListError::NoLetterTab, text.substr(pos));
    }
    if (letterTab > pos) drive.DriveLetter = text[pos];
    pos = letterTab + 1;

    const size_t nameTab = text.find(L'\t', pos);
    if (nameTab == std::wstring::npos || nameTab > lineEnd) {
      return fail(OddListError::NoNameTab, text.substr(pos));
    }
    drive.DriveName = text.substr(pos, nameTab - pos);
    pos = nameTab + 1;

    if (lineEnd == n) return fail(OddListError::NoLineFeed, text.substr(pos));
    while (pos <= lineEnd) {
      size_t tokenEnd = text.find(L',', pos);
      if (tokenEnd == std::wstring::npos || tokenEnd > lineEnd) tokenEnd = lineEnd;
      const std::wstring token = text.substr(pos, tokenEnd - pos);
      uint32_t code = 0;
      if (!token.empty()) {
        if (!ScanUnsigned(token, code)) code = 0;
        ApplyCapabilityCode(drive, code);
      }
      pos = tokenEnd + 1;
    }

    if (drive.DvdWritable && drive.DriveLetter != 0) result.drives.push_back(std::move(drive));
  }
  return result;
}

}  // namespace tw
