// A burning product laid out for one test: the stand-ins for the engine and
// its interface library copied into a temporary install folder that the
// registry names, with their settings files and virtual discs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace burntest {

class FakeProduct {
 public:
  // Copies the engine and the library unless told not to, and points
  // "InstFolder" at the folder.
  explicit FakeProduct(bool withEngine = true, bool withLibrary = true);
  const std::wstring& folder() const { return dir_.path(); }
  std::wstring operator/(const std::wstring& name) const { return dir_ / name; }
  twtest::ScopedHklmKey& key() { return key_; }

  // KSIF.ini and KSCORE.ini beside the stand-ins.
  void SetLibrarySettings(const std::wstring& text);
  void SetEngineSettings(const std::wstring& text);
  std::wstring EngineSetting(const wchar_t* section, const wchar_t* key) const;

  // A folder that plays a disc (marked as a virtual disc unless told not).
  std::wstring MakeVirtualDisc(const std::wstring& name, bool marked = true);

 private:
  twtest::TempDir dir_;
  twtest::ScopedHklmKey key_;
};

}  // namespace burntest
