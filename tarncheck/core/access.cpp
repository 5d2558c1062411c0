#include "access.h"

#include <algorithm>

#include "app/core/text.h"

namespace tc {
namespace {

bool Holds(const std::vector<std::wstring>& sids, const std::wstring& sid) {
  return std::find_if(sids.begin(), sids.end(), [&](const std::wstring& s) { return tw::EqualsNoCase(s, sid); }) !=
         sids.end();
}

bool AppliesToObject(const Ace& ace) { return (ace.flags & kAceInheritOnly) == 0 && ace.kind != AceKind::Other; }

// Entries that name no account on the object itself (see the header).
bool NamesNobodyHere(const std::wstring& sid) {
  return tw::EqualsNoCase(sid, sid::kCreatorOwner) || tw::EqualsNoCase(sid, sid::kCreatorGroup);
}

void AddCandidate(std::vector<std::wstring>& candidates, const std::wstring& sid) {
  if (sid.empty() || IsTrustedSid(sid) || NamesNobodyHere(sid) || tw::EqualsNoCase(sid, sid::kOwnerRights)) return;
  if (!Holds(candidates, sid)) candidates.push_back(sid);
}

void AddCandidates(std::vector<std::wstring>& candidates, const Descriptor& d) {
  if (d.nullDacl) AddCandidate(candidates, sid::kEveryone);
  AddCandidate(candidates, d.owner);
  for (const Ace& ace : d.dacl) {
    if (AppliesToObject(ace) && ace.kind == AceKind::Allow) AddCandidate(candidates, ace.sid);
  }
}

constexpr uint32_t kObjectRights = right::kWriteData | right::kAppendData | right::kDeleteChild | right::kDelete |
                                   right::kWriteDac | right::kWriteOwner;

}  // namespace

bool IsTrustedSid(const std::wstring& sid) {
  return tw::EqualsNoCase(sid, sid::kSystem) || tw::EqualsNoCase(sid, sid::kAdministrators) ||
         tw::EqualsNoCase(sid, sid::kTrustedInstaller);
}

uint32_t MapGenericRights(uint32_t mask) {
  if (mask & right::kGenericWrite) mask |= right::kFileGenericWrite;
  if (mask & right::kGenericAll) mask |= right::kFileAllAccess;
  return mask & ~(right::kGenericWrite | right::kGenericAll);
}

uint32_t GrantedRights(const Descriptor& descriptor, const std::vector<std::wstring>& sids, uint32_t wanted) {
  if (descriptor.nullDacl) return wanted;
  const bool holdsOwner = !descriptor.owner.empty() && Holds(sids, descriptor.owner);
  const bool ownerRightsListed = std::any_of(descriptor.dacl.begin(), descriptor.dacl.end(), [](const Ace& ace) {
    return AppliesToObject(ace) && tw::EqualsNoCase(ace.sid, sid::kOwnerRights);
  });
  uint32_t granted = 0;
  uint32_t denied = 0;
  if (holdsOwner && !ownerRightsListed) granted |= (right::kReadControl | right::kWriteDac) & wanted;
  for (const Ace& ace : descriptor.dacl) {
    if (!AppliesToObject(ace)) continue;
    const bool matches = Holds(sids, ace.sid) || (holdsOwner && tw::EqualsNoCase(ace.sid, sid::kOwnerRights));
    if (!matches) continue;
    const uint32_t rights = MapGenericRights(ace.mask) & wanted;
    if (ace.kind == AceKind::Allow) {
      granted |= rights & ~denied;
    } else {
      denied |= rights & ~granted;
    }
  }
  return granted;
}

std::vector<std::wstring> AccountsHeldBy(const std::wstring& account) {
  std::vector<std::wstring> held = {account};
  if (!tw::EqualsNoCase(account, sid::kEveryone)) held.push_back(sid::kEveryone);
  const bool authenticated = !tw::EqualsNoCase(account, sid::kEveryone) && !tw::EqualsNoCase(account, sid::kAnonymous) &&
                             !tw::EqualsNoCase(account, sid::kGuests) &&
                             !tw::EqualsNoCase(account, sid::kAuthenticatedUsers);
  if (authenticated) held.push_back(sid::kAuthenticatedUsers);
  return held;
}

std::vector<Exposure> UntrustedWriters(const Descriptor& object, bool isFolder, const Descriptor* parent) {
  std::vector<std::wstring> candidates;
  AddCandidates(candidates, object);
  if (parent) AddCandidates(candidates, *parent);

  std::vector<Exposure> exposures;
  for (const std::wstring& candidate : candidates) {
    const std::vector<std::wstring> held = AccountsHeldBy(candidate);
    const uint32_t granted = GrantedRights(object, held, kObjectRights);
    Exposure e;
    e.sid = candidate;
    e.isOwner = !object.owner.empty() && Holds(held, object.owner);
    if (granted & right::kWriteData) e.rights |= exposure::kWriteData;
    if (granted & right::kAppendData) e.rights |= exposure::kAppendData;
    if (isFolder && (granted & right::kDeleteChild)) e.rights |= exposure::kDeleteChildren;
    if (granted & right::kWriteDac) e.rights |= exposure::kChangePermissions;
    if (granted & right::kWriteOwner) e.rights |= exposure::kTakeOwnership;
    if (parent) {
      uint32_t inParent = GrantedRights(*parent, held, kObjectRights);
      if (inParent & (right::kWriteDac | right::kWriteOwner)) inParent = kObjectRights;
      const bool mayDelete = (granted & right::kDelete) || (inParent & right::kDeleteChild);
      const bool mayCreate = (inParent & (isFolder ? right::kAppendData : right::kWriteData)) != 0;
      if (mayDelete && mayCreate) e.rights |= exposure::kDeleteAndRecreate;
    }
    e.ownerOnly = e.isOwner && e.rights == exposure::kChangePermissions;
    if (e.rights != 0) exposures.push_back(e);
  }
  // An account whose rights all come with a wider group it belongs to
  // (Everyone, Authenticated Users) adds nothing to that group's line.
  std::vector<Exposure> kept;
  for (const Exposure& e : exposures) {
    const std::vector<std::wstring> held = AccountsHeldBy(e.sid);
    uint32_t covered = 0;
    for (const Exposure& wider : exposures) {
      if (!tw::EqualsNoCase(wider.sid, e.sid) && Holds(held, wider.sid)) covered |= wider.rights;
    }
    if ((e.rights & ~covered) != 0) kept.push_back(e);
  }
  return kept;
}

std::wstring RightsInWords(uint32_t rights, bool isFolder) {
  std::vector<std::wstring> words;
  if (rights & exposure::kWriteData) words.push_back(isFolder ? L"add files" : L"write data");
  if (rights & exposure::kAppendData) words.push_back(isFolder ? L"add subfolders" : L"append data");
  if (rights & exposure::kDeleteChildren) words.push_back(L"delete files and subfolders in it");
  if (rights & exposure::kChangePermissions) words.push_back(L"change permissions");
  if (rights & exposure::kTakeOwnership) words.push_back(L"take ownership");
  if (rights & exposure::kDeleteAndRecreate) {
    words.push_back(isFolder ? L"delete or rename it and create it anew" : L"delete or rename it and put another file in its place");
  }
  std::wstring text;
  for (size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += i + 1 == words.size() ? L" and " : L", ";
    text += words[i];
  }
  return text;
}

}  // namespace tc
