// The wizard's look: the fonts and background brushes every dialog uses,
// the bitmap buttons in the main window's banner, and the drive combo box
// with an icon and a formatted name per drive.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "ui/gdi.h"

// Fonts 1 to 3 come from section "Application" of the action settings
// (face and size in points); font 4 is font 3 in bold. Each dialog
// procedure keeps one instance for the life of the process.
class CDialogDesigner {
 public:
  CDialogDesigner();

  HBRUSH WhiteBrush() const { return white_.get(); }
  HBRUSH LightBlueBrush() const { return lightBlue_.get(); }
  // n from 1 to 4.
  HFONT Font(int n) const { return fonts_[static_cast<size_t>(n - 1)].get(); }

  // The answer to a control-colour message: transparent text background
  // and the white brush; under high contrast the system's window colour
  // and its text colour.
  INT_PTR ColorAnswer(HDC dc) const;

 private:
  tw::UniqueBrush white_;
  tw::UniqueBrush lightBlue_;
  std::array<tw::UniqueFont, 4> fonts_;
};

// One row of the system button table: control id, then the bitmaps for
// normal, focused, pressed and disabled.
using SystemButtonRow = std::array<uint32_t, 5>;

// A push button drawn from four bitmaps. While any such button delivers a
// click to its parent, every message to all of them is answered 0, so a
// second click cannot arrive in the middle of the first.
class CSystemBmpBtn {
 public:
  CSystemBmpBtn() = default;
  virtual ~CSystemBmpBtn();
  CSystemBmpBtn(const CSystemBmpBtn&) = delete;
  CSystemBmpBtn& operator=(const CSystemBmpBtn&) = delete;

  virtual bool Create(HINSTANCE instance, HWND parent, const SystemButtonRow& row);
  virtual void Show(bool show);
  virtual void Enable(bool enable);
  virtual void Move(int x, int y);
  virtual int GetWidth() const;

  HWND Window() const { return window_.get(); }
  // The name a screen reader gives the button (it shows only a picture).
  void SetAccessibleName(const std::wstring& name) { name_ = name; }
  // The process-wide click flag: false while a click is being delivered.
  static bool ClickFlag();

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The focus came or went: the focused look follows after a delay.
  void OnFocusChange(HWND window, bool focused);
  // Space down presses the button, space up clicks it.
  void OnSpaceKey(HWND window, bool down);
  // The left button pressed in the button, or released (a click when
  // released inside).
  void OnLeftButton(HWND window, bool down, LPARAM lParam);
  void DeliverClick();
  void Draw(HDC dc);
  // Under high contrast: a plain shape in system colours with the
  // button's picture drawn as strokes or a character.
  void DrawPlain(HDC dc, bool hasFocus);

  HWND parent_ = nullptr;
  int id_ = 0;
  std::array<HBITMAP, 4> bitmaps_{};  // normal, focused, pressed, disabled; shared resources
  int width_ = 0;
  int height_ = 0;
  tw::UniqueWindow window_;
  WNDPROC previous_ = nullptr;
  bool pressed_ = false;
  bool focused_ = false;
  std::wstring name_;
};

// The banner's help, minimise and close buttons, laid out right to left.
class CSystemBtn {
 public:
  CSystemBtn() = default;
  virtual ~CSystemBtn() = default;
  CSystemBtn(const CSystemBtn&) = delete;
  CSystemBtn& operator=(const CSystemBtn&) = delete;

  virtual bool Create(HINSTANCE instance, HWND parent, const std::array<SystemButtonRow, 3>& rows);
  virtual void SetLayout(int rightEdge, int top, int gap);
  virtual void Arrange(bool show0, bool enable0, bool show1, bool enable1, bool show2, bool enable2);

  CSystemBmpBtn& Button(size_t i) { return buttons_[i]; }

 private:
  HWND parent_ = nullptr;
  std::array<CSystemBmpBtn, 3> buttons_;
  int rightEdge_ = 0;
  int top_ = 0;
  int gap_ = 0;
};

// The drive choice: a ComboBoxEx with the system's small drive icons.
class CExCmbx {
 public:
  CExCmbx() = default;
  virtual ~CExCmbx() = default;

  // Adds a drive: icon of `rootPath`, text = `format` with the drive
  // ("E:") as insert 1 and the volume label as insert 2. An optical drive
  // shows `typeText` in place of a label, as does a drive without one.
  virtual bool AddItem(HWND combo, const std::wstring& rootPath, const std::wstring& typeText,
                       const std::wstring& format, LPARAM itemData);
  virtual bool SelectByItemData(HWND combo, LPARAM data);
  // -1 when nothing is selected.
  virtual int GetSelectedItemData(HWND combo);
  // A message-style format ("%1!s!") with string inserts.
  virtual bool FormatText(std::wstring* out, const std::wstring& format, std::initializer_list<const wchar_t*> args);

 private:
  HIMAGELIST imageList_ = nullptr;  // the system's list: never destroyed
};
