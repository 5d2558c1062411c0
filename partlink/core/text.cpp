#include "core/text.h"

#include <climits>
#include <vector>

namespace partlink {
namespace {

wchar_t UpperAscii(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

std::wstring Digits(uint64_t value, unsigned base, bool upper) {
  const wchar_t* digits = upper ? L"0123456789ABCDEF" : L"0123456789abcdef";
  std::wstring out;
  do {
    out.insert(out.begin(), digits[value % base]);
    value /= base;
  } while (value != 0);
  return out;
}

std::wstring Pad(std::wstring body, size_t width, bool zero) {
  if (body.size() >= width) return body;
  if (!zero) return std::wstring(width - body.size(), L' ') + body;
  // Zero padding goes after a sign.
  size_t at = (!body.empty() && body[0] == L'-') ? 1 : 0;
  body.insert(at, width - body.size(), L'0');
  return body;
}

}  // namespace

std::wstring Format(const wchar_t* format, std::initializer_list<FormatArg> args) {
  std::wstring out;
  if (format == nullptr) return out;
  std::vector<const FormatArg*> list;
  for (const FormatArg& a : args) list.push_back(&a);
  size_t next = 0;

  for (const wchar_t* p = format; *p != L'\0'; ++p) {
    if (*p != L'%') {
      out += *p;
      continue;
    }
    ++p;
    if (*p == L'\0') break;
    if (*p == L'%') {
      out += L'%';
      continue;
    }
    bool zero = false;
    if (*p == L'0') {
      zero = true;
      ++p;
    }
    size_t width = 0;
    while (*p >= L'0' && *p <= L'9') {
      width = width * 10 + static_cast<size_t>(*p - L'0');
      ++p;
    }
    bool wide64 = false;
    if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') {
      wide64 = true;
      p += 3;
    }
    const wchar_t conv = *p;
    if (conv == L'\0') break;
    const FormatArg* arg = next < list.size() ? list[next] : nullptr;
    ++next;
    if (arg == nullptr) continue;

    const bool numeric = arg->kind() != FormatArg::Kind::Text;
    uint64_t bits = arg->Bits();
    if (!wide64) bits &= 0xFFFFFFFFull;
    std::wstring body;
    switch (conv) {
      case L'd':
      case L'i':
        if (!numeric) break;
        if (wide64) {
          int64_t v = static_cast<int64_t>(bits);
          body = v < 0 ? L"-" + Digits(0 - static_cast<uint64_t>(v), 10, false) : Digits(bits, 10, false);
        } else {
          int32_t v = static_cast<int32_t>(static_cast<uint32_t>(bits));
          body = v < 0 ? L"-" + Digits(0 - static_cast<uint64_t>(static_cast<int64_t>(v)), 10, false)
                       : Digits(bits, 10, false);
        }
        break;
      case L'u':
        if (numeric) body = Digits(bits, 10, false);
        break;
      case L'X':
      case L'x':
        if (numeric) body = Digits(bits, 16, conv == L'X');
        break;
      case L'c':
        // The character 0 ends a C string; it is not written.
        if (numeric && arg->Bits() != 0) body.assign(1, static_cast<wchar_t>(arg->Bits()));
        zero = false;
        break;
      case L's':
        if (!numeric) body = arg->text();
        zero = false;
        break;
      default:
        break;
    }
    out += Pad(body, width, zero);
  }
  return out;
}

std::wstring ToUpperAscii(std::wstring text) {
  for (wchar_t& c : text) c = UpperAscii(c);
  return text;
}

int32_t DecimalPrefix(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || text[i] == L'\t' || text[i] == L'\n' || text[i] == L'\r' ||
                             text[i] == L'\v' || text[i] == L'\f')) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
    negative = text[i] == L'-';
    ++i;
  }
  int64_t value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > static_cast<int64_t>(INT32_MAX) + 1) value = static_cast<int64_t>(INT32_MAX) + 1;
  }
  if (negative) return static_cast<int32_t>(-value);
  return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

size_t FindNoCase(const std::wstring& text, const std::wstring& needle, size_t from) {
  if (needle.size() > text.size()) return std::wstring::npos;
  for (size_t i = from; i + needle.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < needle.size() && UpperAscii(text[i + k]) == UpperAscii(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::wstring::npos;
}

}  // namespace partlink
