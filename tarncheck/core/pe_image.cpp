#include "pe_image.h"

#include <algorithm>

#include "app/core/text.h"

namespace tc {
namespace {

// Offsets and sizes of the PE format.
constexpr uint64_t kDosHeaderSize = 0x40;
constexpr uint64_t kNewHeaderOffsetField = 0x3C;
constexpr uint64_t kFileHeaderSize = 20;
constexpr uint64_t kSectionHeaderSize = 40;
constexpr uint64_t kExportDirectorySize = 40;
constexpr uint16_t kMagicPe32 = 0x10B;
constexpr uint16_t kMagicPe32Plus = 0x20B;

// Little-endian reads at offsets the caller has checked with Has().
class Bytes {
 public:
  explicit Bytes(std::string_view data) : data_(data) {}
  uint64_t size() const { return data_.size(); }
  bool Has(uint64_t offset, uint64_t length) const { return offset <= size() && length <= size() - offset; }
  uint16_t U16(uint64_t offset) const {
    return static_cast<uint16_t>(Byte(offset) | (static_cast<uint32_t>(Byte(offset + 1)) << 8));
  }
  uint32_t U32(uint64_t offset) const {
    return static_cast<uint32_t>(U16(offset)) | (static_cast<uint32_t>(U16(offset + 2)) << 16);
  }
  std::string_view View(uint64_t offset, uint64_t length) const {
    return data_.substr(static_cast<size_t>(offset), static_cast<size_t>(length));
  }
  uint8_t Byte(uint64_t offset) const { return static_cast<uint8_t>(data_[static_cast<size_t>(offset)]); }

 private:
  std::string_view data_;
};

struct Section {
  uint32_t virtualAddress;
  uint32_t rawSize;
  uint32_t rawOffset;
};

// Where the bytes of an address range lie in the file: inside one section's
// raw data, which must itself lie inside the file.
struct Mapped {
  bool ok = false;
  uint64_t offset = 0;
  uint64_t available = 0;  // bytes of the section from `offset` on
};
Mapped MapRange(const Bytes& bytes, const std::vector<Section>& sections, uint32_t rva, uint64_t length) {
  for (const Section& s : sections) {
    if (rva < s.virtualAddress) continue;
    const uint64_t into = static_cast<uint64_t>(rva) - s.virtualAddress;
    if (into >= s.rawSize) continue;
    if (!bytes.Has(s.rawOffset, s.rawSize)) return {};
    const uint64_t available = s.rawSize - into;
    if (length > available) return {};
    return {true, static_cast<uint64_t>(s.rawOffset) + into, available};
  }
  return {};
}

// "0x" and `digits` upper-case hex digits.
std::wstring Hex(uint64_t value, int digits) {
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text(static_cast<size_t>(digits), L'0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4) text[static_cast<size_t>(i)] = kDigits[value & 0xF];
  return L"0x" + text;
}

PeImage Fail(PeImage image, const std::wstring& problem) {
  image.readable = false;
  image.problem = problem;
  return image;
}

}  // namespace

PeImage ReadPeImage(std::string_view data) {
  const Bytes bytes(data);
  PeImage image;
  if (!bytes.Has(0, kDosHeaderSize) || bytes.Byte(0) != 'M' || bytes.Byte(1) != 'Z') {
    return Fail(image, L"it is no Windows program or library (it does not start with \"MZ\")");
  }
  const uint64_t ntHeader = bytes.U32(kNewHeaderOffsetField);
  if (!bytes.Has(ntHeader, 4 + kFileHeaderSize)) {
    return Fail(image, L"its PE header (at " + Hex(ntHeader, 8) + L") lies beyond the end of the file");
  }
  if (bytes.View(ntHeader, 4) != std::string_view("PE\0\0", 4)) {
    return Fail(image, L"it is no Windows program or library of today (no \"PE\" header)");
  }
  const uint64_t fileHeader = ntHeader + 4;
  image.machine = bytes.U16(fileHeader);
  image.characteristics = bytes.U16(fileHeader + 18);
  const uint16_t sectionCount = bytes.U16(fileHeader + 2);
  const uint16_t optionalSize = bytes.U16(fileHeader + 16);
  const uint64_t optional = fileHeader + kFileHeaderSize;
  if (!bytes.Has(optional, optionalSize)) return Fail(image, L"its optional header is cut off");
  if (optionalSize < 2) return Fail(image, L"it has no optional header");
  const uint16_t magic = bytes.U16(optional);
  if (magic != kMagicPe32 && magic != kMagicPe32Plus) {
    return Fail(image, L"its optional header is of an unknown kind (" + Hex(magic, 4) + L")");
  }
  image.pe32Plus = magic == kMagicPe32Plus;
  const uint64_t countField = optional + (image.pe32Plus ? 108 : 92);
  const uint64_t directories = optional + (image.pe32Plus ? 112 : 96);
  const uint64_t optionalEnd = optional + optionalSize;

  const uint64_t sectionTable = optionalEnd;
  if (!bytes.Has(sectionTable, kSectionHeaderSize * sectionCount)) return Fail(image, L"its section table is cut off");
  std::vector<Section> sections;
  sections.reserve(sectionCount);
  for (uint64_t i = 0; i < sectionCount; ++i) {
    const uint64_t at = sectionTable + i * kSectionHeaderSize;
    sections.push_back({bytes.U32(at + 12), bytes.U32(at + 16), bytes.U32(at + 20)});
  }

  uint32_t exportRva = 0;
  if (countField + 4 <= optionalEnd && bytes.U32(countField) >= 1 && directories + 8 <= optionalEnd) {
    exportRva = bytes.U32(directories);
  }
  if (exportRva == 0) {
    image.readable = true;
    return image;
  }
  image.hasExports = true;
  const Mapped directory = MapRange(bytes, sections, exportRva, kExportDirectorySize);
  if (!directory.ok) {
    return Fail(image, L"its export directory (" + Hex(exportRva, 8) + L") lies outside the file's sections");
  }
  const uint32_t nameCount = bytes.U32(directory.offset + 24);
  const uint32_t namesRva = bytes.U32(directory.offset + 32);
  if (nameCount > kMaxExportNames) {
    return Fail(image, L"its export table claims " + tw::Dec(nameCount) + L" names, more than a library can have");
  }
  if (nameCount == 0) {
    image.readable = true;
    return image;
  }
  const Mapped names = MapRange(bytes, sections, namesRva, static_cast<uint64_t>(nameCount) * 4);
  if (!names.ok) return Fail(image, L"its export name table lies outside the file's sections");
  image.exportNames.reserve(nameCount);
  for (uint64_t i = 0; i < nameCount; ++i) {
    const uint32_t nameRva = bytes.U32(names.offset + i * 4);
    const Mapped name = MapRange(bytes, sections, nameRva, 1);
    if (!name.ok) {
      return Fail(image, L"export name " + tw::Dec(i + 1) + L" lies outside the file's sections");
    }
    const uint64_t limit = std::min<uint64_t>(name.available, kMaxExportNameBytes + 1);
    uint64_t length = 0;
    while (length < limit && bytes.Byte(name.offset + length) != 0) ++length;
    if (length == limit) {
      return Fail(image, L"export name " + tw::Dec(i + 1) +
                             (limit > kMaxExportNameBytes ? L" is longer than " + tw::Dec(kMaxExportNameBytes) + L" bytes"
                                                          : std::wstring(L" runs past the end of its section")));
    }
    image.exportNames.push_back(bytes.View(name.offset, length));
  }
  image.readable = true;
  return image;
}

std::wstring MachineName(uint16_t machine) {
  switch (machine) {
    case kMachineI386:
      return L"32-bit x86";
    case kMachineAmd64:
      return L"64-bit x64";
    case kMachineArm64:
      return L"64-bit ARM";
    case kMachineArmNt:
      return L"32-bit ARM";
    case kMachineIa64:
      return L"Itanium";
  }
  return L"machine " + Hex(machine, 4);
}

std::string_view Undecorated(std::string_view name) {
  std::string_view core = name;
  const size_t at = core.rfind('@');
  if (at != std::string_view::npos && at > 0 && at + 1 < core.size() &&
      std::all_of(core.begin() + static_cast<std::ptrdiff_t>(at) + 1, core.end(),
                  [](char c) { return c >= '0' && c <= '9'; })) {
    core = core.substr(0, at);
    if (!core.empty() && (core.front() == '_' || core.front() == '@')) core.remove_prefix(1);
    return core;
  }
  if (core.size() > 1 && core.front() == '_') core.remove_prefix(1);
  return core;
}

std::wstring PrintableName(std::string_view name) {
  constexpr size_t kShown = 80;
  std::wstring text;
  for (size_t i = 0; i < name.size() && i < kShown; ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    text.push_back(c >= 0x20 && c < 0x7F ? static_cast<wchar_t>(c) : L'?');
  }
  if (name.size() > kShown) text += L"...";
  return text;
}

std::vector<std::wstring> JudgeWizardLibrary(const PeImage& image, uint16_t wantedMachine,
                                             const std::string& exportName) {
  std::vector<std::wstring> problems;
  const std::wstring wanted = PrintableName(exportName);
  const bool headerKnown = image.readable || image.machine != 0 || image.characteristics != 0;
  if (headerKnown && image.machine != wantedMachine) {
    problems.push_back(L"is built for " + MachineName(image.machine) + L" (" + Hex(image.machine, 4) +
                       L"), but the wizard is a " + MachineName(wantedMachine) +
                       L" program and can only load a " + MachineName(wantedMachine) + L" library");
  }
  if (headerKnown && !image.IsDll()) {
    problems.push_back(L"is not a DLL (its header lacks the DLL flag): the wizard cannot load it as a library");
  }
  if (!image.readable) {
    problems.push_back(L"cannot be read as a library: " + image.problem);
    return problems;
  }
  const auto& names = image.exportNames;
  if (std::find(names.begin(), names.end(), std::string_view(exportName)) != names.end()) return problems;
  std::vector<std::wstring> decorated, otherCase;
  for (std::string_view name : names) {
    if (Undecorated(name) == exportName && name != exportName) decorated.push_back(L"\"" + PrintableName(name) + L"\"");
    if (name.size() == exportName.size() && tw::EqualsNoCase(PrintableName(name), wanted)) {
      otherCase.push_back(L"\"" + PrintableName(name) + L"\"");
    }
  }
  std::wstring sentence = L"does not export \"" + wanted + L"\"";
  if (!decorated.empty()) {
    sentence += L" by that name, only as the decorated " + decorated.front() +
                L" (the name a 32-bit __stdcall function gets without a .def file or --kill-at), while the wizard "
                L"asks for exactly \"" + wanted + L"\"";
  } else if (!otherCase.empty()) {
    sentence += L", only " + otherCase.front() + L", which differs in case (the wizard's lookup is case-sensitive)";
  } else if (!image.hasExports) {
    sentence += L" (it has no export table at all)";
  }
  problems.push_back(sentence);
  return problems;
}

}  // namespace tc
