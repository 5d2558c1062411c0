#include "burn_test_support.h"

#include <stdexcept>

#include "burn/brn_app_cnctor.h"

namespace burntest {

FakeProduct::FakeProduct(bool withEngine, bool withLibrary) : key_(CBrnAppCnctor::kProductKey) {
  auto copy = [this](const wchar_t* name) {
    if (!::CopyFileW((twtest::StandinDir() + L"\\" + name).c_str(), (dir_ / name).c_str(), FALSE)) {
      throw std::runtime_error("stand-in missing from the build");
    }
  };
  if (withEngine) copy(L"KSCORE.exe");
  if (withLibrary) copy(L"KSIF.dll");
  key_.SetString(CBrnAppCnctor::kInstFolderValue, dir_.path());
}

void FakeProduct::SetLibrarySettings(const std::wstring& text) { twtest::WriteTextFile(dir_ / L"KSIF.ini", text); }

void FakeProduct::SetEngineSettings(const std::wstring& text) { twtest::WriteTextFile(dir_ / L"KSCORE.ini", text); }

std::wstring FakeProduct::EngineSetting(const wchar_t* section, const wchar_t* key) const {
  wchar_t value[4096] = {};
  ::GetPrivateProfileStringW(section, key, L"", value, 4096, (dir_ / L"KSCORE.ini").c_str());
  return value;
}

std::wstring FakeProduct::MakeVirtualDisc(const std::wstring& name, bool marked) {
  const std::wstring disc = dir_ / name;
  twtest::MakeDirs(disc);
  if (marked) twtest::WriteBytes(disc + L"\\KSVDISC.TAG", "");
  return disc;
}

}  // namespace burntest
