// The checker's report: headings, plain lines and findings in the order they
// were found, rendered as plain text for an engineer, and the exit code that
// the worst finding gives.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tc {

enum class Severity {
  Info,     // a plain line of the report
  Note,     // worth knowing; changes nothing in a run
  Warning,  // silently changes what the wizard shows or does
  Error,    // stops the wizard or drops a disc
};

// Exit codes of a check.
constexpr int kExitClean = 0;
constexpr int kExitWarnings = 1;
constexpr int kExitErrors = 2;
// The command line could not be understood: nothing was checked.
constexpr int kExitUsage = 3;

class Report {
 public:
  void Heading(const std::wstring& text);
  // A plain line, indented by `level` steps.
  void Line(const std::wstring& text, int level = 1);
  // A finding, indented like the plain lines around it.
  void Add(Severity severity, const std::wstring& text, int level = 1);

  size_t Count(Severity severity) const;
  int ExitCode() const;

  // The whole report: every heading, line and finding in order, then a
  // summary that repeats the errors and warnings and gives the exit code.
  std::wstring Render() const;

 private:
  struct Item {
    bool heading;
    Severity severity;
    int level;
    std::wstring text;
  };
  std::vector<Item> items_;
};

// "ERROR", "WARNING", "note" or "" for a plain line.
std::wstring SeverityLabel(Severity severity);

}  // namespace tc
