#include <windows.h>

#include <vector>

#include "app/handles.h"
#include "core/text.h"
#include "testbuild/test_seams.h"

namespace partlink {
namespace {

struct Association {
  std::wstring className;
  std::wstring dependent, antecedent;
  bool hasDependent = true, hasAntecedent = true;
};

struct Table {
  std::vector<Association> associations;
  std::vector<std::wstring> failingClasses;
  uint32_t connectFailure = 0;
};

std::vector<std::wstring> SplitTabs(const std::wstring& line) {
  std::vector<std::wstring> fields;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find(L'\t', start);
    fields.push_back(line.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
    if (tab == std::wstring::npos) break;
    start = tab + 1;
  }
  return fields;
}

bool LoadTable(const std::wstring& path, Table& table) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return false;
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > 1024 * 1024) return false;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD done = 0;
  if (!bytes.empty() && (!::ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &done, nullptr) ||
                         done != bytes.size())) {
    return false;
  }
  std::wstring text;
  if (!bytes.empty()) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    text.resize(static_cast<size_t>(n));
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);
  }

  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (line.empty() || line[0] == L'#') continue;
    const auto fields = SplitTabs(line);
    if (fields[0] == L"fail" && fields.size() >= 2) {
      table.failingClasses.push_back(fields[1]);
    } else if (fields[0] == L"connect-fail" && fields.size() >= 2) {
      table.connectFailure = static_cast<uint32_t>(DecimalPrefix(fields[1]));
    } else if (fields.size() >= 3) {
      Association a;
      a.className = fields[0];
      a.hasDependent = fields[1] != L"<none>";
      a.hasAntecedent = fields[2] != L"<none>";
      if (a.hasDependent) a.dependent = fields[1];
      if (a.hasAntecedent) a.antecedent = fields[2];
      table.associations.push_back(a);
    }
  }
  return true;
}

class TableObject : public WmiObject {
 public:
  explicit TableObject(const Association& a) : a_(a) {}
  bool ReadText(const wchar_t* property, std::wstring& text) override {
    const std::wstring name = ToUpperAscii(property);
    if (name == L"DEPENDENT" && a_.hasDependent) {
      text = a_.dependent;
      return true;
    }
    if (name == L"ANTECEDENT" && a_.hasAntecedent) {
      text = a_.antecedent;
      return true;
    }
    return false;
  }

 private:
  Association a_;
};

class TableEnumeration : public WmiEnumeration {
 public:
  explicit TableEnumeration(std::vector<Association> rows) : rows_(std::move(rows)) {}
  std::unique_ptr<WmiObject> Next() override {
    if (next_ >= rows_.size()) return nullptr;
    return std::make_unique<TableObject>(rows_[next_++]);
  }

 private:
  std::vector<Association> rows_;
  size_t next_ = 0;
};

class TableWmi : public WmiService {
 public:
  explicit TableWmi(std::wstring path) : path_(std::move(path)) {}

  uint32_t Connect() override {
    table_ = Table{};
    connected_ = false;
    if (!LoadTable(path_, table_)) return 261;
    if (table_.connectFailure != 0) return table_.connectFailure;
    connected_ = true;
    return 0;
  }
  void Disconnect() override { connected_ = false; }

  EnumStart Enumerate(const wchar_t* className, std::unique_ptr<WmiEnumeration>& out) override {
    const std::wstring wanted = ToUpperAscii(className);
    if (!connected_) return EnumStart::EnumerationFailed;
    for (const std::wstring& failing : table_.failingClasses) {
      if (ToUpperAscii(failing) == wanted) return EnumStart::EnumerationFailed;
    }
    std::vector<Association> rows;
    for (const Association& a : table_.associations) {
      if (ToUpperAscii(a.className) == wanted) rows.push_back(a);
    }
    out = std::make_unique<TableEnumeration>(std::move(rows));
    return EnumStart::Ok;
  }

 private:
  std::wstring path_;
  Table table_;
  bool connected_ = false;
};

}  // namespace

std::unique_ptr<WmiService> MakeTableWmi(const std::wstring& path) { return std::make_unique<TableWmi>(path); }

}  // namespace partlink
