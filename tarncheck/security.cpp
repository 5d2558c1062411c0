#include "security.h"

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <map>
#include <optional>

#include "app/core/text.h"
#include "app/handles.h"

#ifdef TARNCHECK_TEST_BUILD
#include <cstdlib>
#include <vector>

#include "app/file_read.h"
#endif

namespace tc {
namespace {

struct LocalTraits {
  static HLOCAL Invalid() { return nullptr; }
  static void Close(HLOCAL h) { ::LocalFree(h); }
};
using UniqueLocal = tw::Unique<HLOCAL, LocalTraits>;

std::wstring SidText(PSID sid) {
  if (!sid || !::IsValidSid(sid)) return L"";
  LPWSTR text = nullptr;
  if (!::ConvertSidToStringSidW(sid, &text)) return L"";
  UniqueLocal owned(text);
  return text;
}

// Allow and deny entries share their layout up to the account; a callback
// (conditional) allow may grant and counts as an allow, a conditional deny
// may not apply and counts as nothing.
AceKind KindOf(BYTE type) {
  switch (type) {
    case ACCESS_ALLOWED_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_ACE_TYPE:
      return AceKind::Allow;
    case ACCESS_DENIED_ACE_TYPE:
      return AceKind::Deny;
    default:
      return AceKind::Other;
  }
}

Descriptor FromParts(PSID owner, PACL dacl) {
  Descriptor d;
  d.owner = SidText(owner);
  if (!dacl) {
    d.nullDacl = true;
    return d;
  }
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* raw = nullptr;
    if (!::GetAce(dacl, i, &raw) || !raw) continue;
    const auto* header = static_cast<const ACE_HEADER*>(raw);
    Ace ace;
    ace.kind = KindOf(header->AceType);
    ace.flags = header->AceFlags;
    if (ace.kind != AceKind::Other) {
      const auto* entry = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
      ace.mask = entry->Mask;
      ace.sid = SidText(const_cast<DWORD*>(&entry->SidStart));
    }
    d.dacl.push_back(ace);
  }
  return d;
}

#ifdef TARNCHECK_TEST_BUILD
// The test build's seam: TARNCHECK_TEST_DESCRIPTORS names a UTF-8 file of
// lines "path TAB descriptor in SDDL"; the path "*" stands for every path
// the table does not name. Without the variable, or for a path the table
// does not cover, the platform's descriptor is read.
const std::map<std::wstring, std::wstring>& SeamTable() {
  static const std::map<std::wstring, std::wstring> table = [] {
    std::map<std::wstring, std::wstring> rows;
    const wchar_t* file = _wgetenv(L"TARNCHECK_TEST_DESCRIPTORS");
    if (!file || !*file) return rows;
    const tw::FileBytes bytes = tw::ReadWholeFile(file, 1u << 20);
    if (!bytes.ok()) return rows;
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, bytes.bytes.data(), static_cast<int>(bytes.bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, bytes.bytes.data(), static_cast<int>(bytes.bytes.size()), &text[0], n);
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find(L'\n', start);
      if (end == std::wstring::npos) end = text.size();
      std::wstring line = text.substr(start, end - start);
      if (!line.empty() && line.back() == L'\r') line.pop_back();
      const size_t tab = line.find(L'\t');
      if (tab != std::wstring::npos) rows[tw::ToUpper(line.substr(0, tab))] = line.substr(tab + 1);
      start = end + 1;
    }
    return rows;
  }();
  return table;
}

std::optional<ReadDescriptor> SeamDescriptor(const std::wstring& path) {
  const auto& table = SeamTable();
  auto row = table.find(tw::ToUpper(path));
  if (row == table.end()) row = table.find(L"*");
  if (row == table.end()) return std::nullopt;
  PSECURITY_DESCRIPTOR sd = nullptr;
  ReadDescriptor read;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(row->second.c_str(), SDDL_REVISION_1, &sd, nullptr)) {
    read.error = ::GetLastError();
    return read;
  }
  UniqueLocal owned(sd);
  PSID owner = nullptr;
  PACL dacl = nullptr;
  BOOL defaulted = FALSE;
  BOOL present = FALSE;
  ::GetSecurityDescriptorOwner(sd, &owner, &defaulted);
  ::GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted);
  read.ok = true;
  read.descriptor = FromParts(owner, present ? dacl : nullptr);
  return read;
}
#endif

}  // namespace

ReadDescriptor ReadFileDescriptor(const std::wstring& path) {
#ifdef TARNCHECK_TEST_BUILD
  if (std::optional<ReadDescriptor> seam = SeamDescriptor(path)) return *seam;
#endif
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  const DWORD status = ::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT,
                                               OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                                               &dacl, nullptr, &sd);
  UniqueLocal owned(sd);
  ReadDescriptor read;
  if (status != ERROR_SUCCESS) {
    read.error = status;
    return read;
  }
  read.ok = true;
  read.descriptor = FromParts(owner, dacl);
  return read;
}

std::wstring AccountName(const std::wstring& sid) {
  static std::map<std::wstring, std::wstring> known;
  const auto found = known.find(sid);
  if (found != known.end()) return found->second;
  std::wstring name;
  PSID binary = nullptr;
  if (::ConvertStringSidToSidW(sid.c_str(), &binary)) {
    UniqueLocal owned(binary);
    std::wstring account(256, L'\0');
    std::wstring domain(256, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
      DWORD nameChars = static_cast<DWORD>(account.size());
      DWORD domainChars = static_cast<DWORD>(domain.size());
      SID_NAME_USE use = SidTypeUnknown;
      if (::LookupAccountSidW(nullptr, binary, &account[0], &nameChars, &domain[0], &domainChars, &use)) {
        account.resize(nameChars);
        domain.resize(domainChars);
        name = domain.empty() ? account : domain + L"\\" + account;
        break;
      }
      if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
      account.resize(std::max<size_t>(nameChars, account.size()) + 1);
      domain.resize(std::max<size_t>(domainChars, domain.size()) + 1);
    }
  }
  known.emplace(sid, name);
  return name;
}

}  // namespace tc
