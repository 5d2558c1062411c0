#include "images.h"

#include <fstream>
#include <stdexcept>

namespace partlink_test {

std::string ImagesDir() {
  std::string dir = PARTLINK_IMAGES_DIR;
#ifdef _WIN32
  // Under Wine the host's root is drive Z.
  for (char& c : dir) {
    if (c == '/') c = '\\';
  }
  dir = "Z:" + dir;
#endif
  return dir;
}

std::vector<uint8_t> ReadImageFile(const std::string& name) {
#ifdef _WIN32
  const std::string path = ImagesDir() + "\\" + name;
#else
  const std::string path = ImagesDir() + "/" + name;
#endif
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) throw std::runtime_error("missing test file " + path);
  std::vector<uint8_t> bytes(static_cast<size_t>(in.tellg()));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!in) throw std::runtime_error("cannot read test file " + path);
  return bytes;
}

std::string ReadImageText(const std::string& name) {
  const std::vector<uint8_t> bytes = ReadImageFile(name);
  std::string text;
  for (uint8_t b : bytes) {
    if (b != '\r') text += static_cast<char>(b);
  }
  return text;
}

}  // namespace partlink_test
