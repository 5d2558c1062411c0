// The two primitives every INI section reader rests on: fetching one whole
// section with a single platform call, and matching a line to a key.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/core/ini_core.h"

// A section as the profile-section call returns it: NUL-ended lines and an
// empty line after the last. Its capacity in characters equals the file's
// size in bytes, so a whole section always fits.
struct SectionBuffer {
  std::unique_ptr<wchar_t[]> data;
  uint32_t capacity = 0;

  void reset() {
    data.reset();
    capacity = 0;
  }
  std::vector<std::wstring> Lines() const { return tw::ini::SectionLines(data.get(), capacity); }
};

class CBaseIniMgr {
 public:
  // Files larger than this are not read at all.
  static constexpr uint64_t kMaxIniFileBytes = 64ull << 20;

  // Releases what `buffer` held and fetches `section` of `iniPath` into a
  // new one. False (and one log entry) when the file is missing, a folder,
  // empty, or too large for a buffer; true otherwise, also when the section
  // does not exist (the buffer then holds no line).
  static bool GetTargetSecData(const std::wstring& iniPath, const std::wstring& section, SectionBuffer& buffer);

  // True when `line` is `keyName` directly followed by "=" (name compared
  // ignoring case); `value` then receives the rest of the line untouched.
  static bool GetValueOfKey(const std::wstring& line, const std::wstring& keyName, std::wstring& value);
};
