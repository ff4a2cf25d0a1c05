#pragma once
// The text of a bug report: what went wrong, where, and on what system.

#include <cstdint>
#include <string>
#include <vector>

#include "app/CrashError.h"
#include "base/DateTime.h"

namespace nudgelet::app {

struct LoadedModule {
  std::wstring name;  // file name, as frames are named
  std::wstring path;
  std::uint64_t base = 0;
  std::uint64_t size = 0;
};

struct CrashFacts {
  CrashError error;
  std::wstring executable;
  std::wstring productVersion;
  std::wstring osVersion;
  DateTimeParts time;
  std::uint32_t processId = 0;
  std::uint32_t threadId = 0;
  std::wstring stackTitle;  // whose stack the frames are
  std::vector<std::uint64_t> frames;
  std::vector<LoadedModule> modules;
};

// "Nudgelet.exe + 0x1A2B" when a module holds the address, else the bare address.
std::wstring DescribeCodeAddress(std::uint64_t address, const std::vector<LoadedModule>& modules);

// Lines ended by CR LF, no line break after the last.
std::wstring FormatBugReport(const CrashFacts& facts);

}  // namespace nudgelet::app
