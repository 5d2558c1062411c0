// The test build of the wizard (Tarnwright_testbuild.exe): the same program
// with the seams a test needs where Wine cannot stand in. The power status
// comes from "TestPower.ini" beside the program ([Power] ACLineStatus, 1
// mains, 0 battery; read on every check), and every keep-awake request is
// recorded there ([Power] KeepAwake=1 while one is held, 0 after). At start
// it records in "TestBuild.ini" beside itself ([Process]) the common controls
// library it loaded (path and DllGetVersion) and its pointer size. Its
// handle and GDI owners keep live counts (app/owner_count.h), published in
// a named section that another process reads. The shipped program never
// contains this.
#pragma once

namespace twtest {
void InstallTestBuildSeams();
// Moves the owners' counts into the section named by
// tw::owners::SectionName(this process); false when it cannot be made
// (the counts then stay private to the process).
bool PublishOwnerCounts();
}
