// Synthetic PE files for the tests of the library reader (native tests,
// the fuzz target and the end-to-end tests): a DOS header, the PE headers,
// one section holding an export directory with the given names. Offsets of
// the pieces are fixed so that tests can damage them on purpose.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace petest {

constexpr uint32_t kNtHeader = 0x40;         // e_lfanew
constexpr uint32_t kFileHeader = kNtHeader + 4;
constexpr uint32_t kOptionalHeader = kFileHeader + 20;
constexpr uint32_t kSectionRaw = 0x200;      // file offset of the section's data
constexpr uint32_t kSectionRva = 0x1000;
constexpr uint32_t kNamesTable = 40;         // offset of the name pointer table in the section

struct Shape {
  uint16_t machine = 0x014C;
  uint16_t characteristics = 0x2102;  // DLL, 32-bit machine, executable
  bool pe32Plus = false;
  bool exportDirectory = true;
  std::vector<std::string> exports;
};

inline void Put16(std::string& b, size_t at, uint32_t v) {
  if (b.size() < at + 2) b.resize(at + 2, '\0');
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(std::string& b, size_t at, uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

inline uint32_t OptionalHeaderSize(const Shape& shape) { return shape.pe32Plus ? 240u : 224u; }
inline uint32_t SectionHeader(const Shape& shape) { return kOptionalHeader + OptionalHeaderSize(shape); }

inline std::string Build(const Shape& shape) {
  // The section: export directory, name pointers, ordinals, then the names.
  std::string section(kNamesTable, '\0');
  const uint32_t count = static_cast<uint32_t>(shape.exports.size());
  const uint32_t ordinals = kNamesTable + 4 * count;
  uint32_t strings = ordinals + 2 * count;
  section.resize(strings, '\0');
  for (uint32_t i = 0; i < count; ++i) {
    Put32(section, kNamesTable + 4 * i, kSectionRva + strings);
    Put16(section, ordinals + 2 * i, i);
    section += shape.exports[i];
    section.push_back('\0');
    strings = static_cast<uint32_t>(section.size());
  }
  Put32(section, 20, count);  // NumberOfFunctions
  Put32(section, 24, count);  // NumberOfNames
  Put32(section, 28, 0);      // AddressOfFunctions (not read)
  Put32(section, 32, kSectionRva + kNamesTable);
  Put32(section, 36, kSectionRva + ordinals);
  while (section.size() % 0x200 != 0) section.push_back('\0');

  std::string b(kSectionRaw, '\0');
  b[0] = 'M';
  b[1] = 'Z';
  Put32(b, 0x3C, kNtHeader);
  b.replace(kNtHeader, 4, std::string("PE\0\0", 4));
  Put16(b, kFileHeader, shape.machine);
  Put16(b, kFileHeader + 2, 1);  // one section
  Put16(b, kFileHeader + 16, OptionalHeaderSize(shape));
  Put16(b, kFileHeader + 18, shape.characteristics);
  Put16(b, kOptionalHeader, shape.pe32Plus ? 0x20B : 0x10B);
  const uint32_t countField = kOptionalHeader + (shape.pe32Plus ? 108u : 92u);
  const uint32_t directories = kOptionalHeader + (shape.pe32Plus ? 112u : 96u);
  Put32(b, countField, 16);
  if (shape.exportDirectory) {
    Put32(b, directories, kSectionRva);
    Put32(b, directories + 4, static_cast<uint32_t>(section.size()));
  }
  const uint32_t header = SectionHeader(shape);
  b.replace(header, 8, std::string(".edata\0\0", 8));
  Put32(b, header + 8, static_cast<uint32_t>(section.size()));   // VirtualSize
  Put32(b, header + 12, kSectionRva);                           // VirtualAddress
  Put32(b, header + 16, static_cast<uint32_t>(section.size()));  // SizeOfRawData
  Put32(b, header + 20, kSectionRaw);                           // PointerToRawData
  return b + section;
}

}  // namespace petest
