#pragma once
// Libraries loaded at run time and their entry points resolved by name.

#include <memory>
#include <string>

namespace nudgelet::platform {

// A resolved entry point, to be cast to its real type with As<>.
using EntryPoint = void (*)();

class DynamicLibrary {
 public:
  virtual ~DynamicLibrary() = default;
  // nullptr when the library has no entry point of that name.
  virtual EntryPoint Resolve(const char* name) const = 0;

  template <typename Fn>
  Fn ResolveAs(const char* name) const {
    return reinterpret_cast<Fn>(Resolve(name));
  }
};

class DynamicLibraries {
 public:
  virtual ~DynamicLibraries() = default;
  // Loads by full path or by name (the system's search order). The library stays
  // loaded as long as the returned object lives. nullptr on failure.
  virtual std::unique_ptr<DynamicLibrary> Load(const std::wstring& pathOrName) const = 0;
  // A library already loaded into the process, without loading it; the returned
  // object does not keep it loaded. nullptr when it is not loaded.
  virtual std::unique_ptr<DynamicLibrary> FindLoaded(const std::wstring& name) const = 0;
};

}  // namespace nudgelet::platform
