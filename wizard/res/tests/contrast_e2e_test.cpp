// The real wizard under the high-contrast mode (the test build's seam turns
// it on, with a white-on-black scheme of system colours as the system sets
// one): on every step the banner, the title, the step boxes, the banner's
// buttons and the step area are drawn in the scheme's colours, with none of
// the designer's colours or artwork left, and the texts stand out.
#include <windows.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>

#include "e2e_support.h"
#include "res/resource.h"
#include "testing/test_build.h"
#include "ui/gdi.h"
#include "ui/core/wizard_tables.h"

namespace {

using twdrive::Step;

// The session's system colours, put back at the end whatever happens to
// the wizard (the seam sets them for the whole session).
class SystemColorsKept {
 public:
  SystemColorsKept() {
    for (int i = 0; i < kCount; ++i) colors_[static_cast<size_t>(i)] = ::GetSysColor(i);
  }
  ~SystemColorsKept() {
    std::array<INT, kCount> indices{};
    for (int i = 0; i < kCount; ++i) indices[static_cast<size_t>(i)] = i;
    ::SetSysColors(kCount, indices.data(), colors_.data());
  }
  SystemColorsKept(const SystemColorsKept&) = delete;
  SystemColorsKept& operator=(const SystemColorsKept&) = delete;

 private:
  static constexpr int kCount = 31;
  std::array<COLORREF, kCount> colors_{};
};

RECT ScreenRectOf(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return r;
}

size_t Count(const twdrive::Pixels& pixels, COLORREF color) {
  size_t n = 0;
  for (COLORREF c : pixels.colors) n += c == color ? 1 : 0;
  return n;
}

// The main window's client rectangle on the screen.
RECT ClientOnScreen(HWND main) {
  RECT client{};
  ::GetClientRect(main, &client);
  ::MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return client;
}

void ExpectHighContrastLook(const twdrive::WizardRun& run, uint32_t currentStep, const char* step) {
  SCOPED_TRACE(step);
  HWND main = run.Main();
  ::RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  ASSERT_TRUE(run.Settle());
  const auto& scheme = twtest::kHighContrastScheme;
  const COLORREF window = scheme[COLOR_WINDOW], text = scheme[COLOR_WINDOWTEXT];
  const COLORREF highlight = scheme[COLOR_HIGHLIGHT], face = scheme[COLOR_BTNFACE];
  const auto all = twdrive::ScreenPixels(ClientOnScreen(main));
  ASSERT_TRUE(all);
  EXPECT_EQ(Count(*all, RGB(179, 207, 232)), 0u) << "the designer's banner colour is left";
  EXPECT_GT(Count(*all, window), all->colors.size() / 2) << "the window is not in the scheme's colours";
  EXPECT_GT(Count(*all, text), 200u) << "no text in the scheme's text colour";

  // The banner's background and its title.
  const auto banner = twdrive::ScreenPixels(ScreenRectOf(::GetDlgItem(main, IDC_TITLE)));
  ASSERT_TRUE(banner);
  EXPECT_GT(Count(*banner, window), banner->colors.size() / 2);
  EXPECT_GT(twdrive::PixelsApartFrom(*banner, window), 100u) << "the title does not stand out";

  // The step boxes: the current one in the highlight colour, the others in
  // the button face, each with its name standing out.
  RECT client{};
  ::GetClientRect(main, &client);
  const tw::WindowDc screen(nullptr);
  const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
  const auto boxes = tw::ui::IndicatorBoxes(tw::ui::IndicatorArea(client.right, dpi, dpi));
  const RECT origin = ClientOnScreen(main);
  for (uint32_t i = 0; i < 4; ++i) {
    const RECT box{origin.left + boxes[i].left, origin.top + boxes[i].top, origin.left + boxes[i].right,
                   origin.top + boxes[i].bottom};
    const auto pixels = twdrive::ScreenPixels(box);
    ASSERT_TRUE(pixels);
    const COLORREF fill = i == currentStep ? highlight : face;
    EXPECT_GT(Count(*pixels, fill), pixels->colors.size() / 2) << "box " << i;
    EXPECT_GT(twdrive::PixelsApartFrom(*pixels, fill), 50u) << "box " << i << " shows no name";
  }

  // The banner's buttons: plain shapes in the button colours.
  for (int id : {IDC_HELP_BUTTON, IDC_MINIMISE_BUTTON}) {
    const auto pixels = twdrive::ScreenPixels(ScreenRectOf(::GetDlgItem(main, id)));
    ASSERT_TRUE(pixels);
    const size_t plain = Count(*pixels, face) + Count(*pixels, scheme[COLOR_BTNTEXT]) + Count(*pixels, highlight) +
                         Count(*pixels, scheme[COLOR_HIGHLIGHTTEXT]);
    EXPECT_GT(plain, pixels->colors.size() * 8 / 10) << "button " << id;
  }
  // The step area behind the step's controls.
  const auto area = twdrive::ScreenPixels(ScreenRectOf(run.StepDialog()));
  ASSERT_TRUE(area);
  EXPECT_GT(Count(*area, window), area->colors.size() / 3);
  if (const wchar_t* dir = _wgetenv(L"TW_SHOT_DIR")) {
    twdrive::CaptureWindow(main, std::wstring(dir) + L"\\" + std::wstring(step, step + strlen(step)) + L".bmp");
  }
}

TEST(HighContrast, EveryStepDrawsInTheSchemesColours) {
  SystemColorsKept kept;
  e2e::Deployment deployment;
  ASSERT_EQ(deployment.error(), "");
  deployment.SetHighContrast(true);
  twdrive::WizardRun run;
  ASSERT_TRUE(e2e::StartToFirstStep(deployment, run));
  ExpectHighContrastLook(run, 0, "select");
  ASSERT_TRUE(run.ChooseDiscSet(L"Support Tools")) << twtest::Narrow(run.problem());
  ASSERT_TRUE(run.NextTo(Step::kCheckDisc));
  ExpectHighContrastLook(run, 1, "check");
  HWND make = run.NextTo(Step::kMakeDisc);
  ASSERT_TRUE(make);
  ExpectHighContrastLook(run, 2, "make");
  run.Next();
  ASSERT_TRUE(run.WaitStep(Step::kFinish, make, 60000));
  ExpectHighContrastLook(run, 3, "finish");
  run.Next();
  EXPECT_EQ(run.WaitExit(), 0u);
}

}  // namespace
