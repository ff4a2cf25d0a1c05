#pragma once
// Read-only access to the Windows registry with an explicit view.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryValue.h"

namespace nudgelet::platform {

// The values are the predefined key handles of Windows.
enum class RegistryRoot : std::uint32_t {
  ClassesRoot = 0x80000000u,
  CurrentUser = 0x80000001u,
  LocalMachine = 0x80000002u,
  Users = 0x80000003u,
  CurrentConfig = 0x80000005u,
};

// Which registry view a key is opened through. Default is the calling process's
// own view; use ProcessModel to pick the view the product's rules ask for.
enum class RegistryView { Default, Bits32, Bits64 };

// "HKEY_LOCAL_MACHINE", "HKLM", ... (any letter case) to the root; nullopt otherwise.
std::optional<RegistryRoot> RegistryRootFromName(std::wstring_view name);

// A direct subkey as its parent lists it. lastWriteTime is the time the key or
// any of its values last changed (a FILETIME count), or 0 when it cannot tell a
// later change apart: unknown, or so recent that another change within the
// same tick of the system's clock would leave it as it is.
struct RegistrySubKey {
  std::wstring name;
  std::uint64_t lastWriteTime = 0;
};

class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  // Direct subkey names, in the registry's own (case-insensitive alphabetical) order.
  virtual std::vector<std::wstring> SubKeyNames() const = 0;
  // The same subkeys with their last-write times, which Windows gives with the
  // names at no extra cost. This default knows no times.
  virtual std::vector<RegistrySubKey> SubKeys() const;
  virtual std::vector<std::wstring> ValueNames() const = 0;
  // The empty name is the key's default value. nullopt when the value does not exist
  // or is larger than kMaxRegistryValueBytes.
  virtual std::optional<RegistryValue> ReadValue(std::wstring_view name) const = 0;
  // A direct subkey, opened for reading through the same view; nullptr when it
  // does not exist or cannot be opened. Walks of many keys open each from its
  // parent: a path from the root costs the system a step for every part.
  virtual std::unique_ptr<RegistryKey> OpenSubKey(std::wstring_view name) const = 0;

  // The value of any type, as text (see RegistryValueAsText); nullopt when missing.
  std::optional<std::wstring> ReadText(std::wstring_view name) const;
  // A REG_DWORD value; nullopt when missing or of another type.
  std::optional<std::uint32_t> ReadDword(std::wstring_view name) const;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens an existing key for reading, never creating it. A leading backslash in
  // the path is ignored. nullptr when the key does not exist or cannot be opened.
  virtual std::unique_ptr<RegistryKey> OpenReadOnly(RegistryRoot root, std::wstring_view path,
                                                    RegistryView view) const = 0;
};

}  // namespace nudgelet::platform
