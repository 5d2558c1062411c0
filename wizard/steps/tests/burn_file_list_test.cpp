#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/handles.h"
#include "app/log_reader.h"
#include "app/msgbox.h"
#include "steps/mk_disc_dlg.h"
#include "steps_test_support.h"

namespace {

using stepstest::SettingsGuard;
using stepstest::SortedListLines;
using stepstest::Utf16File;
using twtest::LoggedMessages;
using twtest::MakeSizedFile;
using twtest::MessageBoxRecorder;
using twtest::TempDir;
using Lines = std::vector<std::wstring>;
using Boxes = std::vector<MessageBoxRecorder::Call>;

constexpr wchar_t kCreate[] = L"MkDiscDlg::CreateBrnFileListFile";
constexpr wchar_t kIso[] = L"MkDiscDlg::WriteBrnFilesInfo_ISO";
constexpr wchar_t kImage[] = L"MkDiscDlg::WriteBrnFilesInfo_Image";
constexpr wchar_t kFiles[] = L"MkDiscDlg::WriteBrnFilesInfo_Files";
constexpr wchar_t kTotalMessage[] =
    L"The total size of files in the specified folder is over the writable size of the disc.";
constexpr wchar_t kOneFileMessage[] =
    L"The size of one file in the specified folder is over the writable size of the disc.";
constexpr unsigned long long kMiB = 1ull << 20;

std::wstring Line(const std::wstring& source, const std::wstring& discPath) { return source + L"\t" + discPath; }
// The box shown when the data does not fit on the disc.
Boxes ErrorBox(const wchar_t* text) { return {{nullptr, text, L"Tarnwright", MB_OK | MB_ICONERROR}}; }

// A test folder with the wizard's surroundings and no accepted-image
// restriction; tests set the DVD capacity where they need it. Message boxes
// are recorded, never shown.
class BurnFileList : public ::testing::Test {
 protected:
  BurnFileList() : surroundings_(dir_.path()[0]) {
    tw::Settings().ImageInfo32.clear();
    tw::Settings().ImageInfo64.clear();
  }

  void SetCommonList(const std::wstring& text) { surroundings_.SetCommonList(text); }
  void RemoveCommonList() { surroundings_.RemoveCommonList(); }

  DiscEntry Entry(int32_t type, const std::wstring& folder) const {
    DiscEntry e;
    e.Title = L"Disc 1";
    e.Type = type;
    e.Folder = folder;
    return e;
  }
  bool Create(const DiscEntry& e, int32_t discType = 0) {
    return MkDiscDlg::CreateBrnFileListFile(list_, discType, L"C:\\Tarnwright_Act.ini", e);
  }
  std::string ListBytes() const { return twtest::ReadBytes(list_); }
  void File(const std::wstring& relative, const std::string& bytes = "data") { twtest::WriteBytes(Data(relative), bytes); }
  void Folder(const std::wstring& relative) { twtest::MakeDirs(Data(relative)); }
  std::wstring Data(const std::wstring& relative) const { return data_ + L"\\" + relative; }
  Lines WalkIntoReadOnlyList(size_t capacity, uint64_t* total);

  SettingsGuard settings_;
  TempDir dir_;
  stepstest::ListSurroundings surroundings_;
  const std::wstring list_ = dir_ / L"TWR2B.tmp";
  const std::wstring data_ = dir_ / L"Data";
  MessageBoxRecorder boxes_;
};

// --- Files and Files_Bootable -------------------------------------------

TEST_F(BurnFileList, FilesListByteForByte) {
  File(L"a.wim");
  File(L"sub\\b.swm");
  ASSERT_TRUE(Create(Entry(2, data_)));
  const std::wstring a = Line(Data(L"a.wim"), L"\\a.wim") + L"\r\n";
  const std::wstring b = Line(Data(L"sub\\b.swm"), L"\\sub\\b.swm") + L"\r\n";
  const std::string bytes = ListBytes();
  // The order within a folder is the directory search's own.
  EXPECT_TRUE(bytes == Utf16File(a + b + L"\r\n") || bytes == Utf16File(b + a + L"\r\n"));
  EXPECT_FALSE(stepstest::HasNulUnit(bytes));
}

TEST_F(BurnFileList, TrailingBackslashOnTheFolderGivesTheSameList) {
  File(L"a.wim");
  File(L"sub\\deeper\\c.txt");
  Folder(L"empty");
  ASSERT_TRUE(Create(Entry(2, data_)));
  const std::string plain = ListBytes();
  ASSERT_TRUE(Create(Entry(2, data_ + L"\\")));
  EXPECT_EQ(ListBytes(), plain);
  EXPECT_EQ(SortedListLines(plain).size(), 3u);
}

TEST_F(BurnFileList, EmptyFolderGetsALineAllExcludedFolderNone) {
  File(L"keep.txt");
  Folder(L"empty");
  File(L"skip\\x.tmp");
  File(L"skip\\y.tmp");
  SetCommonList(Data(L"skip\\x.tmp") + L"\r\n" + Data(L"SKIP\\Y.TMP") + L"\r\n");
  ASSERT_TRUE(Create(Entry(2, data_)));
  EXPECT_EQ(SortedListLines(ListBytes()),
            (Lines{Line(Data(L"empty"), L"\\empty"), Line(Data(L"keep.txt"), L"\\keep.txt")}));
}

TEST_F(BurnFileList, FolderExclusionRemovesContentAndSize) {
  tw::Settings().Dvd1SizeMiB = 1;
  File(L"small.txt", "abc");
  MakeSizedFile(Data(L"big\\huge.bin"), 2 * kMiB);
  const std::wstring own = dir_ / L"own_exclusion.ini";
  // The entry names the folder in capitals and with a trailing backslash.
  twtest::WriteTextFile(own, tw::ToUpper(Data(L"big")) + L"\\\r\n");
  DiscEntry e = Entry(2, data_);
  e.ExclusionList = own;
  ASSERT_TRUE(Create(e));
  EXPECT_EQ(SortedListLines(ListBytes()), (Lines{Line(Data(L"small.txt"), L"\\small.txt")}));
  EXPECT_TRUE(boxes_.calls().empty());

  // Without the exclusion the folder's content counts and no longer fits.
  tw::LogWatch watch;
  EXPECT_FALSE(Create(Entry(2, data_)));
  EXPECT_EQ(LoggedMessages(watch, kCreate), Lines{L"0x00100000, 0x00000000, 0x00200003, 0x00000000"});
  EXPECT_EQ(boxes_.calls(), ErrorBox(kTotalMessage));
}

TEST_F(BurnFileList, TotalExactlyAtCapacityFits) {
  tw::Settings().Dvd1SizeMiB = 1;
  MakeSizedFile(Data(L"a.bin"), kMiB / 2);
  MakeSizedFile(Data(L"sub\\b.bin"), kMiB / 2);
  EXPECT_TRUE(Create(Entry(2, data_)));
  File(L"one_more_byte", "1");
  EXPECT_FALSE(Create(Entry(2, data_)));
  EXPECT_EQ(boxes_.calls().size(), 1u);
}

TEST_F(BurnFileList, BootImageCountsOnItsOwnInsideOrOutsideTheFolder) {
  tw::Settings().Dvd1SizeMiB = 1;
  MakeSizedFile(Data(L"a.bin"), 600 * 1024);
  const std::wstring outside = dir_ / L"boot\\boot.img";
  MakeSizedFile(outside, 600 * 1024);
  DiscEntry bootable = Entry(3, data_);
  bootable.BootImg = outside;
  bootable.BootImgType = 0;
  EXPECT_TRUE(Create(Entry(2, data_)));
  EXPECT_FALSE(Create(bootable));  // 600 KiB + 600 KiB outside

  MakeSizedFile(outside, 300 * 1024);
  ASSERT_TRUE(Create(bootable));
  // The boot image outside the folder is not a line of the list.
  EXPECT_EQ(SortedListLines(ListBytes()), (Lines{Line(Data(L"a.bin"), L"\\a.bin")}));

  // Inside the folder and not excluded it counts twice: 2 x 300 + 600 KiB.
  ::DeleteFileW(outside.c_str());
  MakeSizedFile(Data(L"boot.img"), 300 * 1024);
  bootable.BootImg = Data(L"boot.img");
  EXPECT_TRUE(Create(Entry(2, data_)));
  EXPECT_FALSE(Create(bootable));
  EXPECT_EQ(boxes_.calls().size(), 2u);
}

TEST_F(BurnFileList, MissingBootImageFails) {
  File(L"a.bin");
  DiscEntry bootable = Entry(3, data_);
  bootable.BootImg = dir_ / L"none.img";
  tw::LogWatch watch;
  EXPECT_FALSE(Create(bootable));
  EXPECT_EQ(LoggedMessages(watch, kCreate), Lines{L"0x00000002, " + bootable.BootImg});
}

TEST_F(BurnFileList, JapaneseNames) {
  File(L"回復\\ドライバ.bin");
  File(L"説明書.txt");
  File(L"除外\\一時.tmp");
  SetCommonList(Data(L"除外"));
  ASSERT_TRUE(Create(Entry(2, data_)));
  EXPECT_EQ(SortedListLines(ListBytes()), (Lines{Line(Data(L"回復\\ドライバ.bin"), L"\\回復\\ドライバ.bin"),
                                                 Line(Data(L"説明書.txt"), L"\\説明書.txt")}));
}

TEST_F(BurnFileList, StorageLetterInTheCommonList) {
  File(L"keep.txt");
  File(L"skip.txt");
  SetCommonList(L"?" + Data(L"skip.txt").substr(1));
  ASSERT_TRUE(Create(Entry(2, data_)));
  EXPECT_EQ(SortedListLines(ListBytes()), (Lines{Line(Data(L"keep.txt"), L"\\keep.txt")}));
}

TEST_F(BurnFileList, MissingListsAndFolders) {
  File(L"a.bin");
  DiscEntry e = Entry(2, data_);
  e.ExclusionList = dir_ / L"no_such_list.ini";  // a task's own list may be absent
  EXPECT_TRUE(Create(e));

  tw::LogWatch watch;
  EXPECT_FALSE(Create(Entry(2, dir_ / L"NoFolder")));
  EXPECT_EQ(LoggedMessages(watch, kFiles), Lines{L"0x00000003, " + (dir_ / L"NoFolder\\*")});
  EXPECT_EQ(LoggedMessages(watch, kCreate), Lines{dir_ / L"NoFolder"});

  RemoveCommonList();
  EXPECT_FALSE(Create(Entry(2, data_)));
  EXPECT_EQ(LoggedMessages(watch, kCreate), (Lines{dir_ / L"NoFolder", L""}));
}

TEST_F(BurnFileList, FilesWriterWithoutFileOnlySums) {
  File(L"a.bin", "12345");
  File(L"sub\\b.bin", "123");
  File(L"sub\\c.bin", "1");
  File(L"x.bin", "1234567");
  const std::wstring excluded[] = {Data(L"x.bin"), Data(L"sub\\c.bin")};
  uint64_t total = 99;
  uint32_t count = 99;
  ASSERT_TRUE(MkDiscDlg::WriteBrnFilesInfo_Files(nullptr, data_, data_, excluded, 1, excluded + 1, 1, &total,
                                                 &count));
  EXPECT_EQ(total, 8u);
  EXPECT_EQ(count, 3u);  // a.bin, sub, x.bin: excluded entries are counted too
  ASSERT_TRUE(MkDiscDlg::WriteBrnFilesInfo_Files(nullptr, data_, data_, nullptr, 0, nullptr, 0, &total, nullptr));
  EXPECT_EQ(total, 16u);
}

TEST_F(BurnFileList, SizesBeyondFourGigabytesAndOfLockedFilesCount) {
  MakeSizedFile(Data(L"big\\image.bin"), 5ull << 30);
  File(L"locked.bin", "123456");
  tw::UniqueFile lock(::CreateFileW(Data(L"locked.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(lock);
  uint64_t total = 0;
  ASSERT_TRUE(MkDiscDlg::WriteBrnFilesInfo_Files(nullptr, data_, data_, nullptr, 0, nullptr, 0, &total, nullptr));
  EXPECT_EQ(total, (5ull << 30) + 6u);
  lock.reset();

  EXPECT_FALSE(Create(Entry(2, data_), 0));  // 4300 MiB DVD
  EXPECT_TRUE(Create(Entry(2, data_), 1));   // 23700 MiB BD
  EXPECT_EQ(boxes_.calls().size(), 1u);
}

TEST_F(BurnFileList, UnknownTypeAndUncreatableList) {
  tw::LogWatch watch;
  EXPECT_FALSE(Create(Entry(5, data_)));
  EXPECT_EQ(LoggedMessages(watch, kCreate), Lines{L"0x00000005"});
  EXPECT_EQ(ListBytes(), "\xFF\xFE");

  const std::wstring path = dir_ / L"no\\list.tmp";
  EXPECT_FALSE(MkDiscDlg::CreateBrnFileListFile(path, 0, L"", Entry(2, data_)));
  EXPECT_EQ(LoggedMessages(watch, kCreate), (Lines{L"0x00000005", L"0x00000003, " + path}));
}

// --- Failed writes -----------------------------------------------------

// Walks the data folder writing through a handle that only reads, so that
// every write fails with access denied; gives what the walk logged.
Lines BurnFileList::WalkIntoReadOnlyList(size_t capacity, uint64_t* total) {
  twtest::WriteBytes(list_, "");
  tw::UniqueFile handle(::CreateFileW(list_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(handle);
  tw::BufferedFile file(handle.get(), capacity);
  tw::LogWatch watch;
  EXPECT_FALSE(MkDiscDlg::WriteBrnFilesInfo_Files(&file, data_, data_, nullptr, 0, nullptr, 0, total, nullptr));
  return LoggedMessages(watch, kFiles);
}

TEST_F(BurnFileList, FailedFlushAtTheEndOfTheWalkIsLogged) {
  File(L"a.bin");
  uint64_t total = 0;
  EXPECT_EQ(WalkIntoReadOnlyList(tw::BufferedFile::kDefaultCapacity, &total),
            Lines{L"0x00000005, " + Line(Data(L"a.bin"), L"\\a.bin")});
}

TEST_F(BurnFileList, FailedWriteInTheMiddleStopsTheWalk) {
  for (int i = 0; i < 20; ++i) File(L"f" + std::to_wstring(i) + L".bin");
  uint64_t total = 0;
  const Lines logged = WalkIntoReadOnlyList(256, &total);  // overflows after a few lines
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0].rfind(L"0x00000005, " + data_ + L"\\f", 0), 0u);
  EXPECT_LT(total, 20u * 4u);  // stopped before the last file
}

TEST(BufferedFile, SameBytesAsSingleWritesAndFailureSticks) {
  TempDir dir;
  const std::wstring path = dir / L"out.bin";
  {
    tw::UniqueFile handle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    tw::BufferedFile file(handle.get(), 10);
    for (const wchar_t* piece : {L"ab", L"cdef", L"", L"0123456789", L"g", L"hijk"}) ASSERT_TRUE(file.Write(piece));
    ASSERT_TRUE(file.Flush());
    ASSERT_TRUE(file.Flush());
  }
  EXPECT_EQ(twtest::ReadBytes(path), tw::ToUtf16Le(L"abcdef0123456789ghijk"));

  tw::UniqueFile readOnly(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  tw::BufferedFile file(readOnly.get());
  EXPECT_TRUE(file.Write(L"buffered"));  // nothing written yet
  EXPECT_FALSE(file.Flush());
  EXPECT_EQ(file.error(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(file.Write(L"x"));
  EXPECT_FALSE(file.Flush());
  EXPECT_EQ(file.lastText(), L"x");
}

// --- ISO -------------------------------------------------------------------

TEST_F(BurnFileList, IsoListsOnlyTheFirstMatch) {
  const std::wstring iso = dir_ / L"Iso";
  twtest::WriteBytes(iso + L"\\b.iso", "b");
  twtest::WriteBytes(iso + L"\\a.iso", "a");
  twtest::WriteBytes(iso + L"\\readme.txt", "r");
  WIN32_FIND_DATAW found{};
  {
    tw::UniqueFind search(::FindFirstFileW((iso + L"\\*.iso").c_str(), &found));
    ASSERT_TRUE(search);
  }
  for (const std::wstring& folder : {iso, iso + L"\\"}) {
    ASSERT_TRUE(Create(Entry(0, folder)));
    EXPECT_EQ(ListBytes(), Utf16File(iso + L"\\" + found.cFileName + L"\t\r\n\r\n")) << folder;
  }
}

TEST_F(BurnFileList, IsoExactlyAtCapacityFitsOneByteMoreFails) {
  tw::Settings().Dvd1SizeMiB = 1;
  const std::wstring iso = dir_ / L"Iso";
  MakeSizedFile(iso + L"\\disc.iso", kMiB);
  ASSERT_TRUE(Create(Entry(0, iso)));
  EXPECT_TRUE(boxes_.calls().empty());

  MakeSizedFile(iso + L"\\disc.iso", kMiB + 1);
  tw::LogWatch watch;
  EXPECT_FALSE(Create(Entry(0, iso)));
  EXPECT_EQ(LoggedMessages(watch, kIso), Lines{L"0x00100000, 0x00000000, 0x00100001, 0x00000000"});
  EXPECT_EQ(LoggedMessages(watch, kCreate), Lines{iso});
  EXPECT_EQ(boxes_.calls(), ErrorBox(kOneFileMessage));
}

TEST_F(BurnFileList, IsoMissingOrAFolderFails) {
  const std::wstring iso = dir_ / L"Iso";
  twtest::MakeDirs(iso);
  tw::LogWatch watch;
  EXPECT_FALSE(Create(Entry(0, iso)));
  EXPECT_EQ(LoggedMessages(watch, kIso), Lines{L"0x00000002, " + iso + L"\\*.iso"});

  // A folder named like an image is no image.
  twtest::MakeDirs(iso + L"\\folder.iso");
  EXPECT_FALSE(Create(Entry(0, iso)));
  EXPECT_EQ(LoggedMessages(watch, kIso), (Lines{L"0x00000002, " + iso + L"\\*.iso", iso + L"\\folder.iso"}));
}

// --- Image -------------------------------------------------------------------

class ImageBurnFileList : public BurnFileList {
 protected:
  // Three discs of 1 MiB: the information file and the first piece, then one
  // piece on each further disc.
  ImageBurnFileList() {
    tw::Settings().Dvd1SizeMiB = 1;
    twtest::WriteTextFile(Img(L"r.inf"), L"[ImageFileInfo]\r\nImageInfo=Model-X\r\n");
    MakeSizedFile(Img(L"r.fc2"), 700 * 1024);
    MakeSizedFile(Img(L"r.002"), 700 * 1024);
    MakeSizedFile(Img(L"r.003"), 700 * 1024);
  }
  std::wstring Img(const std::wstring& name) const { return image_ + L"\\" + name; }
  DiscEntry Disc(uint32_t number) const {
    DiscEntry e = Entry(1, image_);
    e.DiscNumber = number;
    return e;
  }
  const std::wstring image_ = dir_ / L"Image";
};

TEST_F(ImageBurnFileList, EachDiscGetsItsLineOfTheLayout) {
  const std::wstring lists[] = {Img(L"r.inf") + L"\t\\r.inf\r\n" + Img(L"r.fc2") + L"\t\\r.fc2\r\n\r\n",
                                Img(L"r.002") + L"\t\\r.002\r\n\r\n", Img(L"r.003") + L"\t\\r.003\r\n\r\n"};
  for (uint32_t disc = 0; disc < 3; ++disc) {
    ASSERT_TRUE(Create(Disc(disc))) << disc;
    EXPECT_EQ(ListBytes(), Utf16File(lists[disc])) << disc;
  }
  DiscEntry trailing = Disc(2);
  trailing.Folder += L"\\";
  ASSERT_TRUE(Create(trailing));
  EXPECT_EQ(ListBytes(), Utf16File(lists[2]));
}

TEST_F(ImageBurnFileList, DiscBeyondTheLayoutFails) {
  tw::LogWatch watch;
  EXPECT_FALSE(Create(Disc(3)));
  EXPECT_EQ(LoggedMessages(watch, kImage), Lines{L"0x00000003, 0x00000003"});
  EXPECT_EQ(watch.EntriesOf(kCreate).size(), 1u);
}

TEST_F(ImageBurnFileList, IncompleteImageSetFails) {
  ::DeleteFileW(Img(L"r.fc2").c_str());
  tw::LogWatch watch;
  EXPECT_FALSE(Create(Disc(0)));
  EXPECT_EQ(LoggedMessages(watch, kImage), Lines{image_});
}

}  // namespace
