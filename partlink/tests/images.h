// The disk images and expected listings made by scripts/make_images.sh
// (with sfdisk and sgdisk) before the tests run.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace partlink_test {

// Folder of the images, as a path the running program can open.
std::string ImagesDir();
// The whole of a file.
std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);
std::vector<uint8_t> ReadImageFile(const std::string& name);
// A text file of the folder with CR LF read as LF.
std::string ReadImageText(const std::string& name);

}  // namespace partlink_test
