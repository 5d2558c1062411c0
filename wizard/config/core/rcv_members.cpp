#include "rcv_members.h"

#include "app/core/text.h"

namespace tw {
namespace rcv {

bool IsInformationFileName(const std::wstring& name) {
  const size_t dot = name.rfind(L'.');
  return dot != std::wstring::npos && EqualsNoCase(name.substr(dot + 1), L"inf");
}

bool ImageInfoAccepted(const std::wstring& imageInfo, const std::wstring& accepted32,
                       const std::wstring& accepted64) {
  if (accepted32.empty() && accepted64.empty()) return true;
  return (!accepted32.empty() && imageInfo == accepted32) || (!accepted64.empty() && imageInfo == accepted64);
}

std::wstring PiecePath(const std::wstring& base, uint32_t piece) {
  if (piece == 1) return base + L".fc2";
  std::wstring number = Dec(piece);
  if (number.size() < 3) number.insert(0, 3 - number.size(), L'0');
  return base + L"." + number;
}

}  // namespace rcv
}  // namespace tw
