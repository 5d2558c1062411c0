// Helpers shared by the Wine tests of the per-disc files.
#pragma once

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/core/text.h"
#include "app/settings.h"
#include "test_support.h"

namespace stepstest {

using twtest::FileBesideExe;
using twtest::SettingsGuard;

// What the list writers find around the wizard: the storage drive letter in
// the registry (the exclusion lists ask for it) and the common exclusion
// list beside the program, empty unless a test fills it.
class ListSurroundings {
 public:
  explicit ListSurroundings(wchar_t storageLetter) : storage_(storageLetter) { SetCommonList(L""); }
  void SetCommonList(const std::wstring& text) {
    common_.reset();
    common_ = std::make_unique<FileBesideExe>(L"TarnSet_Exclusion.ini", text);
  }
  void RemoveCommonList() { common_.reset(); }

 private:
  twtest::RecoveryDrive storage_;
  std::unique_ptr<FileBesideExe> common_;
};

// The bytes a UTF-16 file with byte order mark holds for `text`.
inline std::string Utf16File(const std::wstring& text) { return std::string("\xFF\xFE", 2) + tw::ToUtf16Le(text); }

// No UTF-16 NUL unit after the two bytes of the mark.
inline bool HasNulUnit(const std::string& bytes) {
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    if (bytes[i] == 0 && bytes[i + 1] == 0) return true;
  }
  return false;
}

// The entry lines of a burn file list (mark, lines, closing empty line),
// sorted, since the order within a folder is the directory search's. Empty
// when the framing is wrong.
inline std::vector<std::wstring> SortedListLines(const std::string& bytes) {
  if (bytes.size() < 6 || bytes.compare(0, 2, "\xFF\xFE") != 0) return {};
  std::wstring text = tw::FromUtf16Le(bytes.substr(2));
  if (text.size() < 2 || text.compare(text.size() - 2, 2, L"\r\n") != 0) return {};
  text.resize(text.size() - 2);  // the closing empty line
  std::vector<std::wstring> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find(L"\r\n", pos);
    if (end == std::wstring::npos) return {};
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace stepstest
