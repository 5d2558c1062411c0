// The common shape of a section reader: fetch the section, convert its
// lines into the record, or log (under the reader's name and line) and
// return the record's defaults.
#pragma once

#include <string>

#include "app/log.h"
#include "config/base_ini.h"

namespace tw {
namespace config {

template <typename Record, typename Parse>
Record ReadSection(const wchar_t* readerName, uint32_t sourceLine, const std::wstring& iniPath, const wchar_t* section,
                   Parse parse) {
  SectionBuffer buffer;
  if (!CBaseIniMgr::GetTargetSecData(iniPath, section, buffer)) {
    ::tw::Log(readerName, sourceLine, L"");
    return Record{};
  }
  return parse(buffer.Lines());
}

}  // namespace config
}  // namespace tw
