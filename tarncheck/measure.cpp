#include "measure.h"

#include "app/settings.h"
#include "config/process_records.h"
#include "ui/dialog_designer.h"

namespace tc {

TextMeasurer::TextMeasurer(const ActIni::AppData& fonts) {
  // The designer makes its fonts from the process records at the screen
  // resolution in the process settings: give it the deployment's fonts at
  // the 96 DPI every width of the layout is given in.
  tw::Records().Fonts = fonts;
  tw::Settings().LogPixelsY = 96;
  designer_ = std::make_unique<CDialogDesigner>();
  LOGFONTW bold{};
  if (::GetObjectW(designer_->Font(2), sizeof(bold), &bold) == sizeof(bold)) {
    bold.lfWeight = FW_BOLD;
    stepFont_ = ::CreateFontIndirectW(&bold);
  }
  dc_ = ::CreateCompatibleDC(nullptr);
}

TextMeasurer::~TextMeasurer() {
  if (dc_) ::DeleteDC(dc_);
  if (stepFont_) ::DeleteObject(stepFont_);
}

HFONT TextMeasurer::FontOf(FontSlot slot) const {
  switch (slot) {
    case FontSlot::Font1:
      return designer_->Font(1);
    case FontSlot::Font2:
      return designer_->Font(2);
    case FontSlot::Font3:
      return designer_->Font(3);
    case FontSlot::Font4:
      return designer_->Font(4);
    case FontSlot::Font2Bold:
      return stepFont_;
  }
  return nullptr;
}

Measured TextMeasurer::Measure(const ControlBox& box, const std::wstring& text) {
  Measured measured{0, 0, 0};
  if (!dc_) return measured;
  const HGDIOBJ previous = ::SelectObject(dc_, FontOf(box.font));
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc_, &metrics);
  measured.lineHeightPx = metrics.tmHeight;
  RECT rect{0, 0, box.widthPx, 0};
  UINT flags = DT_CALCRECT | DT_EXPANDTABS | (box.prefix ? 0u : static_cast<UINT>(DT_NOPREFIX));
  flags |= box.layout == Layout::Wrap ? DT_WORDBREAK : DT_SINGLELINE;
  if (!text.empty()) {
    ::DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &rect, flags);
    measured.widthPx = rect.right - rect.left;
    measured.heightPx = rect.bottom - rect.top;
  }
  ::SelectObject(dc_, previous);
  return measured;
}

std::wstring TextMeasurer::FaceOf(FontSlot slot) {
  if (!dc_) return L"";
  const HGDIOBJ previous = ::SelectObject(dc_, FontOf(slot));
  wchar_t face[LF_FACESIZE] = {};
  ::GetTextFaceW(dc_, LF_FACESIZE, face);
  ::SelectObject(dc_, previous);
  return face;
}

}  // namespace tc
