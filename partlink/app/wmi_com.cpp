// WMI through COM: the locator, the connection to "root\cimv2" and the
// enumeration of an association class's instances.
#include <windows.h>
#include <wbemidl.h>

#include "app/console.h"
#include "app/handles.h"
#include "app/system_seams.h"

namespace partlink {
namespace {

// WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY: forward only, shallow.
constexpr LONG kEnumFlags = 0x21;

class ComObject : public WmiObject {
 public:
  explicit ComObject(ComRef<IWbemClassObject> object) : object_(std::move(object)) {}
  bool ReadText(const wchar_t* property, std::wstring& text) override {
    UniqueVariant value;
    if (FAILED(object_->Get(property, 0, value.get(), nullptr, nullptr))) return false;
    if (value.value().vt != VT_BSTR || value.value().bstrVal == nullptr) return false;
    text.assign(value.value().bstrVal, ::SysStringLen(value.value().bstrVal));
    return true;
  }

 private:
  ComRef<IWbemClassObject> object_;
};

class ComEnumeration : public WmiEnumeration {
 public:
  explicit ComEnumeration(ComRef<IEnumWbemClassObject> e) : enum_(std::move(e)) {}
  std::unique_ptr<WmiObject> Next() override {
    ComRef<IWbemClassObject> object;
    ULONG returned = 0;
    const HRESULT hr = enum_->Next(WBEM_INFINITE, 1, object.put(), &returned);
    if (hr != WBEM_S_NO_ERROR || returned == 0 || !object) return nullptr;
    return std::make_unique<ComObject>(std::move(object));
  }

 private:
  ComRef<IEnumWbemClassObject> enum_;
};

class ComWmi : public WmiService {
 public:
  ~ComWmi() override { Disconnect(); }

  uint32_t Connect() override {
    if (FAILED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
      Print(L"ERROR : Failed CoInitalizeEx()\n");
      return 257;
    }
    comInitialised_ = true;
    if (FAILED(::CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT_PRIVACY,
                                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_SECURE_REFS, nullptr))) {
      Print(L"ERROR : Failed CoInitializeSecurity()\n");
      return 258;
    }
    if (FAILED(::CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                  reinterpret_cast<void**>(locator_.put())))) {
      Print(L"ERROR : Failed CoCreateInstance()\n");
      return 259;
    }
    UniqueBstr nameSpace(::SysAllocString(L"root\\cimv2"));
    if (!nameSpace) {
      Print(L"ERROR : Failed SysAllocString()\n");
      return 260;
    }
    if (FAILED(locator_->ConnectServer(nameSpace.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                       services_.put()))) {
      Print(L"ERROR : Failed ConnectServer()\n");
      return 261;
    }
    return 0;
  }

  void Disconnect() override {
    services_.reset();
    locator_.reset();
    if (comInitialised_) {
      ::CoUninitialize();
      comInitialised_ = false;
    }
  }

  EnumStart Enumerate(const wchar_t* className, std::unique_ptr<WmiEnumeration>& out) override {
    UniqueBstr name(::SysAllocString(className));
    if (!name) return EnumStart::NameAllocationFailed;
    if (!services_) return EnumStart::EnumerationFailed;
    ComRef<IEnumWbemClassObject> instances;
    if (FAILED(services_->CreateInstanceEnum(name.get(), kEnumFlags, nullptr, instances.put()))) {
      return EnumStart::EnumerationFailed;
    }
    out = std::make_unique<ComEnumeration>(std::move(instances));
    return EnumStart::Ok;
  }

 private:
  bool comInitialised_ = false;
  ComRef<IWbemLocator> locator_;
  ComRef<IWbemServices> services_;
};

}  // namespace

std::unique_ptr<WmiService> MakeComWmi() { return std::make_unique<ComWmi>(); }

}  // namespace partlink
