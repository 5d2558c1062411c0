// The drive list of the burning product's interface library.
//
// Input: one byte for the caller's record count, then the list text (8-bit,
// or UTF-16 after FF FE), handed over in a buffer of exactly its length
// whether or not it holds a NUL.
//
// Properties: the text ends at the buffer's end or its first NUL; never more
// drives than records; every stored drive has a letter that is not a field
// separator and a name without TAB or line feed, and is a DVD writer; the
// drives come in list order (their lines are found one after the other);
// success carries no log message; and the drives written
// back as a canonical list ("letter TAB name TAB codes LF") read back as the
// same drives.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "burn/core/odd_list.h"
#include "fuzz_support.h"

namespace {

bool SameDrive(const OddInfo& a, const OddInfo& b) {
  return a.DriveLetter == b.DriveLetter && a.DriveName == b.DriveName && a.DvdWritable == b.DvdWritable &&
         a.Flag105 == b.Flag105 && a.BdWritable == b.BdWritable && a.Flag203 == b.Flag203 &&
         a.Flag205 == b.Flag205 && a.Flag207 == b.Flag207;
}

std::wstring CanonicalLine(const OddInfo& d) {
  std::wstring codes = L"101";
  if (d.Flag105) codes += L",105";
  if (d.BdWritable) codes += L",201";
  if (d.Flag203) codes += L",203";
  if (d.Flag205) codes += L",205";
  if (d.Flag207) codes += L",207";
  return std::wstring(1, d.DriveLetter) + L"\t" + d.DriveName + L"\t" + codes + L"\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint32_t capacity = data[0] % 40;
  const std::wstring raw = fuzz::TextOfBytes(data + 1, size - 1);
  std::unique_ptr<wchar_t[]> buffer(new wchar_t[raw.size()]);
  std::copy(raw.begin(), raw.end(), buffer.get());
  const std::wstring text = tw::TextUpToNul(buffer.get(), raw.size());
  FUZZ_CHECK(text == raw.substr(0, raw.find(L'\0')));

  const tw::OddListResult result = tw::ParseOddsList(text, capacity);
  FUZZ_CHECK(result.drives.size() <= capacity);
  if (result.error == tw::OddListError::None) FUZZ_CHECK(result.logMessage.empty());

  size_t searchFrom = 0;
  for (const OddInfo& d : result.drives) {
    FUZZ_CHECK(d.DvdWritable);
    FUZZ_CHECK(d.DriveLetter != 0 && d.DriveLetter != L'\t' && d.DriveLetter != L'\n');
    FUZZ_CHECK(d.DriveName.find_first_of(L"\t\n") == std::wstring::npos);
    const std::wstring head = std::wstring(1, d.DriveLetter);
    const size_t at = text.find(head, searchFrom);
    FUZZ_CHECK(at != std::wstring::npos);
    const size_t nameAt = text.find(d.DriveName, at);
    FUZZ_CHECK(nameAt != std::wstring::npos);
    searchFrom = text.find(L'\n', nameAt + d.DriveName.size());
    FUZZ_CHECK(searchFrom != std::wstring::npos);
  }

  std::wstring canonical;
  for (const OddInfo& d : result.drives) canonical += CanonicalLine(d);
  const tw::OddListResult again = tw::ParseOddsList(canonical, capacity);
  FUZZ_CHECK(again.error == tw::OddListError::None);
  FUZZ_CHECK(again.drives.size() == result.drives.size());
  for (size_t i = 0; i < again.drives.size(); ++i) FUZZ_CHECK(SameDrive(again.drives[i], result.drives[i]));
  return 0;
}
