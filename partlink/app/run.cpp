#include "app/run.h"

#include "app/console.h"
#include "app/disk.h"
#include "app/drives.h"
#include "core/mbr.h"
#include "core/options.h"

namespace partlink {

uint32_t RunPartlink(const std::vector<std::wstring>& args) {
  SetOutputSwitch(1);
  const Options options = ParseOptions(args);
  SetOutputSwitch(options.outputSwitch);

  switch (options.operation) {
    case Operation::View:
      return _viewMBR(options.viewDisk);
    case Operation::Show:
      return _chgPatID(kTypeShown);
    case Operation::Hide:
      return _chgPatID(kTypeRecovery);
    case Operation::Map:
      return _Map(false);
    case Operation::UnMap:
      return _UnMap();
    case Operation::MapReg:
      return _Map(true);
    case Operation::Map2:
      return _Map2();
    case Operation::UnMap2:
      return _UnMap2(options.unmapDrive);
    case Operation::Map3:
      return _Map3();
    case Operation::UnMap3:
      return _UnMap3();
    case Operation::None:
      break;
  }
  return kCodeNoOperation;
}

}  // namespace partlink
