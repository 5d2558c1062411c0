#include <gtest/gtest.h>

#include "ui/core/wizard_tables.h"

namespace {

using namespace tw::ui;

TEST(WizardTables, StepTransitions) {
  struct Case {
    uint32_t current;
    bool forward;
    int32_t outcome;
    uint32_t disc, count, backToFirst;
    Transition::Kind kind;
    uint32_t step;
  };
  const Case cases[] = {
      {0, true, 0, 0, 0, 0, Transition::kNewStep, 1},
      {0, false, 0, 0, 0, 1, Transition::kEndWizard, 0},  // Back on the first step ends the wizard
      {1, true, 0, 0, 0, 0, Transition::kNewStep, 2},
      {1, false, 0, 0, 0, 0, Transition::kNewStep, 0},
      {2, true, 0, 1, 3, 0, Transition::kNewStep, 2},     // next disc
      {2, true, 0, 3, 3, 0, Transition::kNewStep, 3},     // last disc done
      {2, true, 0, 7, 3, 0, Transition::kNewStep, 3},     // past the end: never another disc
      {2, true, 1, 0, 3, 0, Transition::kNewStep, 3},     // failed
      {2, true, 2, 0, 3, 0, Transition::kNewStep, 3},     // aborted
      {2, true, -1, 0, 3, 0, Transition::kNewStep, 3},    // any other outcome ends the making too
      {2, false, 0, 0, 3, 0, Transition::kNewStep, 3},
      {3, true, 0, 0, 0, 0, Transition::kEndWizard, 0},
      {3, false, 0, 0, 0, 0, Transition::kEndWizard, 0},
      {3, true, 0, 0, 0, 1, Transition::kNewStep, 0},
      {3, false, 0, 0, 0, 5, Transition::kNewStep, 0},
      {4, true, 0, 0, 0, 0, Transition::kInvalidStep, 4},
      {0xFFFFFFFFu, false, 0, 0, 0, 0, Transition::kInvalidStep, 0xFFFFFFFFu},
  };
  for (const Case& c : cases) {
    const Transition t = NextStep(c.current, c.forward, c.outcome, c.disc, c.count, c.backToFirst);
    EXPECT_EQ(t.kind, c.kind) << "step " << c.current << " forward " << c.forward << " disc " << c.disc;
    if (t.kind == Transition::kNewStep) {
      EXPECT_EQ(t.step, c.step) << "step " << c.current;
    }
  }
}

TEST(WizardTables, ButtonStatesPerStep) {
  // step, back visible (=enabled), back text, next text, close enabled
  struct Case {
    uint32_t step;
    bool backVisibleSetting, back;
    ButtonText backText, nextText;
    bool closeEnabled;
  };
  const Case cases[] = {
      {0, true, true, ButtonText::kBack, ButtonText::kNext, true},
      {0, false, false, ButtonText::kBack, ButtonText::kNext, true},
      {1, false, true, ButtonText::kBack, ButtonText::kNext, true},
      {2, false, true, ButtonText::kBack, ButtonText::kNext, false},
      {3, true, false, ButtonText::kNone, ButtonText::kOk, true},
  };
  for (const Case& c : cases) {
    for (bool help : {false, true}) {
      const ButtonStates s = ButtonStatesOfStep(c.step, help, c.backVisibleSetting);
      ASSERT_TRUE(s.valid);
      EXPECT_EQ(s.helpVisible, help);
      EXPECT_EQ(s.helpEnabled, help);
      EXPECT_TRUE(s.minimiseVisible && s.minimiseEnabled && s.closeVisible && s.nextVisible && s.nextEnabled);
      EXPECT_EQ(s.closeEnabled, c.closeEnabled) << c.step;
      EXPECT_EQ(s.backVisible, c.back) << c.step;
      EXPECT_EQ(s.backEnabled, c.back) << c.step;
      EXPECT_EQ(s.backText, c.backText) << c.step;
      EXPECT_EQ(s.nextText, c.nextText) << c.step;
      EXPECT_FALSE(s.backDefault || s.nextDefault);
    }
  }
  EXPECT_FALSE(ButtonStatesOfStep(4, true, true).valid);
}

TEST(WizardTables, AreasAt96And144Dpi) {
  // At 96 DPI the layout values stand as given; at 144 they grow by half.
  EXPECT_EQ(StepArea(751, 96, 96), (Rect{0, 120, 751, 480}));
  EXPECT_EQ(StepArea(1126, 144, 144), (Rect{0, 180, 1126, 720}));
  EXPECT_EQ(IndicatorArea(751, 96, 96), (Rect{7, 86, 744, 120}));
  EXPECT_EQ(IndicatorArea(1126, 144, 144), (Rect{10, 129, 1116, 180}));
  EXPECT_EQ(FallbackClient(96, 96), (Rect{0, 0, 751, 527}));
  EXPECT_EQ(FallbackClient(144, 120), (Rect{0, 0, 1126, 658}));
  // Horizontal values follow the horizontal resolution, vertical the vertical.
  EXPECT_EQ(IndicatorArea(900, 120, 96), (Rect{8, 86, 892, 120}));
  EXPECT_EQ(Scale(-10, 144), -15);
}

TEST(WizardTables, IndicatorBoxesSplitTheRowInQuarters) {
  const auto boxes = IndicatorBoxes(Rect{7, 86, 744, 120});  // 737 wide: 184 each, 1 left over
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(boxes[i], (Rect{7 + 184 * i, 86, 7 + 184 * (i + 1), 120})) << i;
  }
  const BoxPieces p96 = StepBoxPieces(boxes[1], 18, 96);
  EXPECT_EQ(p96.left, (Rect{191, 86, 209, 120}));
  EXPECT_EQ(p96.middle, (Rect{209, 86, 357, 120}));
  EXPECT_EQ(p96.right, (Rect{357, 86, 375, 120}));
  const BoxPieces p144 = StepBoxPieces(Rect{10, 129, 286, 180}, 18, 144);
  EXPECT_EQ(p144.left.width(), 27);
  EXPECT_EQ(p144.middle, (Rect{37, 129, 259, 180}));
  // Narrower than both caps: the middle is empty, not negative.
  EXPECT_EQ(StepBoxPieces(Rect{0, 0, 20, 34}, 18, 96).middle.width(), 0);
}

TEST(WizardTables, SystemButtonsRunRightToLeftWithoutHoles) {
  const SystemButtonFrame f96 = SystemButtonFrameOf(751, 96, 96);
  EXPECT_EQ(f96.rightEdge, 736);
  EXPECT_EQ(f96.top, 10);
  EXPECT_EQ(f96.gap, 10);
  const SystemButtonFrame f144 = SystemButtonFrameOf(1126, 144, 144);
  EXPECT_EQ(f144.rightEdge, 1126 - 22);
  EXPECT_EQ(f144.top, 15);
  const std::array<int32_t, 3> w = {38, 38, 38};
  EXPECT_EQ(ArrangeSystemButtons(736, 10, w, {true, true, true}), (std::array<int32_t, 3>{602, 650, 698}));
  // Minimise hidden: help moves next to close.
  EXPECT_EQ(ArrangeSystemButtons(736, 10, w, {true, false, true})[0], 650);
  // Close hidden: minimise takes its place.
  EXPECT_EQ(ArrangeSystemButtons(736, 10, w, {true, true, false}), (std::array<int32_t, 3>{650, 698, 698}));
}

TEST(WizardTables, TheStepAreaEndsWhereBackAndNextBegin) {
  const Rect area = StepArea(751, 96, 96);
  EXPECT_EQ(StepAreaAbove(area, 481), area);                    // the buttons lie below: unchanged
  EXPECT_EQ(StepAreaAbove(area, 447), (Rect{0, 120, 751, 447}));  // they come higher: it ends there
  EXPECT_EQ(StepAreaAbove(area, 100), (Rect{0, 120, 751, 120}));  // never upside down
}

}  // namespace
