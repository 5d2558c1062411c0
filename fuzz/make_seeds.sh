#!/usr/bin/env bash
# Lays out the seed corpora of the fuzz targets from the project's own
# inputs: the sample deployment's INI files and exclusion lists, the
# information file of the generated recovery image set, the disk images of
# partlink's tests (made with sfdisk and sgdisk), and inputs of the unit
# tests. Run it again after those change; reproducers of found faults are
# kept in the corpora beside the seeds (named "crash-..." by the fuzzer).
#
#   make_seeds.sh            (needs sfdisk and sgdisk)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
corpus=$here/corpus
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

seed() {  # target, name; content on standard input
  mkdir -p "$corpus/$1"
  cat >"$corpus/$1/$2"
}

deploy=$root/demo/deployment
for f in Tarnwright_Act.ini TarnSet.ini Language.ini Help.ini English/Tarnwright_Lang.ini Japanese/Tarnwright_Lang.ini; do
  seed ini_section "deploy_$(tr '/' '_' <<<"$f")" <"$deploy/program/$f"
done
printf '[ImageFileInfo]\r\nImageInfo=RCV_WIN_X64\r\nCreated=2026-01-15\r\nParts=3\r\n' | seed ini_section image_inf
printf 'FontSize1= 12\r\nFontName1=Very Long Face Name Beyond Thirty-One\r\nMessage=a\\nb\\\\n\r\nShowErrorMessage=00\r\nTitle=x\r\ntitle=y\r\nFolder=?:\\x\\\r\n' |
  seed ini_section kinds
for f in program/TarnSet_Exclusion.ini recovery/Recovery/Drivers_Exclusion.ini; do
  seed exclusion_list "deploy_$(basename "$f")" <"$deploy/$f"
done
printf '\xff\xfe' >"$tmp/list"
printf ' "?:\\Recovery\\Temp\\" \r\n\r\n\\pagefile.sys\r\nC:\\LAST' | iconv -f UTF-8 -t UTF-16LE >>"$tmp/list"
seed exclusion_list quoted <"$tmp/list"

printf '\x08E\tDrive E\t101,201\nF\tDrive F\t105\n' | seed odd_list two_drives
printf '\x08G:\tBD Writer\t102,203,205,207\n\nH\tNot read\t101\n' | seed odd_list empty_line_ends
printf '\x08E\tX\tabc,,202, 103,9x\n' | seed odd_list odd_codes
printf '\x01E\tA\t101\nF\tB\t101\n' | seed odd_list too_many
printf '\x08E\tA\t101\nF\tB\t101,102' | seed odd_list no_line_feed

printf '\x04\x01X:\\Img\\r.inf\tX:\\Img\\r.nv\tX:\\Img\\r.fc2\nX:\\Img\\r.002\n\n' | seed layout_pick two_discs
printf '\x04\x00X:\\Img\\r.inf\t\tX:\\Img\\r.fc2\n\n' | seed layout_pick empty_item
printf '\x04\x00X:\\Img\\r.inf' | seed layout_pick no_line_feed
printf '\x09\x08ok\n%0300d\n\n' 0 | seed layout_pick long_item

# rcv_image and wmi_path read structured input; their seeds name members
# and paths as the fuzzer's data provider takes them apart.
printf 'RcvImage.inf\\;RCV_WIN_X64\\;RCV_WIN_X64\\;\\;X:\\\\Img\\\\RcvImage.inf\\;\x10\x00\x00\x00\x00\x00\x00\x01' |
  seed rcv_image image_set
printf '1\\;\\\\PC\\root\\cimv2:Win32_DiskPartition.DeviceID="Disk #1, Partition #0"C' | seed wmi_path partition
printf '0\\;\\\\PC\\root\\cimv2:Win32_LogicalDisk.DeviceID="C:"C' | seed wmi_path logical_disk
printf '0\\;\\\\PC\\root\\cimv2:Win32_DiskDrive.DeviceID="\\\\\\\\.\\\\PHYSICALDRIVE0"C' | seed wmi_path disk_drive
printf '0\\;\\Device\\Harddisk0\\Partition3C' | seed wmi_path harddisk
printf '0\\;\\\\.\\PHYSICALDRIVE12C' | seed wmi_path device

printf 'partlink.exe\0/LOG\0/VIEW:1' | seed partlink_options view
printf 'partlink.exe\0/unmap2:5\0/MAP3' | seed partlink_options last_wins
printf 'partlink.exe\0/HIDE\0/LOGS\0/VIEW:-2147483649' | seed partlink_options odd

printf '2026-01-15 10:20:30.456\tTarnwright.exe\t1234\t5678\tTarnSet::GetRcvDataInfo\t123\t0x00000002, C:\\x\tmore' |
  seed log_line entry
printf '2026-01-15 10:20:30.456\tTarnwright.exe\t1234\t5678\tWinMain\t42' | seed log_line no_message
printf '0,3,3010' | seed number_list default
printf ' -1,,+7,1234567890,9x,x' | seed number_list odd

# Library files for tarncheck's reader, made by the builder its tests use:
# in the raw mode (first byte even) whole files, in the built mode (odd) a
# machine, flags, the header kind and export names.
c++ -std=c++17 -I "$root/tarncheck/tests" -x c++ -o "$tmp/peseeds" - <<'CPP'
#include <fstream>
#include "pe_builder.h"
int main(int, char** argv) {
  auto save = [&](const char* name, const petest::Shape& shape) {
    std::ofstream(std::string(argv[1]) + "/" + name, std::ios::binary) << '\0' << petest::Build(shape);
  };
  petest::Shape shape;
  shape.exports = {"GetOddsListW"};
  save("x86_dll", shape);
  shape.exports = {"GetOddsListW@8", "_ShowAttentionToDiscFormatDlg@4"};
  save("x86_decorated", shape);
  shape.machine = 0x8664;
  shape.pe32Plus = true;
  shape.exports = {"ShowAttentionToDiscFormatDlg", "Other"};
  save("x64_dll", shape);
  shape = petest::Shape();
  shape.characteristics = 0x0102;
  shape.exportDirectory = false;
  save("x86_exe", shape);
}
CPP
mkdir -p "$corpus/pe_image"
"$tmp/peseeds" "$corpus/pe_image"
printf '\x01\x4c\x01\x20\x00GetOddsListW\nGetOddsListW@8' | seed pe_image built_x86
printf '\x01\x64\x86\x20\x0b_Show@4\n@Fast@12\nplain' | seed pe_image built_x64

# Disk images of partlink's tests: sector 0 for the MBR target; for the GPT
# target a repair byte of 0 (the images' own checksums), the header sector
# and the entry array that follows it.
bash "$root/partlink/scripts/make_images.sh" "$tmp/images" >/dev/null
for img in "$tmp"/images/*.img; do
  name=$(basename "$img" .img)
  case "$name" in
    mbr_*) head -c 512 "$img" | seed mbr "$name" ;;
    gpt_*)
      { printf '\0'; dd if="$img" bs=512 skip=1 count=33 status=none; } | seed gpt "$name"
      head -c 512 "$img" | seed mbr "$name" ;;
  esac
done
du -sh "$corpus"
