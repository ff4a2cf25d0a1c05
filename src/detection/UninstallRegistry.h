#pragma once
// Reading the uninstall registry the way update detection does: roots by name,
// values as text or integers, and every key below a base key.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace nudgelet::detection {

inline constexpr wchar_t kUninstallKey[] = L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// "HKEY_LOCAL_MACHINE" and the other four full names, any letter case.
std::optional<platform::RegistryRoot> RootKeyFromName(const std::wstring& name);

// The value as text; empty when the key or the value does not exist. use64View
// reads the 64-bit view; otherwise the program's own (32-bit) view.
std::wstring ReadRegString(const platform::Registry& registry, const std::wstring& rootName,
                           const std::wstring& keyPath, const std::wstring& valueName, bool use64View);
// A DWORD, sign-extended; 0 when missing.
std::int64_t ReadRegInteger(const platform::Registry& registry, const std::wstring& rootName,
                            const std::wstring& keyPath, const std::wstring& valueName, bool use64View);

// Visits basePath and every key below it at any depth, each after its parent
// (breadth first), with the key open, or null when it cannot be opened. Each key
// is opened once, for its subkeys and for whatever the visitor reads.
using RegistryKeyVisitor = std::function<void(const std::wstring& path, const platform::RegistryKey* key)>;
void ForEachKeyRecursive(const platform::Registry& registry, const std::wstring& rootName, const std::wstring& basePath,
                         bool use64View, const RegistryKeyVisitor& visit);

// basePath followed by every key below it at any depth, each after its parent
// (breadth first). Returns the number of paths in the list.
std::size_t EnumerateKeysRecursive(const platform::Registry& registry, const std::wstring& rootName,
                                   const std::wstring& basePath, std::vector<std::wstring>& list, bool use64View);

}  // namespace nudgelet::detection
