#pragma once
// Shared objects loaded through the dynamic linker: the native build's stand-in
// for LoadLibrary, so the layers above bind their libraries the same way on both systems.
#include "platform/DynamicLibrary.h"

namespace nudgelet::platform::posix {

class PosixDynamicLibraries final : public DynamicLibraries {
 public:
  // A name without "/" goes through the linker's search path, as on Windows.
  std::unique_ptr<DynamicLibrary> Load(const std::wstring& pathOrName) const override;
  std::unique_ptr<DynamicLibrary> FindLoaded(const std::wstring& name) const override;
};

}  // namespace nudgelet::platform::posix
