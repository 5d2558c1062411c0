#include "config_test_support.h"

namespace cfgtest {

namespace {
constexpr wchar_t kTestKey[] = L"SOFTWARE\\Norvane\\TwConfigTest";
constexpr wchar_t kTestValue[] = L"DRV3";
}  // namespace

RecoveryDrive::RecoveryDrive(wchar_t letter) : key_(kTestKey) {
  tw::Settings().StorageDriveRegKey = kTestKey;
  tw::Settings().StorageDriveRegValueName = kTestValue;
  if (letter != L'\0') key_.SetString(kTestValue, std::wstring(1, letter) + L":");
}

void MakeImageSet(const std::wstring& folder, const std::wstring& base, const std::wstring& imageInfo,
                  const std::vector<Member>& members) {
  twtest::MakeDirs(folder);
  twtest::WriteTextFile(folder + L"\\" + base + L".inf", L"[ImageFileInfo]\r\nImageInfo=" + imageInfo + L"\r\n",
                        twtest::Encoding::Ansi);
  for (const Member& member : members) twtest::MakeSizedFile(folder + L"\\" + base + member.extension, member.size);
}

}  // namespace cfgtest
