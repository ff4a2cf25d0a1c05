#include "platform/Registry.h"

#include "base/Strings.h"

namespace nudgelet::platform {

std::optional<RegistryRoot> RegistryRootFromName(std::wstring_view name) {
  struct Entry {
    const wchar_t* longName;
    const wchar_t* shortName;
    RegistryRoot root;
  };
  static constexpr Entry kRoots[] = {
      {L"HKEY_CLASSES_ROOT", L"HKCR", RegistryRoot::ClassesRoot},
      {L"HKEY_CURRENT_USER", L"HKCU", RegistryRoot::CurrentUser},
      {L"HKEY_LOCAL_MACHINE", L"HKLM", RegistryRoot::LocalMachine},
      {L"HKEY_USERS", L"HKU", RegistryRoot::Users},
      {L"HKEY_CURRENT_CONFIG", L"HKCC", RegistryRoot::CurrentConfig},
  };
  for (const auto& e : kRoots) {
    if (EqualsIgnoreCase(name, e.longName) || EqualsIgnoreCase(name, e.shortName)) return e.root;
  }
  return std::nullopt;
}

std::vector<RegistrySubKey> RegistryKey::SubKeys() const {
  std::vector<RegistrySubKey> keys;
  for (auto& name : SubKeyNames()) keys.push_back({std::move(name), 0});
  return keys;
}

std::optional<std::wstring> RegistryKey::ReadText(std::wstring_view name) const {
  auto value = ReadValue(name);
  if (!value) return std::nullopt;
  return RegistryValueAsText(*value);
}

std::optional<std::uint32_t> RegistryKey::ReadDword(std::wstring_view name) const {
  auto value = ReadValue(name);
  if (!value) return std::nullopt;
  return RegistryValueAsDword(*value);
}

}  // namespace nudgelet::platform
