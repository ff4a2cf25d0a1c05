#include "detection/UninstallRegistry.h"

#include "base/Strings.h"
#include "platform/ProcessModel.h"

namespace nudgelet::detection {

using namespace platform;

std::optional<RegistryRoot> RootKeyFromName(const std::wstring& name) {
  static const std::pair<const wchar_t*, RegistryRoot> kRoots[] = {
      {L"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
      {L"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
      {L"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
      {L"HKEY_USERS", RegistryRoot::Users},
      {L"HKEY_CURRENT_CONFIG", RegistryRoot::CurrentConfig}};
  for (const auto& [text, root] : kRoots) {
    if (EqualsIgnoreCase(name, text)) return root;
  }
  return std::nullopt;
}

namespace {

std::unique_ptr<RegistryKey> OpenKey(const Registry& registry, const std::wstring& rootName, const std::wstring& path,
                                     bool use64View) {
  const auto root = RootKeyFromName(rootName);
  if (!root) return nullptr;
  return registry.OpenReadOnly(*root, path, RegistryViewFor(use64View));
}

}  // namespace

std::wstring ReadRegString(const Registry& registry, const std::wstring& rootName, const std::wstring& keyPath,
                           const std::wstring& valueName, bool use64View) {
  auto key = OpenKey(registry, rootName, keyPath, use64View);
  return key ? key->ReadText(valueName).value_or(L"") : L"";
}

std::int64_t ReadRegInteger(const Registry& registry, const std::wstring& rootName, const std::wstring& keyPath,
                            const std::wstring& valueName, bool use64View) {
  auto key = OpenKey(registry, rootName, keyPath, use64View);
  if (!key) return 0;
  const auto value = key->ReadDword(valueName);
  return value ? static_cast<std::int64_t>(static_cast<std::int32_t>(*value)) : 0;
}

void ForEachKeyRecursive(const Registry& registry, const std::wstring& rootName, const std::wstring& basePath,
                         bool use64View, const RegistryKeyVisitor& visit) {
  struct Pending {
    std::wstring path;
    std::shared_ptr<const RegistryKey> parent;  // kept open until its last child is opened
    std::wstring name;
  };
  std::vector<Pending> pending{{basePath, nullptr, {}}};
  for (std::size_t i = 0; i < pending.size(); ++i) {
    const Pending item = std::move(pending[i]);
    const std::shared_ptr<const RegistryKey> key =
        item.parent ? item.parent->OpenSubKey(item.name) : OpenKey(registry, rootName, item.path, use64View);
    if (key) {
      for (auto& name : key->SubKeyNames()) pending.push_back({item.path + L"\\" + name, key, std::move(name)});
    }
    visit(item.path, key.get());
  }
}

std::size_t EnumerateKeysRecursive(const Registry& registry, const std::wstring& rootName, const std::wstring& basePath,
                                   std::vector<std::wstring>& list, bool use64View) {
  ForEachKeyRecursive(registry, rootName, basePath, use64View,
                      [&list](const std::wstring& path, const RegistryKey*) { list.push_back(path); });
  return list.size();
}

}  // namespace nudgelet::detection
