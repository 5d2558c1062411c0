#include "guard.h"

#include <string>

#include "log.h"

namespace tw {

void LogCaught(const wchar_t* function, uint32_t line, const char* what) noexcept {
  try {
    std::wstring message = L"exception";
    if (what) {
      message += L": ";
      // The text of a standard exception is plain ASCII in practice; bytes
      // beyond it are shown as they are, one unit each.
      for (const char* p = what; *p; ++p) message += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    }
    ::tw::Log(function, line, message);
  } catch (...) {
    // Out of memory while logging: the entry is lost, the program goes on.
  }
}

}  // namespace tw
