// The INI section walker and key match with the four value kinds, and the
// record readers of the action settings, language texts and disc-set task
// sections built on them.
//
// Input: an INI file's bytes (8-bit, or UTF-16 after FF FE). Every line
// feed becomes the NUL that ends a line of the section block, as the
// profile-section call fills it, and the block is handed over in a buffer
// of exactly its length, without a terminator: the walker must stop at the
// buffer's end.
//
// Properties: the walker's lines are the block's NUL-separated pieces up to
// the first empty one; a key matches exactly the lines that start with its
// name and "=" (ASCII letters without case) and the value is the rest of
// the line; the last matching line sets the field; a text value is the
// line's rest unchanged, a value with breaks has the same length with
// every backslash-n turned into CR LF, a number takes a plain decimal and
// leaves the default without digits, a switch is 0 only for "0"; face
// names are cut to 31 characters; task paths get the drive letter for a
// leading "?" and nothing else changes.
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/core/number_list.h"
#include "config/core/act_ini_data.h"
#include "config/core/ini_core.h"
#include "config/core/lang_ini_data.h"
#include "config/core/tarnset_core.h"
#include "fuzz_support.h"

namespace {

using Lines = std::vector<std::wstring>;

// Lines of the block as the walker should return them.
Lines ExpectedLines(const std::wstring& block) {
  Lines lines;
  size_t start = 0;
  while (start < block.size() && block[start] != L'\0') {
    size_t end = block.find(L'\0', start);
    if (end == std::wstring::npos) end = block.size();
    lines.push_back(block.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Value of the last line that carries the key, if any.
std::optional<std::wstring> LastValue(const Lines& lines, const std::wstring& key) {
  std::optional<std::wstring> value;
  const std::wstring prefix = key + L"=";
  for (const std::wstring& line : lines) {
    if (fuzz::StartsWithAsciiNoCase(line, prefix)) value = line.substr(prefix.size());
  }
  return value;
}

void CheckText(const Lines& lines, const IniTextKey& key, const std::wstring& field) {
  const auto value = LastValue(lines, key.name);
  FUZZ_CHECK(field == (value ? *value : std::wstring(key.defaultValue)));
}

bool HasDigitAfterBlanksAndSign(const std::wstring& value) {
  size_t i = 0;
  while (i < value.size() && std::wcschr(L" \t\n\r\v\f", value[i]) && value[i] != L'\0') ++i;
  if (i < value.size() && (value[i] == L'+' || value[i] == L'-')) ++i;
  return i < value.size() && value[i] >= L'0' && value[i] <= L'9';
}

void CheckWalkerAndKinds(const Lines& lines) {
  // A table with one key of each kind. The number key's value is only
  // predictable from the last line that scans; track it by hand.
  std::wstring text = L"default", breaks = L"default";
  uint32_t number = 7, toggle = 9;
  tw::ini::ApplyLines(lines, {tw::ini::TextField(IniKey::Title, text), tw::ini::BreaksField(IniKey::Message, breaks),
                              tw::ini::NumberField(IniKey::FontSize1, number),
                              tw::ini::SwitchField(IniKey::ShowErrorMessage, toggle)});

  const auto title = LastValue(lines, L"Title");
  FUZZ_CHECK(text == (title ? *title : L"default"));

  const auto message = LastValue(lines, L"Message");
  if (message) {
    FUZZ_CHECK(breaks.size() == message->size());
    FUZZ_CHECK(breaks.find(L"\\n") == std::wstring::npos);
    for (size_t i = 0; i < breaks.size(); ++i) {
      if (breaks[i] != (*message)[i]) {
        // Only a backslash-n may differ, and it becomes CR LF.
        FUZZ_CHECK(message->compare(i, 2, L"\\n") == 0 && breaks.compare(i, 2, L"\r\n") == 0);
        ++i;
      }
    }
  } else {
    FUZZ_CHECK(breaks == L"default");
  }

  std::optional<uint32_t> lastNumber;
  bool lastWasPlain = false;
  const std::wstring numberPrefix = L"FontSize1=";
  for (const std::wstring& line : lines) {
    if (!fuzz::StartsWithAsciiNoCase(line, numberPrefix)) continue;
    const std::wstring value = line.substr(numberPrefix.size());
    uint32_t plain = 0;
    if (fuzz::IsShortDecimal(value, plain)) {
      lastNumber = plain;
      lastWasPlain = true;
    } else if (HasDigitAfterBlanksAndSign(value)) {
      lastWasPlain = false;
      lastNumber.reset();
    }
  }
  if (lastWasPlain) FUZZ_CHECK(number == *lastNumber);
  if (!LastValue(lines, L"FontSize1")) FUZZ_CHECK(number == 7);

  const auto toggleValue = LastValue(lines, L"ShowErrorMessage");
  FUZZ_CHECK(toggle == (toggleValue ? (*toggleValue == L"0" ? 0u : 1u) : 9u));

  for (const std::wstring& line : lines) {
    for (const wchar_t* key : {L"Title", L"FontSize1", L"A", L""}) {
      std::wstring value = L"untouched";
      const bool matched = tw::ini::MatchKey(line, key, value);
      const std::wstring prefix = std::wstring(key) + L"=";
      FUZZ_CHECK(matched == fuzz::StartsWithAsciiNoCase(line, prefix));
      if (matched) {
        FUZZ_CHECK(value.size() == line.size() - prefix.size());
        FUZZ_CHECK(line.compare(prefix.size(), std::wstring::npos, value) == 0);
      } else {
        FUZZ_CHECK(value == L"untouched");
      }
    }
  }
}

void CheckRecords(const Lines& lines) {
  const ActIni::AppData app = ActIni::ParseAppData(lines);
  for (const std::wstring* name : {&app.FontName1, &app.FontName2, &app.FontName3}) {
    FUZZ_CHECK(name->size() <= ActIni::kMaxFaceNameChars);
  }
  const auto face = LastValue(lines, L"FontName2");
  if (face) FUZZ_CHECK(app.FontName2 == face->substr(0, ActIni::kMaxFaceNameChars));

  ActIni::ParseOptclDiscData(lines);
  const ActIni::ExcData exc = ActIni::ParseExcData(lines);
  CheckText(lines, IniKey::SuccessExitCodeList, exc.SuccessExitCodeList);
  FUZZ_CHECK(exc.ShowErrorMessage <= 1);
  tw::ParseNumberList(exc.SuccessExitCodeList);
  const ActIni::RcvDataData rcv = ActIni::ParseRcvDataData(lines);
  CheckText(lines, IniKey::Inf_ImageInfo_64, rcv.Inf_ImageInfo_64);
  FUZZ_CHECK(ActIni::ParseSlctDiscSetData(lines).CanSelectODD <= 1);
  FUZZ_CHECK(ActIni::ParseFnshData(lines).BackToFirstStep <= 1);

  LangIni::ParseAppData(lines);
  LangIni::ParseOptclDiscData(lines);
  const LangIni::DriveData drive = LangIni::ParseDriveData(lines);
  CheckText(lines, IniKey::DriveNameOutputFormat, drive.DriveNameOutputFormat);
  LangIni::ParseGnrlMsgData(lines);
  LangIni::ParseExcData(lines);
  LangIni::ParseSlctDiscSetData(lines);
  LangIni::ParseChkDiscData(lines);
  LangIni::ParseMkDiscData(lines);
  const LangIni::FnshData finish = LangIni::ParseFnshData(lines);
  CheckText(lines, IniKey::OkButton, finish.OkButton);

  const tw::tarnset::ParsedTask parsed = tw::tarnset::ParseTaskLines(lines, L'E');
  const TarnSet::TaskData& task = parsed.task;
  CheckText(lines, IniKey::Title, task.Title);
  CheckText(lines, IniKey::Type, parsed.typeText);
  const auto bootImgType = LastValue(lines, IniKey::BootImgType.name);
  FUZZ_CHECK(parsed.bootImgTypeText == (bootImgType ? *bootImgType : L""));
  const struct {
    const IniTextKey& key;
    const std::wstring& field;
  } paths[] = {{IniKey::Folder, task.Folder}, {IniKey::Message, task.Message}, {IniKey::BootImg, task.BootImg},
               {IniKey::ExclusionList, task.ExclusionList}, {IniKey::Flag, task.Flag}};
  for (const auto& path : paths) {
    const std::wstring raw = LastValue(lines, path.key.name).value_or(L"");
    FUZZ_CHECK(path.field.size() == raw.size());
    if (!raw.empty()) {
      FUZZ_CHECK(path.field[0] == (raw[0] == L'?' ? L'E' : raw[0]));
      FUZZ_CHECK(path.field.compare(1, std::wstring::npos, raw, 1, std::wstring::npos) == 0);
    }
  }
  int32_t code = -1;
  if (tw::tarnset::TypeCodeOf(parsed.typeText, code)) FUZZ_CHECK(code >= 0 && code <= 3);

  TarnSet::TaskData image = task;
  image.Type = TarnSet::kTypeImage;
  for (uint32_t disc : {0u, 9u, 0xFFFFFFFFu}) {
    FUZZ_CHECK(tw::tarnset::FlagPathOfDisc(image, disc).find(L"%DiscNum%") == std::wstring::npos);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::wstring block = fuzz::TextOfBytes(data, size);
  // Lines end at line feeds; a CR before one goes with it.
  std::wstring joined;
  for (size_t i = 0; i < block.size(); ++i) {
    if (block[i] == L'\r' && i + 1 < block.size() && block[i + 1] == L'\n') continue;
    joined.push_back(block[i] == L'\n' ? L'\0' : block[i]);
  }
  // Exactly the block's characters, no terminator after them.
  std::unique_ptr<wchar_t[]> buffer(new wchar_t[joined.size()]);
  std::copy(joined.begin(), joined.end(), buffer.get());
  const Lines lines = tw::ini::SectionLines(buffer.get(), joined.size());
  FUZZ_CHECK(lines == ExpectedLines(joined));
  FUZZ_CHECK(tw::ini::SectionLines(nullptr, joined.size()).empty());

  CheckWalkerAndKinds(lines);
  CheckRecords(lines);
  return 0;
}
