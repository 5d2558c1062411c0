// The wizard frame's decisions as pure tables: which step follows which,
// which buttons each step shows, and where the main window puts the step
// area, the step indicator and the banner's system buttons at a given
// screen resolution. No platform headers.
#pragma once

#include <array>
#include <cstdint>

namespace tw {
namespace ui {

constexpr uint32_t kStepSelectDiscSet = 0;
constexpr uint32_t kStepCheckDisc = 1;
constexpr uint32_t kStepMakeDisc = 2;
constexpr uint32_t kStepFinish = 3;
constexpr uint32_t kStepCount = 4;

// Outcome of the make-disc step.
constexpr int32_t kMakeSucceeded = 0;
constexpr int32_t kMakeFailed = 1;
constexpr int32_t kMakeAborted = 2;

// What reading a made disc back found, per disc of the run (the finish
// report words a verified disc and a disc that differed by these).
enum class ReadBack : uint8_t {
  kNotRead = 0,   // not read back (not asked for, or a drive that cannot be read raw)
  kVerified = 1,  // equal to its source
  kFailed = 2,    // differed, lacked a file or could not be read; not made
};

// ---------------------------------------------------------------- steps

struct Transition {
  enum Kind {
    kNewStep,       // create the dialog of `step`
    kEndWizard,     // no new dialog: the wizard ends with exit code 0
    kInvalidStep,   // the current step is outside 0..3: nothing happens
  };
  Kind kind = kInvalidStep;
  uint32_t step = 0;
};

// The step after `current` for Next (forward) or Back. The make-disc step
// repeats for the next disc until a disc did not succeed or every disc of
// the run is done; the finish step goes back to the start only when the
// action settings ask for it (`backToFirstStep` is read by the caller only
// for that step).
Transition NextStep(uint32_t current, bool forward, int32_t makeOutcome, uint32_t currentDisc, uint32_t discCount,
                    uint32_t backToFirstStep);

// ---------------------------------------------------------------- buttons

// Where a button's text comes from: the "BackButton" / "NextButton" of
// the step's language section, the finish step's "OkButton", or none.
enum class ButtonText { kNone, kBack, kNext, kOk };

struct ButtonStates {
  bool valid = false;  // false for a step outside 0..3
  bool helpVisible = false, helpEnabled = false;
  bool minimiseVisible = false, minimiseEnabled = false;
  bool closeVisible = false, closeEnabled = false;
  bool backVisible = false, backEnabled = false;
  bool nextVisible = false, nextEnabled = false;
  bool backDefault = false, nextDefault = false;  // never set: neither is the default button
  ButtonText backText = ButtonText::kNone;
  ButtonText nextText = ButtonText::kNone;
};

// `helpFound`: the step's help page exists. `backButtonVisible`: the
// action setting that shows Back on the first step.
ButtonStates ButtonStatesOfStep(uint32_t step, bool helpFound, bool backButtonVisible);

// ---------------------------------------------------------------- geometry

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// A layout value given at 96 dots per inch, at `dpi` (value x dpi / 96,
// in 64-bit arithmetic, truncated toward zero).
int32_t Scale(int32_t value, int32_t dpi);

// Client size assumed when the main window's client rectangle cannot be
// read: 751 x 527 at 96 dots per inch, scaled.
Rect FallbackClient(int32_t dpiX, int32_t dpiY);

// Where every step dialog is placed: full width, 120 down, 360 high.
Rect StepArea(int32_t clientWidth, int32_t dpiX, int32_t dpiY);

// The step area ends where the row of Back and Next begins (`rowTop`),
// should it reach further: the pixel geometry above assumes the classic
// dialog font's units, and with larger texts or another script's font the
// buttons, placed in dialog units, come higher.
Rect StepAreaAbove(const Rect& area, int32_t rowTop);

// The row of step boxes: 7 in from both sides, 86 down, 34 high.
Rect IndicatorArea(int32_t clientWidth, int32_t dpiX, int32_t dpiY);

// The four step boxes, left to right, each a quarter of the indicator's
// width (truncated).
std::array<Rect, kStepCount> IndicatorBoxes(const Rect& indicator);

// Where the three pieces of one step box go: the caps keep their width
// (scaled like every other layout value) and take the box's height; the
// middle fills what lies between them.
struct BoxPieces {
  Rect left, middle, right;
};
BoxPieces StepBoxPieces(const Rect& box, int32_t capWidth, int32_t dpiX);

// The banner's system buttons: right edge, top and gap at the screen
// resolution (15 in from the client's right edge, 10 down, 10 apart).
struct SystemButtonFrame {
  int32_t rightEdge = 0, top = 0, gap = 0;
};
SystemButtonFrame SystemButtonFrameOf(int32_t clientWidth, int32_t dpiX, int32_t dpiY);

// Left edges of buttons 0 (help), 1 (minimise) and 2 (close), placed from
// right to left starting with button 2: each sits at the running right
// edge minus its width, and only a visible button moves that edge left by
// its width plus the gap, so a hidden button leaves no hole.
std::array<int32_t, 3> ArrangeSystemButtons(int32_t rightEdge, int32_t gap, const std::array<int32_t, 3>& widths,
                                            const std::array<bool, 3>& visible);

}  // namespace ui
}  // namespace tw
