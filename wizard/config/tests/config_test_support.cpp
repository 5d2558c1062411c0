#include "config_test_support.h"

namespace cfgtest {

void MakeImageSet(const std::wstring& folder, const std::wstring& base, const std::wstring& imageInfo,
                  const std::vector<Member>& members) {
  twtest::MakeDirs(folder);
  twtest::WriteTextFile(folder + L"\\" + base + L".inf", L"[ImageFileInfo]\r\nImageInfo=" + imageInfo + L"\r\n",
                        twtest::Encoding::Ansi);
  for (const Member& member : members) twtest::MakeSizedFile(folder + L"\\" + base + member.extension, member.size);
}

}  // namespace cfgtest
