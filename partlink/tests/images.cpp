#include "images.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace partlink_test {

std::string ImagesDir() {
  std::string dir = PARTLINK_IMAGES_DIR;
#ifdef _WIN32
  // Under Wine the host's root is drive Z.
  std::replace(dir.begin(), dir.end(), '/', '\\');
  dir = "Z:" + dir;
#endif
  return dir;
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("missing test file " + path.string());
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> ReadImageFile(const std::string& name) {
  return ReadBytes(std::filesystem::path(ImagesDir()) / name);
}

std::string ReadImageText(const std::string& name) {
  const std::vector<uint8_t> bytes = ReadImageFile(name);
  std::string text;
  std::copy_if(bytes.begin(), bytes.end(), std::back_inserter(text), [](uint8_t b) { return b != '\r'; });
  return text;
}

}  // namespace partlink_test
