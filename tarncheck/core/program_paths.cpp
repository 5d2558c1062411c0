#include "program_paths.h"

#include <vector>

#include "app/core/text.h"

namespace tc {

std::wstring NormalizedPath(const std::wstring& path) {
  std::wstring slashed = path;
  for (wchar_t& c : slashed) {
    if (c == L'/') c = L'\\';
  }
  // A UNC path keeps its two leading backslashes.
  const bool unc = slashed.size() >= 2 && slashed[0] == L'\\' && slashed[1] == L'\\';
  std::vector<std::wstring> steps;
  size_t start = 0;
  while (start <= slashed.size()) {
    size_t end = slashed.find(L'\\', start);
    if (end == std::wstring::npos) end = slashed.size();
    const std::wstring step = slashed.substr(start, end - start);
    if (step == L"..") {
      if (steps.size() > 1) steps.pop_back();
    } else if (!step.empty() && step != L".") {
      steps.push_back(step);
    }
    start = end + 1;
  }
  std::wstring out = unc ? L"\\\\" : (!slashed.empty() && slashed[0] == L'\\' ? L"\\" : L"");
  for (size_t i = 0; i < steps.size(); ++i) out += (i == 0 ? L"" : L"\\") + steps[i];
  return out;
}

bool IsUnderSystemFolder(const std::wstring& path, const std::wstring& systemFolder) {
  const std::wstring normalized = NormalizedPath(path);
  const std::wstring system = NormalizedPath(systemFolder);
  if (!system.empty() && tw::StartsWithNoCase(normalized, system + L"\\")) return true;
  for (const wchar_t* variable : {L"%windir%\\System32\\", L"%SystemRoot%\\System32\\"}) {
    if (tw::StartsWithNoCase(normalized, variable)) return true;
  }
  return false;
}

}  // namespace tc
