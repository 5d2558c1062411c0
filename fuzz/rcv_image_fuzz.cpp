// Recovery image sets: the names of their members, the machine check of the
// information file's ImageInfo, the packing of the members onto discs and
// the disc layout text, read back by the burn file list's layout pick.
//
// Input (structured): a listed file name, three ImageInfo texts, a disc
// capacity, a layout buffer size and a run of member paths with sizes.
//
// Properties: a name counts as information file exactly when it ends in
// ".inf" (any case); ImageInfo is taken with both accepted texts empty, else
// only on an exact match; piece names are distinct and follow the set's base
// name; a file larger than the capacity is refused and changes nothing; no
// disc ever holds more than the capacity, and a disc is closed only when the
// next file does not fit; a layout that does not fit its buffer is left as
// it was; and a complete layout text, picked line by line, gives back every
// disc's files in order.
#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <string>
#include <vector>

#include "app/core/text.h"
#include "config/core/rcv_members.h"
#include "config/core/rcv_packing.h"
#include "fuzz_support.h"
#include "steps/core/burn_list_text.h"

namespace {

using tw::pack::Placement;

void CheckNames(FuzzedDataProvider& in) {
  const std::wstring name = fuzz::Widen(in.ConsumeRandomLengthString(40));
  const bool isInf = tw::rcv::IsInformationFileName(name);
  const bool endsInf = name.size() >= 4 && name[name.size() - 4] == L'.' &&
                       tw::EqualsNoCase(name.substr(name.size() - 3), L"inf");
  FUZZ_CHECK(isInf == endsInf);

  const std::wstring info = fuzz::Widen(in.ConsumeRandomLengthString(20));
  const std::wstring accepted32 = fuzz::Widen(in.ConsumeRandomLengthString(20));
  const std::wstring accepted64 = fuzz::Widen(in.ConsumeRandomLengthString(20));
  const bool taken = tw::rcv::ImageInfoAccepted(info, accepted32, accepted64);
  if (accepted32.empty() && accepted64.empty()) {
    FUZZ_CHECK(taken);
  } else {
    FUZZ_CHECK(taken == ((!accepted32.empty() && info == accepted32) || (!accepted64.empty() && info == accepted64)));
  }

  if (isInf) {
    const std::wstring base = name.substr(0, name.size() - 4);
    std::wstring previous;
    for (uint32_t piece : {1u, 2u, 99u, 100u, 999u, 1000u, in.ConsumeIntegral<uint32_t>()}) {
      const std::wstring path = tw::rcv::PiecePath(base, piece);
      FUZZ_CHECK(path.compare(0, base.size() + 1, base + L".") == 0);
      FUZZ_CHECK(path.size() >= base.size() + 4);
      FUZZ_CHECK(path != name && path != previous);
      previous = path;
    }
  }
}

struct Member {
  std::wstring path;
  uint64_t size;
};

void CheckPacking(FuzzedDataProvider& in) {
  // Capacities as the settings give them (units of 2^20 bytes) or any 64-bit value.
  const uint64_t capacity = in.ConsumeBool() ? (uint64_t{in.ConsumeIntegral<uint32_t>()} << 20)
                                             : in.ConsumeIntegral<uint64_t>();
  const size_t layoutCapacity = in.ConsumeIntegralInRange<size_t>(0, 4096);
  std::unique_ptr<wchar_t[]> layout(new wchar_t[layoutCapacity]());

  uint64_t used = 0;
  uint32_t discs = 1, files = 0;
  bool layoutFits = true;
  std::vector<std::vector<std::wstring>> discFiles(1);
  uint64_t discBytes = 0;
  while (in.remaining_bytes() > 0 && files < 200) {
    Member m;
    std::string path = in.ConsumeRandomLengthString(300);
    for (char& c : path) {
      if (c == '\t' || c == '\n' || c == '\0') c = '_';
    }
    if (path.empty()) path = "m";
    m.path = fuzz::Widen(path);
    const int sizeKind = in.ConsumeIntegralInRange(0, 3);
    m.size = sizeKind == 0 ? in.ConsumeIntegral<uint64_t>()
             : sizeKind == 1 ? capacity - in.ConsumeIntegralInRange<uint64_t>(0, 3)
                             : in.ConsumeIntegralInRange<uint64_t>(0, capacity);

    const uint64_t usedBefore = used;
    const uint32_t discsBefore = discs, filesBefore = files;
    const bool firstFile = files == 0;
    const Placement placement = tw::pack::PlaceFile(capacity, m.size, used, discs, files);
    if (m.size > capacity) {
      FUZZ_CHECK(placement == Placement::TooLarge);
      FUZZ_CHECK(used == usedBefore && discs == discsBefore && files == filesBefore);
      continue;
    }
    FUZZ_CHECK(placement != Placement::TooLarge);
    FUZZ_CHECK(files == filesBefore + 1);
    FUZZ_CHECK(used <= capacity);
    // A disc closes only when the file does not fit beside what it holds.
    const bool fits = m.size <= capacity - discBytes;
    FUZZ_CHECK((placement == Placement::SameDisc) == fits);
    if (fits) {
      discBytes += m.size;
      FUZZ_CHECK(discs == discsBefore);
    } else {
      discBytes = m.size;
      FUZZ_CHECK(discs == discsBefore + 1);
      discFiles.emplace_back();
    }
    FUZZ_CHECK(used == discBytes);
    discFiles.back().push_back(m.path);

    if (!layoutFits) continue;
    const std::wstring before(layout.get(), tw::pack::LayoutLength(layout.get(), layoutCapacity));
    uint64_t needed = 0;
    layoutFits = tw::pack::AppendLayoutFile(layout.get(), layoutCapacity, m.path, firstFile,
                                            placement == Placement::NewDisc, needed);
    const std::wstring after(layout.get(), tw::pack::LayoutLength(layout.get(), layoutCapacity));
    if (layoutFits) {
      FUZZ_CHECK(needed <= layoutCapacity && after.size() + 1 == needed);
      FUZZ_CHECK(after.compare(0, before.size(), before) == 0);
    } else {
      FUZZ_CHECK(needed > layoutCapacity && after == before);
    }
  }
  if (files == 0 || !layoutFits) return;
  uint64_t needed = 0;
  if (!tw::pack::AppendLayoutEnd(layout.get(), layoutCapacity, needed)) return;

  const std::wstring text(layout.get(), tw::pack::LayoutLength(layout.get(), layoutCapacity));
  FUZZ_CHECK(discFiles.size() == discs);
  bool allFitThePathBuffer = true;
  for (const auto& disc : discFiles) {
    for (const std::wstring& path : disc) allFitThePathBuffer = allFitThePathBuffer && path.size() <= tw::kLayoutItemMax;
  }
  for (uint32_t d = 0; d < discs; ++d) {
    const tw::LayoutPick pick = tw::PickLayoutLine(text, discs, d);
    if (allFitThePathBuffer) {
      FUZZ_CHECK(!pick.failure);
      FUZZ_CHECK(pick.items == discFiles[d]);
    } else {
      FUZZ_CHECK(pick.failure && pick.items.empty());
    }
  }
  FUZZ_CHECK(tw::PickLayoutLine(text, discs + 1, discs).failure);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  CheckNames(in);
  CheckPacking(in);
  return 0;
}
