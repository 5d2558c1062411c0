// What a screen reader learns of the real wizard on every step, through the
// system's accessibility library from another process, as a reader asks:
// every control a user can reach has a name and role (the banner's picture
// buttons named from the language file, the lists and boxes by their
// labels), the disc list reports each disc's tick, and no focusable object
// is left without a name. Each step's walk is printed.
#include <gtest/gtest.h>

#include <oleacc.h>

#include "app/core/text.h"
#include "e2e_support.h"
#include "res/resource.h"

namespace {

using twdrive::AccessibleEntry;
using twdrive::Step;
using Entries = std::vector<AccessibleEntry>;

std::wstring RoleText(DWORD role) {
  wchar_t text[128] = {};
  ::GetRoleTextW(role, text, 128);
  return text;
}

// The entry of a control: its role and name, or a marker when it is missing.
std::wstring RoleAndName(const Entries& entries, int id) {
  const AccessibleEntry* entry = twdrive::FindEntry(entries, id);
  return entry ? entry->role + L": " + entry->name : L"(not found)";
}

// The list's items as "name [checked]".
std::vector<std::wstring> Items(const Entries& entries, int id) {
  std::vector<std::wstring> items;
  for (const AccessibleEntry& entry : entries) {
    if (entry.controlId != id || entry.child == 0) continue;
    items.push_back(entry.name + ((entry.state & STATE_SYSTEM_CHECKED) ? L" [checked]" : L""));
  }
  return items;
}

std::wstring ValueOf(const Entries& entries, int id) {
  const AccessibleEntry* entry = twdrive::FindEntry(entries, id);
  return entry ? entry->value : L"(not found)";
}

TEST(Accessibility, EveryStepNamesEveryControlAScreenReaderReaches) {
  e2e::ComApartment com;
  e2e::Deployment deployment;
  ASSERT_EQ(deployment.error(), "");
  twdrive::WizardRun run;
  ASSERT_TRUE(e2e::StartToFirstStep(deployment, run));
  ASSERT_TRUE(run.ChooseDiscSet(L"Recovery Media")) << twtest::Narrow(run.problem());

  Entries walk = e2e::WalkStep(run, L"select disc set");
  const AccessibleEntry* main = walk.empty() ? nullptr : &walk.front();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->name, L"Recovery Disc Creator");
  EXPECT_EQ(RoleAndName(walk, IDC_HELP_BUTTON), RoleText(ROLE_SYSTEM_PUSHBUTTON) + L": Help");
  EXPECT_EQ(RoleAndName(walk, IDC_MINIMISE_BUTTON), RoleText(ROLE_SYSTEM_PUSHBUTTON) + L": Minimize");
  EXPECT_EQ(RoleAndName(walk, IDC_CLOSE_BUTTON), RoleText(ROLE_SYSTEM_PUSHBUTTON) + L": Close");
  EXPECT_EQ(RoleAndName(walk, IDC_NEXT), RoleText(ROLE_SYSTEM_PUSHBUTTON) + L": Next >");
  EXPECT_EQ(RoleAndName(walk, IDC_DISC_SET_LIST), RoleText(ROLE_SYSTEM_LIST) + L": Disc set");
  EXPECT_EQ(Items(walk, IDC_DISC_SET_LIST),
            (std::vector<std::wstring>{L"Recovery Media", L"Drivers and Applications", L"Support Tools"}));
  EXPECT_EQ(RoleAndName(walk, IDC_DRIVE_COMBO), RoleText(ROLE_SYSTEM_COMBOBOX) + L": Drive");
  EXPECT_EQ(ValueOf(walk, IDC_DRIVE_COMBO), L"Blu-ray writer (E:)");
  EXPECT_EQ(RoleAndName(walk, IDC_DISC_TYPE_COMBO), RoleText(ROLE_SYSTEM_COMBOBOX) + L": Disc type");
  EXPECT_EQ(RoleAndName(walk, IDC_DISC_COUNT), RoleText(ROLE_SYSTEM_TEXT) + L": Discs needed");
  EXPECT_EQ(ValueOf(walk, IDC_DISC_COUNT), run.DiscCountText());

  ASSERT_TRUE(run.ChooseDiscType(L"Blu-ray Disc"));
  ASSERT_TRUE(run.NextTo(Step::kCheckDisc));
  ASSERT_TRUE(run.ClickCheckBox(0));
  walk = e2e::WalkStep(run, L"check discs");
  EXPECT_EQ(RoleAndName(walk, IDC_DISC_LIST), RoleText(ROLE_SYSTEM_LIST) + L": Tick the discs you want to make now.");
  EXPECT_EQ(Items(walk, IDC_DISC_LIST), (std::vector<std::wstring>{L"Boot Disc", L"Recovery Disc 1 [checked]"}));

  HWND make = run.NextTo(Step::kMakeDisc);
  ASSERT_TRUE(make);
  walk = e2e::WalkStep(run, L"make disc");
  EXPECT_EQ(RoleAndName(walk, IDC_NEXT), RoleText(ROLE_SYSTEM_PUSHBUTTON) + L": Start");
  const AccessibleEntry* close = twdrive::FindEntry(walk, IDC_CLOSE_BUTTON);
  ASSERT_NE(close, nullptr);
  EXPECT_TRUE(close->state & STATE_SYSTEM_UNAVAILABLE);  // no closing while a disc is made

  run.Back();
  ASSERT_TRUE(run.WaitStep(Step::kFinish, make));
  walk = e2e::WalkStep(run, L"finish");
  EXPECT_EQ(RoleAndName(walk, IDC_RESULT_LINES), RoleText(ROLE_SYSTEM_TEXT) + L": Result for each disc");
  EXPECT_EQ(ValueOf(walk, IDC_RESULT_LINES), L"Recovery Disc 1: stopped\r\n");
  EXPECT_EQ(RoleAndName(walk, IDC_NEXT), RoleText(ROLE_SYSTEM_PUSHBUTTON) + L": OK");
  run.Next();
  EXPECT_EQ(run.WaitExit(), 0u);
}

}  // namespace
