#include "text_fit.h"

namespace tw {
namespace ui {
namespace fit {
namespace {

// Static control styles.
constexpr uint32_t kSsLeft = 0x0, kSsCenter = 0x1, kSsRight = 0x2, kSsSimple = 0xB, kSsLeftNoWordWrap = 0xC;
constexpr uint32_t kSsTypeMask = 0x1F, kSsNoPrefix = 0x80, kSsCenterImage = 0x200, kSsEditControl = 0x2000;
// Text drawing flags.
constexpr uint32_t kDtLeft = 0x0, kDtCenter = 0x1, kDtRight = 0x2, kDtVCenter = 0x4, kDtWordBreak = 0x10;
constexpr uint32_t kDtSingleLine = 0x20, kDtExpandTabs = 0x40, kDtNoPrefix = 0x800, kDtEditControl = 0x2000;

}  // namespace

bool StaticShowsText(uint32_t style) {
  switch (style & kSsTypeMask) {
    case kSsLeft:
    case kSsCenter:
    case kSsRight:
    case kSsSimple:
    case kSsLeftNoWordWrap:
      return true;
    default:
      return false;
  }
}

uint32_t StaticTextFlags(uint32_t style) {
  uint32_t flags = 0;
  switch (style & kSsTypeMask) {
    case kSsCenter:
      flags = kDtCenter | kDtExpandTabs | kDtWordBreak;
      break;
    case kSsRight:
      flags = kDtRight | kDtExpandTabs | kDtWordBreak;
      break;
    case kSsSimple:
      flags = kDtLeft | kDtSingleLine | kDtVCenter;
      break;
    case kSsLeftNoWordWrap:
      flags = kDtLeft | kDtExpandTabs;
      break;
    default:
      flags = kDtLeft | kDtExpandTabs | kDtWordBreak;
      break;
  }
  // A text centred vertically is drawn on one line.
  if (style & kSsCenterImage) flags = (flags & ~kDtWordBreak) | kDtSingleLine | kDtVCenter;
  if (style & kSsNoPrefix) flags |= kDtNoPrefix;
  if (style & kSsEditControl) flags |= kDtEditControl;
  return flags;
}

bool IsSingleLine(uint32_t drawFlags) { return (drawFlags & kDtWordBreak) == 0; }

Size Overflow(const Size& needed, const Size& room) {
  return Size{needed.cx > room.cx ? needed.cx - room.cx : 0, needed.cy > room.cy ? needed.cy - room.cy : 0};
}

Size ButtonTextRoom(const Size& client, int32_t dpiX, int32_t dpiY) {
  const int32_t mx = Scale(3, dpiX), my = Scale(3, dpiY);
  return Size{client.cx > 2 * mx ? client.cx - 2 * mx : 0, client.cy > 2 * my ? client.cy - 2 * my : 0};
}

std::vector<std::pair<size_t, size_t>> Overlaps(const std::vector<Rect>& rects) {
  std::vector<std::pair<size_t, size_t>> pairs;
  for (size_t i = 0; i < rects.size(); ++i) {
    for (size_t j = i + 1; j < rects.size(); ++j) {
      const Rect& a = rects[i];
      const Rect& b = rects[j];
      if (a.width() <= 0 || a.height() <= 0 || b.width() <= 0 || b.height() <= 0) continue;
      if (a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom) pairs.emplace_back(i, j);
    }
  }
  return pairs;
}

}  // namespace fit
}  // namespace ui
}  // namespace tw
