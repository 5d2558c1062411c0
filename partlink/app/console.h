// The tool's one print function: progress and error lines reach the console
// only when the output switch is 0 ("/LOG"); the partition-table listings
// are printed in every case.
#pragma once

#include <string>

namespace partlink {

// 0 = print, 1 = quiet. 0 until the command line has been parsed.
void SetOutputSwitch(int value);
int OutputSwitch();

// Prints when the output switch is 0.
void Print(const std::wstring& text);
// Prints in every case.
void PrintAlways(const std::wstring& text);

}  // namespace partlink
