// Where libraries come from once the search is restricted: a library of
// ours planted beside a program or in its current folder under a name the
// program loads is not loaded, and a maker's library loaded by its full
// path takes its own dependencies from beside it, never from the
// program's folder. Each plant is plant_probe.dll under another name; it
// leaves "<its path>.loaded" when it runs.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/handles.h"
#include "app/library_search.h"
#include "test_support.h"

namespace {

std::wstring Built(const wchar_t* name) { return twtest::ExeFolder() + L"\\" + name; }
bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// plant_host.exe in a folder of its own, with plants there and in the
// folder it is started in.
class PlantedHost {
 public:
  PlantedHost(const std::vector<std::wstring>& besideProgram, const std::vector<std::wstring>& inCurrentFolder) {
    ::CopyFileW(Built(L"plant_host.exe").c_str(), (program_ / L"plant_host.exe").c_str(), FALSE);
    for (const auto& name : besideProgram) Plant(program_ / name);
    for (const auto& name : inCurrentFolder) Plant(current_ / name);
  }
  // Runs the host ("plain" or "restrict") on the names; its exit code.
  DWORD Run(const std::wstring& mode, const std::vector<std::wstring>& names) {
    std::wstring line = L"\"" + (program_ / L"plant_host.exe") + L"\" " + mode;
    for (const auto& name : names) line += L" " + name;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                          current_.path().c_str(), &startup, &process)) {
      return 0xFFFFFFFF;
    }
    return twtest::WaitForExitCode(process);
  }
  // The plants that ran, then their marks removed.
  std::vector<std::wstring> TakeRan() {
    std::vector<std::wstring> ran;
    for (const auto& plant : plants_) {
      if (::DeleteFileW((plant + L".loaded").c_str())) ran.push_back(plant.substr(plant.rfind(L'\\') + 1));
    }
    return ran;
  }

 private:
  void Plant(const std::wstring& path) {
    ::CopyFileW(Built(L"plant_probe.dll").c_str(), path.c_str(), FALSE);
    plants_.push_back(path);
  }
  twtest::TempDir program_, current_;
  std::vector<std::wstring> plants_;
};

using Names = std::vector<std::wstring>;
// The host's exit code: two bits per name (1 system folder, 2 elsewhere,
// 0 not loaded), then 1 when the restriction was in force.
DWORD Where(const std::vector<DWORD>& places, bool restricted) {
  DWORD code = 0;
  for (size_t i = 0; i < places.size(); ++i) code |= places[i] << (2 * i);
  return code | (static_cast<DWORD>(restricted) << (2 * places.size()));
}

TEST(LibrarySearch, PlantsBesideTheProgramAndInTheCurrentFolderAreLoadedOnlyWithoutTheRestriction) {
  // dwmapi.dll is a system library whose copy in a program's folder this
  // platform loads; twplant.dll and twcurrent.dll exist only where planted.
  PlantedHost host({L"dwmapi.dll", L"twplant.dll"}, {L"twcurrent.dll"});
  const Names names = {L"dwmapi.dll", L"twplant.dll", L"twcurrent.dll"};
  // The control: without the restriction every plant runs.
  EXPECT_EQ(host.Run(L"plain", names), Where({2, 2, 2}, false));
  EXPECT_EQ(host.TakeRan(), (Names{L"dwmapi.dll", L"twplant.dll", L"twcurrent.dll"}));
  // Restricted as the wizard and as partlink are (each with its own code):
  // the system's own library, and nothing of the others.
  for (const wchar_t* mode : {L"restrict", L"restrict-partlink"}) {
    EXPECT_EQ(host.Run(mode, names), Where({1, 0, 0}, true)) << twtest::Narrow(mode);
    EXPECT_EQ(host.TakeRan(), Names{}) << twtest::Narrow(mode);
  }
}

TEST(LibrarySearch, AMakersLibraryTakesItsDependenciesFromBesideItNeverFromTheProgramsFolder) {
  // plant_probe.dll lies beside this test program, as every library of
  // the build does: the maker's library must not take it from there.
  const std::wstring besideProgram = Built(L"plant_probe.dll.loaded");
  ::DeleteFileW(besideProgram.c_str());
  twtest::TempDir maker;
  ASSERT_TRUE(::CopyFileW(Built(L"plant_user.dll").c_str(), (maker / L"plant_user.dll").c_str(), FALSE));
  {
    tw::UniqueModule user(tw::LoadLibraryByFullPath(maker / L"plant_user.dll"));
    const DWORD error = ::GetLastError();
    EXPECT_FALSE(user);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  }
  ASSERT_TRUE(::CopyFileW(Built(L"plant_probe.dll").c_str(), (maker / L"plant_probe.dll").c_str(), FALSE));
  {
    tw::UniqueModule user(tw::LoadLibraryByFullPath(maker / L"plant_user.dll"));
    ASSERT_TRUE(user);
    EXPECT_TRUE(Exists(maker / L"plant_probe.dll.loaded"));
  }
  EXPECT_FALSE(Exists(besideProgram));
  // A path that is not a full one is refused before anything is looked for.
  tw::UniqueModule relative(tw::LoadLibraryByFullPath(L"plant_user.dll"));
  EXPECT_FALSE(relative);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_BAD_PATHNAME));
}

}  // namespace
