// The figures of a progress window that counts bytes: how far it is, how
// long is left at the rate so far, and sizes and durations in words. No
// platform headers: this compiles natively as well as for Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tw {
namespace ui {

// Progress in thousandths (0 to 1000) of the bytes to go through.
uint32_t Permille(uint64_t done, uint64_t total);

// Seconds left at the rate so far; nothing until enough has been read to
// tell (a second, and a hundredth of the work).
std::optional<uint64_t> SecondsLeft(uint64_t done, uint64_t total, uint64_t elapsedMs);

// "512 KB", "4.3 MB", "1.25 GB" (units of 1024; one unit below 10 shows one
// decimal for MB and two for GB).
std::wstring SizeText(uint64_t bytes);
// "0:42", "12:05", "1:02:03".
std::wstring DurationText(uint64_t seconds);

}  // namespace ui
}  // namespace tw
