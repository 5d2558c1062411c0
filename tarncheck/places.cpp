#include "places.h"

#include <windows.h>

#include <optional>

#include "app/core/text.h"
#include "core/access.h"
#include "security.h"

namespace tc {
namespace {

struct Merged {
  std::wstring path;
  std::vector<std::wstring> roles;
};

std::vector<Merged> Merge(const std::vector<Place>& places) {
  std::vector<Merged> merged;
  for (const Place& place : places) {
    if (place.path.empty()) continue;
    const std::wstring path = place.path.size() > 3 ? tw::WithoutTrailingBackslash(place.path) : place.path;
    Merged* same = nullptr;
    for (Merged& m : merged) {
      if (tw::EqualsNoCase(m.path, path)) same = &m;
    }
    if (!same) {
      merged.push_back({path, {}});
      same = &merged.back();
    }
    bool known = false;
    for (const std::wstring& role : same->roles) known = known || role == place.role;
    if (!known) same->roles.push_back(place.role);
  }
  return merged;
}

std::wstring Joined(const std::vector<std::wstring>& words) {
  std::wstring text;
  for (size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += i + 1 == words.size() ? L" and " : L", ";
    text += words[i];
  }
  return text;
}

// The folder holding a path; none for a drive's root or a bare name.
std::optional<std::wstring> ParentOf(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  if (slash == std::wstring::npos || slash + 1 >= path.size()) return std::nullopt;
  std::wstring parent = path.substr(0, slash);
  if (parent.size() == 2 && parent[1] == L':') parent += L'\\';
  if (parent.empty() || parent == L"\\" || tw::EqualsNoCase(parent, L"\\\\")) return std::nullopt;
  return parent;
}

std::wstring Account(const std::wstring& sid) {
  const std::wstring name = AccountName(sid);
  return name.empty() ? sid + L" (no account of that SID is known here)" : name + L" (" + sid + L")";
}

}  // namespace

void CheckWritablePlaces(const std::vector<Place>& places, Report& report) {
  report.Heading(L"Who may change what the wizard runs with administrator rights");
  size_t checked = 0;
  size_t exposed = 0;
  for (const Merged& place : Merge(places)) {
    const DWORD attributes = ::GetFileAttributesW(place.path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) continue;
    const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::wstring what = Joined(place.roles) + L" " + place.path;
    const ReadDescriptor object = ReadFileDescriptor(place.path);
    if (!object.ok) {
      report.Add(Severity::Warning, L"the permissions of " + what + L" cannot be read (error " +
                                        tw::Dec(object.error) + L"): check by hand who may change it");
      continue;
    }
    ++checked;
    std::optional<ReadDescriptor> parent;
    if (const std::optional<std::wstring> folder = ParentOf(place.path)) parent = ReadFileDescriptor(*folder);
    const Descriptor* parentDescriptor = parent && parent->ok ? &parent->descriptor : nullptr;
    const std::vector<Exposure> writers = UntrustedWriters(object.descriptor, isFolder, parentDescriptor);
    if (writers.empty()) continue;
    ++exposed;
    std::wstring text = what +
                        L" may be changed by accounts other than the administrators, and the wizard runs with "
                        L"administrator rights from it:";
    for (const Exposure& e : writers) {
      text += L"\n" + Account(e.sid) + (e.isOwner ? L", its owner," : L"") + L" may " +
              RightsInWords(e.rights, isFolder);
    }
    report.Add(Severity::Error, text);
  }
  if (checked > 0 && exposed == 0) {
    report.Line(tw::Dec(checked) + L" places checked: only SYSTEM, Administrators and TrustedInstaller may change them");
  } else if (checked > 0) {
    report.Line(tw::Dec(checked) + L" places checked, " + tw::Dec(exposed) +
                L" of them may be changed by others: give them to the administrators only (for example by placing "
                L"the deployment below Program Files) and check again");
  }
}

}  // namespace tc
