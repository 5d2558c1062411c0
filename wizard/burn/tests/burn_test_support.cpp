#include "burn_test_support.h"

#include <algorithm>
#include <stdexcept>

#include "burn/brn_app_cnctor.h"

namespace burntest {

std::wstring StandinDir() {
  // The build folder as the Wine prefix's Z: drive sees it.
  std::string dir = TW_STANDIN_DIR;
  std::replace(dir.begin(), dir.end(), '/', '\\');
  return L"Z:" + std::wstring(dir.begin(), dir.end());
}

FakeProduct::FakeProduct(bool withEngine, bool withLibrary) : key_(CBrnAppCnctor::kProductKey) {
  auto copy = [this](const wchar_t* name) {
    if (!::CopyFileW((StandinDir() + L"\\" + name).c_str(), (dir_ / name).c_str(), FALSE)) {
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

namespace {
void Walk(const std::wstring& root, const std::wstring& relative, std::vector<TreeFile>& out) {
  WIN32_FIND_DATAW data;
  HANDLE find = ::FindFirstFileW((root + relative + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (relative.empty() && name == L"KSVDISC.TAG") continue;
    const std::wstring child = relative + L"\\" + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out.push_back({child + L"\\", std::string()});
      Walk(root, child, out);
    } else {
      out.push_back({child, twtest::ReadBytes(root + child)});
    }
  } while (::FindNextFileW(find, &data));
  ::FindClose(find);
}
}  // namespace

std::vector<TreeFile> ReadTree(const std::wstring& root) {
  std::vector<TreeFile> out;
  Walk(root, L"", out);
  std::sort(out.begin(), out.end(), [](const TreeFile& a, const TreeFile& b) { return a.path < b.path; });
  return out;
}

std::string PatternBytes(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned state = seed * 2654435761u + 1;
  for (char& c : bytes) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 16);
  }
  return bytes;
}

}  // namespace burntest
