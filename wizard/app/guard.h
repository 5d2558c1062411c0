// The edge between Windows and our code: every dialog procedure, window
// procedure, hook procedure and thread entry runs its body through
// TW_GUARDED, so that no exception ever unwinds into the system. What was
// caught is logged under the procedure's qualified name, and the caller
// gets the message's neutral answer.
#pragma once

#include <cstdint>
#include <exception>

namespace tw {

// Writes one log entry for an exception caught at a procedure's edge
// (`what` may be null for one that is not a std::exception). Never throws.
void LogCaught(const wchar_t* function, uint32_t line, const char* what) noexcept;

template <typename R, typename Body>
R Guarded(const wchar_t* function, uint32_t line, R neutral, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::exception& e) {
    LogCaught(function, line, e.what());
  } catch (...) {
    LogCaught(function, line, nullptr);
  }
  return neutral;
}

}  // namespace tw

// TW_GUARDED(L"MainDlg::DlgProc", INT_PTR{FALSE}, [&] { return Handle(...); })
#define TW_GUARDED(function, neutral, body) ::tw::Guarded(function, static_cast<uint32_t>(__LINE__), neutral, body)
