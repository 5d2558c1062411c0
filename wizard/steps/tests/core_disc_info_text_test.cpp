#include <gtest/gtest.h>

#include <string>

#include "steps/core/disc_info_text.h"

namespace {

DiscEntry Entry(int32_t type) {
  DiscEntry e;
  e.DiscNumber = 0;
  e.Title = L"Recovery Disc 1";
  e.VolumeLabel = L"RECOVERY1";
  e.Type = type;
  e.Folder = L"D:\\Data";
  e.BootImg = L"D:\\Boot\\boot.img";
  e.BootImgType = 2;
  return e;
}

std::wstring Joined(const tw::DiscInfoLayout& layout) {
  std::wstring text;
  for (const auto& line : layout.lines) text += line;
  return text;
}

tw::DiscInfoLayout LayOut(const DiscEntry& e, int32_t discType = 0) {
  return tw::LayOutDiscInfo(L"Tarnwright", L"E:\\", discType, L"C:\\Temp\\TWR2.tmp", e);
}

TEST(DiscInfoLayout, IsoDiscInOrder) {
  const auto layout = LayOut(Entry(0));
  ASSERT_FALSE(layout.failure);
  EXPECT_EQ(Joined(layout),
            L"[MainUI]\r\nWndTitle=Tarnwright\r\n"
            L"[ProgressUI]\r\nTitle=Tarnwright\r\n"
            L"[WriteInfo]\r\nTitle=Recovery Disc 1\r\nWritingType=ISO\r\nWriteData=C:\\Temp\\TWR2.tmp\r\n"
            L"ODD=E:\\\r\nDisc=DVD_1\r\nWritingSpeed=2\r\n"
            L"[Option]\r\nVolumeLabel=RECOVERY1\r\n");
}

TEST(DiscInfoLayout, WritingTypeByEntryType) {
  EXPECT_EQ(tw::WritingTypeOf(0), L"ISO");
  EXPECT_EQ(tw::WritingTypeOf(1), L"Files");  // an image set is burnt as files
  EXPECT_EQ(tw::WritingTypeOf(2), L"Files");
  EXPECT_EQ(tw::WritingTypeOf(3), L"Files_Bootable");
  EXPECT_FALSE(tw::WritingTypeOf(4));
  EXPECT_FALSE(tw::WritingTypeOf(-1));
  EXPECT_EQ(Joined(LayOut(Entry(1))), Joined(LayOut(Entry(2))));
}

TEST(DiscInfoLayout, BootEntriesOnlyForBootableBetweenWriteDataAndOdd) {
  const std::wstring bootable = Joined(LayOut(Entry(3)));
  EXPECT_NE(bootable.find(L"WriteData=C:\\Temp\\TWR2.tmp\r\nBootImg=D:\\Boot\\boot.img\r\nBootImgType=2\r\nODD=E:\\\r\n"),
            std::wstring::npos);
  for (int32_t type : {0, 1, 2}) {
    const std::wstring text = Joined(LayOut(Entry(type)));
    EXPECT_EQ(text.find(L"BootImg"), std::wstring::npos) << type;
  }
}

TEST(DiscInfoLayout, BootImgTypeAboveFourStopsAfterBootImg) {
  DiscEntry e = Entry(3);
  e.BootImgType = 4;
  EXPECT_FALSE(LayOut(e).failure);
  e.BootImgType = 5;
  const auto layout = LayOut(e);
  ASSERT_TRUE(layout.failure);
  EXPECT_EQ(*layout.failure, L"0x00000005, Recovery Disc 1");
  EXPECT_EQ(layout.lines.back(), L"BootImg=D:\\Boot\\boot.img\r\n");
}

TEST(DiscInfoLayout, UnknownTypeStopsBeforeWritingType) {
  const struct {
    int32_t type;
    const wchar_t* message;
  } cases[] = {{4, L"0x00000004"}, {100, L"0x00000064"}, {-1, L"0xffffffff"}};
  for (const auto& c : cases) {
    const auto layout = LayOut(Entry(c.type));
    ASSERT_TRUE(layout.failure) << c.type;
    EXPECT_EQ(*layout.failure, c.message);
    ASSERT_EQ(layout.lines.size(), 6u);
    EXPECT_EQ(layout.lines.back(), L"Title=Recovery Disc 1\r\n");
  }
}

TEST(DiscInfoLayout, DiscTypeAndSpeed) {
  EXPECT_NE(Joined(LayOut(Entry(2), 1)).find(L"Disc=BD_1\r\nWritingSpeed=2\r\n"), std::wstring::npos);
  EXPECT_NE(Joined(LayOut(Entry(2), 0)).find(L"Disc=DVD_1\r\nWritingSpeed=2\r\n"), std::wstring::npos);
  const auto bad = LayOut(Entry(2), 2);
  ASSERT_TRUE(bad.failure);
  EXPECT_EQ(*bad.failure, L"0x00000002, Recovery Disc 1");
  EXPECT_EQ(bad.lines.back(), L"ODD=E:\\\r\n");
}

TEST(DiscInfoLayout, OptionHeaderStaysWithoutVolumeLabel) {
  DiscEntry e = Entry(2);
  e.VolumeLabel.clear();
  const auto layout = LayOut(e);
  ASSERT_FALSE(layout.failure);
  EXPECT_EQ(layout.lines.back(), L"[Option]\r\n");
  EXPECT_EQ(Joined(layout).find(L"VolumeLabel"), std::wstring::npos);
}

TEST(DiscInfoLayout, ValuesGoInUnchanged) {
  DiscEntry e = Entry(2);
  e.Title = L"リカバリ = \"1\"";
  const auto layout = tw::LayOutDiscInfo(L"", L"E:\\", 0, L"", e);
  EXPECT_NE(Joined(layout).find(L"WndTitle=\r\n"), std::wstring::npos);
  EXPECT_NE(Joined(layout).find(L"Title=リカバリ = \"1\"\r\n"), std::wstring::npos);
}

TEST(DiscInfoText, DriveRootAndLineEnd) {
  EXPECT_EQ(tw::DriveRootOf(L'E'), L"E:\\");
  EXPECT_EQ(tw::WithoutLineEnd(L"ODD=E:\\\r\n"), L"ODD=E:\\");
  EXPECT_EQ(tw::WithoutLineEnd(L"\r\n"), L"");
  EXPECT_EQ(tw::WithoutLineEnd(L"x"), L"x");
}

}  // namespace
