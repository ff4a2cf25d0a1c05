#pragma once
// The Windows machine that the native build of nudgelet-inspect inspects: its
// registry from .reg files, its drives from a folder, its version and bitness
// from the command line. Folders are those of a standard installation.

#include <memory>
#include <string>
#include <vector>

#include "platform/InMemoryRegistry.h"
#include "platform/Platform.h"
#include "platform/posix/DriveRootedFileSystem.h"
#include "platform/posix/PosixDynamicLibraries.h"
#include "platform/posix/PosixFileSystem.h"

namespace nudgelet::inspect {

struct MachineOptions {
  std::vector<std::string> registryFiles;
  std::wstring root;
  std::wstring version = L"10.0";
  std::wstring is64Bit = L"yes";
};

class InspectionMachine {
 public:
  // Throws std::runtime_error with a one-line reason on bad options or unreadable .reg files.
  explicit InspectionMachine(const MachineOptions& options);
  ~InspectionMachine();

  const platform::Platform& Platform() const { return *platform_; }
  const platform::FileSystem& HostFiles() const { return hostFiles_; }
  const platform::DynamicLibraries& HostLibraries() const { return hostLibraries_; }
  std::wstring HostPath(const std::wstring& windowsPath) const { return drives_.Map(windowsPath); }
  const std::wstring& TempFolder() const { return tempFolder_; }

 private:
  class Facts;
  class Folders;
  class NoProcesses;
  class NoShell;

  platform::posix::PosixFileSystem hostFiles_;
  platform::posix::PosixDynamicLibraries hostLibraries_;
  platform::posix::DriveRootedFileSystem drives_;
  platform::InMemoryRegistry registry_;
  std::unique_ptr<Facts> facts_;
  std::unique_ptr<Folders> folders_;
  std::unique_ptr<NoProcesses> processes_;
  std::unique_ptr<NoShell> shell_;
  std::unique_ptr<platform::Platform> platform_;
  std::wstring tempFolder_;
};

}  // namespace nudgelet::inspect
