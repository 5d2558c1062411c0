#include "mk_disc_dlg.h"

#include <windows.h>

#include "app/core/text.h"
#include "app/handles.h"
#include "app/log.h"
#include "app/settings.h"
#include "steps/core/disc_info_text.h"
#include "steps/list_file.h"

bool MkDiscDlg::CreateDiscInfoFile(const std::wstring& path, const std::wstring& driveRoot, int32_t discType,
                        const std::wstring& listPath, const DiscEntry& entry) {
  constexpr wchar_t kFn[] = L"MkDiscDlg::CreateDiscInfoFile";
  tw::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    TW_LOG(kFn, tw::Hex8With(::GetLastError(), path));
    return false;
  }

  DWORD error = 0;
  const wchar_t mark = 0xFEFF;
  if (!tw::WriteAll(file.get(), &mark, sizeof(mark), &error)) {
    TW_LOG(kFn, tw::Hex8Pair(error, 0xFEFF));
    return false;
  }

  // Small file: one write per line, so a failure names the line it hit.
  const tw::DiscInfoLayout layout = tw::LayOutDiscInfo(tw::Settings().AppName, driveRoot, discType, listPath, entry);
  for (const std::wstring& line : layout.lines) {
    if (!tw::WriteText(file.get(), line, &error)) {
      TW_LOG(kFn, tw::Hex8With(error, tw::WithoutLineEnd(line)));
      return false;
    }
  }
  if (layout.failure) {
    TW_LOG(kFn, *layout.failure);
    return false;
  }
  return true;
}
