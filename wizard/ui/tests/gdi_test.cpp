// The GDI owners: a selected object goes back out of its context when the
// selection ends, so that the owner's DeleteObject can succeed (a bitmap
// still selected cannot be deleted and would leak).
#include <gtest/gtest.h>

#include <windows.h>

#include "ui/gdi.h"

namespace {

TEST(GdiOwners, ASelectionPutsThePreviousObjectBackSoTheOwnedOneCanBeDeleted) {
  tw::WindowDc screen(nullptr);
  ASSERT_TRUE(screen);
  tw::UniqueMemoryDc dc(::CreateCompatibleDC(screen.get()));
  ASSERT_TRUE(dc);
  const HGDIOBJ originalBitmap = ::GetCurrentObject(dc.get(), OBJ_BITMAP);
  const HGDIOBJ originalFont = ::GetCurrentObject(dc.get(), OBJ_FONT);

  tw::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), 8, 8));
  tw::UniqueFont font(::CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
  ASSERT_TRUE(bitmap);
  ASSERT_TRUE(font);
  {
    tw::SelectedObject selectBitmap(dc.get(), bitmap.get());
    tw::SelectedObject selectFont(dc.get(), font.get());
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BITMAP), bitmap.get());
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), font.get());
  }
  EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BITMAP), originalBitmap);
  EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), originalFont);
  EXPECT_TRUE(::DeleteObject(bitmap.release()));
  EXPECT_TRUE(::DeleteObject(font.release()));

  // Nothing to select (a failed load) selects nothing and restores nothing.
  { tw::SelectedObject none(dc.get(), nullptr); }
  EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BITMAP), originalBitmap);
}

}  // namespace
