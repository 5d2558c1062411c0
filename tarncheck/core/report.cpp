#include "report.h"

#include "app/core/text.h"

namespace tc {

std::wstring SeverityLabel(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return L"ERROR";
    case Severity::Warning:
      return L"WARNING";
    case Severity::Note:
      return L"note";
    case Severity::Info:
      break;
  }
  return L"";
}

void Report::Heading(const std::wstring& text) { items_.push_back({true, Severity::Info, 0, text}); }

void Report::Line(const std::wstring& text, int level) { items_.push_back({false, Severity::Info, level, text}); }

void Report::Add(Severity severity, const std::wstring& text, int level) {
  items_.push_back({false, severity, level, text});
}

size_t Report::Count(Severity severity) const {
  size_t n = 0;
  for (const Item& item : items_) {
    if (!item.heading && item.severity == severity) ++n;
  }
  return n;
}

int Report::ExitCode() const {
  if (Count(Severity::Error) > 0) return kExitErrors;
  if (Count(Severity::Warning) > 0) return kExitWarnings;
  return kExitClean;
}

namespace {

// A finding's text, continued lines indented under its first.
void AppendItem(std::wstring& out, int level, const std::wstring& label, const std::wstring& text) {
  const std::wstring indent(static_cast<size_t>(level) * 2, L' ');
  const std::wstring head = label.empty() ? std::wstring() : label + L": ";
  const std::wstring hanging(head.size(), L' ');
  size_t start = 0;
  bool first = true;
  for (;;) {
    const size_t end = text.find(L'\n', start);
    out += indent + (first ? head : hanging) + text.substr(start, end == std::wstring::npos ? end : end - start);
    out += L'\n';
    if (end == std::wstring::npos) break;
    start = end + 1;
    first = false;
  }
}

std::wstring Counted(size_t n, const wchar_t* one, const wchar_t* many) {
  return tw::Dec(n) + L" " + (n == 1 ? one : many);
}

}  // namespace

std::wstring Report::Render() const {
  std::wstring out;
  for (const Item& item : items_) {
    if (item.heading) {
      if (!out.empty()) out += L'\n';
      out += item.text + L'\n' + std::wstring(item.text.size(), L'-') + L'\n';
      continue;
    }
    AppendItem(out, item.level, SeverityLabel(item.severity), item.text);
  }
  out += L"\nSummary\n-------\n";
  for (Severity severity : {Severity::Error, Severity::Warning}) {
    for (const Item& item : items_) {
      if (!item.heading && item.severity == severity) AppendItem(out, 1, SeverityLabel(severity), item.text);
    }
  }
  const int code = ExitCode();
  const wchar_t* meaning = code == kExitErrors     ? L"something stops the wizard or drops a disc"
                           : code == kExitWarnings ? L"warnings only"
                                                   : L"nothing stops or silently changes a run";
  out += L"  " + Counted(Count(Severity::Error), L"error", L"errors") + L", " +
         Counted(Count(Severity::Warning), L"warning", L"warnings") + L", " +
         Counted(Count(Severity::Note), L"note", L"notes") + L": exit code " + tw::Dec(static_cast<uint64_t>(code)) +
         L" (" + meaning + L")\n";
  return out;
}

}  // namespace tc
