#!/usr/bin/env bash
# Makes the disk images the partlink tests run against, with the partitioning
# tools of the host (sfdisk for MBR, sgdisk for GPT), and for each image the
# partition table that "/VIEW:" must print for it, written from what those
# tools report about the image (not from partlink's own reading).
#
#   make_images.sh OUTDIR
#
# Images are 8 MiB sparse files, each made with its listing "<name>.view"
# (the two damaged copies have none). Names and contents:
#   mbr_standard       0x27 (recovery), 0x07 (bootable)
#   mbr_ext_recovery   0x07 (bootable), extended 0x0F, 0x27
#   mbr_lone_recovery  0x27 only
#   mbr_no_recovery    0x07 only
#   mbr_zero_start     mbr_standard with the 0x27 entry's first sector set to 0
#   gpt_recovery4      EFI, MSR, basic data, recovery (partition 4)
#   gpt_gap            basic data (1), recovery (3); slot 2 empty
#   gpt_no_recovery    EFI, basic data
#   gpt_bad_header     gpt_recovery4 with a damaged header checksum
set -euo pipefail

out=${1:?usage: make_images.sh OUTDIR}
mkdir -p "$out"
cd "$out"

EFI=C12A7328-F81F-11D2-BA4B-00A0C93EC93B
MSR=E3C9E316-0B5C-4DB8-817D-F92DF00215AE
DATA=EBD0A0A2-B9E5-4433-87C0-68B6B72699C7
RECOVERY=DE94BBA4-06D1-4D40-A16A-BFD50179D6AC

new_image() {
  rm -f "$1.img"
  truncate -s 8M "$1.img"
}

mbr() {  # name, sfdisk script
  new_image "$1"
  printf 'label: dos\nlabel-id: 0x5041524b\n%s' "$2" | sfdisk -q --no-reread --no-tell-kernel "$1.img" >/dev/null
  mbr_view "$1" >"$1.view"
}

gpt() {  # name, sgdisk arguments...
  local name=$1
  shift
  new_image "$name"
  sgdisk -o -U 50415254-4C49-4E4B-9000-000000000001 "$@" "$name.img" >/dev/null 2>&1
  gpt_view "$name" >"$name.view"
}

# The MBR table as sfdisk reports it: always four rows, empty ones zero.
mbr_view() {
  local name=$1 i line start size type boot
  printf '  #  Bt  ID     Start    Length \n'
  printf -- '---+---+---+---------+---------+\n'
  for i in 1 2 3 4; do
    # An empty slot has no line, and every field reads as 0.
    line=$(sfdisk -d "$name.img" | grep -E "^$name\.img$i :" || true)
    start=$(sed -n 's/.*start= *\([0-9]*\).*/\1/p' <<<"$line")
    size=$(sed -n 's/.*size= *\([0-9]*\).*/\1/p' <<<"$line")
    type=$(sed -n 's/.*type=\([0-9a-fA-F]*\).*/\1/p' <<<"$line")
    boot=0
    case "$line" in *bootable*) boot=$((0x80)) ;; esac
    printf ' %02X  %02X  %02X  %08X  %08X \n' $((i - 1)) "$boot" $((16#${type:-0})) "${start:-0}" "${size:-0}"
  done
}

# The GPT layout as sgdisk reports it: one row per slot up to the last used
# one, empty slots with a zero GUID, offsets and lengths in bytes.
gpt_view() {
  local name=$1 last i info guid first lastsec
  printf '  #                 GUID                        Start           Length \n'
  printf -- '---+--------------------------------------+----------------+----------------+\n'
  last=$(sgdisk -p "$name.img" | awk '/^Number/ {table = 1; next} table && NF {n = $1} END {print n + 0}')
  for ((i = 1; i <= last; i++)); do
    info=$(sgdisk -i "$i" "$name.img")
    if grep -q 'does not exist' <<<"$info"; then
      printf ' %02X {00000000-0000-0000-0000-000000000000} %016X %016X \n' $((i - 1)) 0 0
      continue
    fi
    guid=$(sed -n 's/^Partition GUID code: \([0-9A-F-]*\).*/\1/p' <<<"$info")
    first=$(sed -n 's/^First sector: \([0-9]*\).*/\1/p' <<<"$info")
    lastsec=$(sed -n 's/^Last sector: \([0-9]*\).*/\1/p' <<<"$info")
    printf ' %02X {%s} %016X %016X \n' $((i - 1)) "$guid" $((first * 512)) $(((lastsec - first + 1) * 512))
  done
}

mbr mbr_standard 'start=2048, size=4096, type=27
start=6144, size=8192, type=7, bootable
'
mbr mbr_ext_recovery 'start=2048, size=4096, type=7, bootable
start=6144, size=4096, type=f
start=10240, size=4096, type=27
'
mbr mbr_lone_recovery 'start=2048, size=4096, type=27
'
mbr mbr_no_recovery 'start=2048, size=8192, type=7, bootable
'

# First sector of entry 1 (bytes 454 to 457) set to 0.
cp mbr_standard.img mbr_zero_start.img
printf '\0\0\0\0' | dd of=mbr_zero_start.img bs=1 seek=454 conv=notrunc status=none

gpt gpt_recovery4 -n 1:2048:+1M -t 1:$EFI -n 2:0:+1M -t 2:$MSR -n 3:0:+2M -t 3:$DATA -n 4:0:+1M -t 4:$RECOVERY
gpt gpt_gap -n 1:2048:+2M -t 1:$DATA -n 3:0:+1M -t 3:$RECOVERY
gpt gpt_no_recovery -n 1:2048:+1M -t 1:$EFI -n 2:0:+2M -t 2:$DATA

# Header checksum (bytes 16 to 19 of LBA 1) damaged.
cp gpt_recovery4.img gpt_bad_header.img
printf '\xff\xff\xff\xff' | dd of=gpt_bad_header.img bs=1 seek=$((512 + 16)) conv=notrunc status=none

touch images.ready
