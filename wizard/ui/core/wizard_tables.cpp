#include "wizard_tables.h"

namespace tw {
namespace ui {

Transition NextStep(uint32_t current, bool forward, int32_t makeOutcome, uint32_t currentDisc, uint32_t discCount,
                    uint32_t backToFirstStep) {
  switch (current) {
    case kStepSelectDiscSet:
      return forward ? Transition{Transition::kNewStep, kStepCheckDisc} : Transition{Transition::kEndWizard, 0};
    case kStepCheckDisc:
      return {Transition::kNewStep, forward ? kStepMakeDisc : kStepSelectDiscSet};
    case kStepMakeDisc:
      if (!forward) return {Transition::kNewStep, kStepFinish};
      // Unsigned comparison: a disc index at or past the count ends the run.
      if (makeOutcome != kMakeSucceeded || currentDisc >= discCount) return {Transition::kNewStep, kStepFinish};
      return {Transition::kNewStep, kStepMakeDisc};
    case kStepFinish:
      return backToFirstStep == 0 ? Transition{Transition::kEndWizard, 0}
                                  : Transition{Transition::kNewStep, kStepSelectDiscSet};
    default:
      return {Transition::kInvalidStep, current};
  }
}

ButtonStates ButtonStatesOfStep(uint32_t step, bool helpFound, bool backButtonVisible) {
  ButtonStates s;
  if (step >= kStepCount) return s;
  s.valid = true;
  s.helpVisible = s.helpEnabled = helpFound;
  s.minimiseVisible = s.minimiseEnabled = true;
  s.closeVisible = true;
  // The wizard cannot be closed while a disc is being made.
  s.closeEnabled = step != kStepMakeDisc;
  s.nextVisible = s.nextEnabled = true;
  switch (step) {
    case kStepSelectDiscSet:
      s.backVisible = s.backEnabled = backButtonVisible;
      s.backText = ButtonText::kBack;
      s.nextText = ButtonText::kNext;
      break;
    case kStepFinish:
      s.backVisible = s.backEnabled = false;
      s.backText = ButtonText::kNone;
      s.nextText = ButtonText::kOk;
      break;
    default:
      s.backVisible = s.backEnabled = true;
      s.backText = ButtonText::kBack;
      s.nextText = ButtonText::kNext;
      break;
  }
  return s;
}

int32_t Scale(int32_t value, int32_t dpi) {
  return static_cast<int32_t>(static_cast<int64_t>(value) * dpi / 96);
}

Rect FallbackClient(int32_t dpiX, int32_t dpiY) { return {0, 0, Scale(751, dpiX), Scale(527, dpiY)}; }

Rect StepArea(int32_t clientWidth, int32_t dpiX, int32_t dpiY) {
  const int32_t left = Scale(0, dpiX);
  const int32_t top = Scale(120, dpiY);
  return {left, top, clientWidth - left, top + Scale(360, dpiY)};
}

Rect StepAreaAbove(const Rect& area, int32_t rowTop) {
  Rect r = area;
  if (r.bottom > rowTop) r.bottom = rowTop > r.top ? rowTop : r.top;
  return r;
}

Rect IndicatorArea(int32_t clientWidth, int32_t dpiX, int32_t dpiY) {
  const int32_t side = Scale(7, dpiX);
  const int32_t top = Scale(86, dpiY);
  return {side, top, clientWidth - side, top + Scale(34, dpiY)};
}

std::array<Rect, kStepCount> IndicatorBoxes(const Rect& indicator) {
  std::array<Rect, kStepCount> boxes;
  const int32_t width = indicator.width() / static_cast<int32_t>(kStepCount);
  for (uint32_t i = 0; i < kStepCount; ++i) {
    const int32_t left = indicator.left + static_cast<int32_t>(i) * width;
    boxes[i] = {left, indicator.top, left + width, indicator.bottom};
  }
  return boxes;
}

BoxPieces StepBoxPieces(const Rect& box, int32_t capWidth, int32_t dpiX) {
  const int32_t cap = Scale(capWidth, dpiX);
  BoxPieces p;
  p.left = {box.left, box.top, box.left + cap, box.bottom};
  p.right = {box.right - cap, box.top, box.right, box.bottom};
  // A box narrower than both caps gets no middle, never a negative one.
  p.middle = {p.left.right, box.top, p.right.left < p.left.right ? p.left.right : p.right.left, box.bottom};
  return p;
}

SystemButtonFrame SystemButtonFrameOf(int32_t clientWidth, int32_t dpiX, int32_t dpiY) {
  return {clientWidth - Scale(15, dpiX), Scale(10, dpiY), Scale(10, dpiY)};
}

std::array<int32_t, 3> ArrangeSystemButtons(int32_t rightEdge, int32_t gap, const std::array<int32_t, 3>& widths,
                                            const std::array<bool, 3>& visible) {
  std::array<int32_t, 3> left{};
  int32_t x = rightEdge;
  for (int i = 2; i >= 0; --i) {
    left[i] = x - widths[i];
    if (visible[i]) x -= widths[i] + gap;
  }
  return left;
}

}  // namespace ui
}  // namespace tw
