#include "platform/win32/Win32DynamicLibraries.h"

#include "platform/win32/Handles.h"

namespace nudgelet::platform::win32 {
namespace {

EntryPoint ResolveIn(HMODULE module, const char* name) {
  // FARPROC and EntryPoint are both plain function pointers.
  return reinterpret_cast<EntryPoint>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

class LoadedLibrary final : public DynamicLibrary {
 public:
  explicit LoadedLibrary(UniqueModule module) : module_(std::move(module)) {}
  EntryPoint Resolve(const char* name) const override { return ResolveIn(module_.Get(), name); }

 private:
  UniqueModule module_;
};

// A module loaded by someone else: no reference is taken.
class BorrowedLibrary final : public DynamicLibrary {
 public:
  explicit BorrowedLibrary(HMODULE module) : module_(module) {}
  EntryPoint Resolve(const char* name) const override { return ResolveIn(module_, name); }

 private:
  HMODULE module_;
};

}  // namespace

std::unique_ptr<DynamicLibrary> Win32DynamicLibraries::Load(const std::wstring& pathOrName) const {
  // No "cannot find the file" dialog from the system on a missing library.
  const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  UniqueModule module(::LoadLibraryW(pathOrName.c_str()));
  ::SetErrorMode(previous);
  if (!module) return nullptr;
  return std::make_unique<LoadedLibrary>(std::move(module));
}

std::unique_ptr<DynamicLibrary> Win32DynamicLibraries::FindLoaded(const std::wstring& name) const {
  const HMODULE module = ::GetModuleHandleW(name.c_str());
  if (!module) return nullptr;
  return std::make_unique<BorrowedLibrary>(module);
}

}  // namespace nudgelet::platform::win32
