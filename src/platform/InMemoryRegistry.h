#pragma once
// A registry held in memory, filled from .reg files or by hand. It stands in for
// the Windows registry wherever the portable code runs without one: the native
// tests and the native build of the inspection tool.
//
// Keys are stored in the physical layout of 64-bit Windows: the 32-bit view of
// HKEY_LOCAL_MACHINE\SOFTWARE lives under HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node,
// as regedit exports it. The default view is the 64-bit one, as for this x86_64
// program on Windows.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "base/Strings.h"
#include "platform/Registry.h"

namespace nudgelet::platform {

class InMemoryRegistry final : public Registry {
 public:
  InMemoryRegistry();

  // Paths name keys in the physical layout; missing keys are created.
  void CreateKey(RegistryRoot root, std::wstring_view path);
  void SetValue(RegistryRoot root, std::wstring_view path, std::wstring_view name, RegistryValue value);
  // Removes a key with everything below it; nothing happens when it does not exist.
  void DeleteKey(RegistryRoot root, std::wstring_view path);
  void DeleteValue(RegistryRoot root, std::wstring_view path, std::wstring_view name);

  std::unique_ptr<RegistryKey> OpenReadOnly(RegistryRoot root, std::wstring_view path,
                                            RegistryView view) const override;

  struct Node {
    Node() = default;
    // Takes its subtree apart without recursion: a .reg file can nest keys
    // deeper than any stack reaches.
    ~Node();
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    std::wstring name;
    std::map<std::wstring, std::shared_ptr<Node>, LessIgnoreCase> children;
    // Keyed by name without regard to case; each entry keeps the name as written.
    std::map<std::wstring, std::pair<std::wstring, RegistryValue>, LessIgnoreCase> values;
    // Moves, as Windows' does, when a value is set or deleted or a subkey comes or goes.
    std::uint64_t lastWriteTime = 0;
  };

 private:
  std::shared_ptr<Node> Find(RegistryRoot root, std::wstring_view physicalPath) const;
  std::shared_ptr<Node> FindOrCreate(RegistryRoot root, std::wstring_view physicalPath);

  std::map<RegistryRoot, std::shared_ptr<Node>> roots_;
  std::uint64_t clock_ = 0;  // a change counter stands in for the system's clock
};

// The physical path that a view's path names (the WOW6432Node rule).
std::wstring PhysicalRegistryPath(RegistryRoot root, std::wstring_view path, RegistryView view);

}  // namespace nudgelet::platform
