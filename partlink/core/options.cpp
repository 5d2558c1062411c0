#include "core/options.h"

#include "core/text.h"

namespace partlink {
namespace {

struct WholeOption {
  const wchar_t* text;
  Operation operation;
};

const WholeOption kWholeOptions[] = {
    {L"/SHOW", Operation::Show},     {L"/HIDE", Operation::Hide},     {L"/MAP", Operation::Map},
    {L"/UNMAP", Operation::UnMap},   {L"/MAPREG", Operation::MapReg}, {L"/MAP2", Operation::Map2},
    {L"/MAP3", Operation::Map3},     {L"/UNMAP3", Operation::UnMap3},
};

const std::wstring kView = L"/VIEW:";
const std::wstring kUnmap2 = L"/UNMAP2:";

bool HasPrefix(const std::wstring& text, const std::wstring& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

Options ParseOptions(const std::vector<std::wstring>& args) {
  Options options;
  for (const std::wstring& raw : args) {
    const std::wstring arg = ToUpperAscii(raw);
    if (arg == L"/LOG") {
      options.outputSwitch = 0;
      continue;
    }
    bool matched = false;
    for (const WholeOption& option : kWholeOptions) {
      if (arg == option.text) {
        options.operation = option.operation;
        matched = true;
        break;
      }
    }
    if (matched) continue;
    if (HasPrefix(arg, kView)) {
      options.operation = Operation::View;
      options.viewDisk = DecimalPrefix(arg.substr(kView.size()));
    } else if (HasPrefix(arg, kUnmap2)) {
      options.operation = Operation::UnMap2;
      options.unmapDrive = DecimalPrefix(arg.substr(kUnmap2.size()));
    }
  }
  return options;
}

}  // namespace partlink
