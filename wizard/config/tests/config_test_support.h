// Shared fixtures of the configuration tests under Wine.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/settings.h"
#include "test_support.h"

namespace cfgtest {

using twtest::RecoveryDrive;
using twtest::SettingsGuard;

constexpr uint64_t kMiB = 1ull << 20;

// Drive letter of a path ("C" of "C:\users\...").
inline wchar_t DriveOf(const std::wstring& path) { return path.empty() ? L'\0' : path[0]; }
// The path written with the "?" drive mark in place of its letter.
inline std::wstring Marked(const std::wstring& path) { return L"?" + path.substr(1); }

// Writes an image set in `folder`: base.inf with ImageInfo, and a file of
// the given size for each further member name (".nv", ".fc2", ".002"...).
struct Member {
  std::wstring extension;
  uint64_t size;
};
void MakeImageSet(const std::wstring& folder, const std::wstring& base, const std::wstring& imageInfo,
                  const std::vector<Member>& members);

}  // namespace cfgtest
