// Who, besides the administrators, may change a file or folder that the
// elevated wizard reads or runs: the evaluation of an object's owner and
// access list (and its parent folder's), as plain data. The shell reads
// the descriptors from the platform and names the accounts.
//
// The evaluation asks, for each account that the descriptors name and that
// is not trusted, what a process of a member of that account can do:
// - Trusted are SYSTEM, Administrators and TrustedInstaller. Every other
//   account counts, a user's own account too: an administrator's programs
//   run unelevated under that account, so its write access is a way around
//   elevation.
// - The access list is walked in its order: the first entry that names an
//   account the process holds decides a right (a deny after an allow for
//   the same right changes nothing). Entries marked inherit-only apply to
//   children, not to the object. A member of an account surely holds
//   Everyone, and any member but an anonymous one or a guest holds
//   Authenticated Users; deny entries for those count too. A deny for any
//   other group cancels nothing, since a member need not be in it.
// - CREATOR OWNER and CREATOR GROUP entries name nobody on the object
//   itself: the system puts the creator's account in their place on what is
//   created below, and those objects are checked with their own lists.
// - The owner may change the permissions (and read them) whatever the list
//   says, unless the list holds OWNER RIGHTS entries, which then say what
//   the owner may.
// - Rights that let an account write: on a file writing and appending data,
//   on a folder adding files and subfolders and deleting what is inside;
//   on both changing the permissions, taking ownership, and deleting (or
//   renaming) the object and creating it anew: DELETE on the object, or
//   delete-children on its parent, together with the right to create such
//   an object in the parent. Whoever may change the parent's permissions
//   or take it over counts as holding every right there. Generic rights
//   are mapped to the file rights they stand for.
// - No access list (a NULL DACL) grants everything to everyone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tc {

// Access rights of files and folders.
namespace right {
constexpr uint32_t kWriteData = 0x0002;       // FILE_WRITE_DATA, FILE_ADD_FILE on a folder
constexpr uint32_t kAppendData = 0x0004;      // FILE_APPEND_DATA, FILE_ADD_SUBDIRECTORY on a folder
constexpr uint32_t kDeleteChild = 0x0040;     // FILE_DELETE_CHILD
constexpr uint32_t kDelete = 0x00010000;      // DELETE
constexpr uint32_t kReadControl = 0x00020000; // READ_CONTROL
constexpr uint32_t kWriteDac = 0x00040000;    // WRITE_DAC
constexpr uint32_t kWriteOwner = 0x00080000;  // WRITE_OWNER
constexpr uint32_t kGenericAll = 0x10000000;
constexpr uint32_t kGenericWrite = 0x40000000;
constexpr uint32_t kFileAllAccess = 0x001F01FF;
constexpr uint32_t kFileGenericWrite = 0x00120116;
}  // namespace right

// Ace flags.
constexpr uint8_t kAceObjectInherit = 0x01;
constexpr uint8_t kAceContainerInherit = 0x02;
constexpr uint8_t kAceInheritOnly = 0x08;
constexpr uint8_t kAceInherited = 0x10;

// Well-known accounts.
namespace sid {
constexpr wchar_t kSystem[] = L"S-1-5-18";
constexpr wchar_t kAdministrators[] = L"S-1-5-32-544";
constexpr wchar_t kTrustedInstaller[] = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
constexpr wchar_t kEveryone[] = L"S-1-1-0";
constexpr wchar_t kAuthenticatedUsers[] = L"S-1-5-11";
constexpr wchar_t kUsers[] = L"S-1-5-32-545";
constexpr wchar_t kGuests[] = L"S-1-5-32-546";
constexpr wchar_t kAnonymous[] = L"S-1-5-7";
constexpr wchar_t kCreatorOwner[] = L"S-1-3-0";
constexpr wchar_t kCreatorGroup[] = L"S-1-3-1";
constexpr wchar_t kOwnerRights[] = L"S-1-3-4";
}  // namespace sid

enum class AceKind {
  Allow,
  Deny,
  Other,  // any other kind of entry: never grants, never denies here
};

struct Ace {
  AceKind kind = AceKind::Other;
  uint8_t flags = 0;
  uint32_t mask = 0;
  std::wstring sid;  // "S-1-..."
};

struct Descriptor {
  std::wstring owner;  // "S-1-..."; empty when it is not known
  bool nullDacl = false;
  std::vector<Ace> dacl;  // in the list's order
};

bool IsTrustedSid(const std::wstring& sid);

// GENERIC_WRITE and GENERIC_ALL replaced by the file rights they stand for.
uint32_t MapGenericRights(uint32_t mask);

// The rights of `wanted` that a process holding `sids` gets on the object,
// as the access check grants them. `sids` holds "S-1-..." strings; the
// owner's implicit rights come from holding the owner's account.
uint32_t GrantedRights(const Descriptor& descriptor, const std::vector<std::wstring>& sids, uint32_t wanted);

// The accounts a member of `account` surely holds: the account itself,
// Everyone, and Authenticated Users for any but Everyone, an anonymous
// logon and the guests.
std::vector<std::wstring> AccountsHeldBy(const std::wstring& account);

// What one account may do to an object that should be writable by
// administrators only.
namespace exposure {
constexpr uint32_t kWriteData = 1;          // file: write data; folder: add files
constexpr uint32_t kAppendData = 2;         // file: append data; folder: add subfolders
constexpr uint32_t kDeleteChildren = 4;     // folder: delete files and subfolders in it
constexpr uint32_t kChangePermissions = 8;
constexpr uint32_t kTakeOwnership = 16;
constexpr uint32_t kDeleteAndRecreate = 32;
}  // namespace exposure

struct Exposure {
  std::wstring sid;
  uint32_t rights = 0;      // exposure:: bits
  bool ownerOnly = false;   // the owner's implicit right to change permissions is all it has
  bool isOwner = false;
};

// Every untrusted account that may change the object, with what it may do,
// in the order the descriptors name them. `parent` is the folder holding
// the object (nullptr for a drive's root or when it cannot be read).
std::vector<Exposure> UntrustedWriters(const Descriptor& object, bool isFolder, const Descriptor* parent);

// "add files, add subfolders and change permissions" and the like.
std::wstring RightsInWords(uint32_t rights, bool isFolder);

}  // namespace tc
