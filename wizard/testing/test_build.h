// The test build of the wizard (Tarnwright_testbuild.exe): the same program
// with the seams a test needs where Wine cannot stand in. The shipped
// program never contains this.
//
// - Power: the status comes from "TestPower.ini" beside the program
//   ([Power] ACLineStatus, 1 mains, 0 battery; read on every check), and
//   every keep-awake request is recorded there ([Power] KeepAwake=1 while
//   one is held, 0 after).
// - Process: at start it records in "TestBuild.ini" beside itself
//   ([Process]) the common controls library it loaded (path and
//   DllGetVersion) and its pointer size.
// - Owners: its handle and GDI owners keep live counts
//   (app/owner_count.h), published in a named section that another process
//   reads.
// - Reading a made disc back: "TestBuild.ini" [RawDrives] E=<file> serves
//   drive E's sectors from that file (Wine serves no raw reads of a drive
//   whose disc is a folder), and [Verify] MsPerMiB paces the reads (as a
//   slow drive would).
// - High contrast: with "TestDisplay.ini" beside it saying [Display]
//   HighContrast=1, the wizard sees the high-contrast mode on (Wine never
//   reports it) and the session's system colours are a high-contrast
//   scheme while it runs (kHighContrastScheme), as the system sets them
//   when the mode is turned on; the previous colours come back when it
//   ends. Under Wine a process that read the colours before keeps its own
//   copy of them. Wine's visual style still draws the push buttons and
//   scroll bars in its own light colours.
// - Settling: the registered message kSettleMessage, posted to the main
//   window, sets the event SettleEventName(process id) once the wizard has
//   handled every message posted before it.
// - Text measurement: the registered message kMeasureMessage, posted to the
//   main window, measures every text the window and its step show in the
//   control's own font (the same drawing flags as the control draws with)
//   and writes the list to "TestMeasure.txt" beside the program (UTF-16,
//   one control a line, fields separated by tabs: parent (0 the main
//   window, 1 the step dialog), id, class,
//   style, left, top, right, bottom in the main window's client, client
//   width, client height, needed width, needed height, the text with line
//   breaks as "\n"), then sets the settle event.
#pragma once

#include <windows.h>

#include <array>
#include <string>

namespace twtest {
// Moves the owners' counts into the section named by
// tw::owners::SectionName(this process); false when it cannot be made
// (the counts then stay private to the process).
bool PublishOwnerCounts();

// The high-contrast scheme the seam sets, white text on black: the value
// of every system colour, by its number.
inline constexpr std::array<COLORREF, 31> kHighContrastScheme = {
    RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(128, 0, 128),   RGB(0, 128, 0),     RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 0),   RGB(0, 128, 0),     RGB(0, 0, 0),       RGB(26, 235, 255),  RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(128, 128, 128), RGB(63, 242, 63),   RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(192, 192, 192), RGB(255, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0),
    RGB(192, 192, 192), RGB(255, 255, 0),   RGB(128, 0, 128),   RGB(0, 128, 0),     RGB(26, 235, 255),
    RGB(0, 0, 0)};

inline constexpr wchar_t kSettleMessage[] = L"Tarnwright.TestBuild.Settle";
inline constexpr wchar_t kMeasureMessage[] = L"Tarnwright.TestBuild.Measure";
inline std::wstring SettleEventName(DWORD processId) {
  return L"Local\\Tarnwright.TestBuild.Settled." + std::to_wstring(processId);
}

// Installs the seams at construction; at its end the system colours are
// put back and the hooks removed.
class TestBuildSeams {
 public:
  TestBuildSeams();
  ~TestBuildSeams();
  TestBuildSeams(const TestBuildSeams&) = delete;
  TestBuildSeams& operator=(const TestBuildSeams&) = delete;
};

}  // namespace twtest
