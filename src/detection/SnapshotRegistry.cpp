#include "detection/SnapshotRegistry.h"

#include <functional>
#include <map>
#include <utility>

#include "base/Strings.h"

namespace nudgelet::detection {
namespace {

using platform::RegistryKey;
using platform::RegistrySubKey;
using platform::RegistryValue;

using Opener = std::function<std::shared_ptr<const RegistryKey>()>;

class RememberedKey final : public RegistryKey {
 public:
  // lastWriteTime: as the parent listed the key; 0 when unknown.
  RememberedKey(std::wstring identity, std::uint64_t lastWriteTime, const UninstallSnapshot& previous,
                UninstallSnapshot& next, Opener open)
      : identity_(std::move(identity)),
        previous_(previous),
        next_(next),
        entry_(next_.keys[identity_]),
        open_(std::move(open)) {
    if (lastWriteTime != 0) {
      const auto it = previous_.keys.find(identity_);
      if (it != previous_.keys.end() && it->second.lastWriteTime == lastWriteTime) remembered_ = &it->second;
    }
    entry_ = remembered_ ? *remembered_ : SnapshotKey{};
    entry_.lastWriteTime = lastWriteTime;
  }

  std::vector<std::wstring> SubKeyNames() const override {
    std::vector<std::wstring> names;
    for (auto& key : SubKeys()) names.push_back(std::move(key.name));
    return names;
  }

  std::vector<RegistrySubKey> SubKeys() const override {
    if (remembered_ && remembered_->leaf) return {};
    const auto key = Real();
    std::vector<RegistrySubKey> keys = key ? key->SubKeys() : std::vector<RegistrySubKey>{};
    for (const auto& k : keys) listedTimes_[k.name] = k.lastWriteTime;
    entry_.leaf = key && keys.empty();
    return keys;
  }

  std::vector<std::wstring> ValueNames() const override {
    const auto key = Real();
    return key ? key->ValueNames() : std::vector<std::wstring>{};
  }

  std::optional<RegistryValue> ReadValue(std::wstring_view name) const override {
    if (remembered_) {
      if (const auto it = remembered_->values.find(std::wstring(name)); it != remembered_->values.end()) {
        return it->second;
      }
    }
    const auto key = Real();
    std::optional<RegistryValue> value = key ? key->ReadValue(name) : std::nullopt;
    entry_.values.insert_or_assign(std::wstring(name), value);
    return value;
  }

  std::unique_ptr<RegistryKey> OpenSubKey(std::wstring_view name) const override {
    const auto parent = Real();
    if (!parent) return nullptr;
    const auto listed = listedTimes_.find(std::wstring(name));
    const std::uint64_t lastWriteTime = listed == listedTimes_.end() ? 0 : listed->second;
    Opener open = [parent, subKey = std::wstring(name)]() -> std::shared_ptr<const RegistryKey> {
      return parent->OpenSubKey(subKey);
    };
    return std::make_unique<RememberedKey>(identity_ + L'\\' + ToUpper(std::wstring(name)), lastWriteTime, previous_,
                                           next_, std::move(open));
  }

 private:
  // The key itself, opened when first needed. A key that is gone by then
  // answers as empty, and its entry is not trusted next time.
  std::shared_ptr<const RegistryKey> Real() const {
    if (!opened_) {
      opened_ = true;
      real_ = open_();
      if (!real_) entry_.lastWriteTime = 0;
    }
    return real_;
  }

  std::wstring identity_;
  const UninstallSnapshot& previous_;
  UninstallSnapshot& next_;
  SnapshotKey& entry_;                       // what this run learns of the key, in next_
  const SnapshotKey* remembered_ = nullptr;  // the snapshot's entry when the key is known unchanged
  Opener open_;
  mutable bool opened_ = false;
  mutable std::shared_ptr<const RegistryKey> real_;
  mutable std::map<std::wstring, std::uint64_t, LessIgnoreCase> listedTimes_;
};

}  // namespace

SnapshotRegistry::SnapshotRegistry(const platform::Registry& registry, UninstallSnapshot previous)
    : registry_(registry), previous_(std::move(previous)) {}

std::unique_ptr<platform::RegistryKey> SnapshotRegistry::OpenReadOnly(platform::RegistryRoot root,
                                                                      std::wstring_view path,
                                                                      platform::RegistryView view) const {
  std::shared_ptr<const RegistryKey> key = registry_.OpenReadOnly(root, path, view);
  if (!key) return nullptr;
  while (!path.empty() && path.front() == L'\\') path.remove_prefix(1);
  // A key opened by path has no parent to tell its time: it is always read.
  std::wstring identity = std::to_wstring(static_cast<std::uint32_t>(root)) + L':' +
                          std::to_wstring(static_cast<int>(view)) + L':' + ToUpper(std::wstring(path));
  return std::make_unique<RememberedKey>(std::move(identity), 0, previous_, next_, [key] { return key; });
}

UninstallSnapshot LoadUninstallSnapshot(const platform::FileSystem& files, const std::wstring& path) {
  const platform::FileReadResult read = files.ReadFile(path, kMaxSnapshotBytes);
  if (read.error != 0) return {};
  return UninstallSnapshot::Parse(read.bytes).value_or(UninstallSnapshot{});
}

void SaveUninstallSnapshot(const platform::FileSystem& files, const std::wstring& path, const UninstallSnapshot& loaded,
                           const UninstallSnapshot& next) {
  if (next == loaded) return;
  files.WriteFileAtomically(path, next.Serialize());
}

}  // namespace nudgelet::detection
