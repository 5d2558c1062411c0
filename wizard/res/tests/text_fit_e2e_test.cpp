// The wizard's texts fit their controls at 144 and 192 dots per inch: the
// test build measures each text in its control's own font with the
// control's own drawing flags (DrawText with DT_CALCRECT), and no control
// overlaps another or reaches out of its window. The same in Japanese runs
// with the Japanese tests.
#include <gtest/gtest.h>

#include "e2e_support.h"

namespace {

TEST(TextFit, EveryTextFitsAt144And192DotsPerInch) {
  for (DWORD dpi : {144u, 192u}) {
    const std::vector<std::string> problems = e2e::TextFitWalk(dpi);
    for (const std::string& problem : problems) ADD_FAILURE() << problem;
  }
}

}  // namespace
