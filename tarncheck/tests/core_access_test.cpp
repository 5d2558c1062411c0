// Who besides the administrators may change an object, from descriptors
// built here: the order of deny and allow entries, inherit-only entries,
// owners, generic rights, the parent folder's part, and the words.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/access.h"
#include "core/program_paths.h"

namespace {

using tc::Ace;
using tc::AceKind;
using tc::Descriptor;
using tc::Exposure;
namespace sid = tc::sid;
namespace ex = tc::exposure;

constexpr uint32_t kFullControl = 0x001F01FF;
constexpr uint32_t kModify = 0x001301BF;
constexpr uint32_t kReadExecute = 0x001200A9;
constexpr uint8_t kInheritable = tc::kAceObjectInherit | tc::kAceContainerInherit;
const std::wstring kUser = L"S-1-5-21-1004336348-1177238915-682003330-1001";
const std::wstring kPowerUsers = L"S-1-5-32-547";

Ace Allow(const std::wstring& who, uint32_t mask, uint8_t flags = 0) { return {AceKind::Allow, flags, mask, who}; }
Ace Deny(const std::wstring& who, uint32_t mask, uint8_t flags = 0) { return {AceKind::Deny, flags, mask, who}; }

// What an administrator's copy into Program Files carries.
Descriptor AdminOnly(std::vector<Ace> extra = {}) {
  Descriptor d;
  d.owner = sid::kAdministrators;
  d.dacl = {Allow(sid::kSystem, kFullControl, kInheritable), Allow(sid::kAdministrators, kFullControl, kInheritable),
            Allow(sid::kTrustedInstaller, kFullControl), Allow(sid::kUsers, kReadExecute, kInheritable),
            Allow(sid::kCreatorOwner, kFullControl, kInheritable | tc::kAceInheritOnly)};
  d.dacl.insert(d.dacl.end(), extra.begin(), extra.end());
  return d;
}

// The accounts and rights, as "sid:rights" in order.
std::vector<std::wstring> Writers(const Descriptor& object, bool isFolder, const Descriptor* parent) {
  std::vector<std::wstring> out;
  for (const Exposure& e : tc::UntrustedWriters(object, isFolder, parent)) {
    out.push_back(e.sid + L":" + std::to_wstring(e.rights) + (e.isOwner ? L":owner" : L""));
  }
  return out;
}
std::wstring W(const std::wstring& who, uint32_t rights, bool owner = false) {
  return who + L":" + std::to_wstring(rights) + (owner ? L":owner" : L"");
}
using List = std::vector<std::wstring>;

TEST(Access, AdministratorsOnlyIsClean) {
  const Descriptor parent = AdminOnly();
  EXPECT_EQ(Writers(AdminOnly(), true, &parent), List{});
  EXPECT_EQ(Writers(AdminOnly(), false, &parent), List{});
  Descriptor system = AdminOnly();
  system.owner = sid::kTrustedInstaller;
  EXPECT_EQ(Writers(system, false, nullptr), List{});
}

TEST(Access, AFolderGrantingUsersWriteNamesUsersAndTheRights) {
  const Descriptor parent = AdminOnly();
  const Descriptor folder = AdminOnly({Allow(sid::kUsers, kModify, kInheritable)});
  EXPECT_EQ(Writers(folder, true, &parent), List{W(sid::kUsers, ex::kWriteData | ex::kAppendData)});
  EXPECT_EQ(tc::RightsInWords(ex::kWriteData | ex::kAppendData, true), L"add files and add subfolders");
  EXPECT_EQ(tc::RightsInWords(ex::kWriteData | ex::kAppendData, false), L"write data and append data");
  // The same entry inherited from the folder's parent, as the drive root gives it to what is created below.
  const Descriptor inherited = AdminOnly({Allow(sid::kAuthenticatedUsers, kModify, kInheritable | tc::kAceInherited)});
  EXPECT_EQ(Writers(inherited, true, &parent), List{W(sid::kAuthenticatedUsers, ex::kWriteData | ex::kAppendData)});
}

TEST(Access, DenyEntriesCountInTheirOrderAndOnlyForGroupsEveryMemberHolds) {
  const Descriptor parent = AdminOnly();
  const uint32_t write = 0x6;  // add file, add subfolder
  // A deny before the allow cancels it; after the allow it changes nothing.
  Descriptor d = AdminOnly();
  d.dacl.insert(d.dacl.begin(), Deny(sid::kUsers, write));
  d.dacl.push_back(Allow(sid::kUsers, kModify));
  EXPECT_EQ(Writers(d, true, &parent), List{});
  d = AdminOnly({Allow(sid::kUsers, kModify), Deny(sid::kUsers, write)});
  EXPECT_EQ(Writers(d, true, &parent), List{W(sid::kUsers, ex::kWriteData | ex::kAppendData)});
  // A deny for Everyone binds every member of Users; a deny for Power Users does not.
  d = AdminOnly();
  d.dacl.insert(d.dacl.begin(), Deny(sid::kEveryone, write));
  d.dacl.push_back(Allow(sid::kUsers, kModify));
  EXPECT_EQ(Writers(d, true, &parent), List{});
  d.dacl.front() = Deny(kPowerUsers, write);
  EXPECT_EQ(Writers(d, true, &parent), List{W(sid::kUsers, ex::kWriteData | ex::kAppendData)});
  // Authenticated Users binds a user account, but neither Everyone nor the guests.
  d = AdminOnly();
  d.dacl.insert(d.dacl.begin(), Deny(sid::kAuthenticatedUsers, write));
  d.dacl.push_back(Allow(kUser, write));
  d.dacl.push_back(Allow(sid::kGuests, write));
  d.dacl.push_back(Allow(sid::kEveryone, 0x2));
  EXPECT_EQ(Writers(d, true, &parent),
            (List{W(sid::kGuests, ex::kWriteData | ex::kAppendData), W(sid::kEveryone, ex::kWriteData)}));
  // A deny of one right leaves the others of the allow.
  d = AdminOnly({Deny(sid::kUsers, 0x2), Allow(sid::kUsers, kModify)});
  EXPECT_EQ(Writers(d, true, &parent), List{W(sid::kUsers, ex::kAppendData)});
}

TEST(Access, InheritOnlyAndCreatorEntriesGrantNothingOnTheObject) {
  const Descriptor parent = AdminOnly();
  Descriptor d = AdminOnly({Allow(sid::kUsers, kFullControl, kInheritable | tc::kAceInheritOnly),
                            Allow(sid::kEveryone, 0x40000000, kInheritable | tc::kAceInheritOnly)});
  EXPECT_EQ(Writers(d, true, &parent), List{});
  d = AdminOnly({Allow(sid::kCreatorOwner, kFullControl), Allow(sid::kCreatorGroup, kFullControl)});
  EXPECT_EQ(Writers(d, false, &parent), List{});
  // An entry of a kind the evaluation does not know grants nothing.
  d = AdminOnly({{AceKind::Other, 0, kFullControl, sid::kUsers}});
  EXPECT_EQ(Writers(d, false, &parent), List{});
}

TEST(Access, AnOwnerThatIsNoAdministratorMayChangePermissions) {
  const Descriptor parent = AdminOnly();
  Descriptor d = AdminOnly();
  d.owner = kUser;
  const auto found = tc::UntrustedWriters(d, false, &parent);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].sid, kUser);
  EXPECT_EQ(found[0].rights, static_cast<uint32_t>(ex::kChangePermissions));
  EXPECT_TRUE(found[0].isOwner);
  EXPECT_TRUE(found[0].ownerOnly);
  // A deny does not take the owner's implicit right away ...
  d.dacl.insert(d.dacl.begin(), Deny(kUser, tc::right::kWriteDac));
  EXPECT_EQ(Writers(d, false, &parent), List{W(kUser, ex::kChangePermissions, true)});
  // ... an OWNER RIGHTS entry does, and then says what the owner may.
  d = AdminOnly({Allow(sid::kOwnerRights, tc::right::kReadControl)});
  d.owner = kUser;
  EXPECT_EQ(Writers(d, false, &parent), List{});
  d = AdminOnly({Allow(sid::kOwnerRights, 0x2)});
  d.owner = kUser;
  EXPECT_EQ(Writers(d, false, &parent), List{W(kUser, ex::kWriteData, true)});
  // An OWNER RIGHTS entry for inheritance only leaves the implicit right.
  d = AdminOnly({Allow(sid::kOwnerRights, tc::right::kReadControl, kInheritable | tc::kAceInheritOnly)});
  d.owner = sid::kUsers;
  EXPECT_EQ(Writers(d, false, &parent), List{W(sid::kUsers, ex::kChangePermissions, true)});
}

TEST(Access, GenericRightsAndANullDaclGrantEverything) {
  const Descriptor parent = AdminOnly();
  const Descriptor file = AdminOnly({Allow(sid::kEveryone, tc::right::kGenericAll)});
  const uint32_t all = ex::kWriteData | ex::kAppendData | ex::kChangePermissions | ex::kTakeOwnership;
  // DELETE on the file alone does not let Everyone put another file there.
  EXPECT_EQ(Writers(file, false, &parent), List{W(sid::kEveryone, all)});
  EXPECT_EQ(Writers(AdminOnly({Allow(sid::kUsers, tc::right::kGenericWrite)}), false, &parent),
            List{W(sid::kUsers, ex::kWriteData | ex::kAppendData)});
  EXPECT_EQ(tc::MapGenericRights(tc::right::kGenericAll), kFullControl);
  Descriptor open;
  open.owner = sid::kAdministrators;
  open.nullDacl = true;
  EXPECT_EQ(Writers(open, true, nullptr),
            List{W(sid::kEveryone, all | ex::kDeleteChildren)});
  EXPECT_EQ(Writers(AdminOnly(), false, &open), List{W(sid::kEveryone, ex::kDeleteAndRecreate)});
}

TEST(Access, TheParentFolderLetsAnObjectBeReplaced) {
  const Descriptor file = AdminOnly();
  // Delete-children and add-file on the parent: any file there can be swapped.
  Descriptor parent = AdminOnly({Allow(sid::kUsers, 0x42)});
  EXPECT_EQ(Writers(file, false, &parent), List{W(sid::kUsers, ex::kDeleteAndRecreate)});
  // A folder needs add-subfolder there instead.
  EXPECT_EQ(Writers(AdminOnly(), true, &parent), List{});
  parent = AdminOnly({Allow(sid::kUsers, 0x44)});
  EXPECT_EQ(Writers(AdminOnly(), true, &parent), List{W(sid::kUsers, ex::kDeleteAndRecreate)});
  // DELETE on the object itself and add-file in the parent.
  parent = AdminOnly({Allow(sid::kUsers, 0x2)});
  EXPECT_EQ(Writers(AdminOnly({Allow(sid::kUsers, tc::right::kDelete)}), false, &parent),
            List{W(sid::kUsers, ex::kDeleteAndRecreate)});
  EXPECT_EQ(Writers(AdminOnly(), false, &parent), List{});
  // Whoever may change the parent's permissions may give itself the rest.
  parent = AdminOnly({Allow(sid::kUsers, tc::right::kWriteDac)});
  EXPECT_EQ(Writers(AdminOnly(), false, &parent), List{W(sid::kUsers, ex::kDeleteAndRecreate)});
  parent = AdminOnly();
  parent.owner = kUser;
  EXPECT_EQ(Writers(AdminOnly(), true, &parent), List{W(kUser, ex::kDeleteAndRecreate)});
  EXPECT_EQ(tc::RightsInWords(ex::kDeleteAndRecreate | ex::kChangePermissions | ex::kDeleteChildren, true),
            L"delete files and subfolders in it, change permissions and delete or rename it and create it anew");
}

TEST(ProgramPaths, SystemFolderInAnySpelling) {
  const std::wstring system = L"C:\\windows\\system32";
  for (const wchar_t* path : {L"C:\\Windows\\System32\\partlink.exe", L"c:/windows/SYSTEM32/tools/x.exe",
                              L"C:\\Windows\\\\System32\\x.exe", L"C:\\Windows\\Temp\\..\\System32\\x.exe",
                              L"%windir%\\system32\\x.exe", L"%SYSTEMROOT%\\System32\\x.exe",
                              L"%WinDir%/System32/x.exe"}) {
    EXPECT_TRUE(tc::IsUnderSystemFolder(path, system)) << path;
  }
  for (const wchar_t* path : {L"C:\\Windows\\SysWOW64\\x.exe", L"C:\\Windows\\Sysnative\\x.exe",
                              L"C:\\Windows\\System32x\\a.exe", L"C:\\Program Files\\Norvane\\partlink.exe",
                              L"%windir%\\x.exe", L"D:\\Windows\\System32\\x.exe", L""}) {
    EXPECT_FALSE(tc::IsUnderSystemFolder(path, system)) << path;
  }
  EXPECT_EQ(tc::NormalizedPath(L"\\\\server\\share\\.\\a\\..\\b"), L"\\\\server\\share\\b");
  EXPECT_EQ(tc::NormalizedPath(L"C:\\..\\..\\x"), L"C:\\x");
}

}  // namespace
