// What ships is what runs: the executable's manifest fits the build's
// architecture and asks for elevation, and the running wizard gets the
// common controls 6 that the manifest names.
#include <gtest/gtest.h>

#include "app/core/text.h"
#include "e2e_support.h"
#include "res/resource.h"

namespace {

using e2e::Deployment;

// The build's own architecture as manifests and the side-by-side store
// name it.
const wchar_t* ManifestArchitecture() { return sizeof(void*) == 8 ? L"amd64" : L"x86"; }

std::string ManifestOf(const std::wstring& exe) {
  tw::UniqueModule image(::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!image) return std::string();
  HRSRC resource = ::FindResourceW(image.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  HGLOBAL loaded = resource ? ::LoadResource(image.get(), resource) : nullptr;
  const char* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
  return bytes ? std::string(bytes, ::SizeofResource(image.get(), resource)) : std::string();
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// The machine and characteristics fields of the executable's file header.
struct FileHeader {
  WORD machine = 0;
  WORD characteristics = 0;
};
FileHeader HeaderOf(const std::wstring& exe) {
  const std::string bytes = twtest::ReadBytes(exe);
  auto word = [&](size_t at) {
    return static_cast<WORD>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8);
  };
  if (bytes.size() < 0x40) return FileHeader{};
  const uint32_t pe = word(0x3C) | static_cast<uint32_t>(word(0x3E)) << 16;
  if (pe + 24 > bytes.size() || bytes.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return FileHeader{};
  return FileHeader{word(pe + 4), word(pe + 22)};
}

bool UnderWine() {
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

TEST(ShippedBuild, ManifestAndHeaderFitTheBuild) {
  const std::string arch = "processorArchitecture=\"" + twtest::Narrow(ManifestArchitecture()) + "\"";
  const WORD machine = sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;
  for (const std::wstring& exe : {twtest::HostPath(TW_SHIPPED_EXE), twtest::HostPath(TW_TEST_BUILD_EXE)}) {
    SCOPED_TRACE(twtest::Narrow(exe));
    const std::string manifest = ManifestOf(exe);
    ASSERT_FALSE(manifest.empty());
    EXPECT_EQ(Count(manifest, "processorArchitecture="), 2u);
    EXPECT_EQ(Count(manifest, arch), 2u) << "the program and its common controls";
    EXPECT_EQ(Count(manifest, "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), 1u);
    EXPECT_EQ(Count(manifest, "<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>"), 1u);
    const FileHeader header = HeaderOf(exe);
    EXPECT_EQ(header.machine, machine);
    if (sizeof(void*) == 4) {
      EXPECT_TRUE(header.characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE) << "4 GiB on 64-bit Windows";
    }
  }
}

// The test build's seams (power, high contrast, settling and measuring)
// are in the test build only: none of their names is in what ships.
TEST(ShippedBuild, TheSeamsOfTheTestBuildAreNotShipped) {
  auto wide = [](const std::string& text) {
    std::string bytes;
    for (char c : text) bytes += std::string{c, '\0'};
    return bytes;
  };
  const std::string shipped = twtest::ReadBytes(twtest::HostPath(TW_SHIPPED_EXE));
  const std::string test = twtest::ReadBytes(twtest::HostPath(TW_TEST_BUILD_EXE));
  ASSERT_FALSE(shipped.empty());
  for (const char* name : {"TestPower.ini", "TestDisplay.ini", "TestMeasure.txt", "Tarnwright.TestBuild.Settle"}) {
    EXPECT_EQ(Count(shipped, wide(name)), 0u) << name;
    EXPECT_GE(Count(test, wide(name)), 1u) << name;
  }
}

// Wine's common controls 6 answer DllGetVersion with 5.81 like its version
// 5; which library the process got shows in where it was loaded from: the
// side-by-side assembly of common controls 6 for the build's architecture.
TEST(ShippedBuild, RunningWizardHasCommonControls6) {
  Deployment deployment;
  ASSERT_EQ(deployment.error(), "");
  twdrive::WizardRun run;
  ASSERT_TRUE(e2e::StartToFirstStep(deployment, run));
  const std::wstring ini = deployment.Program() + L"\\TestBuild.ini";
  wchar_t path[MAX_PATH + 1] = {}, version[32] = {}, bits[8] = {};
  ::GetPrivateProfileStringW(L"Process", L"CommonControls", L"", path, MAX_PATH, ini.c_str());
  ::GetPrivateProfileStringW(L"Process", L"CommonControlsVersion", L"", version, 32, ini.c_str());
  ::GetPrivateProfileStringW(L"Process", L"PointerBits", L"", bits, 8, ini.c_str());
  const std::wstring assembly =
      std::wstring(L"\\winsxs\\") + ManifestArchitecture() + L"_microsoft.windows.common-controls_6595b64144ccf1df_6.";
  EXPECT_NE(tw::ToUpper(path).find(tw::ToUpper(assembly)), std::wstring::npos) << twtest::Narrow(path);
  if (UnderWine()) {
    EXPECT_EQ(std::wstring(version), L"5.81");
  } else {
    EXPECT_EQ(std::wstring(version).substr(0, 2), L"6.") << twtest::Narrow(version);
  }
  EXPECT_EQ(std::wstring(bits), std::to_wstring(sizeof(void*) * 8));
  run.Back();
  EXPECT_EQ(run.WaitExit(), 0u);
}

// How much of the title's rectangle on the screen (left of the system
// buttons, which lie on its right end) stands out from the banner colour,
// taken from the banner's left edge below the title.
size_t TitlePixels(HWND main) {
  RECT title{}, banner{};
  if (!::GetWindowRect(::GetDlgItem(main, IDC_TITLE), &title) || !::GetWindowRect(::GetDlgItem(main, IDC_BANNER), &banner)) {
    return 0;
  }
  for (int id : {IDC_HELP_BUTTON, IDC_MINIMISE_BUTTON, IDC_CLOSE_BUTTON}) {
    RECT button{};
    HWND window = ::GetDlgItem(main, id);
    if (window && ::IsWindowVisible(window) && ::GetWindowRect(window, &button) && button.left < title.right) {
      title.right = button.left;
    }
  }
  const auto background = twdrive::ScreenPixels(RECT{banner.left, banner.bottom - 2, banner.left + 1, banner.bottom - 1});
  const auto pixels = twdrive::ScreenPixels(title);
  if (!background || !pixels || background->colors.empty()) return 0;
  return twdrive::PixelsApartFrom(*pixels, background->colors[0]);
}

// The title lies on the owner-drawn banner: whichever repaints last, the
// application's name must be on the screen on every step, also after the
// whole window has been painted anew (as when it is uncovered).
TEST(ShippedBuild, TitleIsDrawnOnTheBannerOnEveryStep) {
  Deployment deployment;
  ASSERT_EQ(deployment.error(), "");
  twdrive::WizardRun run;
  ASSERT_TRUE(e2e::StartToFirstStep(deployment, run));
  auto titleShown = [&](const char* step) {
    ::RedrawWindow(run.Main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    size_t drawn = 0;
    const bool shown = twdrive::WaitUntil([&] { return (drawn = TitlePixels(run.Main())) >= 100; }, 10000);
    EXPECT_TRUE(shown) << "on the " << step << " step only " << drawn << " pixels of the title stand out";
  };
  titleShown("first");
  ASSERT_TRUE(run.ChooseDiscSet(L"Support Tools")) << twtest::Narrow(run.problem());
  ASSERT_TRUE(run.NextTo(twdrive::Step::kCheckDisc));
  titleShown("check-disc");
  ASSERT_TRUE(run.NextTo(twdrive::Step::kMakeDisc));
  titleShown("make-disc");
  ASSERT_TRUE(run.NextTo(twdrive::Step::kFinish, 60000));
  titleShown("finish");
  run.Next();
  EXPECT_EQ(run.WaitExit(), 0u);
}

}  // namespace
