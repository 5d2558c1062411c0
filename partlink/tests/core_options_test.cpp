#include <gtest/gtest.h>

#include "core/options.h"

namespace partlink {
namespace {

const std::wstring kExe = L"C:\\tools\\partlink.exe";

Options Parse(std::vector<std::wstring> rest) {
  rest.insert(rest.begin(), kExe);
  return ParseOptions(rest);
}

TEST(Options, NothingChosenWithoutAnOperation) {
  EXPECT_EQ(Parse({}).operation, Operation::None);
  EXPECT_EQ(Parse({}).outputSwitch, 1);
  const Options logOnly = Parse({L"/LOG"});
  EXPECT_EQ(logOnly.operation, Operation::None);
  EXPECT_EQ(logOnly.outputSwitch, 0);
  EXPECT_EQ(ParseOptions({}).operation, Operation::None);
}

TEST(Options, EveryOptionInAnyCase) {
  EXPECT_EQ(Parse({L"/show"}).operation, Operation::Show);
  EXPECT_EQ(Parse({L"/Hide"}).operation, Operation::Hide);
  EXPECT_EQ(Parse({L"/map"}).operation, Operation::Map);
  EXPECT_EQ(Parse({L"/UnMap"}).operation, Operation::UnMap);
  EXPECT_EQ(Parse({L"/mapReg"}).operation, Operation::MapReg);
  EXPECT_EQ(Parse({L"/MAP2"}).operation, Operation::Map2);
  EXPECT_EQ(Parse({L"/map3"}).operation, Operation::Map3);
  EXPECT_EQ(Parse({L"/unmap3"}).operation, Operation::UnMap3);
  EXPECT_EQ(Parse({L"/Log"}).outputSwitch, 0);
}

TEST(Options, LastOperationWinsAndLogStandsAnywhere) {
  const Options o = Parse({L"/MAP", L"/log", L"/UNMAP"});
  EXPECT_EQ(o.operation, Operation::UnMap);
  EXPECT_EQ(o.outputSwitch, 0);
  EXPECT_EQ(Parse({L"/LOG", L"/HIDE", L"/VIEW:3"}).operation, Operation::View);
  EXPECT_EQ(Parse({L"/VIEW:3", L"/SHOW"}).operation, Operation::Show);
}

TEST(Options, NumbersAfterViewAndUnmap2) {
  EXPECT_EQ(Parse({L"/VIEW:1"}).viewDisk, 1);
  const Options bare = Parse({L"/view:"});
  EXPECT_EQ(bare.operation, Operation::View);
  EXPECT_EQ(bare.viewDisk, 0);
  EXPECT_EQ(Parse({L"/VIEW: 12x"}).viewDisk, 12);
  EXPECT_EQ(Parse({L"/VIEW:-1"}).viewDisk, -1);
  EXPECT_EQ(Parse({L"/VIEW:2", L"/VIEW:7"}).viewDisk, 7);

  const Options five = Parse({L"/unmap2:5"});
  EXPECT_EQ(five.operation, Operation::UnMap2);
  EXPECT_EQ(five.unmapDrive, 5);
  const Options letter = Parse({L"/UNMAP2:E"});
  EXPECT_EQ(letter.operation, Operation::UnMap2);
  EXPECT_EQ(letter.unmapDrive, 0);
}

TEST(Options, ArgumentsThatOnlyBeginWithAnOptionAreIgnored) {
  for (const wchar_t* arg : {L"/MAPX", L"/MAP22", L"/VIEW", L"/UNMAP2", L"MAP", L" /MAP"}) {
    EXPECT_EQ(Parse({arg}).operation, Operation::None) << arg;
  }
  EXPECT_EQ(Parse({L"/LOGS"}).outputSwitch, 1);
  // Unknown arguments leave an earlier choice alone.
  EXPECT_EQ(Parse({L"/HIDE", L"/nonsense"}).operation, Operation::Hide);
}

TEST(Options, TheProgramPathIsExaminedToo) {
  EXPECT_EQ(ParseOptions({L"/map2"}).operation, Operation::Map2);
  EXPECT_EQ(ParseOptions({L"/LOG"}).outputSwitch, 0);
}

}  // namespace
}  // namespace partlink
