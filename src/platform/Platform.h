#pragma once
// The set of platform services the program runs on. The program gets one set for
// the real system (win32::SystemPlatform) and tests build their own from doubles.

#include "platform/DynamicLibrary.h"
#include "platform/FileSystem.h"
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/SpecialFolders.h"
#include "platform/SystemFacts.h"

namespace nudgelet::platform {

struct Platform {
  const Registry& registry;
  const Processes& processes;
  const SpecialFolders& folders;
  const SystemFacts& system;
  const DynamicLibraries& libraries;
  const Shell& shell;
  const FileSystem& files;
};

}  // namespace nudgelet::platform
