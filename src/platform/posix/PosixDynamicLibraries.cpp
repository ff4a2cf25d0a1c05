#include "platform/posix/PosixDynamicLibraries.h"

#include <dlfcn.h>

#include <cstring>

#include "base/Strings.h"

namespace nudgelet::platform::posix {
namespace {

EntryPoint ResolveIn(void* handle, const char* name) {
  void* symbol = ::dlsym(handle, name);
  // Object and function pointers share one representation on every POSIX
  // system; copying the bits avoids a cast the language leaves undefined.
  EntryPoint entry = nullptr;
  static_assert(sizeof(entry) == sizeof(symbol));
  std::memcpy(&entry, &symbol, sizeof(entry));
  return entry;
}

class LoadedLibrary final : public DynamicLibrary {
 public:
  explicit LoadedLibrary(void* handle) : handle_(handle) {}
  ~LoadedLibrary() override { ::dlclose(handle_); }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;
  EntryPoint Resolve(const char* name) const override { return ResolveIn(handle_, name); }

 private:
  void* handle_;
};

// Loaded by someone else: no reference of our own is kept.
class BorrowedLibrary final : public DynamicLibrary {
 public:
  explicit BorrowedLibrary(void* handle) : handle_(handle) {}
  EntryPoint Resolve(const char* name) const override { return ResolveIn(handle_, name); }

 private:
  void* handle_;
};

}  // namespace

std::unique_ptr<DynamicLibrary> PosixDynamicLibraries::Load(const std::wstring& pathOrName) const {
  if (pathOrName.empty()) return nullptr;
  void* handle = ::dlopen(WideToUtf8(pathOrName).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  return std::make_unique<LoadedLibrary>(handle);
}

std::unique_ptr<DynamicLibrary> PosixDynamicLibraries::FindLoaded(const std::wstring& name) const {
  if (name.empty()) return nullptr;
  void* handle = ::dlopen(WideToUtf8(name).c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!handle) return nullptr;
  // RTLD_NOLOAD still counts a reference; hand it back at once.
  ::dlclose(handle);
  return std::make_unique<BorrowedLibrary>(handle);
}

}  // namespace nudgelet::platform::posix
