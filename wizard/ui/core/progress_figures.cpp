#include "progress_figures.h"

#include "app/core/text.h"

namespace tw {
namespace ui {

uint32_t Permille(uint64_t done, uint64_t total) {
  if (total == 0) return 0;
  if (done >= total) return 1000;
  const double part = static_cast<double>(done) * 1000.0 / static_cast<double>(total);
  return part >= 999.0 ? 999u : static_cast<uint32_t>(part);  // not done until every byte is
}

std::optional<uint64_t> SecondsLeft(uint64_t done, uint64_t total, uint64_t elapsedMs) {
  if (done == 0 || done > total || elapsedMs < 1000 || done < total / 100) return std::nullopt;
  const uint64_t left = total - done;
  // left / (done / elapsed) in seconds, without overflow for any real disc.
  const double seconds = static_cast<double>(left) * static_cast<double>(elapsedMs) / static_cast<double>(done) / 1000.0;
  return static_cast<uint64_t>(seconds + 0.5);
}

namespace {
// `value` of `unit` with `decimals` digits after the point, rounded.
std::wstring Scaled(uint64_t bytes, uint64_t unit, int decimals, const wchar_t* name) {
  uint64_t factor = 1;
  for (int i = 0; i < decimals; ++i) factor *= 10;
  const uint64_t scaled = (bytes / unit) * factor + ((bytes % unit) * factor + unit / 2) / unit;
  std::wstring text = Dec(scaled / factor);
  if (decimals > 0) {
    std::wstring fraction = Dec(scaled % factor);
    while (fraction.size() < static_cast<size_t>(decimals)) fraction.insert(fraction.begin(), L'0');
    text += L"." + fraction;
  }
  return text + L" " + name;
}
}  // namespace

std::wstring SizeText(uint64_t bytes) {
  constexpr uint64_t kKb = 1024, kMb = kKb * 1024, kGb = kMb * 1024;
  if (bytes >= kGb) return Scaled(bytes, kGb, bytes >= 10 * kGb ? 1 : 2, L"GB");
  if (bytes >= kMb) return Scaled(bytes, kMb, bytes >= 10 * kMb ? 0 : 1, L"MB");
  if (bytes >= kKb) return Scaled(bytes, kKb, 0, L"KB");
  return Dec(bytes) + L" bytes";
}

std::wstring DurationText(uint64_t seconds) {
  auto two = [](uint64_t n) { return (n < 10 ? L"0" : L"") + Dec(n); };
  const uint64_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
  return h > 0 ? Dec(h) + L":" + two(m) + L":" + two(s) : Dec(m) + L":" + two(s);
}

}  // namespace ui
}  // namespace tw
