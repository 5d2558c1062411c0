#include "text.h"

namespace tw {
namespace {

std::wstring HexDigits(uint32_t value) {
  static const wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring out(8, L'0');
  for (int i = 7; i >= 0; --i) {
    out[static_cast<size_t>(i)] = kDigits[value & 0xF];
    value >>= 4;
  }
  return out;
}

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}

}  // namespace

std::wstring Hex8(uint32_t value) { return L"0x" + HexDigits(value); }

std::wstring Hex8Pair(uint32_t first, uint32_t second) {
  return Hex8(first) + L", " + Hex8(second);
}

std::wstring Hex8With(uint32_t code, const std::wstring& text) {
  return Hex8(code) + L", " + text;
}

std::wstring Hex64Halves(uint64_t value) {
  return Hex8Pair(static_cast<uint32_t>(value & 0xFFFFFFFFu), static_cast<uint32_t>(value >> 32));
}

std::wstring Dec(uint64_t value) {
  std::wstring out;
  do {
    out.insert(out.begin(), static_cast<wchar_t>(L'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return out;
}

std::wstring DecSigned(int64_t value) {
  if (value >= 0) return Dec(static_cast<uint64_t>(value));
  return L"-" + Dec(0 - static_cast<uint64_t>(value));
}

wchar_t FoldCase(wchar_t c) {
  if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 32);
  // Latin-1 small letters except the division sign and y with diaeresis.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 32);
  // Full-width Latin small letters.
  if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<wchar_t>(c - 0x20);
  return c;
}

bool EqualsNoCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (FoldCase(text[i]) != FoldCase(prefix[i])) return false;
  }
  return true;
}

std::wstring ToUpper(std::wstring text) {
  for (auto& c : text) c = FoldCase(c);
  return text;
}

std::wstring ReplaceAll(std::wstring text, const std::wstring& token, const std::wstring& replacement) {
  if (token.empty()) return text;
  size_t pos = 0;
  while ((pos = text.find(token, pos)) != std::wstring::npos) {
    text.replace(pos, token.size(), replacement);
    pos += replacement.size();
  }
  return text;
}

std::wstring WithoutTrailingBackslash(std::wstring path) {
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
  return folder + L"\\" + name;
}

namespace {
// Shared by both scanners: blanks, sign, digits. Accumulates modulo 2^32.
bool ScanDecimal(const std::wstring& text, uint32_t& magnitude, bool& negative, size_t& used) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
    negative = text[i] == L'-';
    ++i;
  }
  if (i >= text.size() || text[i] < L'0' || text[i] > L'9') return false;
  uint32_t v = 0;
  while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
    v = v * 10u + static_cast<uint32_t>(text[i] - L'0');
    ++i;
  }
  magnitude = v;
  used = i;
  return true;
}
}  // namespace

bool ScanUnsigned(const std::wstring& text, uint32_t& value) {
  size_t used = 0;
  return ScanUnsigned(text, value, used);
}

bool ScanSigned(const std::wstring& text, int32_t& value) {
  size_t used = 0;
  return ScanSigned(text, value, used);
}

bool ScanUnsigned(const std::wstring& text, uint32_t& value, size_t& used) {
  uint32_t magnitude = 0;
  bool negative = false;
  used = 0;
  if (!ScanDecimal(text, magnitude, negative, used)) return false;
  value = negative ? 0u - magnitude : magnitude;
  return true;
}

bool ScanSigned(const std::wstring& text, int32_t& value, size_t& used) {
  uint32_t magnitude = 0;
  bool negative = false;
  used = 0;
  if (!ScanDecimal(text, magnitude, negative, used)) return false;
  uint32_t bits = negative ? 0u - magnitude : magnitude;
  value = static_cast<int32_t>(bits);
  return true;
}

std::string ToUtf16Le(const std::wstring& text) {
  std::string out;
  out.reserve(text.size() * 2);
  auto put = [&out](uint32_t unit) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>((unit >> 8) & 0xFF));
  };
  for (wchar_t wc : text) {
    uint32_t c = static_cast<uint32_t>(wc);
    if (c > 0xFFFF) {
      c -= 0x10000;
      put(0xD800 + (c >> 10));
      put(0xDC00 + (c & 0x3FF));
    } else {
      put(c);
    }
  }
  return out;
}

std::wstring FromUtf16Le(const std::string& bytes) {
  std::wstring out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    uint32_t unit = static_cast<unsigned char>(bytes[i]) |
                    (static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
    if (sizeof(wchar_t) > 2 && unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
      uint32_t low = static_cast<unsigned char>(bytes[i + 2]) |
                     (static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 3])) << 8);
      if (low >= 0xDC00 && low < 0xE000) {
        out.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
        i += 2;
        continue;
      }
    }
    out.push_back(static_cast<wchar_t>(unit));
  }
  return out;
}

namespace {
void PutUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}
bool IsHighSurrogate(uint32_t c) { return c >= 0xD800 && c < 0xDC00; }
bool IsLowSurrogate(uint32_t c) { return c >= 0xDC00 && c < 0xE000; }
}  // namespace

std::string ToUtf8(const std::wstring& text) {
  constexpr uint32_t kReplacement = 0xFFFD;
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = static_cast<uint32_t>(text[i]);
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(static_cast<uint32_t>(text[i + 1]))) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint32_t>(text[++i]) - 0xDC00);
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || c > 0x10FFFF) {
      c = kReplacement;
    }
    PutUtf8(out, c);
  }
  return out;
}

}  // namespace tw
