#include <gtest/gtest.h>

#include "res/resource.h"
#include "ui/core/access_rules.h"
#include "ui/core/contrast.h"
#include "ui/core/text_fit.h"

namespace {

using namespace tw::ui;
namespace st = access::state;

TEST(AccessRules, MnemonicsInEveryWrittenForm) {
  struct Case {
    const wchar_t* text;
    const wchar_t* stripped;
    wchar_t key;
  };
  const Case cases[] = {
      {L"&Next >", L"Next >", L'N'},
      {L"< &Back", L"< Back", L'B'},
      {L"D&rive:", L"Drive:", L'R'},
      {L"次へ(&N) >", L"次へ >", L'N'},         // the parenthesised form goes whole
      {L"ディスクの種類(&t):", L"ディスクの種類:", L'T'},
      {L"Save && &quit", L"Save & quit", L'Q'},  // "&&" is a shown ampersand, not a mnemonic
      {L"A && B", L"A & B", 0},
      {L"trailing &", L"trailing ", 0},
      {L"", L"", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(access::StripMnemonic(c.text), c.stripped) << static_cast<const void*>(c.text);
    EXPECT_EQ(access::MnemonicOf(c.text), c.key);
  }
  EXPECT_EQ(access::ShortcutOf(L"&Disc set:"), L"Alt+D");
  EXPECT_EQ(access::ShortcutOf(L"OK"), L"");
}

TEST(AccessRules, LabelsGiveTheirFirstLineWithoutColonOrMnemonic) {
  EXPECT_EQ(access::NameFromLabel(L"&Disc set:"), L"Disc set");
  EXPECT_EQ(access::NameFromLabel(L"ドライブ(&R)："), L"ドライブ");
  EXPECT_EQ(access::NameFromLabel(L"Tick the discs.\r\nMade discs are not listed."), L"Tick the discs.");
  EXPECT_EQ(access::NameFromLabel(L"Discs needed :  "), L"Discs needed");
  EXPECT_EQ(access::NameFromLabel(L""), L"");
}

TEST(AccessRules, DuplicateMnemonicsAreFoundWithoutCase) {
  EXPECT_EQ(access::DuplicateMnemonics({L"&Disc set:", L"D&rive:", L"Disc &type:", L"< &Back", L"&Next >"}),
            std::vector<wchar_t>{});
  EXPECT_EQ(access::DuplicateMnemonics({L"&Disc set:", L"&drive:", L"&Next", L"&next", L"&Disc"}),
            (std::vector<wchar_t>{L'D', L'N'}));
}

TEST(AccessRules, TheLabelIsTheNearestVisibleTextBeforeAnyTabStop) {
  using S = access::SiblingFacts;
  // description, label, list, label, hidden box, combo
  const std::vector<S> step = {{true, true, false}, {true, true, false}, {false, true, true},
                               {true, true, false}, {false, false, true}, {false, true, true}};
  EXPECT_EQ(access::LabelOf(step, 2), 1);
  EXPECT_EQ(access::LabelOf(step, 5), 3);   // past the hidden box
  EXPECT_EQ(access::LabelOf(step, 0), -1);  // nothing before it
  const std::vector<S> noLabel = {{true, true, false}, {false, true, true}, {false, true, true}};
  EXPECT_EQ(access::LabelOf(noLabel, 2), -1);  // a tab stop lies between
  EXPECT_EQ(access::LabelOf(noLabel, 99), -1);
}

TEST(AccessRules, EachKindGetsItsNameRoleAndState) {
  access::ControlFacts button;
  button.kind = access::Kind::kPushButton;
  button.text = L"&Next >";
  button.tabStop = true;
  button.focused = true;
  access::AccessibleFacts a = access::Describe(button);
  EXPECT_EQ(a.name, L"Next >");
  EXPECT_EQ(a.role, access::kRolePushButton);
  EXPECT_EQ(a.shortcut, L"Alt+N");
  EXPECT_EQ(a.state, st::kFocusable | st::kFocused);

  access::ControlFacts picture = button;  // a bitmap button: no text, a name of its own, disabled
  picture.text.clear();
  picture.ownName = L"Close";
  picture.focused = false;
  picture.enabled = false;
  a = access::Describe(picture);
  EXPECT_EQ(a.name, L"Close");
  EXPECT_EQ(a.state, st::kUnavailable);  // not focusable while disabled

  access::ControlFacts combo;
  combo.kind = access::Kind::kComboBox;
  combo.label = L"D&rive:";
  combo.text = L"DVD writer (E:)";
  combo.tabStop = true;
  a = access::Describe(combo);
  EXPECT_EQ(a.name, L"Drive");
  EXPECT_EQ(a.value, L"DVD writer (E:)");
  EXPECT_EQ(a.shortcut, L"Alt+R");
  EXPECT_EQ(a.state, st::kFocusable | st::kCollapsed);

  access::ControlFacts report;
  report.kind = access::Kind::kEdit;
  report.label = L"Discs made:";
  report.text = L"Disc 1: made\r\n";
  report.tabStop = report.readOnly = true;
  report.visible = false;
  a = access::Describe(report);
  EXPECT_EQ(a.role, access::kRoleText);
  EXPECT_EQ(a.state, st::kInvisible | st::kReadOnly);

  access::ControlFacts text;
  text.text = L"A && B";
  text.noPrefix = true;
  EXPECT_EQ(access::Describe(text).name, L"A && B");  // shown as written
  text.noPrefix = false;
  EXPECT_EQ(access::Describe(text).name, L"A & B");
  EXPECT_EQ(access::Describe(text).state, st::kReadOnly);  // never focusable

  access::ControlFacts pane;
  pane.kind = access::Kind::kStepPane;
  pane.ownName = L"Check discs";
  pane.tabStop = true;
  EXPECT_EQ(access::Describe(pane).name, L"Check discs");
  EXPECT_EQ(access::Describe(pane).state, 0u);
}

TEST(AccessRules, ListItemsCarryTheirTickAndFocusOnlyWithTheList) {
  access::ItemFacts item{L"Boot Disc", true, true, true, true};
  access::AccessibleFacts a = access::DescribeItem(item, true);
  EXPECT_EQ(a.role, access::kRoleListItem);
  EXPECT_EQ(a.state, st::kSelectable | st::kFocusable | st::kSelected | st::kFocused | st::kChecked);
  EXPECT_EQ(a.defaultAction, L"Uncheck");
  a = access::DescribeItem(item, false);
  EXPECT_FALSE(a.state & st::kFocused);
  item.checked = false;
  EXPECT_EQ(access::DescribeItem(item, true).defaultAction, L"Check");
  item.checkable = false;
  item.checked = true;  // a list without check boxes has no ticks to report
  EXPECT_FALSE(access::DescribeItem(item, true).state & st::kChecked);
  EXPECT_EQ(access::DescribeItem(item, true).defaultAction, L"");
}

TEST(AccessRules, TabGoesThroughTheStepThenBackNextAndTheBannerLeftToRight) {
  access::TabContext first;
  EXPECT_EQ(access::TabCycle(first),
            (std::vector<int32_t>{IDC_DISC_SET_LIST, IDC_DRIVE_COMBO, IDC_DISC_TYPE_COMBO, IDC_DISC_COUNT, IDC_BACK,
                                  IDC_NEXT, IDC_HELP_BUTTON, IDC_MINIMISE_BUTTON, IDC_CLOSE_BUTTON}));
  first.canSelectDrive = false;
  first.backShown = false;
  first.helpShown = false;
  EXPECT_EQ(access::TabCycle(first),
            (std::vector<int32_t>{IDC_DISC_SET_LIST, IDC_DRIVE_EDIT, IDC_DISC_TYPE_COMBO, IDC_DISC_COUNT, IDC_NEXT,
                                  IDC_MINIMISE_BUTTON, IDC_CLOSE_BUTTON}));
  access::TabContext make;
  make.step = 2;
  make.closeEnabled = false;
  EXPECT_EQ(access::TabCycle(make),
            (std::vector<int32_t>{IDC_BACK, IDC_NEXT, IDC_HELP_BUTTON, IDC_MINIMISE_BUTTON}));
  access::TabContext finish;
  finish.step = 3;
  finish.backShown = false;
  EXPECT_EQ(access::TabCycle(finish), (std::vector<int32_t>{IDC_RESULT_LINES, IDC_NEXT, IDC_HELP_BUTTON,
                                                            IDC_MINIMISE_BUTTON, IDC_CLOSE_BUTTON}));
}

TEST(Contrast, HighContrastDrawsEveryPartInSystemColoursTheSystemPairs) {
  using contrast::Element;
  for (Element e : {Element::kStepArea, Element::kBanner, Element::kStepCurrent, Element::kStepOther,
                    Element::kButtonNormal, Element::kButtonFocused, Element::kButtonPressed,
                    Element::kButtonDisabled}) {
    const contrast::Look look = contrast::LookOf(e, true);
    SCOPED_TRACE(static_cast<int>(e));
    EXPECT_TRUE(look.text.system && look.background.system && look.frame.system);
    EXPECT_FALSE(look.artwork);
    EXPECT_TRUE(look.outlined);
    EXPECT_TRUE(contrast::IsSystemPair(look.text.sys, look.background.sys));
    EXPECT_FALSE(look.frame == look.background) << "the outline must show";
  }
  // The current step stands out from the others, a focused button from a
  // normal one.
  EXPECT_FALSE(contrast::LookOf(Element::kStepCurrent, true).background ==
               contrast::LookOf(Element::kStepOther, true).background);
  EXPECT_FALSE(contrast::LookOf(Element::kButtonFocused, true).background ==
               contrast::LookOf(Element::kButtonNormal, true).background);
}

TEST(Contrast, TheNormalLookKeepsTheDesignersColoursAndArtwork) {
  using contrast::Element;
  EXPECT_EQ(contrast::LookOf(Element::kBanner, false).background.rgb, 0xE8CFB3u);
  EXPECT_EQ(contrast::LookOf(Element::kStepArea, false).background.rgb, 0xFFFFFFu);
  EXPECT_TRUE(contrast::LookOf(Element::kStepCurrent, false).artwork);
  EXPECT_EQ(contrast::LookOf(Element::kStepCurrent, false).text.rgb, 0xFFFFFFu);
  EXPECT_EQ(contrast::LookOf(Element::kStepOther, false).text.rgb, 0x000000u);
  EXPECT_TRUE(contrast::LookOf(Element::kButtonFocused, false).artwork);
  EXPECT_FALSE(contrast::LookOf(Element::kBanner, false).background.system);
}

TEST(Contrast, SystemPairsAndGlyphs) {
  using contrast::SysColor;
  EXPECT_TRUE(contrast::IsSystemPair(SysColor::kWindow, SysColor::kWindowText));  // either order
  EXPECT_FALSE(contrast::IsSystemPair(SysColor::kHighlightText, SysColor::kWindow));
  EXPECT_FALSE(contrast::IsSystemPair(SysColor::kWindowText, SysColor::kHighlight));
  EXPECT_FALSE(contrast::IsSystemPair(SysColor::kWindow, SysColor::kGrayText));  // gray is a text colour only
  const auto cross = contrast::GlyphStrokes(contrast::Glyph::kClose, 38, 38);
  ASSERT_EQ(cross.size(), 2u);
  for (const contrast::Stroke& s : cross) {
    for (int32_t v : {s.x1, s.y1, s.x2, s.y2}) {
      EXPECT_GE(v, 0);
      EXPECT_LT(v, 38);
    }
  }
  EXPECT_EQ(contrast::GlyphStrokes(contrast::Glyph::kMinimise, 38, 38).size(), 1u);
  EXPECT_TRUE(contrast::GlyphStrokes(contrast::Glyph::kHelp, 38, 38).empty());
  EXPECT_EQ(contrast::StrokeWidth(10), 2);
  EXPECT_EQ(contrast::StrokeWidth(76), 6);
}

TEST(TextFit, StaticStylesGiveTheFlagsTheControlDrawsWith) {
  constexpr uint32_t kLeft = 0x0, kRight = 0x2, kIcon = 0x3, kOwnerDraw = 0xD, kNoPrefix = 0x80, kCenterImage = 0x200;
  constexpr uint32_t kWordBreak = 0x10, kSingleLine = 0x20, kVCenter = 0x4, kDtNoPrefix = 0x800, kDtRight = 0x2;
  EXPECT_TRUE(fit::StaticTextFlags(kLeft) & kWordBreak);
  EXPECT_FALSE(fit::IsSingleLine(fit::StaticTextFlags(kLeft)));
  // The title and the disc count's label: centred vertically on one line.
  const uint32_t title = fit::StaticTextFlags(kLeft | kCenterImage | kNoPrefix);
  EXPECT_EQ(title & (kWordBreak | kSingleLine | kVCenter | kDtNoPrefix), kSingleLine | kVCenter | kDtNoPrefix);
  EXPECT_TRUE(fit::IsSingleLine(title));
  EXPECT_EQ(fit::StaticTextFlags(kRight | kCenterImage) & kDtRight, kDtRight);
  EXPECT_TRUE(fit::StaticShowsText(kRight | kCenterImage));
  EXPECT_FALSE(fit::StaticShowsText(kIcon | kCenterImage));
  EXPECT_FALSE(fit::StaticShowsText(kOwnerDraw));
}

TEST(TextFit, OverflowAndOverlaps) {
  EXPECT_EQ(fit::Overflow({100, 40}, {120, 30}).cx, 0);
  EXPECT_EQ(fit::Overflow({100, 40}, {120, 30}).cy, 10);
  EXPECT_EQ(fit::ButtonTextRoom({126, 30}, 96, 96).cx, 120);
  EXPECT_EQ(fit::ButtonTextRoom({126, 30}, 192, 192).cx, 114);
  EXPECT_EQ(fit::ButtonTextRoom({4, 4}, 96, 96).cx, 0);  // never negative
  const std::vector<Rect> rects = {{0, 0, 10, 10}, {10, 0, 20, 10}, {5, 5, 15, 15}, {0, 20, 10, 20}};
  // Touching edges do not overlap; an empty rectangle overlaps nothing.
  EXPECT_EQ(fit::Overlaps(rects), (std::vector<std::pair<size_t, size_t>>{{0, 2}, {1, 2}}));
}

}  // namespace
