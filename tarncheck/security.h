// The owner and access list of files and folders, read from the platform
// and handed to the portable evaluation as plain data, and the names of
// the accounts they name.
#pragma once

#include <windows.h>

#include <string>

#include "core/access.h"

namespace tc {

struct ReadDescriptor {
  bool ok = false;
  DWORD error = 0;  // of the failed read
  Descriptor descriptor;
};

// The owner and access list of a file or folder. The test build may take
// them from a table instead (see README.md beside this file).
ReadDescriptor ReadFileDescriptor(const std::wstring& path);

// "BUILTIN\Users", "Everyone" and the like; empty when the account is not
// known on this machine. Looked up once per account.
std::wstring AccountName(const std::wstring& sid);

}  // namespace tc
