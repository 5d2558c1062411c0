// partlink's command line.
//
// Input: the arguments, separated by NUL bytes (8-bit characters).
//
// Properties: "/LOG" in any case anywhere turns the output on; the
// operation is the one of the last argument that names one (arguments that
// name none change nothing); the numbers of "/VIEW:" and "/UNMAP2:" come
// from the last such argument, a plain decimal read as itself.
#include <string>
#include <vector>

#include "core/options.h"
#include "core/text.h"
#include "fuzz_support.h"

using namespace partlink;

namespace {

Operation OperationOf(const std::wstring& upper, bool& isOperation) {
  static const struct {
    const wchar_t* text;
    Operation operation;
  } kWhole[] = {{L"/SHOW", Operation::Show},     {L"/HIDE", Operation::Hide},   {L"/MAP", Operation::Map},
                {L"/UNMAP", Operation::UnMap},   {L"/MAPREG", Operation::MapReg}, {L"/MAP2", Operation::Map2},
                {L"/MAP3", Operation::Map3},     {L"/UNMAP3", Operation::UnMap3}};
  isOperation = true;
  for (const auto& w : kWhole) {
    if (upper == w.text) return w.operation;
  }
  if (upper.rfind(L"/VIEW:", 0) == 0) return Operation::View;
  if (upper.rfind(L"/UNMAP2:", 0) == 0) return Operation::UnMap2;
  isOperation = false;
  return Operation::None;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::wstring> args(1);
  for (size_t i = 0; i < size && args.size() < 64; ++i) {
    if (data[i] == 0) {
      args.emplace_back();
    } else {
      args.back().push_back(static_cast<wchar_t>(data[i]));
    }
  }
  const Options options = ParseOptions(args);

  bool log = false;
  Operation operation = Operation::None;
  std::wstring lastView, lastUnmap2;
  for (const std::wstring& arg : args) {
    const std::wstring upper = ToUpperAscii(arg);
    if (upper == L"/LOG") {
      log = true;
      continue;
    }
    bool isOperation = false;
    const Operation op = OperationOf(upper, isOperation);
    if (!isOperation) continue;
    operation = op;
    if (op == Operation::View) lastView = upper.substr(6);
    if (op == Operation::UnMap2) lastUnmap2 = upper.substr(8);
  }
  FUZZ_CHECK(options.outputSwitch == (log ? 0 : 1));
  FUZZ_CHECK(options.operation == operation);
  uint32_t plain = 0;
  if (fuzz::IsShortDecimal(lastView, plain)) FUZZ_CHECK(options.viewDisk == static_cast<int32_t>(plain));
  if (fuzz::IsShortDecimal(lastUnmap2, plain)) FUZZ_CHECK(options.unmapDrive == static_cast<int32_t>(plain));
  if (lastView.empty()) FUZZ_CHECK(options.viewDisk == 0);
  FUZZ_CHECK(options.viewDisk == DecimalPrefix(lastView));
  return 0;
}
