#include "paths.h"

#include "core/text.h"

namespace tw {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
bool HasDrive(const std::wstring& path) { return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':'; }

}  // namespace

bool IsFullyQualifiedPath(const std::wstring& path) {
  if (HasDrive(path)) return path.size() >= 3 && IsSeparator(path[2]);
  return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

std::optional<std::wstring> ProgramPathFrom(const std::wstring& configured, const std::wstring& baseFolder) {
  if (IsFullyQualifiedPath(configured)) return configured;
  if (configured.empty() || HasDrive(configured) || IsSeparator(configured[0])) return std::nullopt;
  return JoinPath(WithoutTrailingBackslash(baseFolder), configured);
}

}  // namespace tw
