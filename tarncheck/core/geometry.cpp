#include "geometry.h"

#include "app/core/text.h"

namespace tc {

namespace {
// MulDiv for the non-negative values of a layout: rounded to nearest.
int32_t MulDivRound(int32_t value, int32_t numerator, int32_t denominator) {
  return static_cast<int32_t>((static_cast<int64_t>(value) * numerator + denominator / 2) / denominator);
}
}  // namespace

int32_t DialogUnitsToPixelsX(int32_t units) { return MulDivRound(units, 6, 4); }
int32_t DialogUnitsToPixelsY(int32_t units) { return MulDivRound(units, 13, 8); }

namespace box {
namespace {
ControlBox Du(const wchar_t* name, int32_t w, int32_t h, FontSlot font, Layout layout, bool prefix = true) {
  return {name, DialogUnitsToPixelsX(w), DialogUnitsToPixelsY(h), font, layout, prefix};
}
}  // namespace

const ControlBox kAppName = Du(L"main window title (403 x 32 du, font 1, one line)", 403, 32, FontSlot::Font1,
                               Layout::OneLine);
const ControlBox kFuncDescription =
    Du(L"main window description (490 x 16 du, font 2)", 490, 16, FontSlot::Font2, Layout::Wrap);
// The indicator spans the client width less 7 px at either side, in four
// equal boxes: 184 x 34 px in the 751 px wide main window.
const ControlBox kStepName = {L"step box (184 x 34 px, font 2 bold, one line)", 184, 34, FontSlot::Font2Bold,
                              Layout::OneLine, true};
const ControlBox kBackNext = Du(L"Back/Next button (84 x 20 du, font 3)", 84, 20, FontSlot::Font3, Layout::OneLine);
const ControlBox kSelectDescription =
    Du(L"select-disc-set description (437 x 14 du, font 3)", 437, 14, FontSlot::Font3, Layout::Wrap);
const ControlBox kSelectDiscSet = Du(L"disc set label (422 x 14 du, font 3)", 422, 14, FontSlot::Font3, Layout::Wrap);
const ControlBox kSelectOdd = Du(L"drive label (418 x 13 du, font 3)", 418, 13, FontSlot::Font3, Layout::Wrap);
const ControlBox kSelectDiscType =
    Du(L"disc type label (240 x 12 du, font 3)", 240, 12, FontSlot::Font3, Layout::Wrap);
const ControlBox kSelectDiscCount =
    Du(L"disc count label (112 x 16 du, font 3, right aligned)", 112, 16, FontSlot::Font3, Layout::Wrap);
const ControlBox kDriveName =
    Du(L"drive field (240 x 16 du, font 3, one line)", 240, 16, FontSlot::Font3, Layout::OneLine, false);
const ControlBox kDiscTypeItem =
    Du(L"disc type box (240 du wide, font 3, one line)", 240, 14, FontSlot::Font3, Layout::OneLine, false);
const ControlBox kCheckDescription =
    Du(L"check-disc description (437 x 30 du, font 3)", 437, 30, FontSlot::Font3, Layout::Wrap);
const ControlBox kCheckAttention =
    Du(L"check-disc attention (437 x 40 du, font 3 bold)", 437, 40, FontSlot::Font4, Layout::Wrap);
const ControlBox kMakeDescription =
    Du(L"make-disc description (437 x 190 du, font 3)", 437, 190, FontSlot::Font3, Layout::Wrap);
const ControlBox kFinishHeading =
    Du(L"finish heading (400 x 30 du, font 3)", 400, 30, FontSlot::Font3, Layout::Wrap);
const ControlBox kFinishDetail = Du(L"finish detail line (437 x 12 du, font 3)", 437, 12, FontSlot::Font3, Layout::Wrap);
}  // namespace box

std::vector<TextUse> TextsToMeasure(const ShownTexts& t, const std::vector<std::wstring>& setNames) {
  std::vector<TextUse> uses = {
      {L"[Application] AppName", &box::kAppName, t.AppName},
      {L"[Application] FuncDescription", &box::kFuncDescription, t.FuncDescription},
  };
  for (int i = 0; i < 4; ++i) {
    uses.push_back({L"[Application] Step" + tw::Dec(static_cast<uint64_t>(i + 1)), &box::kStepName, t.Step[i]});
  }
  static const wchar_t* const kButtons[7] = {
      L"[SelectDiscSet] BackButton", L"[SelectDiscSet] NextButton", L"[CheckDisc] BackButton",
      L"[CheckDisc] NextButton",     L"[MakeDisc] BackButton",      L"[MakeDisc] NextButton",
      L"[Finish] OkButton"};
  for (int i = 0; i < 7; ++i) uses.push_back({kButtons[i], &box::kBackNext, t.ButtonTexts[i]});
  uses.push_back({L"[SelectDiscSet] StepDescription", &box::kSelectDescription, t.SelectDescription});
  uses.push_back({L"[SelectDiscSet] DiscSet", &box::kSelectDiscSet, t.DiscSet});
  uses.push_back({L"[SelectDiscSet] ODD", &box::kSelectOdd, t.Odd});
  uses.push_back({L"[SelectDiscSet] DiscType", &box::kSelectDiscType, t.DiscType});
  uses.push_back({L"[SelectDiscSet] DiscCount", &box::kSelectDiscCount, t.DiscCount});
  const std::pair<const wchar_t*, const std::wstring*> driveTypes[] = {{L"DVD", &t.DriveTypeDvd},
                                                                      {L"BD", &t.DriveTypeBd}};
  for (const auto& type : driveTypes) {
    const std::wstring shown = tw::ReplaceAll(tw::ReplaceAll(t.DriveNameOutputFormat, L"%DriveType%", *type.second),
                                              L"%DriveRootPath%", L"E:\\");
    uses.push_back({std::wstring(L"[Drive] DriveNameOutputFormat for a ") + type.first + L" writer", &box::kDriveName,
                    shown});
  }
  uses.push_back({L"[OpticalDisc] DVD1", &box::kDiscTypeItem, t.Dvd1});
  uses.push_back({L"[OpticalDisc] BD1", &box::kDiscTypeItem, t.Bd1});
  uses.push_back({L"[CheckDisc] StepDescription", &box::kCheckDescription, t.CheckDescription});
  uses.push_back({L"[CheckDisc] StepAttention", &box::kCheckAttention, t.CheckAttention});
  static const wchar_t* const kReports[3] = {L"SuccessReport", L"AbortReport", L"FailureReport"};
  static const wchar_t* const kDetails[3] = {L"S_ResultDetailInfo", L"A_ResultDetailInfo", L"F_ResultDetailInfo"};
  for (int i = 0; i < 3; ++i) {
    for (const std::wstring& name : setNames) {
      uses.push_back({std::wstring(L"[Finish] ") + kReports[i] + L" for \"" + name + L"\"", &box::kFinishHeading,
                      tw::ReplaceAll(t.Reports[i], L"%DiscSetName%", name)});
    }
    uses.push_back({std::wstring(L"[Finish] ") + kDetails[i], &box::kFinishDetail, t.Details[i]});
  }
  return uses;
}

std::optional<std::wstring> JudgeFit(const ControlBox& box, const Measured& measured) {
  if (measured.widthPx > box.widthPx) {
    return L"needs " + tw::Dec(static_cast<uint64_t>(measured.widthPx)) + L" px of width, the " + box.name +
           L" has " + tw::Dec(static_cast<uint64_t>(box.widthPx));
  }
  if (measured.heightPx > box.heightPx) {
    const int32_t line = measured.lineHeightPx > 0 ? measured.lineHeightPx : 1;
    const int32_t needed = (measured.heightPx + line - 1) / line;
    const int32_t shown = box.heightPx / line;
    return L"needs " + tw::Dec(static_cast<uint64_t>(needed)) + L" lines (" +
           tw::Dec(static_cast<uint64_t>(measured.heightPx)) + L" px), the " + box.name + L" shows " +
           tw::Dec(static_cast<uint64_t>(shown < 0 ? 0 : shown)) + L" (" + tw::Dec(static_cast<uint64_t>(box.heightPx)) +
           L" px)";
  }
  return std::nullopt;
}

}  // namespace tc
