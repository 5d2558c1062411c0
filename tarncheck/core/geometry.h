// Where the wizard shows each language text: the size of its control at
// 96 dots per inch, the font it gives that control, and whether the text
// may wrap. The dialog templates give sizes in dialog units of "MS Shell
// Dlg" 8, which at 96 DPI are 6 x 13 base units: one horizontal unit is
// 1.5 px and one vertical unit 1.625 px. This table follows the resource
// file; keep the two in step.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tc {

// The wizard's fonts: 1 to 3 from the action settings, 4 = font 3 bold,
// and the step indicator's font 2 bold.
enum class FontSlot { Font1, Font2, Font3, Font4, Font2Bold };

enum class Layout {
  OneLine,  // a single line (buttons, step boxes, edit and combo fields, the title)
  Wrap,     // static text that breaks at words within its width
};

struct ControlBox {
  const wchar_t* name;  // where the engineer finds it
  int32_t widthPx;      // the room for text at 96 DPI
  int32_t heightPx;
  FontSlot font;
  Layout layout;
  bool prefix;  // "&" marks a mnemonic (buttons and static texts), not shown
};

// Dialog units of the dialog font to pixels at 96 DPI, rounded as
// MapDialogRect rounds.
int32_t DialogUnitsToPixelsX(int32_t units);
int32_t DialogUnitsToPixelsY(int32_t units);

// The controls, by the text they show.
namespace box {
extern const ControlBox kAppName;          // main window title, 1004
extern const ControlBox kFuncDescription;  // main window description, 1029
extern const ControlBox kStepName;         // one of the four step boxes
extern const ControlBox kBackNext;         // the Back and Next buttons
extern const ControlBox kSelectDescription, kSelectDiscSet, kSelectOdd, kSelectDiscType, kSelectDiscCount;
extern const ControlBox kDriveName;   // the drive shown in its read-only field
extern const ControlBox kDiscTypeItem;  // DVD1 / BD1 in the disc type combo box
extern const ControlBox kCheckDescription, kCheckAttention;
extern const ControlBox kMakeDescription;  // the disc's description file
extern const ControlBox kFinishHeading, kFinishDetail;
}  // namespace box

// A text as the wizard shows it in one control.
struct TextUse {
  std::wstring what;  // "[Finish] SuccessReport", "description of Task_DVD1_1_2"...
  const ControlBox* box;
  std::wstring text;  // placeholders replaced, line breaks as CR LF
};

// The language texts and the drive, disc-set and disc names they are shown
// with (the records as the language reader returns them).
struct ShownTexts {
  std::wstring AppName, FuncDescription, Step[4];
  std::wstring SelectDescription, DiscSet, Odd, DiscType, DiscCount;
  std::wstring DriveNameOutputFormat, DriveTypeDvd, DriveTypeBd;
  std::wstring Dvd1, Bd1;
  std::wstring ButtonTexts[7];  // select Back/Next, check Back/Next, make Back/Next, finish OK
  std::wstring CheckDescription, CheckAttention;
  std::wstring Reports[3];  // success, abort, failure headings (with %DiscSetName%)
  std::wstring Details[3];  // their detail lines
};

// Every text of `texts` in its control; the report headings once per disc
// set name, the drive name for a DVD and a BD writer at "E:\".
std::vector<TextUse> TextsToMeasure(const ShownTexts& texts, const std::vector<std::wstring>& setNames);

// What a text needs in its font: the size the platform's text layout gives
// it within the control's width, and the height of one line.
struct Measured {
  int32_t widthPx;
  int32_t heightPx;
  int32_t lineHeightPx;
};

// Nothing when the text fits its control; otherwise the sentence that says
// by how much it does not.
std::optional<std::wstring> JudgeFit(const ControlBox& box, const Measured& measured);

}  // namespace tc
