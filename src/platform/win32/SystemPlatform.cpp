#include "platform/win32/SystemPlatform.h"

#include "platform/win32/Win32DynamicLibraries.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32SpecialFolders.h"
#include "platform/win32/Win32SystemFacts.h"

namespace nudgelet::platform::win32 {

const Platform& SystemPlatform() {
  static const Win32Registry registry;
  static const Win32Processes processes;
  static const Win32SpecialFolders folders;
  static const Win32SystemFacts system;
  static const Win32DynamicLibraries libraries;
  static const Win32Shell shell;
  static const Win32FileSystem files;
  static const Platform platform{registry, processes, folders, system, libraries, shell, files};
  return platform;
}

}  // namespace nudgelet::platform::win32
