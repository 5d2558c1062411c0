#include "disc_info_text.h"

#include "app/core/text.h"

namespace tw {
namespace {

constexpr uint32_t kHighestBootImgType = 4;

std::wstring Section(const std::wstring& name) { return L"[" + name + L"]\r\n"; }
std::wstring Entry(const std::wstring& key, const std::wstring& value) { return key + L"=" + value + L"\r\n"; }

}  // namespace

std::optional<std::wstring> WritingTypeOf(int32_t type) {
  switch (type) {
    case 0:
      return std::wstring(L"ISO");
    case 1:
    case 2:
      return std::wstring(L"Files");
    case 3:
      return std::wstring(L"Files_Bootable");
    default:
      return std::nullopt;
  }
}

std::optional<std::wstring> DiscTypeKeyOf(int32_t discType) {
  switch (discType) {
    case 0:
      return std::wstring(L"DVD_1");
    case 1:
      return std::wstring(L"BD_1");
    default:
      return std::nullopt;
  }
}

std::wstring DriveRootOf(wchar_t letter) { return std::wstring(1, letter) + L":\\"; }

DiscInfoLayout LayOutDiscInfo(const std::wstring& appName, const std::wstring& driveRoot, int32_t discType,
                              const std::wstring& listPath, const DiscEntry& entry) {
  DiscInfoLayout out;
  auto& lines = out.lines;
  lines.push_back(Section(L"MainUI"));
  lines.push_back(Entry(L"WndTitle", appName));
  lines.push_back(Section(L"ProgressUI"));
  lines.push_back(Entry(L"Title", appName));
  lines.push_back(Section(L"WriteInfo"));
  lines.push_back(Entry(L"Title", entry.Title));

  const std::optional<std::wstring> writingType = WritingTypeOf(entry.Type);
  if (!writingType) {
    out.failure = Hex8(static_cast<uint32_t>(entry.Type));
    return out;
  }
  lines.push_back(Entry(L"WritingType", *writingType));
  lines.push_back(Entry(L"WriteData", listPath));

  if (entry.Type == 3) {
    lines.push_back(Entry(L"BootImg", entry.BootImg));
    if (entry.BootImgType > kHighestBootImgType) {
      out.failure = Hex8With(entry.BootImgType, entry.Title);
      return out;
    }
    lines.push_back(Entry(L"BootImgType", Dec(entry.BootImgType)));
  }

  lines.push_back(Entry(L"ODD", driveRoot));
  const std::optional<std::wstring> disc = DiscTypeKeyOf(discType);
  if (!disc) {
    out.failure = Hex8With(static_cast<uint32_t>(discType), entry.Title);
    return out;
  }
  lines.push_back(Entry(L"Disc", *disc));
  lines.push_back(Entry(L"WritingSpeed", L"2"));

  lines.push_back(Section(L"Option"));
  if (!entry.VolumeLabel.empty()) lines.push_back(Entry(L"VolumeLabel", entry.VolumeLabel));
  return out;
}

std::wstring WithoutLineEnd(const std::wstring& line) {
  std::wstring text = line;
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, L"\r\n") == 0) text.resize(text.size() - 2);
  return text;
}

}  // namespace tw
