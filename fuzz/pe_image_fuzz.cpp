// tarncheck's reader of library files (the maker's interface and common
// dialog libraries): DOS and PE headers, section table, export names.
//
// Input: the first byte picks the mode. Even: the rest is a file's bytes,
// read as they are. Odd: the rest describes a library (machine, flags, the
// 64-bit header kind, export names separated by line feeds) that is built
// as a well-formed file, read back, and then read again cut at a length
// taken from the input.
//
// Properties: a read never leaves the bytes (the sanitizers see the exact
// size); a file that reads has no problem text and one that does not has
// one; every export name lies inside the bytes, is free of NUL and at most
// 4096 bytes long; a file that reads gives the same result with bytes
// appended (nothing beyond what it used is consulted); the machine is the
// one in the file header; a built library reads back with its machine,
// kind and names in order, and the judgement finds the exports it holds
// and names the decorated form of one it holds only decorated; a cut-off
// built library never reads.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/pe_image.h"
#include "fuzz_support.h"
#include "pe_builder.h"

namespace {

void CheckRead(const std::string& bytes) {
  const tc::PeImage image = tc::ReadPeImage(bytes);
  FUZZ_CHECK(image.readable == image.problem.empty());
  if (!image.readable) return;
  const char* begin = bytes.data();
  const char* end = begin + bytes.size();
  for (std::string_view name : image.exportNames) {
    FUZZ_CHECK(name.data() >= begin && name.data() + name.size() < end);
    FUZZ_CHECK(name.find('\0') == std::string_view::npos);
    FUZZ_CHECK(name.size() <= tc::kMaxExportNameBytes);
    FUZZ_CHECK(name.data()[name.size()] == '\0');
  }
  const uint32_t header = static_cast<uint8_t>(bytes[0x3C]) | (static_cast<uint8_t>(bytes[0x3D]) << 8) |
                          (static_cast<uint32_t>(static_cast<uint8_t>(bytes[0x3E])) << 16) |
                          (static_cast<uint32_t>(static_cast<uint8_t>(bytes[0x3F])) << 24);
  FUZZ_CHECK(image.machine ==
             (static_cast<uint8_t>(bytes[header + 4]) | (static_cast<uint16_t>(static_cast<uint8_t>(bytes[header + 5])) << 8)));
  const std::string longer = bytes + std::string(64, '\x5A');
  const tc::PeImage again = tc::ReadPeImage(longer);
  FUZZ_CHECK(again.readable && again.machine == image.machine && again.characteristics == image.characteristics);
  FUZZ_CHECK(again.exportNames.size() == image.exportNames.size());
  for (size_t i = 0; i < image.exportNames.size(); ++i) FUZZ_CHECK(again.exportNames[i] == image.exportNames[i]);
}

void CheckBuilt(const uint8_t* data, size_t size) {
  if (size < 4) return;
  petest::Shape shape;
  shape.machine = static_cast<uint16_t>(data[0] | (data[1] << 8));
  shape.characteristics = static_cast<uint16_t>(data[2] << 8 | 0x02);
  shape.pe32Plus = (data[3] & 1) != 0;
  const size_t cutAt = data[3] >> 1;
  std::string rest(reinterpret_cast<const char*>(data) + 4, size - 4);
  size_t start = 0;
  while (start < rest.size() && shape.exports.size() < 64) {
    size_t line = rest.find('\n', start);
    if (line == std::string::npos) line = rest.size();
    std::string name = rest.substr(start, line - start);
    name.erase(std::remove(name.begin(), name.end(), '\0'), name.end());
    if (!name.empty() && name.size() <= tc::kMaxExportNameBytes) shape.exports.push_back(name);
    start = line + 1;
  }
  const std::string bytes = petest::Build(shape);
  const tc::PeImage image = tc::ReadPeImage(bytes);
  FUZZ_CHECK(image.readable);
  FUZZ_CHECK(image.machine == shape.machine && image.characteristics == shape.characteristics);
  FUZZ_CHECK(image.pe32Plus == shape.pe32Plus && image.hasExports);
  FUZZ_CHECK(image.exportNames.size() == shape.exports.size());
  for (size_t i = 0; i < shape.exports.size(); ++i) FUZZ_CHECK(image.exportNames[i] == shape.exports[i]);
  CheckRead(bytes);
  if (!shape.exports.empty()) {
    const std::string& first = shape.exports.front();
    const auto problems = tc::JudgeWizardLibrary(image, shape.machine, first);
    FUZZ_CHECK(shape.characteristics & tc::kImageFileDll ? problems.empty() : problems.size() == 1);
    const std::string plain(tc::Undecorated(first));
    if (plain != first && !plain.empty() &&
        std::find(shape.exports.begin(), shape.exports.end(), plain) == shape.exports.end()) {
      const auto decorated = tc::JudgeWizardLibrary(image, shape.machine, plain);
      FUZZ_CHECK(!decorated.empty() && decorated.back().find(L"only as the decorated") != std::wstring::npos);
    }
  }
  // Cut anywhere before its end, the file never reads.
  const size_t cut = bytes.size() - 1 - (cutAt * 37) % bytes.size();
  const std::string shorter = bytes.substr(0, cut);
  FUZZ_CHECK(!tc::ReadPeImage(shorter).readable);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  if (data[0] % 2 == 0) {
    CheckRead(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  } else {
    CheckBuilt(data + 1, size - 1);
  }
  return 0;
}
