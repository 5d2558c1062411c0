// Measures texts as the wizard's controls lay them out: in the fonts the
// wizard's dialog designer makes from the action settings, at 96 DPI.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "config/core/act_ini_data.h"
#include "core/geometry.h"

class CDialogDesigner;

namespace tc {

class TextMeasurer {
 public:
  explicit TextMeasurer(const ActIni::AppData& fonts);
  ~TextMeasurer();
  TextMeasurer(const TextMeasurer&) = delete;
  TextMeasurer& operator=(const TextMeasurer&) = delete;

  bool ready() const { return dc_ != nullptr; }
  Measured Measure(const ControlBox& box, const std::wstring& text);
  // The face the platform gave a font, and its size in points.
  std::wstring FaceOf(FontSlot slot);

 private:
  HFONT FontOf(FontSlot slot) const;

  std::unique_ptr<CDialogDesigner> designer_;
  HFONT stepFont_ = nullptr;  // font 2 in bold, as the step indicator draws
  HDC dc_ = nullptr;
};

}  // namespace tc
