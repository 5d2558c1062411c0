#include "gendata.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace gendata {
namespace {

constexpr uint64_t KiB = 1024;
constexpr uint64_t MiB = 1024 * 1024;

// FNV-1a of the item's path seeds the byte stream of that item.
uint64_t Seed(const std::string& relative) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : relative) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h | 1;
}

// splitmix64: one 64-bit word per 8 bytes of the stream, so any offset
// can be produced without generating what comes before it.
uint64_t Word(uint64_t seed, uint64_t index) {
  uint64_t z = seed + (index + 1) * 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

fs::path PathOf(const fs::path& root, const std::string& relative) {
  fs::path path = root;
  size_t start = 0;
  while (start <= relative.size()) {
    size_t slash = relative.find('/', start);
    if (slash == std::string::npos) slash = relative.size();
    if (slash > start) path /= fs::u8path(relative.substr(start, slash - start));
    start = slash + 1;
  }
  return path;
}

std::string InfText(const std::string& imageInfo) {
  return "[ImageFileInfo]\r\nImageInfo=" + imageInfo + "\r\nCreated=2026-01-15\r\nParts=3\r\n";
}

}  // namespace

void FillBytes(const std::string& relative, uint64_t offset, unsigned char* out, size_t count) {
  const uint64_t seed = Seed(relative);
  uint64_t index = offset / 8;
  uint64_t word = Word(seed, index);
  for (size_t i = 0; i < count; ++i) {
    const uint64_t position = offset + i;
    if (position / 8 != index) {
      index = position / 8;
      word = Word(seed, index);
    }
    out[i] = static_cast<unsigned char>(word >> (8 * (position % 8)));
  }
}

std::vector<Item> Plan(Scale scale) {
  const bool small = scale == Scale::Small;
  auto size = [small](uint64_t smallSize, uint64_t realisticSize) { return small ? smallSize : realisticSize; };
  auto folder = [](std::string p) { return Item{std::move(p), Kind::Folder, 0, std::string()}; };
  auto text = [](std::string p, std::string t) { return Item{std::move(p), Kind::Text, 0, std::move(t)}; };
  auto bytes = [](std::string p, uint64_t n) { return Item{std::move(p), Kind::Bytes, n, std::string()}; };

  std::vector<Item> plan;
  // Recovery image set: information file, companions, three pieces. With
  // the sample capacities (2 MiB DVD, 8 MiB BD) or the real ones (4300 and
  // 23700 MiB) it needs three DVDs and one BD.
  plan.push_back(folder("Recovery"));
  plan.push_back(folder("Recovery/Image"));
  plan.push_back(text("Recovery/Image/RcvImage.inf", InfText("RCV_WIN_X64")));
  plan.push_back(bytes("Recovery/Image/RcvImage.nv", size(16 * KiB, 64 * MiB)));
  plan.push_back(bytes("Recovery/Image/RcvImage.crc", size(64, 4 * KiB)));
  plan.push_back(bytes("Recovery/Image/RcvImage.fc2", size(1536 * KiB, 4000 * MiB)));
  plan.push_back(bytes("Recovery/Image/RcvImage.002", size(1536 * KiB, 4000 * MiB)));
  plan.push_back(bytes("Recovery/Image/RcvImage.003", size(1 * MiB, 2500 * MiB)));

  // ISO image of the support tools disc.
  plan.push_back(folder("Recovery/Tools"));
  plan.push_back(bytes("Recovery/Tools/SupportTools.iso", size(512 * KiB, 650 * MiB)));

  // Boot image and the content of the bootable disc.
  plan.push_back(folder("Recovery/Boot"));
  plan.push_back(bytes("Recovery/Boot/etfsboot.img", 2 * KiB));
  plan.push_back(folder("Recovery/BootDisc"));
  plan.push_back(bytes("Recovery/BootDisc/loader.bin", size(32 * KiB, 400 * KiB)));
  plan.push_back(folder("Recovery/BootDisc/startup"));
  plan.push_back(bytes("Recovery/BootDisc/startup/config.dat", 8 * KiB));
  plan.push_back(bytes("Recovery/BootDisc/startup/kernel.img", size(64 * KiB, 3 * MiB)));
  plan.push_back(folder("Recovery/BootDisc/sources"));
  plan.push_back(bytes("Recovery/BootDisc/sources/setup.img", size(256 * KiB, 350 * MiB)));

  // Drivers: nested folders, an empty folder, a file the common exclusion
  // list names (Thumbs.db), a folder the task's own list names (Temp) and
  // names outside ASCII.
  plan.push_back(folder("Recovery/Drivers"));
  plan.push_back(folder("Recovery/Drivers/Audio"));
  plan.push_back(text("Recovery/Drivers/Audio/audio.inf", "[Version]\r\nClass=MEDIA\r\nDriverVer=03/01/2026,6.0.1.8\r\n"));
  plan.push_back(bytes("Recovery/Drivers/Audio/audio.sys", size(48 * KiB, 24 * MiB)));
  plan.push_back(folder("Recovery/Drivers/Network"));
  plan.push_back(folder("Recovery/Drivers/Network/LAN"));
  plan.push_back(text("Recovery/Drivers/Network/LAN/lan.inf", "[Version]\r\nClass=Net\r\nDriverVer=11/20/2025,2.4.0.1\r\n"));
  plan.push_back(bytes("Recovery/Drivers/Network/LAN/lan.sys", size(40 * KiB, 6 * MiB)));
  plan.push_back(folder("Recovery/Drivers/Network/Wireless"));
  plan.push_back(text("Recovery/Drivers/Network/Wireless/wlan.inf", "[Version]\r\nClass=Net\r\nDriverVer=12/05/2025,22.1.0.3\r\n"));
  plan.push_back(bytes("Recovery/Drivers/Network/Wireless/wlan.sys", size(56 * KiB, 180 * MiB)));
  plan.push_back(folder("Recovery/Drivers/Chipset"));  // stays empty
  plan.push_back(bytes("Recovery/Drivers/Thumbs.db", 12 * KiB));
  plan.push_back(folder("Recovery/Drivers/Temp"));
  plan.push_back(bytes("Recovery/Drivers/Temp/scratch.tmp", size(20 * KiB, 90 * MiB)));
  plan.push_back(folder("Recovery/Drivers/Caf\xC3\xA9 Audio"));
  plan.push_back(text("Recovery/Drivers/Caf\xC3\xA9 Audio/lisezmoi.txt", "Pilote audio \xC3\xA9tendu.\r\n"));
  plan.push_back(folder("Recovery/Drivers/\xE3\x83\x89\xE3\x83\xA9\xE3\x82\xA4\xE3\x83\x90\xE3\x83\xBC"));
  plan.push_back(text("Recovery/Drivers/\xE3\x83\x89\xE3\x83\xA9\xE3\x82\xA4\xE3\x83\x90\xE3\x83\xBC/"
                      "\xE8\xAA\xAC\xE6\x98\x8E.txt",
                      "\xE3\x83\x89\xE3\x83\xA9\xE3\x82\xA4\xE3\x83\x90\xE3\x83\xBC\xE3\x81\xAE\xE8\xAA\xAC"
                      "\xE6\x98\x8E\xE3\x81\xA7\xE3\x81\x99\xE3\x80\x82\r\n"));

  // Applications.
  plan.push_back(folder("Recovery/Applications"));
  plan.push_back(folder("Recovery/Applications/Office Suite"));
  plan.push_back(bytes("Recovery/Applications/Office Suite/setup.exe", size(96 * KiB, 12 * MiB)));
  plan.push_back(bytes("Recovery/Applications/Office Suite/data1.cab", size(160 * KiB, 700 * MiB)));
  plan.push_back(bytes("Recovery/Applications/Office Suite/data2.cab", size(128 * KiB, 520 * MiB)));
  plan.push_back(folder("Recovery/Applications/Media Player"));
  plan.push_back(bytes("Recovery/Applications/Media Player/setup.exe", size(72 * KiB, 85 * MiB)));
  plan.push_back(folder("Recovery/Applications/\xC3\x9Ctilities"));
  plan.push_back(bytes("Recovery/Applications/\xC3\x9Ctilities/tool.exe", size(24 * KiB, 3 * MiB)));
  plan.push_back(bytes("Recovery/Applications/desktop.ini", 128));

  // Marker files of made discs go here.
  plan.push_back(folder("Recovery/Done"));
  return plan;
}

Result Generate(Scale scale, const fs::path& root, const fs::path& staticDir, bool clean) {
  Result result;
  std::error_code ec;
  fs::create_directories(root, ec);
  if (ec) {
    result.error = "cannot create " + root.u8string() + ": " + ec.message();
    return result;
  }
  if (clean) {
    fs::remove_all(root / "Recovery", ec);
    if (ec) {
      result.error = "cannot remove " + (root / "Recovery").u8string() + ": " + ec.message();
      return result;
    }
  }
  std::vector<unsigned char> chunk(256 * KiB);
  for (const Item& item : Plan(scale)) {
    const fs::path path = PathOf(root, item.relative);
    if (item.kind == Kind::Folder) {
      fs::create_directories(path, ec);
      if (ec) {
        result.error = "cannot create " + path.u8string() + ": " + ec.message();
        return result;
      }
      continue;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
      result.error = "cannot write " + path.u8string();
      return result;
    }
    if (item.kind == Kind::Text) {
      out.write(item.text.data(), static_cast<std::streamsize>(item.text.size()));
      result.bytes += item.text.size();
    } else if (scale == Scale::Realistic) {
      out.close();
      fs::resize_file(path, item.size, ec);  // sparse: no data is written
      if (ec) {
        result.error = "cannot size " + path.u8string() + ": " + ec.message();
        return result;
      }
      result.bytes += item.size;
    } else {
      for (uint64_t offset = 0; offset < item.size; offset += chunk.size()) {
        const size_t count = static_cast<size_t>(std::min<uint64_t>(chunk.size(), item.size - offset));
        FillBytes(item.relative, offset, chunk.data(), count);
        out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(count));
      }
      result.bytes += item.size;
    }
    if (out.is_open()) out.close();
    if (out.fail()) {
      result.error = "cannot write " + path.u8string();
      return result;
    }
    ++result.files;
  }

  if (!staticDir.empty()) {
    fs::copy(staticDir, root, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    if (ec) {
      result.error = "cannot copy " + staticDir.u8string() + ": " + ec.message();
      return result;
    }
  }
  result.ok = true;
  return result;
}

}  // namespace gendata
