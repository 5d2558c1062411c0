// Stand-ins of the test build of partlink: disks are image files and WMI is
// a table of associations, so that every operation runs end to end under a
// system that has neither real disks nor real partitions.
#pragma once

#include <memory>
#include <string>

#include "app/seams.h"

namespace partlink {

// Disk n is the file "<folder>\disk<n>.img"; the volume of a letter is found
// through the letter's DOS device definition, which must be a raw target
// "\Device\Harddisk<n>\Partition<m>" as a map operation defines it.
std::unique_ptr<DiskSystem> MakeImageDisks(const std::wstring& folder);

// The associations come from a UTF-8 text file, one per line:
//   <class> TAB <Dependent> TAB <Antecedent>
// A property written as "<none>" is missing. Further lines:
//   fail TAB <class>          the enumeration of the class fails
//   connect-fail TAB <code>   connecting fails with code 257 to 261
// Lines starting with '#' and empty lines are ignored. A file that cannot be
// read makes connecting fail with 261.
std::unique_ptr<WmiService> MakeTableWmi(const std::wstring& path);

}  // namespace partlink
