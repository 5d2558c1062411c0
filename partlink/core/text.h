// Portable text helpers of partlink: a small printf-like formatter that keeps
// the tool's message formats readable, and the conversions the option parser
// and the WMI path readers need. No platform headers: this compiles natively.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace partlink {

// One argument of Format: a number, a character or a wide string.
class FormatArg {
 public:
  enum class Kind { Signed, Unsigned, Char, Text };
  FormatArg(int value) : kind_(Kind::Signed), signed_(value) {}
  FormatArg(long value) : kind_(Kind::Signed), signed_(value) {}
  FormatArg(long long value) : kind_(Kind::Signed), signed_(value) {}
  FormatArg(unsigned value) : kind_(Kind::Unsigned), unsigned_(value) {}
  FormatArg(unsigned long value) : kind_(Kind::Unsigned), unsigned_(value) {}
  FormatArg(unsigned long long value) : kind_(Kind::Unsigned), unsigned_(value) {}
  FormatArg(unsigned char value) : kind_(Kind::Unsigned), unsigned_(value) {}
  FormatArg(const wchar_t* text) : kind_(Kind::Text), text_(text ? text : L"") {}
  FormatArg(const std::wstring& text) : kind_(Kind::Text), text_(text) {}

  static FormatArg Char(wchar_t c) {
    FormatArg arg(0);
    arg.kind_ = Kind::Char;
    arg.unsigned_ = static_cast<uint32_t>(c);
    return arg;
  }

  Kind kind() const { return kind_; }
  // The value as the conversions read it: a 64-bit pattern.
  uint64_t Bits() const { return kind_ == Kind::Signed ? static_cast<uint64_t>(signed_) : unsigned_; }
  const std::wstring& text() const { return text_; }

 private:
  Kind kind_;
  int64_t signed_ = 0;
  uint64_t unsigned_ = 0;
  std::wstring text_;
};

// Formats like the C library's printf for the conversions the tool uses:
// %d, %u, %X, %x (with an optional "0" flag and width, and the I64 size
// prefix for 64-bit values), %c, %s (a wide string) and %%. Without I64 a
// number is taken as 32 bits, as printf takes an int. A conversion without an
// argument, or a number where text is expected, produces nothing.
std::wstring Format(const wchar_t* format, std::initializer_list<FormatArg> args = {});

// Upper case of the ASCII letters only, as the C locale converts.
std::wstring ToUpperAscii(std::wstring text);

// Reads a decimal number as the C library's string-to-integer conversion
// does: leading blanks skipped, an optional sign, digits up to the first
// other character; 0 without digits. Values beyond 32 bits saturate.
int32_t DecimalPrefix(const std::wstring& text);

// Position of needle in text comparing ASCII letters without case, or npos.
size_t FindNoCase(const std::wstring& text, const std::wstring& needle, size_t from = 0);

}  // namespace partlink
