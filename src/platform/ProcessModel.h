#pragma once
// Nudgelet ships as an x86_64 program, but the product's rules were made for a
// 32-bit program running under WOW64 on 64-bit Windows: its registry reads went
// to the 32-bit view, "under WOW64" meant "on 64-bit Windows", its program-files
// folder was "Program Files (x86)" and its file access to the system folder was
// redirected to SysWOW64. Every decision that depends on the process's bitness
// is made here, so the 64-bit program behaves as the 32-bit one did on the same
// machine.

#include <string>

#include "platform/Registry.h"
#include "platform/SystemFacts.h"

namespace nudgelet::platform {

// The registry view a 32-bit process reads without asking for one.
inline constexpr RegistryView kOwnRegistryView = RegistryView::Bits32;

// The view for the product's "use the 64-bit view" flag.
constexpr RegistryView RegistryViewFor(bool use64View) { return use64View ? RegistryView::Bits64 : kOwnRegistryView; }

// "The process runs under WOW64": a 32-bit process does exactly on 64-bit Windows.
bool RunsUnderWow64(const SystemFacts& system);

// The CSIDL to ask the shell so that the answer is the one a 32-bit process got:
// program files and common files are the x86 folders on 64-bit Windows.
int ShellFolderCsidl(int csidl, bool is64BitWindows);

// The environment variable whose value a 32-bit process sees under a name: there,
// "ProgramFiles" and "CommonProgramFiles" hold the x86 folders.
std::wstring EnvironmentVariableName(const std::wstring& name, bool is64BitWindows);

// The path a 32-bit process's file access reached: the system folder is redirected
// to SysWOW64 (except the folders Windows exempts) and "Sysnative" reaches the real
// system folder. Paths elsewhere are returned unchanged.
std::wstring FileSystemPath(const std::wstring& path, const std::wstring& windowsDirectory, bool is64BitWindows);

}  // namespace nudgelet::platform
