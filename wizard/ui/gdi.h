// Owners for what the windows hold: GDI objects, icons, device contexts,
// the painting of a window and an object selected into a context. Each
// releases on every path with the function that matches how it was got.
// Shared resources (loaded with LR_SHARED) are never owned: the system
// keeps them.
#pragma once

#include <windows.h>

#include "app/handles.h"

namespace tw {

template <typename T>
struct GdiObjectTraits {
  static T Invalid() { return nullptr; }
  static void Close(T object) { ::DeleteObject(object); }
};
struct IconTraits {
  static HICON Invalid() { return nullptr; }
  static void Close(HICON icon) { ::DestroyIcon(icon); }
};
struct MemoryDcTraits {
  static HDC Invalid() { return nullptr; }
  static void Close(HDC dc) { ::DeleteDC(dc); }
};

#ifdef TW_TEST_BUILD
}  // namespace tw
namespace tw::owners {
template <> struct KindOf<GdiObjectTraits<HFONT>> { static constexpr Kind value = kFont; };
template <> struct KindOf<GdiObjectTraits<HBRUSH>> { static constexpr Kind value = kBrush; };
template <> struct KindOf<GdiObjectTraits<HBITMAP>> { static constexpr Kind value = kBitmap; };
template <> struct KindOf<GdiObjectTraits<HPEN>> { static constexpr Kind value = kPen; };
template <> struct KindOf<IconTraits> { static constexpr Kind value = kIcon; };
template <> struct KindOf<MemoryDcTraits> { static constexpr Kind value = kMemoryDc; };
}  // namespace tw::owners
namespace tw {
#endif

using UniqueFont = Unique<HFONT, GdiObjectTraits<HFONT>>;
using UniqueBrush = Unique<HBRUSH, GdiObjectTraits<HBRUSH>>;
using UniqueBitmap = Unique<HBITMAP, GdiObjectTraits<HBITMAP>>;
using UniquePen = Unique<HPEN, GdiObjectTraits<HPEN>>;
using UniqueIcon = Unique<HICON, IconTraits>;
using UniqueMemoryDc = Unique<HDC, MemoryDcTraits>;  // from CreateCompatibleDC

// A window's or the screen's device context (GetDC / ReleaseDC).
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {
#ifdef TW_TEST_BUILD
    if (dc_) owners::Opened(owners::kWindowDc);
#endif
  }
  ~WindowDc() {
    if (!dc_) return;
#ifdef TW_TEST_BUILD
    owners::Closed(owners::kWindowDc);
#endif
    ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Painting between BeginPaint and EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {
#ifdef TW_TEST_BUILD
    if (dc_) owners::Opened(owners::kPaintDc);
#endif
  }
  ~PaintDc() {
    if (!dc_) return;
#ifdef TW_TEST_BUILD
    owners::Closed(owners::kPaintDc);
#endif
    ::EndPaint(window_, &paint_);
  }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// Selects an object into a context and puts the previous one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? ::SelectObject(dc, object) : nullptr) {}
  ~SelectedObject() {
    if (previous_) ::SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace tw
